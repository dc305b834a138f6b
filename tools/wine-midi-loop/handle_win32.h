// Ownership of kernel objects and in-process locks.
#pragma once

#include <windows.h>

namespace wineloop {

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.m_handle);
            other.m_handle = nullptr;
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    void reset(HANDLE handle = nullptr) {
        if (m_handle)
            CloseHandle(m_handle);
        m_handle = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    }
    HANDLE get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    HANDLE m_handle = nullptr;
};

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&m_section); }
    ~CriticalSection() { DeleteCriticalSection(&m_section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    CRITICAL_SECTION* native() { return &m_section; }

private:
    CRITICAL_SECTION m_section;
};

class SectionLock {
public:
    explicit SectionLock(CriticalSection& section) : m_section(section) {
        EnterCriticalSection(m_section.native());
    }
    ~SectionLock() { LeaveCriticalSection(m_section.native()); }
    SectionLock(const SectionLock&) = delete;
    SectionLock& operator=(const SectionLock&) = delete;

private:
    CriticalSection& m_section;
};

// True once the tick count has reached deadline (wrap-safe).
inline bool deadlinePassed(DWORD deadline) {
    return static_cast<LONG>(GetTickCount() - deadline) >= 0;
}

} // namespace wineloop
