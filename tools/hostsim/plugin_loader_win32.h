#pragma once
// Loads extensions the way REAPER does at start-up: every "reaper_*.dll" (any case) in the resource
// folder's UserPlugins subfolder, each through LoadLibrary and its ReaperPluginEntry. Any other file there
// is never loaded. A file that cannot be loaded or has no entry point is reported in one line and skipped.

#include "hostsim/model/registrations.h"
#include "reaper_abi.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace hostsim {

struct LoadedPlugin {
    std::string file; // name within UserPlugins
    HMODULE module = nullptr;
    int entryResult = 0;
};

// True for the names REAPER loads: "reaper_" at the start and ".dll" at the end, compared without case.
bool isExtensionFileName(const std::string& name);

// Loads and enters every extension of `resourceFolder`\UserPlugins in name order (case-insensitive), with
// `info` as the host information record. Returns the ones whose entry returned non-zero; modules whose
// entry returned 0 are freed again, as REAPER does, after what they registered in `registrations` (when
// given; each plug-in's registrations are owned by its file name) is withdrawn: nothing may point into a
// freed module. Problems are reported to `report`, one line each.
std::vector<LoadedPlugin> loadUserPlugins(const std::string& resourceFolder, reaper_plugin_info_t& info,
                                          std::FILE* report, Registrations* registrations = nullptr);

// The host's unload: each entry point with a null record, then FreeLibrary, last loaded first.
void unloadUserPlugins(std::vector<LoadedPlugin>& plugins);

} // namespace hostsim
