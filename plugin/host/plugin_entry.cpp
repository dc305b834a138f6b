#include "plugin_entry.h"

#include "cc121_surface.h"
#include "host_api.h"
#include "surface_settings.h"

#include <new>

namespace tamsel {
namespace {

HINSTANCE g_instance = nullptr;

// Until the surface and its configuration page exist, the host gets nothing to create or show.
IReaperControlSurface* createSurface(const char*, const char*, int*) {
    return nullptr;
}
HWND showConfigPage(const char*, HWND, const char*) {
    return nullptr;
}

const reaper_csurf_reg_t kRegistration = {"CC121", "Steinberg CC121", createSurface, showConfigPage};

} // namespace

int pluginEntry(HINSTANCE instance, reaper_plugin_info_t* rec) {
    if (!rec)
        return 0; // the host is unloading us; nothing was allocated to release
    if (rec->caller_version != kReaperPluginVersion || !rec->GetFunc)
        return 0;
    g_instance = instance;
    if (!host::bindFunctions(rec->GetFunc))
        return 0;
    if (rec->Register)
        rec->Register("csurf", const_cast<reaper_csurf_reg_t*>(&kRegistration));
    return 1;
}

HINSTANCE moduleInstance() {
    return g_instance;
}

const reaper_csurf_reg_t& surfaceRegistration() {
    return kRegistration;
}

} // namespace tamsel
