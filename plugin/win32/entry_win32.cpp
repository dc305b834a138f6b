// The plug-in's only export. Exceptions must never cross into the host.
#include "config_page_dialog.h"
#include "plugin_entry.h"

#include <windows.h>

extern "C" __declspec(dllexport) int ReaperPluginEntry(HINSTANCE instance, reaper_plugin_info_t* rec) {
    try {
        // The page is Win32; the portable entry only forwards the host's ShowConfig to it.
        tamsel::setConfigPageFunction(showConfigPage);
        return tamsel::pluginEntry(instance, rec);
    } catch (...) {
        return 0;
    }
}
