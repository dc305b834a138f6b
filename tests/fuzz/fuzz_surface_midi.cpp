// A CC121 surface inside the simulated host, fed arbitrary MIDI event streams (any sizes, any bytes, shaped
// controller messages among them) with Run cycles, clock jumps, the host's callbacks (any track handle, any
// value, NaN and infinities included), the host's own user actions and dialog windows coming and going.
// The input also picks the project (tracks, folders, mixer visibility, an equaliser with a map, sends) and
// the surface's settings.
//
// Properties after every step: the fader position is within -1..16383 and, after a step that moved the
// motor fader while it is not silenced, equals the last position sent; the lamp word holds only bits of
// buttons with a lamp, and for each of them exactly what the wire last told the controller; the EQ mode is
// 0..2; the current track id is -1 or a track of the project; touch is reported only for what the fader
// drives (pan while flipped, else volume); everything sent is a channel-1 Note On (0x7F/0x00) or Note Off
// (0x00) of a lamp, a Pitch Bend with 7-bit data, or the exact host-ready message; every pause is the 5 ms
// lamp pause; the configuration string the surface reports parses back to its settings and its description
// fits its buffer. At the end the destructor leaves every lamp dark.
#include "cc121_controls.h"
#include "cc121_messages.h"
#include "cc121_surface.h"
#include "fuzz_check.h"
#include "host_api.h"
#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"
#include "platform.h"
#include "surface_settings.h"
#include "window_titles.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const char* const kMapFolder = "\\InstallData\\Data\\CC121\\";
constexpr int kEqParams = 21;
const char* const kFuzzEq = "ID=Fuzz EQ\n"
                            "Q1=0\nQ2=1\nQ3=2\nQ4=3\n"
                            "F1=4\nF2=5\nF3=6\nF4=7\n"
                            "G1=8\nG2=9\nG3=10\nG4=11\n"
                            "T1=12\nT2=13\nT3=14\nT4=15\n"
                            "B1=16\nB2=17\nB3=18\nB4=19\n"
                            "BP=20\n"
                            "QS=100\nFS=-3\nGS=0\nTS=2\n";

class FuzzPlatform final : public tamsel::Platform {
public:
    struct Window {
        std::string title;
        bool visible = true;
        bool closed = false;
    };

    std::uint32_t nowMs() override { return now; }
    void pauseMs(std::uint32_t ms) override { pauses.push_back(ms); }
    std::vector<std::string> listFiles(const std::string&) override { return {"fuzz.eqmap", "gone.eqmap"}; }
    void turnMouseWheel(int) override {}
    void* findDialogWindow(const char* title) override {
        for (Window& w : windows) {
            if (!w.closed && w.title == title) {
                return &w;
            }
        }
        return nullptr;
    }
    bool isWindowVisible(void* window) override { return static_cast<Window*>(window)->visible; }
    void closeWindow(void* window) override { static_cast<Window*>(window)->closed = true; }

    std::uint32_t now = 0;
    std::vector<std::uint32_t> pauses;
    std::vector<Window> windows;
};

FuzzPlatform* g_platform = nullptr;
std::string g_exePath;

// The map file the surface reads through the host's program folder (see the EQ tests: on Linux the
// backslashes are part of one file name).
void writeMapFile() {
    char dir[] = "/tmp/cc121-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(dir) != nullptr);
    g_exePath = std::string(dir) + "/reaper";
    const std::string path = g_exePath + kMapFolder + "fuzz.eqmap";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(f != nullptr);
    std::fputs(kFuzzEq, f);
    std::fclose(f);
    static std::string s_path, s_dir;
    s_path = path;
    s_dir = dir;
    std::atexit([] {
        std::remove(s_path.c_str());
        rmdir(s_dir.c_str());
    });
}

std::uint32_t lampMask() {
    std::uint32_t mask = 0;
    for (const cc121::ButtonInfo& b : cc121::kButtons) {
        if (b.hasLamp) {
            mask |= b.bit;
        }
    }
    return mask;
}

const cc121::ButtonInfo* lampButton(std::uint8_t note) {
    const cc121::ButtonInfo* b = cc121::findButton(note);
    return b != nullptr && b->hasLamp ? b : nullptr;
}

