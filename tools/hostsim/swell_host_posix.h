#pragma once
// The host's own SWELL on Linux: the headless libSwell.so built beside the host from the same WDL, loaded as
// REAPER loads its own. Its getter is what the host hands extensions through SWELL_dllMain; the host uses
// its windows itself to stand in for REAPER's preferences.

#include "reaper_abi.h"

#include <cstdio>
#include <string>

namespace hostsim {

using SwellGetFunc = void* (*)(const char* name);

class HostSwell {
public:
    // Loads the library at `path` and fills the host's SWELL functions from it; loaded() tells whether it
    // worked, error() why not. The library stays loaded for the life of the process, as REAPER keeps its own.
    explicit HostSwell(const std::string& path);
    HostSwell(const HostSwell&) = delete;
    HostSwell& operator=(const HostSwell&) = delete;

    bool loaded() const { return m_getFunc != nullptr; }
    SwellGetFunc getFunc() const { return m_getFunc; }
    const std::string& error() const { return m_error; }

private:
    SwellGetFunc m_getFunc = nullptr;
    std::string m_error;
};

// The configuration page's round trip as REAPER's preferences make it: the page created through the
// extension's ShowConfig inside a window standing in for the preferences, checked to show the string it was
// given, its controls set with SendMessage as a user's clicks and typing would, and the configuration string
// read back with WM_USER + 1024. When the extension was handed no SWELL (`pageExpected` false), ShowConfig
// must give no page instead. Writes PASS or FAIL lines to `out`; returns the number of failures.
int configPageRoundTrip(const reaper_csurf_reg_t& surface, bool pageExpected, std::FILE* out);

} // namespace hostsim
