// The Linux plug-in's exports: ReaperPluginEntry here, and SWELL_dllMain from WDL's
// swell-modstub-generic.cpp, which REAPER calls first to hand over its SWELL functions. Exceptions must never
// cross into the host.
#include "config_page_dialog.h"
#include "output_queue_registry.h"
#include "platform_posix.h"
#include "plugin_entry.h"

namespace {

// Without SWELL there is nothing to show a page with: the host then offers none.
HWND showConfigPageThroughSwell(const char* typeString, HWND parent, const char* initConfigString) {
    return tamsel::swellProvided() ? showConfigPage(typeString, parent, initConfigString) : nullptr;
}

// Lives as long as the library: installs the platform at load, and at unload stops the output workers of
// surfaces the host never destroyed, before their code is unmapped under them.
struct LibraryLifetime {
    LibraryLifetime() {
        tamsel::setPlatform(&tamsel::posixPlatform());
        // Nothing runs yet; the call makes the queues' registry exist before this object, so that it is
        // destroyed after it.
        tamsel::stopAllOutputQueues();
    }
    ~LibraryLifetime() { tamsel::stopAllOutputQueues(); }
    LibraryLifetime(const LibraryLifetime&) = delete;
    LibraryLifetime& operator=(const LibraryLifetime&) = delete;
};
LibraryLifetime g_lifetime;

} // namespace

extern "C" __attribute__((visibility("default"))) int ReaperPluginEntry(HINSTANCE instance,
                                                                        reaper_plugin_info_t* rec) {
    try {
        tamsel::setConfigPageFunction(showConfigPageThroughSwell);
        return tamsel::pluginEntry(instance, rec);
    } catch (...) {
        return 0;
    }
}
