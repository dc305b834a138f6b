// The Linux plug-in as shipped (reaper_tamsel-<arch>.so, loaded with dlopen) against the host stub, for
// instruction counting under callgrind, as surface_count does for the core linked in:
//   valgrind --tool=callgrind --toggle-collect='runOnce(IReaperControlSurface*)' plugin_count PLUGIN MODE N
// MODE is stub-idle, stub-encoder (one pan-encoder event a Run) or stub-button (one Play press a Run). The
// plug-in keeps its own clock, the real one, so its polls fall due as time passes: compare counts of
// different N to take them and the first Run out.
#include "cc121_controls.h"
#include "host_api.h"
#include "reaper_abi.h"
#include "stub_host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dlfcn.h>

namespace {

const reaper_csurf_reg_t* g_type = nullptr;

int registerType(const char* name, void* info) {
    if (name && std::strcmp(name, "csurf") == 0 && info)
        g_type = static_cast<const reaper_csurf_reg_t*>(info);
    return 1;
}

// The stub's functions by name, as GetFunc hands them out.
void* stubFunction(const char* name) {
#define TAMSEL_STUB_LOOKUP(ret, fn, params)                                                                  \
    if (std::strcmp(name, #fn) == 0)                                                                         \
        return reinterpret_cast<void*>(host::fn);
    TAMSEL_HOST_FUNCTIONS(TAMSEL_STUB_LOOKUP)
    TAMSEL_OPTIONAL_HOST_FUNCTIONS(TAMSEL_STUB_LOOKUP)
#undef TAMSEL_STUB_LOOKUP
    return nullptr;
}

} // namespace

// What callgrind counts: one Run through the surface's vtable, everything it calls included.
__attribute__((noinline)) void runOnce(IReaperControlSurface* surface) {
    surface->Run();
}

int main(int argc, char** argv) {
    if (argc < 4) {
        std::printf("usage: plugin_count PLUGIN stub-idle|stub-encoder|stub-button COUNT\n");
        return 2;
    }
    const char* mode = argv[2];
    const int count = std::atoi(argv[3]);
    bench::bindStubHost();
    void* plugin = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    using Entry = int (*)(HINSTANCE, reaper_plugin_info_t*);
    const auto entry = plugin ? reinterpret_cast<Entry>(dlsym(plugin, "ReaperPluginEntry")) : nullptr;
    reaper_plugin_info_t info{kReaperPluginVersion, nullptr, registerType, stubFunction};
    if (!entry || !entry(plugin, &info) || !g_type) {
        std::printf("plugin_count: %s did not register a surface type\n", argv[1]);
        return 1;
    }
    IReaperControlSurface* surface = g_type->create("CC121", "0 31 0 0 0 0 10", nullptr);
    surface->OnTrackSelection(bench::g_track); // the stub's track 1
    runOnce(surface);                          // the host-ready message and every poll
    MIDI_event_t event{0, 3, {0, 0, 0, 0}};
    if (std::strcmp(mode, "stub-encoder") == 0)
        event = MIDI_event_t{0, 3, {0xB0, cc121::kCcPan, 0x01, 0}};
    else if (std::strcmp(mode, "stub-button") == 0)
        event = MIDI_event_t{0, 3, {0x90, cc121::kNotePlay, 0x7F, 0}};
    for (int i = 0; i < count; ++i) {
        if (event.midi_message[0] != 0)
            bench::g_input.pending.events.push_back(event);
        runOnce(surface);
    }
    delete surface;
    entry(plugin, nullptr);
    dlclose(plugin);
    std::printf("%d %s runs\n", count, mode);
    return 0;
}
