#pragma once
// Loads extensions the way REAPER does on Linux: every "reaper_*.so" (prefix in any case) in the resource
// folder's UserPlugins subfolder, through dlopen; then SWELL_dllMain with DLL_PROCESS_ATTACH and SWELL's
// function getter, when the file has one, and then ReaperPluginEntry. Any other file there is never loaded.
// A file that cannot be loaded or has no entry point is reported in one line and skipped.

#include "hostsim/model/registrations.h"
#include "reaper_abi.h"

#include <cstdio>
#include <string>
#include <vector>

namespace hostsim {

struct LoadedPlugin {
    std::string file; // name within UserPlugins
    void* module = nullptr;
    int entryResult = 0;
};

// What the host hands an extension's SWELL_dllMain: SWELL's getter, a null one, or no call at all.
enum class SwellHandover { Getter, NullGetter, NoCall };

// True for the names REAPER loads on Linux: "reaper_" (any case) at the start and ".so" at the end.
bool isLinuxExtensionFileName(const std::string& name);

// Loads and enters every extension of `resourceFolder`/UserPlugins in name order, with `info` as the host
// information record. Returns the ones whose entry returned non-zero; libraries whose entry returned 0 are
// closed again, as REAPER does, after what they registered in `registrations` (owned by their file names)
// is withdrawn. Problems are reported to `report`, one line each.
std::vector<LoadedPlugin> loadLinuxUserPlugins(const std::string& resourceFolder, reaper_plugin_info_t& info,
                                               SwellHandover swell, void* (*swellGetFunc)(const char*),
                                               Registrations& registrations, std::FILE* report);

struct UnloadReport {
    // What an extension still had registered after its entry point's unload call, surface types aside
    // (the host drops those itself): "custom_action TAMSEL_X 53000", "hookcommand2".
    std::vector<std::string> leftBehind;
    int stillMapped = 0; // libraries dlclose did not unmap
};

// The host's unload: each entry point with a null record, SWELL_dllMain with DLL_PROCESS_DETACH, then
// whatever the extension left registered goes (nothing may point into an unmapped library) and dlclose,
// last loaded first.
UnloadReport unloadLinuxUserPlugins(std::vector<LoadedPlugin>& plugins, Registrations& registrations);

} // namespace hostsim
