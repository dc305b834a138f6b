#include "plugin_entry.h"

#include "cc121_surface.h"
#include "host_api.h"
#include "surface_actions.h"
#include "surface_settings.h"

#include <new>
#include <string>

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

// One line in the host's console, when the host can show one, so a user sees why "CC121" is missing.
void reportMissingFunction(reaper_plugin_info_t* rec, const char* name) {
    using ShowConsoleMsgProc = void (*)(const char*);
    auto show = reinterpret_cast<ShowConsoleMsgProc>(rec->GetFunc("ShowConsoleMsg"));
    if (!show || !name)
        return;
    const std::string line = std::string("CC121 surface (reaper_tamsel): not loaded, this REAPER has no ") +
                             name + "; a newer REAPER is needed.\n";
    show(line.c_str());
}

} // namespace

int pluginEntry(HINSTANCE instance, reaper_plugin_info_t* rec) {
    if (!rec) {
        unregisterActions(); // the host is unloading us
        return 0;
    }
    if (rec->caller_version != kReaperPluginVersion || !rec->GetFunc)
        return 0;
    g_instance = instance;
    const char* missing = nullptr;
    if (!host::bindFunctions(rec->GetFunc, &missing)) {
        reportMissingFunction(rec, missing);
        return 0;
    }
    if (rec->Register) {
        rec->Register("csurf", const_cast<reaper_csurf_reg_t*>(&kRegistration));
        registerActions(rec->Register);
    }
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
