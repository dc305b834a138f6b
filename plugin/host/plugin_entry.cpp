#include "plugin_entry.h"

#include "cc121_surface.h"
#include "host_api.h"
#include "surface_settings.h"

#include <new>

namespace tamsel {
namespace {

HINSTANCE g_instance = nullptr;

IReaperControlSurface* createSurface(const char*, const char* configString, int* errStats) {
    try {
        return new (std::nothrow) CC121(ParseSurfaceSettings(configString), errStats);
    } catch (...) {
        return nullptr; // nothing may cross into the host
    }
}

ConfigPageFunction g_configPage = nullptr;

HWND showConfigPage(const char* typeString, HWND parent, const char* initConfigString) {
    try {
        return g_configPage ? g_configPage(typeString, parent, initConfigString) : nullptr;
    } catch (...) {
        return nullptr;
    }
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

void setConfigPageFunction(ConfigPageFunction function) {
    g_configPage = function;
}

HINSTANCE moduleInstance() {
    return g_instance;
}

const reaper_csurf_reg_t& surfaceRegistration() {
    return kRegistration;
}

} // namespace tamsel
