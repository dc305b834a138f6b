#include "platform.h"

namespace tamsel {
namespace {

// Without an installed platform nothing moves in time and no folder has files: safe for any build.
class NullPlatform final : public Platform {
public:
    std::uint32_t nowMs() override { return 0; }
    void pauseMs(std::uint32_t) override {}
    std::vector<std::string> listFiles(const std::string&) override { return {}; }
    void turnMouseWheel(int) override {}
    void* findDialogWindow(const char*) override { return nullptr; }
    bool isWindowVisible(void*) override { return false; }
    void closeWindow(void*) override {}
};

NullPlatform g_nullPlatform;
Platform* g_platform = nullptr;

#ifndef _WIN32
Platform* defaultPlatform() {
    return nullptr;
}
#endif

} // namespace

#ifdef _WIN32
Platform* defaultPlatform(); // platform_win32.cpp
#endif

Platform& platform() {
    if (g_platform)
        return *g_platform;
    Platform* p = defaultPlatform();
    return p ? *p : g_nullPlatform;
}

Platform* setPlatform(Platform* p) {
    Platform* previous = g_platform;
    g_platform = p;
    return previous;
}

} // namespace tamsel
