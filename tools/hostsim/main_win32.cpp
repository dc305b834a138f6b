// hostsim.exe: loads a control-surface plug-in exactly as REAPER does (LoadLibrary, ReaperPluginEntry with a
// real GetFunc and Register) against the simulated project, and reports what the plug-in registered.
#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using EntryProc = int (*)(HINSTANCE, reaper_plugin_info_t*);

struct Registered {
    std::string kind;
    reaper_csurf_reg_t surface{};
};
std::vector<Registered> g_registered;

int registerCallback(const char* name, void* info) {
    if (!name)
        return 0;
    Registered r;
    r.kind = name;
    if (r.kind == "csurf" && info)
        r.surface = *static_cast<reaper_csurf_reg_t*>(info);
    g_registered.push_back(r);
    return 1;
}

const char* orNull(const char* s) {
    return s ? s : "(null)";
}

int run(const char* dllPath) {
    hostsim::Host host;
    hostsim::CurrentHost current(host);

    HMODULE module = LoadLibraryA(dllPath);
    if (!module) {
        std::printf("hostsim: cannot load %s (error %lu)\n", dllPath, GetLastError());
        return 2;
    }
    auto entry =
        reinterpret_cast<EntryProc>(reinterpret_cast<void*>(GetProcAddress(module, "ReaperPluginEntry")));
    if (!entry) {
        std::printf("hostsim: %s has no ReaperPluginEntry\n", dllPath);
        FreeLibrary(module);
        return 2;
    }

    reaper_plugin_info_t info{};
    info.caller_version = kReaperPluginVersion;
    info.hwnd_main = nullptr;
    info.Register = registerCallback;
    info.GetFunc = hostsim::getFunc;
    const int result = entry(reinterpret_cast<HINSTANCE>(module), &info);
    std::printf("hostsim: ReaperPluginEntry returned %d after %zu function lookups\n", result,
                host.lookups().size());

    for (const Registered& r : g_registered) {
        if (r.kind == "csurf")
            std::printf("hostsim: registered csurf type \"%s\" (\"%s\")\n", orNull(r.surface.type_string),
                        orNull(r.surface.desc_string));
        else
            std::printf("hostsim: registered %s\n", r.kind.c_str());
    }

    entry(nullptr, nullptr); // the host's unload call
    FreeLibrary(module);
    return result == 1 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    return run(argc > 1 ? argv[1] : "tamsel.dll");
}
