#pragma once
// A CC121 surface inside the simulated host, with a clock that moves only when a test says so and a wire
// transcript in which the surface's pauses appear between the messages they separate. The surface's worker
// sends the wire; the fixture waits for it to finish before it reads or clears what went out.

#include "cc121_surface.h"
#include "host_api.h"
#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"
#include "platform.h"
#include "surface_settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using Lines = std::vector<std::string>;

class SurfaceFakePlatform final : public tamsel::Platform {
public:
    struct Window {
        std::string title;
        bool visible = true;
        bool closed = false;
    };

    std::uint32_t nowMs() override { return now; }
    // Called on the surface's worker; sleeps for real when a test needs the worker to lag behind.
    void pauseMs(std::uint32_t ms) override {
        pauses.push_back({sentCount ? sentCount() : 0, ms});
        if (realPauses)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    // The map folder as a test fills it: names only, the files themselves live where the pattern points.
    std::vector<std::string> listFiles(const std::string& pattern) override {
        patterns.push_back(pattern);
        return files;
    }
    void turnMouseWheel(int delta) override { wheel.push_back(delta); }
    void* findDialogWindow(const char* title) override {
        found.emplace_back(title);
        for (Window& w : windows)
            if (!w.closed && w.title == title)
                return &w;
        return nullptr;
    }
    bool isWindowVisible(void* window) override { return static_cast<Window*>(window)->visible; }
    void closeWindow(void* window) override {
        auto* w = static_cast<Window*>(window);
        w->closed = true;
        closedTitles.push_back(w->title);
    }

    struct Pause {
        std::size_t afterMessages;
        std::uint32_t ms;
    };
    std::uint32_t now = 100000;
    bool realPauses = false;
    std::vector<Pause> pauses;
    std::vector<std::string> files;
    std::vector<std::string> patterns;
    std::vector<int> wheel;
    std::vector<Window> windows;
    std::vector<std::string> found;
    std::vector<std::string> closedTitles;
    std::function<std::size_t()> sentCount;
};

class SurfaceTest : public ::testing::Test {
protected:
    static constexpr int kTracks = 4;

    void SetUp() override {
        m_previous = tamsel::setPlatform(&platform);
        ASSERT_TRUE(host::bindFunctions(hostsim::getFunc));
        host.midi().addInput("CC121 In");
        host.midi().addOutput("CC121 Out");
        for (int i = 1; i <= kTracks; ++i)
            host.project().addTrack("Track " + std::to_string(i));
        platform.sentCount = [this] {
            return host.midi().fake()->sent(0).size();
        };
    }
    void TearDown() override {
        if (surface)
            host.surfaces().remove(surface.get());
        surface.reset();
        tamsel::setPlatform(m_previous);
        host::unbindFunctions();
    }

    // Creates the surface on both ports (or as `config` says) and takes the construction's calls out of the
    // log and the wire.
    void create(const char* config = "0 31 0 0 0 0 10") {
        if (surface)
            host.surfaces().remove(surface.get());
        surface.reset();
        surface.reset(new CC121(ParseSurfaceSettings(config), &errorFlags));
        host.surfaces().add(surface.get()); // as the host does once create returns
        clear();
    }
    // Waits until the surface's worker has sent everything queued.
    void sync() {
        if (surface)
            surface->waitOutputIdle();
    }
    void clear() {
        sync();
        host.log().clear();
        if (host.midi().fake())
            host.midi().fake()->clearSent();
        platform.pauses.clear();
    }
    hostsim::FakeMidiInput& input() { return *host.midi().fake()->input(0); }
    void inject(std::vector<unsigned char> bytes) { input().inject(bytes); }
    void press(unsigned char note) { inject({0x90, note, 0x7F}); }
    void release(unsigned char note) { inject({0x80, note, 0x00}); }
    void turn(unsigned char controller, unsigned char value) { inject({0xB0, controller, value}); }
    // Advances the clock and runs the surface once.
    void run(std::uint32_t advanceMs = 10) {
        platform.now += advanceMs;
        surface->Run();
        sync();
    }
    // Binds the surface to track `id` the way the host's selection report does.
    void bindTo(int id) {
        surface->OnTrackSelection(handleAt(id));
        clear();
    }
    // A surface bound to `track` (to none if negative) past its first Run, whose host-ready message brings
    // the full resend.
    void start(const char* config = "0 31 0 0 0 0 10", int track = 2) {
        create(config);
        if (track >= 0)
            bindTo(track);
        run();
        clear();
    }
    // Runs once and returns the host's actions of that run.
    Lines step(std::uint32_t advanceMs = 10) {
        host.log().clear();
        run(advanceMs);
        return actions();
    }
    hostsim::Track& trackAt(int id) { return *host.project().fromId(id, false); }
    MediaTrack* handleAt(int id) { return host.handle(trackAt(id)); }

    // What went out on the wire since the last clear, with the surface's pauses where they fell.
    std::vector<std::string> wire() {
        std::vector<std::string> out;
        const auto& sent = this->sent();
        std::size_t pause = 0;
        for (std::size_t i = 0; i <= sent.size(); ++i) {
            while (pause < platform.pauses.size() && platform.pauses[pause].afterMessages == i)
                out.push_back("pause " + std::to_string(platform.pauses[pause++].ms));
            if (i == sent.size())
                break;
            std::string line;
            for (unsigned char b : sent[i].bytes) {
                char hex[4];
                std::snprintf(hex, sizeof hex, "%s%02X", line.empty() ? "" : " ", b);
                line += hex;
            }
            out.push_back(line);
        }
        return out;
    }
    std::vector<std::string> actions() { return host.log().actions(); }
    // What the surface's worker sent on output 0, once it is idle.
    const std::vector<hostsim::WireMessage>& sent() {
        sync();
        return host.midi().fake()->sent(0);
    }

    hostsim::Host host;
    hostsim::CurrentHost current{host};
    SurfaceFakePlatform platform;
    std::unique_ptr<CC121> surface;
    int errorFlags = 0;

private:
    tamsel::Platform* m_previous = nullptr;
};

// One lamp update: the Note Ons, the pause, the Note Offs.
inline Lines lampGroup(std::initializer_list<std::pair<unsigned char, bool>> lamps) {
    Lines out;
    char text[16];
    for (const auto& [note, on] : lamps) {
        std::snprintf(text, sizeof text, "90 %02X %s", note, on ? "7F" : "00");
        out.push_back(text);
    }
    out.push_back("pause 5");
    for (const auto& lamp : lamps) {
        std::snprintf(text, sizeof text, "80 %02X 00", lamp.first);
        out.push_back(text);
    }
    return out;
}

// One transcript followed by another.
inline Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The host-ready message as it goes out, with its pause.
inline const Lines kHostReady = {"F0 43 10 3E 15 00 01 F7", "pause 5"};
