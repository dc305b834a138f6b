// The settings store over HKEY_CURRENT_USER.
#include "registry_store.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <utility>

namespace kestro {

namespace {

// Far beyond any value of ours; a larger one reads as absent rather than costing memory.
constexpr DWORD kMaxValueSize = 64 * 1024;

class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : m_key(key) {}
    RegKey(RegKey&& other) noexcept : m_key(std::exchange(other.m_key, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept {
        if (this != &other) {
            reset();
            m_key = std::exchange(other.m_key, nullptr);
        }
        return *this;
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { reset(); }

    HKEY get() const { return m_key; }
    explicit operator bool() const { return m_key != nullptr; }
    void reset() {
        if (m_key != nullptr) {
            RegCloseKey(m_key);
            m_key = nullptr;
        }
    }

private:
    HKEY m_key = nullptr;
};

class RegistryStore final : public SettingsStore {
public:
    explicit RegistryStore(std::string subkey) : m_subkey(std::move(subkey)) {}

    std::optional<std::string> get(const char* name) const override {
        if (!m_key) {
            // Opened, not created: reading a first run's settings leaves no key behind.
            HKEY key = nullptr;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, m_subkey.c_str(), 0, KEY_QUERY_VALUE, &key) !=
                ERROR_SUCCESS) {
                return std::nullopt;
            }
            m_key = RegKey(key);
        }
        DWORD size = 0;
        if (RegQueryValueExA(m_key.get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
            size > kMaxValueSize) {
            return std::nullopt;
        }
        std::string buffer(size, '\0');
        if (size > 0 && RegQueryValueExA(m_key.get(), name, nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(&buffer[0]), &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        // Whatever its type and whether or not it ends in a zero: the text up to the first zero.
        buffer.resize(std::min<std::size_t>(size, buffer.size()));
        return buffer.substr(0, buffer.find('\0'));
    }

    bool set(const char* name, const std::string& value) override {
        if (!m_writable) {
            HKEY key = nullptr;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, m_subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
                return false;
            }
            m_key = RegKey(key);
            m_writable = true;
        }
        if (value.size() >= kMaxValueSize) {
            return false;
        }
        const DWORD size = static_cast<DWORD>(value.size() + 1); // with its terminating zero
        return RegSetValueExA(m_key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              size) == ERROR_SUCCESS;
    }

private:
    std::string m_subkey;
    mutable RegKey m_key; // read-only until the first write reopens it writable
    bool m_writable = false;
};

} // namespace

std::unique_ptr<SettingsStore> makeRegistryStore(std::string subkey) {
    return std::make_unique<RegistryStore>(std::move(subkey));
}

} // namespace kestro
