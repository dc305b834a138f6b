// A fixed workload for instruction counting under callgrind, which stays stable on a busy machine:
//   valgrind --tool=callgrind --toggle-collect='CC121::Run()' surface_count MODE 1000
// Divide the reported instructions by the count. Modes:
//   idle, event                  inside the simulated host (which formats a log line for every call)
//   stub-idle, stub-encoder, stub-button
//                                against a host stub that does nothing but answer: what the surface
//                                itself costs REAPER per Run and per dispatched event
#include "cc121_controls.h"
#include "cc121_surface.h"
#include "host_api.h"
#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"
#include "platform.h"
#include "stub_host.h"
#include "surface_settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class StillPlatform final : public tamsel::Platform {
public:
    std::uint32_t nowMs() override { return now; }
    void pauseMs(std::uint32_t) override {}
    std::vector<std::string> listFiles(const std::string&) override { return {}; }
    void turnMouseWheel(int) override {}
    void* findDialogWindow(const char*) override { return nullptr; }
    bool isWindowVisible(void*) override { return false; }
    void closeWindow(void*) override {}
    std::uint32_t now = 1000000;
};

int runStub(const char* mode, int count) {
    bench::bindStubHost();
    CC121 surface(ParseSurfaceSettings("0 31 0 0 0 0 10"), nullptr);
    surface.OnTrackSelection(bench::g_track); // the stub's track 1
    surface.Run(); // host-ready and polls happen here; the clock stands still after it
    MIDI_event_t event{0, 3, {0, 0, 0, 0}};
    if (std::strcmp(mode, "stub-encoder") == 0)
        event = MIDI_event_t{0, 3, {0xB0, cc121::kCcPan, 0x01, 0}};
    else if (std::strcmp(mode, "stub-button") == 0)
        event = MIDI_event_t{0, 3, {0x90, cc121::kNotePlay, 0x7F, 0}};
    const bool events = event.midi_message[0] != 0;
    for (int i = 0; i < count; ++i) {
        if (events)
            bench::g_input.pending.events.push_back(event);
        surface.Run();
    }
    surface.waitOutputIdle();
    std::printf("%d %s runs\n", count, mode);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "idle";
    const int count = argc > 2 ? std::atoi(argv[2]) : 1000;
    StillPlatform platform;
    tamsel::setPlatform(&platform);
    if (std::strncmp(mode, "stub-", 5) == 0)
        return runStub(mode, count);

    const bool events = std::strcmp(mode, "event") == 0;
    hostsim::Host host;
    hostsim::CurrentHost current(host);
    host::bindFunctions(hostsim::getFunc);
    host.midi().addInput("In");
    host.midi().addOutput("Out");
    for (int i = 1; i <= 8; ++i)
        host.project().addTrack("Track " + std::to_string(i));
    CC121 surface(ParseSurfaceSettings("0 31 0 0 0 0 10"), nullptr);
    host.surfaces().add(&surface);
    host.userSelect(*host.project().track(1));
    platform.now += 33;
    surface.Run(); // the first Run's host-ready message and full resend stay out of the measurement
    for (int i = 0; i < count; ++i) {
        if (events)
            host.midi().fake()->input(0)->inject({0xB0, cc121::kCcPan, 0x01});
        platform.now += 1; // no poll is due
        surface.Run();
        host.log().clear();
    }
    surface.waitOutputIdle();
    host.surfaces().remove(&surface);
    std::printf("%d %s runs\n", count, events ? "event" : "idle");
    return 0;
}