double pickDouble(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
        return std::numeric_limits<double>::quiet_NaN();
    case 1:
        return std::numeric_limits<double>::infinity();
    case 2:
        return -std::numeric_limits<double>::infinity();
    case 3:
        return in.ConsumeFloatingPoint<double>();
    case 4:
        return in.ConsumeFloatingPointInRange<double>(-1.0, 1.0);
    default:
        return in.ConsumeFloatingPointInRange<double>(0.0, 4.0);
    }
}

// A monitoring or folder state: mostly a valid one, sometimes any value a host might hold.
int pickState(FuzzedDataProvider& in) {
    static const int kStates[] = {0, 1, 2, 0, 1, 2, 3, -1, -5, std::numeric_limits<int>::max()};
    return in.PickValueInArray(kStates);
}

const char* pickActionText(FuzzedDataProvider& in) {
    static const char* const kTexts[] = {"40285", "40286", "1011",        "1012", "40364", "12",
                                         "1013",  "",      "_FUZZ_NAMED", "0",    "-7",    "2147483647"};
    return in.PickValueInArray(kTexts);
}

class Session {
public:
    explicit Session(FuzzedDataProvider& in) : m_in(in) {
        g_platform->now = in.ConsumeIntegral<std::uint32_t>();
        g_platform->pauses.clear();
        g_platform->windows.clear();
        host.setExePath(g_exePath);
        host.midi().addInput("CC121 In");
        host.midi().addOutput("CC121 Out");
        host.commands().defineName("_FUZZ_NAMED", 40285);
        buildProject();

        SurfaceSettings settings;
        settings.skipMarkers = in.ConsumeBool();
        settings.encoderSpeed =
            in.ConsumeBool() ? in.ConsumeIntegralInRange(-100, 200) : in.ConsumeIntegral<int>();
        settings.midiInputIndex = in.ConsumeIntegralInRange(0, 15) == 0 ? 3 : 0;
        settings.midiOutputIndex = 0;
        settings.wrapChannels = in.ConsumeBool();
        settings.useMcpForChannels = in.ConsumeBool();
        settings.acceleration =
            in.ConsumeBool() ? in.ConsumeIntegralInRange(-30, 60) : in.ConsumeIntegral<int>();
        for (std::string& action : settings.actions) {
            action = pickActionText(in);
        }
        // Through the configuration string, as the host creates surfaces.
        char config[kSurfaceConfigBufferSize];
        FormatSurfaceSettings(settings, config, sizeof config);
        surface = new CC121(ParseSurfaceSettings(config), &errorFlags);
        host.surfaces().add(surface);
        m_outputOpen = true;
        check();
    }

    ~Session() {
        host.surfaces().remove(surface);
        delete surface;
        surface = nullptr;
        // The destructor turns every lit lamp off.
        if (m_outputOpen) {
            readWire(false);
            for (bool lit : m_wireLamp) {
                FUZZ_CHECK(!lit);
            }
        }
    }

    void step() {
        const int op = m_in.ConsumeIntegralInRange(0, 31);
        if (op <= 9) {
            inject(op);
        } else if (op <= 14) {
            run();
        } else if (op <= 25) {
            callback(op);
        } else if (op <= 28) {
            userAction(op);
        } else if (op <= 30) {
            window();
        } else if (m_in.ConsumeIntegralInRange(0, 7) == 0) {
            surface->CloseNoReset();
            m_outputOpen = false;
        }
        check();
    }

