// The POSIX services behind the portable core. Windows (the host's routing and FX windows, the mouse wheel)
// are REAPER's SWELL windows, reached through the functions SWELL_dllMain filled.
#include "platform_posix.h"

#include "swell.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include <dirent.h>
#include <dlfcn.h>
#include <fnmatch.h>

namespace tamsel {
namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

bool isDirectory(const std::string& path) {
    return Dir(opendir(path.c_str())) != nullptr;
}

class PosixPlatform final : public Platform {
public:
    // The monotonic clock in milliseconds, cut to 32 bits: it wraps like timeGetTime, and the core compares
    // times as unsigned differences.
    std::uint32_t nowMs() override {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                        static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
        return static_cast<std::uint32_t>(ms);
    }
    // Runs on the surface's output worker. Sleeps to an absolute deadline, so a signal that interrupts the
    // sleep does not shorten the gap the controller needs.
    void pauseMs(std::uint32_t ms) override {
        timespec deadline{};
        clock_gettime(CLOCK_MONOTONIC, &deadline);
        deadline.tv_sec += static_cast<time_t>(ms / 1000);
        deadline.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
        if (deadline.tv_nsec >= 1000000000L) {
            deadline.tv_sec += 1;
            deadline.tv_nsec -= 1000000000L;
        }
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
        }
    }
    // "<folder>/*.eqmap": the names in the folder that match the pattern's last part, compared as the file
    // system stores them (case-sensitive), in name order as Windows' own disks list them (a folder here lists
    // in no order, and the first map of an ID wins). Folders are left out.
    std::vector<std::string> listFiles(const std::string& pattern) override {
        std::vector<std::string> names;
        const std::size_t slash = pattern.find_last_of('/');
        const std::string folder = slash == std::string::npos ? std::string(".") : pattern.substr(0, slash);
        const std::string wildcard = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
        Dir dir(opendir(folder.c_str()));
        if (!dir)
            return names;
        while (const dirent* entry = readdir(dir.get())) {
            if (entry->d_type == DT_DIR || fnmatch(wildcard.c_str(), entry->d_name, 0) != 0)
                continue;
            // A link or a file system that does not tell the type: look at what the name leads to.
            if (entry->d_type != DT_REG && isDirectory(folder + "/" + entry->d_name))
                continue;
            names.emplace_back(entry->d_name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    char pathSeparator() override { return '/'; }
    std::size_t maxPathLength() override { return PATH_MAX; }

    // SWELL has no synthesized input: the window under the pointer gets the wheel message itself.
    void turnMouseWheel(int delta) override {
        if (!swellProvided())
            return;
        POINT cursor{};
        GetCursorPos(&cursor);
        if (HWND window = WindowFromPoint(cursor))
            PostMessage(window, WM_MOUSEWHEEL, MAKEWPARAM(0, delta & 0xFFFF), MAKELPARAM(cursor.x, cursor.y));
    }

    // SWELL gives REAPER's dialogs no class of their own: a top-level window with the exact title is the one.
    void* findDialogWindow(const char* title) override {
        return swellProvided() ? FindWindowEx(nullptr, nullptr, nullptr, title) : nullptr;
    }
    bool isWindowVisible(void* window) override {
        return swellProvided() && IsWindowVisible(static_cast<HWND>(window));
    }
    void closeWindow(void* window) override {
        if (swellProvided())
            SendMessage(static_cast<HWND>(window), WM_CLOSE, 0, 0);
    }

    // Opening the plug-in's own file once more, never to be closed, keeps it mapped whatever the host does.
    void keepCodeLoaded() override {
        Dl_info self{};
        if (dladdr(reinterpret_cast<void*>(&posixPlatform), &self) && self.dli_fname)
            dlopen(self.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
};

} // namespace

Platform& posixPlatform() {
    static PosixPlatform platform;
    return platform;
}

bool swellProvided() {
    // SWELL_dllMain fills every pointer at once, or none when it was not called or called without a getter.
    return SWELL_CreateDialog != nullptr && SendMessage != nullptr && FindWindowEx != nullptr;
}

} // namespace tamsel
