// What the surface costs the host: CPU time of its calls, and the milliseconds its pauses block the host's
// thread. Reports only; nothing here passes or fails.
#include "cc121_controls.h"
#include "cc121_surface.h"
#include "host_api.h"
#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"
#include "platform.h"
#include "surface_settings.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

// Time moves only when we say; pauses are counted, not slept.
class CountingPlatform final : public tamsel::Platform {
public:
    std::uint32_t nowMs() override { return now; }
    void pauseMs(std::uint32_t ms) override { pausedMs += ms; }
    std::vector<std::string> listFiles(const std::string&) override { return {}; }
    void turnMouseWheel(int) override {}
    void* findDialogWindow(const char*) override { return nullptr; }
    bool isWindowVisible(void*) override { return false; }
    void closeWindow(void*) override {}

    std::uint32_t now = 1000000;
    std::uint64_t pausedMs = 0;
};

struct Rig {
    Rig() {
        previous = tamsel::setPlatform(&platform);
        host::bindFunctions(hostsim::getFunc);
        host.midi().addInput("In");
        host.midi().addOutput("Out");
        for (int i = 1; i <= 8; ++i)
            host.project().addTrack("Track " + std::to_string(i));
        surface = std::make_unique<CC121>(ParseSurfaceSettings("0 31 0 0 0 0 10"), nullptr);
        host.surfaces().add(surface.get());
        host.userSelect(*host.project().track(1));
        step(33);
    }
    ~Rig() {
        host.surfaces().remove(surface.get());
        surface.reset();
        tamsel::setPlatform(previous);
        host::unbindFunctions();
    }
    void step(std::uint32_t ms) {
        platform.now += ms;
        surface->Run();
        host.log().clear();
        host.midi().fake()->clearSent();
    }
    void inject(std::vector<unsigned char> bytes) { host.midi().fake()->input(0)->inject(bytes); }

    hostsim::Host host;
    hostsim::CurrentHost current{host};
    CountingPlatform platform;
    tamsel::Platform* previous = nullptr;
    std::unique_ptr<CC121> surface;
};

void IdleRun(benchmark::State& state) {
    Rig rig;
    for (auto _ : state)
        rig.step(1); // 1 ms apart: no poll is due
}
BENCHMARK(IdleRun);

void RunWithPolls(benchmark::State& state) {
    Rig rig;
    for (auto _ : state)
        rig.step(250); // every window, EQ and monitor poll is due
}
BENCHMARK(RunWithPolls);

void DispatchOneEncoderEvent(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        rig.inject({0xB0, cc121::kCcPan, 0x01});
        rig.step(1);
    }
}
BENCHMARK(DispatchOneEncoderEvent);

void LampUpdate(benchmark::State& state) {
    Rig rig;
    bool on = false;
    for (auto _ : state) {
        on = !on;
        rig.surface->SetLamp(cc121::kBitMute, on);
    }
}
BENCHMARK(LampUpdate);

void FullResend(benchmark::State& state) {
    Rig rig;
    for (auto _ : state)
        rig.step(1600); // a gap of more than 1.5 s brings the full resend
}
BENCHMARK(FullResend);

// Milliseconds a second that the surface's pauses block the host thread, over a simulated minute of Runs
// at 30 Hz: steady state, while paused (Play blinks), and under a stream of lamp changes.
void BlockedMsPerSecond(benchmark::State& state) {
    const int scenario = static_cast<int>(state.range(0));
    double perSecond = 0;
    for (auto _ : state) {
        Rig rig;
        if (scenario == 1)
            rig.surface->SetPlayState(false, true, false);
        rig.platform.pausedMs = 0;
        const int runs = 60 * 30;
        for (int i = 0; i < runs; ++i) {
            if (scenario == 2)
                rig.surface->SetSurfaceMute(rig.host.handle(*rig.host.project().track(1)), i % 2 == 0);
            rig.step(33);
        }
        perSecond = static_cast<double>(rig.platform.pausedMs) / (runs * 33 / 1000.0);
    }
    state.counters["blocked_ms_per_s"] = perSecond;
}
BENCHMARK(BlockedMsPerSecond)->Arg(0)->Arg(1)->Arg(2)->ArgNames({"steady0_paused1_lamps2"})->Iterations(1);

} // namespace

BENCHMARK_MAIN();