    hostsim::Host host;
    hostsim::CurrentHost current{host};
    CC121* surface = nullptr;
    int errorFlags = 0;

private:
    void buildProject() {
        const int tracks = m_in.ConsumeIntegralInRange(0, 6);
        for (int i = 1; i <= tracks; ++i) {
            hostsim::Track& t = host.project().addTrack("Track " + std::to_string(i));
            t.folderDepth = m_in.ConsumeIntegralInRange(0, 5) == 0 ? 1 : 0;
            t.visibleInMixer = m_in.ConsumeIntegralInRange(0, 5) != 0;
            t.volume = pickDouble(m_in);
            t.pan = m_in.ConsumeFloatingPointInRange<double>(-1.0, 1.0);
            t.recMonitor = pickState(m_in);
            t.folderCompact = pickState(m_in);
            t.automationMode = m_in.ConsumeIntegralInRange(-1, 5);
            if (m_in.ConsumeBool()) {
                t.addFx("ReaComp", {{"Threshold", 0.5, 0.0, 1.0}});
            }
            if (m_in.ConsumeBool()) {
                std::vector<hostsim::FxParam> params(kEqParams, hostsim::FxParam{"", 0.5, 0.0, 1.0});
                for (hostsim::FxParam& p : params) {
                    p.value = m_in.ConsumeFloatingPointInRange<double>(-1.0, 2.0);
                    p.max = m_in.ConsumeBool() ? 1.0 : 5.0;
                }
                t.addFx("Fuzz EQ", params);
            }
        }
        for (int i = 0; i < tracks; ++i) {
            const int sends = m_in.ConsumeIntegralInRange(0, 5);
            for (int s = 0; s < sends; ++s) {
                hostsim::Track* dest = host.project().track(m_in.ConsumeIntegralInRange(0, tracks - 1));
                host.project().track(i)->addSend(*dest, pickDouble(m_in), m_in.ConsumeBool());
            }
        }
    }

    // Null, the master, a track, or a handle the host never gave out.
    MediaTrack* pickTrack() {
        const int count = host.project().trackCount();
        const int pick = m_in.ConsumeIntegralInRange(-2, count);
        if (pick == -2) {
            return reinterpret_cast<MediaTrack*>(&m_stranger);
        }
        if (pick == -1) {
            return nullptr;
        }
        return host.handle(pick == 0 ? host.project().master() : *host.project().track(pick - 1));
    }

    hostsim::Track& pickTrackRecord() {
        const int count = host.project().trackCount();
        const int pick = m_in.ConsumeIntegralInRange(0, count);
        return pick == 0 ? host.project().master() : *host.project().track(pick - 1);
    }

    void inject(int op) {
        hostsim::FakeMidiInput* input = host.midi().fake()->input(0);
        if (input == nullptr) {
            return;
        }
        std::vector<unsigned char> bytes;
        if (op <= 5) {
            // A controller message: a real button, encoder or the fader, on channel 1 mostly.
            static const std::uint8_t kStatus[] = {0x90, 0x80, 0xB0, 0xE0};
            std::uint8_t status = m_in.PickValueInArray(kStatus);
            if (m_in.ConsumeIntegralInRange(0, 7) == 0) {
                status = static_cast<std::uint8_t>(status | m_in.ConsumeIntegralInRange(1, 15));
            }
            std::uint8_t d1 = m_in.ConsumeIntegral<std::uint8_t>();
            if (status == 0x90 || status == 0x80) {
                d1 = m_in.PickValueInArray(cc121::kButtons).note;
            } else if (status == 0xB0) {
                d1 = m_in.PickValueInArray(cc121::kEncoders).controller;
            }
            const std::uint8_t d2 = m_in.ConsumeIntegral<std::uint8_t>();
            bytes = {status, d1, d2};
        } else {
            // Any bytes, any size: short events, running status, System Exclusive.
            const std::size_t size = m_in.ConsumeIntegralInRange(0, 7) == 0
                                         ? m_in.ConsumeIntegralInRange<std::size_t>(0, 300)
                                         : m_in.ConsumeIntegralInRange<std::size_t>(0, 6);
            bytes = m_in.ConsumeBytes<unsigned char>(size);
        }
        input->inject(bytes, m_in.ConsumeIntegral<int>());
    }

    void run() {
        switch (m_in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            g_platform->now += m_in.ConsumeIntegral<std::uint32_t>();
            break;
        case 1:
            g_platform->now += m_in.ConsumeIntegralInRange<std::uint32_t>(0, 2000);
            break;
        default:
            g_platform->now += m_in.ConsumeIntegralInRange<std::uint32_t>(0, 120);
            break;
        }
        surface->Run();
    }

