// A fixed workload for instruction counting under callgrind, which stays stable on a busy machine:
//   valgrind --tool=callgrind --toggle-collect='CC121::Run()' surface_count idle 1000
//   valgrind --tool=callgrind --toggle-collect='CC121::Run()' surface_count event 1000
// Divide the reported instructions by the count.
#include "cc121_controls.h"
#include "cc121_surface.h"
#include "host_api.h"
#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"
#include "platform.h"
#include "surface_settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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

} // namespace

int main(int argc, char** argv) {
    const bool events = argc > 1 && std::strcmp(argv[1], "event") == 0;
    const int count = argc > 2 ? std::atoi(argv[2]) : 1000;
    StillPlatform platform;
    tamsel::setPlatform(&platform);
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
    host.surfaces().remove(&surface);
    std::printf("%d %s runs\n", count, events ? "event" : "idle");
    return 0;
}
