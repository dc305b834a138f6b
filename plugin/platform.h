#pragma once
// The few operating-system services the plug-in's portable core needs. The DLL installs the Win32
// implementation; native tests install fakes, so time runs only when a test says so.

#include <cstdint>
#include <string>
#include <vector>

namespace tamsel {

class Platform {
public:
    virtual ~Platform() = default;

    // Milliseconds of the system's multimedia timer; compare as unsigned, it wraps.
    virtual std::uint32_t nowMs() = 0;
    // Blocks the calling (host) thread.
    virtual void pauseMs(std::uint32_t ms) = 0;
    // Names (not paths) of the files matching a wildcard pattern such as "C:\dir\*.eqmap", in the order
    // the system's directory search returns them.
    virtual std::vector<std::string> listFiles(const std::string& pattern) = 0;
};

// The platform in use; never null once the plug-in is loaded.
Platform& platform();
// Installs `p` (tests); null restores the default for this build. Returns the previous one.
Platform* setPlatform(Platform* p);

} // namespace tamsel