    void callback(int op) {
        switch (op) {
        case 15:
            surface->SetSurfaceVolume(pickTrack(), pickDouble(m_in));
            break;
        case 16:
            surface->SetSurfacePan(pickTrack(), pickDouble(m_in));
            break;
        case 17: {
            MediaTrack* t = pickTrack();
            const bool on = m_in.ConsumeBool();
            switch (m_in.ConsumeIntegralInRange(0, 3)) {
            case 0:
                surface->SetSurfaceMute(t, on);
                break;
            case 1:
                surface->SetSurfaceSolo(t, on);
                break;
            case 2:
                surface->SetSurfaceRecArm(t, on);
                break;
            default:
                surface->SetSurfaceSelected(t, on);
                break;
            }
            break;
        }
        case 18:
            surface->SetPlayState(m_in.ConsumeBool(), m_in.ConsumeBool(), m_in.ConsumeBool());
            break;
        case 19:
            surface->SetRepeatState(m_in.ConsumeBool());
            break;
        case 20:
            surface->SetAutoMode(m_in.ConsumeIntegralInRange(-2, 6));
            break;
        case 21:
            if (m_in.ConsumeBool()) {
                surface->ResetCachedVolPanStates();
            } else {
                surface->SetTrackListChange();
            }
            break;
        case 22:
            surface->OnTrackSelection(pickTrack());
            break;
        case 23: {
            MediaTrack* t = pickTrack();
            const bool pan = m_in.ConsumeBool();
            const bool touched = surface->GetTouchState(t, pan ? 1 : 0);
            FUZZ_CHECK(!touched || (surface->touched() && pan == surface->flipped()));
            surface->SetTrackTitle(t, "title");
            FUZZ_CHECK(!surface->IsKeyDown(m_in.ConsumeIntegral<int>()));
            const int call = m_in.ConsumeIntegral<int>();
            FUZZ_CHECK(surface->Extended(call, nullptr, nullptr, nullptr) ==
                       (call == CSURF_EXT_RESET ? 1 : 0));
            break;
        }
        case 24: {
            const char* config = surface->GetConfigString();
            FUZZ_CHECK(std::strlen(config) < kSurfaceConfigBufferSize);
            FUZZ_CHECK(ParseSurfaceSettings(config) == surface->currentSettings());
            break;
        }
        default: {
            const char* description = surface->GetDescString();
            FUZZ_CHECK(std::strlen(description) < 1024);
            FUZZ_CHECK(std::strncmp(description, "Steinberg CC121 (", 17) == 0);
            break;
        }
        }
    }

    // What the host's user and the host itself do; the model reports to the surface as the host would.
    void userAction(int op) {
        if (op == 26) {
            host.userSelect(pickTrackRecord());
            return;
        }
        if (op == 27) {
            switch (m_in.ConsumeIntegralInRange(0, 4)) {
            case 0:
                host.userPause();
                break;
            case 1:
                host.userToggleRepeat();
                break;
            case 2:
                host.stepLastTouched(m_in.ConsumeIntegralInRange(-2, 2));
                break;
            case 3:
                host.Main_OnCommand(m_in.PickValueInArray({1007, 1016, 1013, 40285, 40286, 1068}), 0);
                break;
            default:
                host.TrackList_UpdateAllExternalSurfaces();
                break;
            }
            return;
        }
        MediaTrack* t = host.handle(pickTrackRecord());
        switch (m_in.ConsumeIntegralInRange(0, 4)) {
        case 0:
            host.CSurf_SetSurfaceVolume(t, host.CSurf_OnVolumeChange(t, pickDouble(m_in), false), nullptr);
            break;
        case 1:
            host.CSurf_SetSurfacePan(t, host.CSurf_OnPanChange(t, pickDouble(m_in), false), nullptr);
            break;
        case 2:
            host.CSurf_OnMuteChange(t, m_in.ConsumeIntegralInRange(-1, 1));
            break;
        case 3:
            host.CSurf_OnSoloChange(t, m_in.ConsumeIntegralInRange(-1, 1));
            break;
        default: {
            int state = pickState(m_in);
            host.GetSetMediaTrackInfo(t, m_in.ConsumeBool() ? "I_RECMON" : "I_FOLDERCOMPACT", &state);
            break;
        }
        }
    }

