#pragma once
// The few operating-system services the plug-in's portable core needs. The DLL installs the Win32
// implementation; native tests install fakes, so time runs only when a test says so.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tamsel {

class Platform {
public:
    virtual ~Platform() = default;

    // Milliseconds of the system's multimedia timer; compare as unsigned, it wraps.
    virtual std::uint32_t nowMs() = 0;
    // Blocks the calling thread (the surface's output worker) for at least `ms` milliseconds.
    virtual void pauseMs(std::uint32_t ms) = 0;
    // Names (not paths) of the files matching a wildcard pattern such as "C:\dir\*.eqmap", in the order
    // the system's directory search returns them.
    virtual std::vector<std::string> listFiles(const std::string& pattern) = 0;
    // How the system spells paths: the separator between folder names, and the longest path it takes,
    // terminator included. Windows' (MAX_PATH) unless a platform says otherwise.
    virtual char pathSeparator() { return '\\'; }
    virtual std::size_t maxPathLength() { return 260; }

    // Turns the mouse wheel by `delta` (120 = one notch) wherever the pointer is.
    virtual void turnMouseWheel(int delta) = 0;

    // Top-level dialog windows (class atom 0x8002) found by exact title; null when there is none.
    virtual void* findDialogWindow(const char* title) = 0;
    virtual bool isWindowVisible(void* window) = 0;
    // Asks the window to close (WM_CLOSE), as its close box would.
    virtual void closeWindow(void* window) = 0;

    // A worker of the plug-in was left running (stuck in a pause at shutdown): keeps the plug-in's code in
    // memory until the process ends, so the host unloading it cannot pull the code from under that thread.
    virtual void keepCodeLoaded() {}
};

// The platform in use; never null once the plug-in is loaded.
Platform& platform();
// Installs `p` (tests); null restores the default for this build. Returns the previous one.
Platform* setPlatform(Platform* p);

} // namespace tamsel
