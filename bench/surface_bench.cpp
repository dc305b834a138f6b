// What the surface costs the host: CPU time of its calls, and the milliseconds its calls hold the host's
// thread while its output worker keeps the pauses. Reports only; nothing here passes or fails.
#include "cc121_controls.h"
#include "cc121_surface.h"
#include "host_api.h"
#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"
#include "midi_monitor.h"
#include "platform.h"
#include "stub_host.h"
#include "surface_settings.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <thread>

namespace {

// Time moves only when we say; pauses are counted, and slept for real when `sleeps` is set (they happen on
// the surface's output worker).
class CountingPlatform final : public tamsel::Platform {
public:
    std::uint32_t nowMs() override { return now; }
    void pauseMs(std::uint32_t ms) override {
        pausedMs += ms;
        if (sleeps)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    std::vector<std::string> listFiles(const std::string&) override { return {}; }
    void turnMouseWheel(int) override {}
    void* findDialogWindow(const char*) override { return nullptr; }
    bool isWindowVisible(void*) override { return false; }
    void closeWindow(void*) override {}

    std::uint32_t now = 1000000;
    std::atomic<std::uint64_t> pausedMs{0};
    bool sleeps = false;
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
        host.midi().fake()->clearSent(); // safe while the worker sends
    }
    void inject(std::vector<unsigned char> bytes) { host.midi().fake()->input(0)->inject(bytes); }
    MediaTrack* track() { return host.handle(*host.project().track(1)); }
    void afterRun() { host.log().clear(); }

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

// Times the calling thread gave up the processor of its own accord (sleeping, or waiting for a lock or a
// condition): inside a surface call that is the host's thread blocked.
long voluntarySwitches() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

// What the surface's calls cost the host's thread over five real seconds of Runs at 30 Hz, with the output
// worker's pauses slept for real: steady state, while paused (Play blinks), and under a lamp change on every
// Run. waits_in_calls counts the times the thread blocked inside a surface call (a sleep or a lock wait);
// held_ms_per_s is all the wall time it spent inside them, the simulated host's own bookkeeping and any
// preemption on a busy machine included; worker_paused_ms_per_s is what the pauses cost the worker instead.
// The same surface against the host stub, which costs nothing of its own: the surface's own share.
struct StubRig {
    StubRig() {
        previous = tamsel::setPlatform(&platform);
        bench::bindStubHost();
        surface = std::make_unique<CC121>(ParseSurfaceSettings("0 31 0 0 0 0 10"), nullptr);
        surface->OnTrackSelection(bench::g_track);
    }
    ~StubRig() {
        surface.reset();
        tamsel::setPlatform(previous);
        host::unbindFunctions();
    }
    MediaTrack* track() { return bench::g_track; }
    void afterRun() {}

    CountingPlatform platform;
    tamsel::Platform* previous = nullptr;
    std::unique_ptr<CC121> surface;
};

template <class AnyRig> void measureHeld(benchmark::State& state, AnyRig& rig, int scenario) {
    using Clock = std::chrono::steady_clock;
    rig.platform.sleeps = true;
    Clock::duration held{};
    long waits = 0;
    auto timed = [&](auto&& call) {
        const long waitsBefore = voluntarySwitches();
        const auto start = Clock::now();
        call();
        held += Clock::now() - start;
        waits += voluntarySwitches() - waitsBefore;
    };
    timed([&] {
        if (scenario == 1)
            rig.surface->SetPlayState(false, true, false);
    });
    rig.platform.pausedMs = 0;
    const int runs = 5 * 30;
    auto tick = Clock::now();
    for (int i = 0; i < runs; ++i) {
        timed([&] {
            if (scenario == 2)
                rig.surface->SetSurfaceMute(rig.track(), i % 2 == 0);
            rig.platform.now += 33;
            rig.surface->Run();
        });
        rig.afterRun();
        tick += std::chrono::milliseconds(33);
        std::this_thread::sleep_until(tick);
    }
    const double seconds = runs * 33 / 1000.0;
    state.counters["held_ms_per_s"] = std::chrono::duration<double, std::milli>(held).count() / seconds;
    state.counters["waits_in_calls"] = static_cast<double>(waits);
    state.counters["worker_paused_ms_per_s"] = static_cast<double>(rig.platform.pausedMs) / seconds;
}

// Scenarios 0-2 in the simulated host, 3-5 the same against the host stub.
void BlockedMsPerSecond(benchmark::State& state) {
    const int scenario = static_cast<int>(state.range(0));
    for (auto _ : state) {
        if (scenario < 3) {
            Rig rig;
            measureHeld(state, rig, scenario);
        } else {
            StubRig rig;
            measureHeld(state, rig, scenario - 3);
        }
    }
}
BENCHMARK(BlockedMsPerSecond)
    ->DenseRange(0, 5)
    ->ArgNames({"steady0_paused1_lamps2_stub3_4_5"})
    ->Iterations(1);

// "Show controller MIDI in the console" during a flood of 3,000 controller messages a second (100 a Run at
// 30 Hz): what the host's thread spends inside Run with the monitor off and on, and what reaches the
// console (at most 50 lines and one count a Run).
void ConsoleFlood(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const bool monitor = state.range(0) != 0;
    for (auto _ : state) {
        Rig rig;
        rig.platform.sleeps = true;
        tamsel::setMidiMonitorOn(monitor);
        Clock::duration held{};
        const int runs = 5 * 30;
        std::size_t lines = 0;
        auto tick = Clock::now();
        for (int i = 0; i < runs; ++i) {
            for (int k = 0; k < 100; ++k)
                rig.inject({0xB0, cc121::kCcPan, static_cast<unsigned char>(k % 2 ? 0x41 : 0x01)});
            const auto start = Clock::now();
            rig.platform.now += 33;
            rig.surface->Run();
            held += Clock::now() - start;
            const std::string& text = rig.host.console();
            lines += static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
            rig.host.clearConsole();
            rig.afterRun();
            tick += std::chrono::milliseconds(33);
            std::this_thread::sleep_until(tick);
        }
        tamsel::setMidiMonitorOn(false);
        const double seconds = runs * 33 / 1000.0;
        state.counters["held_ms_per_s"] = std::chrono::duration<double, std::milli>(held).count() / seconds;
        state.counters["console_lines_per_s"] = static_cast<double>(lines) / seconds;
    }
}
BENCHMARK(ConsoleFlood)->Arg(0)->Arg(1)->ArgNames({"monitor"})->Iterations(1);

} // namespace

BENCHMARK_MAIN();