    // The current track's routing or FX windows opened, hidden or closed by the user.
    void window() {
        if (m_in.ConsumeBool() && !g_platform->windows.empty()) {
            FuzzPlatform::Window& w =
                g_platform
                    ->windows[m_in.ConsumeIntegralInRange<std::size_t>(0, g_platform->windows.size() - 1)];
            if (m_in.ConsumeBool()) {
                w.visible = !w.visible;
            } else {
                w.closed = true;
            }
            return;
        }
        const int n = m_in.ConsumeIntegralInRange(0, host.project().trackCount());
        int flags = 0;
        const char* name = host::GetTrackInfo(n - 1, &flags);
        const TrackWindow kinds[] = {TrackWindow::Routing, TrackWindow::FxChain, TrackWindow::FxBrowser};
        char title[kWindowTitleSize];
        buildWindowTitle(m_in.PickValueInArray(kinds), n, name, n > 0 && (flags & 1) != 0, title,
                         sizeof title);
        g_platform->windows.push_back({title, m_in.ConsumeBool(), false});
    }

    // Takes what went out since the last look and checks each message; tracks the lamps and the fader.
    // Returns whether a Pitch Bend went out.
    bool readWire(bool checkPauses) {
        if (surface)
            surface->waitOutputIdle(); // the surface's worker sends; look once it is done
        bool faderSent = false;
        for (const hostsim::WireMessage& m : host.midi().fake()->sent(0)) {
            const std::vector<unsigned char>& b = m.bytes;
            if (b.size() == 8) {
                FUZZ_CHECK(std::equal(b.begin(), b.end(), cc121::kHostReadyMessage.begin()));
                continue;
            }
            FUZZ_CHECK(b.size() == 3 && b[1] < 0x80 && b[2] < 0x80);
            switch (b[0]) {
            case 0x90: {
                const cc121::ButtonInfo* button = lampButton(b[1]);
                FUZZ_CHECK(button != nullptr && (b[2] == 0x7F || b[2] == 0x00));
                m_wireLamp[b[1]] = b[2] == 0x7F;
                break;
            }
            case 0x80:
                FUZZ_CHECK(lampButton(b[1]) != nullptr && b[2] == 0x00);
                break;
            case 0xE0:
                m_wireFader = b[1] | b[2] << 7;
                faderSent = true;
                break;
            default:
                FUZZ_CHECK(false);
            }
        }
        host.midi().fake()->clearSent();
        if (checkPauses) {
            for (std::uint32_t ms : g_platform->pauses) {
                FUZZ_CHECK(ms == 5);
            }
        }
        g_platform->pauses.clear();
        host.log().clear();
        return faderSent;
    }

    void check() {
        const bool faderSent = readWire(true);
        const int fader = surface->fader();
        FUZZ_CHECK(fader >= -1 && fader <= 16383);
        if (faderSent && !surface->faderSilenced() && fader >= 0) {
            FUZZ_CHECK(fader == m_wireFader);
        }
        const std::uint32_t lamps = surface->lamps();
        FUZZ_CHECK((lamps & ~lampMask()) == 0);
        if (m_outputOpen) {
            for (const cc121::ButtonInfo& b : cc121::kButtons) {
                if (b.hasLamp) {
                    FUZZ_CHECK(((lamps & b.bit) != 0) == m_wireLamp[b.note]);
                }
            }
        }
        FUZZ_CHECK(surface->mode() >= 0 && surface->mode() <= 2);
        const int id = surface->currentTrackId();
        FUZZ_CHECK(id >= -1 && id <= host.project().numTracks(surface->currentSettings().useMcpForChannels));
    }

    FuzzedDataProvider& m_in;
    std::array<bool, 128> m_wireLamp{};
    int m_wireFader = -1;
    bool m_outputOpen = false;
    int m_stranger = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static FuzzPlatform platform;
    g_platform = &platform;
    tamsel::setPlatform(&platform);
    FUZZ_CHECK(host::bindFunctions(hostsim::getFunc));
    writeMapFile();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Session session(in);
    for (int steps = 0; in.remaining_bytes() > 0 && steps < 2000; ++steps) {
        session.step();
    }
    return 0;
}
