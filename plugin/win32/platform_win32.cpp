// The Win32 services behind the portable core.
#include "platform.h"

#include <windows.h>

#include <mmsystem.h>

namespace tamsel {
namespace {

// Any object of the DLL names it to GetModuleHandleEx.
const char g_pinAnchor = 0;

class FindHandle {
public:
    explicit FindHandle(HANDLE h) : m_handle(h) {}
    ~FindHandle() {
        if (m_handle != INVALID_HANDLE_VALUE)
            FindClose(m_handle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

class Win32Platform final : public Platform {
public:
    std::uint32_t nowMs() override { return timeGetTime(); }
    // Runs on the surface's output worker. Sleep may return early when the system timer is coarse; the
    // controller needs the whole gap, so the performance counter decides when it has passed.
    void pauseMs(std::uint32_t ms) override {
        LARGE_INTEGER frequency, start, now;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        const LONGLONG ticks = frequency.QuadPart * ms / 1000;
        Sleep(ms);
        for (;;) {
            QueryPerformanceCounter(&now);
            if (now.QuadPart - start.QuadPart >= ticks)
                return;
            Sleep(0);
        }
    }
    std::vector<std::string> listFiles(const std::string& pattern) override {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        FindHandle find(FindFirstFileA(pattern.c_str(), &data));
        if (find.get() == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(data.cFileName);
        } while (FindNextFileA(find.get(), &data));
        return names;
    }

    void turnMouseWheel(int delta) override {
        POINT cursor{};
        GetCursorPos(&cursor);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = cursor.x;
        input.mi.dy = cursor.y;
        input.mi.mouseData = static_cast<DWORD>(delta);
        input.mi.dwFlags = MOUSEEVENTF_WHEEL | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof(INPUT));
    }

    void* findDialogWindow(const char* title) override {
        constexpr ATOM kDialogClass = 0x8002;
        return FindWindowExA(nullptr, nullptr, MAKEINTATOM(kDialogClass), title);
    }
    bool isWindowVisible(void* window) override {
        return IsWindowVisible(static_cast<HWND>(window)) != FALSE;
    }
    void closeWindow(void* window) override { SendMessageA(static_cast<HWND>(window), WM_CLOSE, 0, 0); }
    // Pins the module this code lives in (the plug-in's DLL): FreeLibrary then leaves it mapped.
    void keepCodeLoaded() override {
        HMODULE self = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCSTR>(&g_pinAnchor), &self);
    }
};

Win32Platform g_win32Platform;

} // namespace

Platform* defaultPlatform() {
    return &g_win32Platform;
}

} // namespace tamsel
