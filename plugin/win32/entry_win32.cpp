// The plug-in's only export. Exceptions must never cross into the host.
#include "plugin_entry.h"

#include <windows.h>

extern "C" __declspec(dllexport) int ReaperPluginEntry(HINSTANCE instance, reaper_plugin_info_t* rec) {
    try {
        return tamsel::pluginEntry(instance, rec);
    } catch (...) {
        return 0;
    }
}
