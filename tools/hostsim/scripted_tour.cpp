#include "scripted_tour.h"

#include "cc121_controls.h"
#include "hostsim/model/host.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace hostsim {
namespace {

using namespace cc121;
using Bytes = std::vector<unsigned char>;
using Burst = std::vector<Bytes>; // messages that arrive together, before one Run

// How long a step may take to show what it should; generous, for sanitizers and emulators.
constexpr auto kStepTimeout = std::chrono::seconds(5);
constexpr int kRunsBetweenBursts = 2; // about the panel's 50 ms between a click's press and release

const Bytes kHostReady = {0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7};

// What the panel sends, in bursts: a click is the press, then the release a moment later. A chord (its
// armed buttons fired together) is every press in one burst, then every release.
std::vector<Burst> chord(std::initializer_list<std::uint8_t> notes) {
    Burst press, release;
    for (std::uint8_t n : notes) {
        press.push_back({0x90, n, 0x7F});
        release.push_back({0x80, n, 0x00});
    }
    return {press, release};
}
std::vector<Burst> click(std::uint8_t note) {
    return chord({note});
}
// The fader dragged to `position`: touched, moved, let go (a Note On with velocity 0, as the panel sends it).
std::vector<Burst> fader(int position) {
    return {{{0x90, kNoteFaderTouch, 0x7F}},
            {{0xE0, static_cast<unsigned char>(position & 0x7F), static_cast<unsigned char>(position >> 7)}},
            {{0x90, kNoteFaderTouch, 0x00}}};
}
// An encoder turned `steps` to the right.
std::vector<Burst> turn(std::uint8_t controller, unsigned char steps) {
    return {{{0xB0, controller, steps}}};
}
std::vector<Burst> operator+(std::vector<Burst> a, const std::vector<Burst>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Step {
    const char* what;
    std::vector<Burst> send = {};
    // Host actions, as the tour's patterns (POSIX basic regular expressions), each logged during the step.
    std::vector<const char*> hostCalls = {};
    // Lamps as the wire leaves them: note and lit.
    std::vector<std::pair<std::uint8_t, bool>> lamps = {};
    // Lamps seen both lit and dark during the step.
    std::vector<std::uint8_t> blinking = {};
    bool hostReady = false;
};

// The tour of tools/demo/tour.sh, step by step, with its checks.
const std::vector<Step>& tour() {
    static const std::vector<Step> steps = {
        {"the host-ready message reaches the controller", {}, {}, {}, {}, true},
        {"Play", click(kNotePlay), {"CSurf_OnPlay()"}, {{kNotePlay, true}}},
        {"Channel Right twice: from no track to the master, then to track 1 (Drums, with ReaEQ)",
         click(kNoteChannelRight) + click(kNoteChannelRight),
         {"CSurf_OnSelectedChange(master, 1)", "CSurf_OnSelectedChange(track 1, 1)"},
         {{kNoteBandOn3, true}}},
        {"Routing opens Drums' routing window (a SWELL window here); its lamp lights",
         click(kNoteRouting),
         {"Main_OnCommand(40293, 0)"},
         {{kNoteRouting, true}}},
        {"Routing again closes the window; the lamp goes dark",
         click(kNoteRouting),
         {},
         {{kNoteRouting, false}}},
        {"Fader: drag it up", fader(12000), {"CSurf_OnVolumeChange(track 1, "}},
        {"EQ: turn the band 1 Q encoder on the mapped ReaEQ",
         turn(kCcQ1, 3),
         {"TrackFX_SetParam(track 1, 0, 2, "}},
        {"Mute + Monitor together: the fader flips to pan, and back",
         chord({kNoteMute, kNoteMonitor}) + fader(4000) + chord({kNoteMute, kNoteMonitor}),
         {"CSurf_OnPanChange(track 1, "}},
        {"Lock pins the AI knob to the last-touched parameter (Vocals' ReaComp threshold)",
         click(kNoteLock) + turn(kCcAiKnob, 3),
         {"TrackFX_SetParamNormalized(track 4, 0, 0, 0\\.[5-9]"},
         {{kNoteLock, true}}},
        {"Lock again lets go", click(kNoteLock), {}, {{kNoteLock, false}}},
        {"Band On 3 switches Drums' ReaEQ band 3 off",
         click(kNoteBandOn3),
         {"TrackFX_SetEQBandEnabled(track 1, 0, 2, 1, false)"},
         {{kNoteBandOn3, false}}},
        {"Band On 3 switches it on again",
         click(kNoteBandOn3),
         {"TrackFX_SetEQBandEnabled(track 1, 0, 2, 1, true)"},
         {{kNoteBandOn3, true}}},
        {"EQ Type + All Bypass together: send mode (Band On 1 for Drums' send, EQ Type blinks)",
         chord({kNoteEqType, kNoteAllBypass}),
         {},
         {{kNoteBandOn1, true}, {kNoteBandOn2, false}},
         {kNoteEqType}},
        {"Stop", click(kNoteStop), {"CSurf_OnStop()"}, {{kNotePlay, false}}},
    };
    return steps;
}

std::string hex(const Bytes& bytes) {
    std::string text;
    for (unsigned char b : bytes) {
        char part[4];
        std::snprintf(part, sizeof part, "%s%02X", text.empty() ? "" : " ", b);
        text += part;
    }
    return text;
}

// Every lamp's state after each Note On on the wire.
std::map<std::uint8_t, bool> lampsAfter(const std::vector<WireMessage>& wire, std::size_t from,
                                        std::map<std::uint8_t, bool> lamps,
                                        std::map<std::uint8_t, std::pair<bool, bool>>* seen = nullptr) {
    for (std::size_t i = from; i < wire.size(); ++i) {
        const Bytes& m = wire[i].bytes;
        if (m.size() == 3 && m[0] == 0x90) {
            lamps[m[1]] = m[2] == 0x7F;
            if (seen)
                (m[2] == 0x7F ? (*seen)[m[1]].first : (*seen)[m[1]].second) = true;
        }
    }
    return lamps;
}

class TourPlayer {
public:
    TourPlayer(Host& host, const RunOnce& runOnce, std::FILE* out)
        : m_host(host), m_run(runOnce), m_out(out) {}

    int play() {
        for (const Step& step : tour())
            playStep(step);
        return m_failures;
    }

private:
    std::vector<WireMessage> wire() const { return m_host.midi().fake()->sentSoFar(0); }

    void playStep(const Step& step) {
        std::fprintf(m_out, "\n== %s\n", step.what);
        const std::size_t logFrom = m_host.log().entries().size();
        const std::size_t wireFrom = wire().size();
        const std::map<std::uint8_t, bool> lampsBefore = lampsAfter(wire(), 0, {});
        for (const Burst& burst : step.send) {
            for (const Bytes& message : burst)
                m_host.midi().fake()->input(0)->inject(message);
            for (int i = 0; i < kRunsBetweenBursts; ++i)
                m_run();
        }

        std::vector<std::string> pending;
        const auto deadline = std::chrono::steady_clock::now() + kStepTimeout;
        for (;;) {
            pending = unmet(step, logFrom, wireFrom, lampsBefore);
            if (pending.empty() || std::chrono::steady_clock::now() > deadline)
                break;
            m_run();
        }
        for (const std::string& check : expectations(step))
            report(std::find(pending.begin(), pending.end(), check) == pending.end(), check);
    }

    static std::vector<std::string> expectations(const Step& step) {
        std::vector<std::string> all;
        if (step.hostReady)
            all.push_back("the wire carries the host-ready message " + hex(kHostReady));
        for (const char* call : step.hostCalls)
            all.push_back(std::string("the host did ") + call);
        for (const auto& [note, lit] : step.lamps) {
            char text[64];
            std::snprintf(text, sizeof text, "lamp %02X %s on the wire", note, lit ? "lit" : "dark");
            all.emplace_back(text);
        }
        for (std::uint8_t note : step.blinking) {
            char text[64];
            std::snprintf(text, sizeof text, "lamp %02X blinks on the wire", note);
            all.emplace_back(text);
        }
        return all;
    }

    // The step's checks that do not hold yet, by their descriptions.
    std::vector<std::string> unmet(const Step& step, std::size_t logFrom, std::size_t wireFrom,
                                   const std::map<std::uint8_t, bool>& lampsBefore) const {
        const std::vector<std::string> all = expectations(step);
        std::vector<std::string> open;
        auto it = all.begin();
        const std::vector<WireMessage> sent = wire();
        if (step.hostReady) {
            bool found = false;
            for (std::size_t i = wireFrom; i < sent.size(); ++i)
                found = found || sent[i].bytes == kHostReady;
            if (!found)
                open.push_back(*it);
            ++it;
        }
        const auto& entries = m_host.log().entries();
        for (const char* pattern : step.hostCalls) {
            const std::regex re(pattern, std::regex::basic);
            bool found = false;
            for (std::size_t i = logFrom; i < entries.size() && !found; ++i)
                found = entries[i].kind == CallKind::Action && std::regex_search(entries[i].text, re);
            if (!found)
                open.push_back(*it);
            ++it;
        }
        std::map<std::uint8_t, std::pair<bool, bool>> seen;
        const std::map<std::uint8_t, bool> lamps = lampsAfter(sent, wireFrom, lampsBefore, &seen);
        for (const auto& [note, lit] : step.lamps) {
            const auto found = lamps.find(note);
            if ((found != lamps.end() && found->second) != lit)
                open.push_back(*it);
            ++it;
        }
        for (std::uint8_t note : step.blinking) {
            if (!seen[note].first || !seen[note].second)
                open.push_back(*it);
            ++it;
        }
        return open;
    }

    void report(bool passed, const std::string& what) {
        std::fprintf(m_out, "%s  %s\n", passed ? "PASS" : "FAIL", what.c_str());
        m_failures += passed ? 0 : 1;
    }

    Host& m_host;
    const RunOnce& m_run;
    std::FILE* m_out;
    int m_failures = 0;
};

} // namespace

int playScriptedTour(Host& host, const RunOnce& runOnce, std::FILE* out) {
    return TourPlayer(host, runOnce, out).play();
}

int checkWireAfterSurface(Host& host, std::FILE* out) {
    const std::vector<WireMessage> sent = host.midi().fake()->sentSoFar(0);
    int failures = 0;
    auto report = [&](bool passed, const char* what) {
        std::fprintf(out, "%s  %s\n", passed ? "PASS" : "FAIL", what);
        failures += passed ? 0 : 1;
    };
    bool allDark = true;
    for (const auto& [note, lit] : lampsAfter(sent, 0, {}))
        allDark = allDark && !lit;
    report(allDark, "every lamp the surface lit is dark again on the wire");

    // Lamp groups: Note Ons, then the same notes' Note Offs in the same order; between groups nothing but
    // the motor fader and the host-ready message.
    bool wellFormed = true;
    bool closing = false;
    std::vector<unsigned char> open;
    for (const WireMessage& m : sent) {
        const Bytes& b = m.bytes;
        wellFormed = wellFormed && m.frameOffset == -1;
        if (b.size() == 3 && b[0] == 0x90 && (b[2] == 0x7F || b[2] == 0x00)) {
            wellFormed = wellFormed && !closing;
            open.push_back(b[1]);
        } else if (b.size() == 3 && b[0] == 0x80 && b[2] == 0x00) {
            wellFormed = wellFormed && !open.empty() && open.front() == b[1];
            if (!open.empty())
                open.erase(open.begin());
            closing = !open.empty();
        } else {
            wellFormed = wellFormed && open.empty() && ((b.size() == 3 && b[0] == 0xE0) || b == kHostReady);
        }
    }
    report(wellFormed && open.empty() && !sent.empty(), "every lamp message is a Note On, later its Note Off "
                                                        "in the same order; else only fader and host-ready "
                                                        "messages, all for delivery at once");
    return failures;
}

} // namespace hostsim
