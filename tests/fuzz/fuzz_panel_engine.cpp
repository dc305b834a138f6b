// The panel's MIDI engine fed arbitrary incoming messages (any size, any bytes, through the port's receiver),
// with timer ticks, clock jumps, gestures and option changes interleaved.
//
// Properties after every step: only note buttons ever have a lit lamp; the fader value is a number in
// 0..1; the Listener Ready light is lit while detection is off; an incoming message changes exactly what
// its kind allows (the host-ready message only the presence state, a Note On only its own button's lamp, a
// Pitch Bend only the fader, and only while the user does not hold it; nothing while the host is not ready
// and detection is on); a presence timeout darkens every lamp; a blink only flips the light; everything
// sent is a 3-byte channel-1 message of the panel's own kinds with 7-bit data; holds stay within 1..1000 ms;
// button repaints name note buttons only.
#include "fuzz_check.h"
#include "midi_engine.h"

#include "cc121_controls.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using kestro::MidiEngine;
using kestro::Repaint;

const std::vector<std::uint8_t> kHostReady = {0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7};

struct Record {
    std::vector<std::array<std::uint8_t, 3>> sent;
    std::vector<std::uint32_t> pauses;
    std::vector<Repaint> repaints;
};

class FakePorts final : public kestro::MidiPorts {
public:
    explicit FakePorts(Record& record) : m_record(record) {}

    std::vector<std::string> inputPortNames() override { return {"In"}; }
    std::vector<std::string> outputPortNames() override { return {"Out"}; }
    bool openInput(unsigned, Receiver r) override {
        receiver = std::move(r);
        return true;
    }
    bool openOutput(unsigned) override { return true; }
    void send(const std::array<std::uint8_t, 3>& message) override {
        if (throwOnSend) {
            throw std::runtime_error("driver error");
        }
        m_record.sent.push_back(message);
    }
    void close() override { receiver = nullptr; }

    Receiver receiver;
    bool throwOnSend = false;

private:
    Record& m_record;
};

// Notes 0..127 and the top one: lampLit answers every note above 121 alike.
constexpr int kCheckedNotes = 129;

std::uint8_t checkedNote(int i) {
    return static_cast<std::uint8_t>(i < 128 ? i : 255);
}

struct State {
    std::array<bool, kCheckedNotes> lamps{};
    double fader = 0;
    bool ready = false;
    bool light = false;
    std::uint32_t lastReady = 0;

    static State of(const MidiEngine& engine) {
        State s;
        for (int i = 0; i < kCheckedNotes; ++i) {
            s.lamps[static_cast<std::size_t>(i)] = engine.lampLit(checkedNote(i));
        }
        s.fader = engine.faderValue();
        s.ready = engine.listenerReady();
        s.light = engine.listenerLightLit();
        s.lastReady = engine.lastReadyTime();
        return s;
    }
    bool sameLamps(const State& o) const { return lamps == o.lamps; }
    bool samePresence(const State& o) const {
        return ready == o.ready && light == o.light && lastReady == o.lastReady;
    }
};

bool anyLamp(const State& s) {
    for (bool lit : s.lamps) {
        if (lit) {
            return true;
        }
    }
    return false;
}

void checkInvariants(const MidiEngine& engine, const State& s) {
    for (int i = 0; i < kCheckedNotes; ++i) {
        if (s.lamps[static_cast<std::size_t>(i)]) {
            const std::uint8_t note = checkedNote(i);
            FUZZ_CHECK(note <= kestro::kHighestButtonNote && kestro::isNoteButton(note));
        }
    }
    FUZZ_CHECK(s.fader >= 0.0 && s.fader <= 1.0); // false for NaN too
    if (engine.detectionDisabled()) {
        FUZZ_CHECK(s.light);
    }
    FUZZ_CHECK(engine.simulClickTime() >= 1 && engine.simulClickTime() <= 1000);
}

void checkRecord(Record& record) {
    for (const auto& m : record.sent) {
        FUZZ_CHECK(m[1] < 0x80 && m[2] < 0x80);
        switch (m[0]) {
        case 0x90:
        case 0x80:
            FUZZ_CHECK(kestro::isNoteButton(m[1]) || m[1] == cc121::kNoteFaderTouch);
            break;
        case 0xB0:
            FUZZ_CHECK(cc121::findEncoder(m[1]) != nullptr);
            FUZZ_CHECK(m[2] != 0 && m[2] != 0x40); // a turn is at least one step
            break;
        case 0xE0:
            break;
        default:
            FUZZ_CHECK(false);
        }
    }
    for (std::uint32_t ms : record.pauses) {
        FUZZ_CHECK(ms >= 1 && ms <= 1000);
    }
    for (const Repaint& r : record.repaints) {
        if (r.target == Repaint::Target::Button) {
            FUZZ_CHECK(kestro::noteButtonOf(r.control_id).has_value());
        } else {
            FUZZ_CHECK(r.control_id == 0);
        }
    }
    record = Record{};
}

// What an incoming message may change, from the state before it.
void checkIncoming(const MidiEngine& engine, const State& before, const State& after,
                   const std::vector<std::uint8_t>& bytes, std::uint32_t now) {
    if (bytes.empty()) {
        FUZZ_CHECK(after.sameLamps(before) && after.samePresence(before) && after.fader == before.fader);
        return;
    }
    if (bytes[0] == 0xF0) {
        FUZZ_CHECK(after.sameLamps(before) && after.fader == before.fader);
        if (bytes == kHostReady) {
            FUZZ_CHECK(after.ready && after.light && after.lastReady == now);
        } else {
            FUZZ_CHECK(after.samePresence(before));
        }
        return;
    }
    FUZZ_CHECK(after.samePresence(before));
    const bool applies = (engine.detectionDisabled() || before.ready) && bytes.size() >= 3;
    const std::uint8_t status = bytes[0] & 0xF0;
    if (applies && status == 0x90) {
        const std::uint8_t note = bytes[1];
        State expected = before;
        if (note <= kestro::kHighestButtonNote && kestro::isNoteButton(note)) {
            expected.lamps[note] = bytes[2] > 0x40;
        }
        FUZZ_CHECK(after.sameLamps(expected) && after.fader == before.fader);
    } else if (applies && status == 0xE0 && !engine.faderDragging()) {
        const int position = (bytes[2] & 0x7F) << 7 | (bytes[1] & 0x7F);
        FUZZ_CHECK(after.sameLamps(before) && after.fader == position / 16383.0);
    } else {
        FUZZ_CHECK(after.sameLamps(before) && after.fader == before.fader);
    }
}

int pickControl(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0:
        return kestro::buttonId(in.PickValueInArray(kestro::kNoteButtons));
    case 1:
        return kestro::kFaderId;
    case 2:
        return kestro::encoderId(in.ConsumeIntegral<std::uint8_t>());
    case 3:
        return kestro::kButtonIdBase + in.ConsumeIntegral<std::uint8_t>();
    default:
        return in.ConsumeIntegral<int>();
    }
}

double pickPlace(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return std::numeric_limits<double>::quiet_NaN();
    case 1:
        return in.ConsumeBool() ? std::numeric_limits<double>::infinity()
                                : -std::numeric_limits<double>::infinity();
    case 2:
        return in.ConsumeFloatingPoint<double>();
    default:
        return in.ConsumeProbability<double>();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Record record;
    std::uint32_t clock = in.ConsumeIntegral<std::uint32_t>();

    auto ports = std::make_unique<FakePorts>(record);
    FakePorts* port = ports.get();
    kestro::MidiEngineHooks hooks;
    hooks.now = [&clock] {
        return clock;
    };
    hooks.pause = [&record](std::uint32_t ms) {
        record.pauses.push_back(ms);
    };
    hooks.repaint = [&record](const Repaint& r) {
        record.repaints.push_back(r);
    };
    MidiEngine engine(std::move(ports), std::move(hooks));

    const bool open = in.ConsumeIntegralInRange(0, 7) != 0; // mostly through the open input port
    if (open) {
        FUZZ_CHECK(engine.openPorts("In", "Out"));
        FUZZ_CHECK(port->receiver);
    }
    engine.setDetectionDisabled(in.ConsumeIntegralInRange(0, 3) == 0);
    checkInvariants(engine, State::of(engine));
    checkRecord(record);

    int steps = 0;
    while (in.remaining_bytes() > 0 && ++steps < 4000) {
        const State before = State::of(engine);
        const int op = in.ConsumeIntegralInRange(0, 15);
        if (op <= 6) {
            // An incoming message: any bytes, or one shaped like a message the host sends.
            std::vector<std::uint8_t> bytes;
            switch (op) {
            case 0:
                bytes = kHostReady;
                break;
            case 1:
            case 2:
                bytes = {static_cast<std::uint8_t>(in.PickValueInArray({0x90, 0x80, 0xE0, 0xB0}) |
                                                   in.ConsumeIntegralInRange(0, 15)),
                         in.ConsumeIntegral<std::uint8_t>(), in.ConsumeIntegral<std::uint8_t>()};
                break;
            default:
                bytes = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 12));
                break;
            }
            if (open) {
                port->receiver(bytes.empty() ? nullptr : bytes.data(), bytes.size());
            } else {
                engine.inputHandler(bytes.empty() ? nullptr : bytes.data(), bytes.size());
            }
            checkIncoming(engine, before, State::of(engine), bytes, clock);
        } else if (op <= 9) {
            clock += in.ConsumeBool() ? in.ConsumeIntegralInRange<std::uint32_t>(0, 2000)
                                      : in.ConsumeIntegral<std::uint32_t>();
            const unsigned timer = op == 7   ? kestro::kPresenceTimerId
                                   : op == 8 ? kestro::kBlinkTimerId
                                             : in.ConsumeIntegral<unsigned>();
            engine.timerHandler(timer, clock);
            const State after = State::of(engine);
            FUZZ_CHECK(after.fader == before.fader);
            if (engine.detectionDisabled() ||
                (timer != kestro::kPresenceTimerId && timer != kestro::kBlinkTimerId)) {
                FUZZ_CHECK(after.sameLamps(before) && after.samePresence(before));
            } else if (timer == kestro::kPresenceTimerId) {
                if (before.ready && !after.ready) {
                    FUZZ_CHECK(!after.light && !anyLamp(after));
                } else {
                    FUZZ_CHECK(after.sameLamps(before) && after.samePresence(before));
                }
            } else {
                FUZZ_CHECK(after.sameLamps(before) && after.ready == before.ready);
                FUZZ_CHECK(after.light == (before.ready ? before.light : !before.light));
            }
        } else if (op == 10) {
            engine.setDetectionDisabled(in.ConsumeBool());
            FUZZ_CHECK(State::of(engine).light == engine.detectionDisabled());
        } else if (op == 11) {
            const int id = pickControl(in);
            switch (in.ConsumeIntegralInRange(0, 2)) {
            case 0:
                engine.buttonPress(id);
                break;
            case 1:
                engine.buttonRelease(id);
                break;
            default:
                engine.toggleArming(id);
                break;
            }
            for (int armed : engine.armed()) {
                FUZZ_CHECK(kestro::noteButtonOf(armed).has_value());
            }
        } else if (op == 12) {
            engine.sendFaderPosition(pickPlace(in));
        } else if (op == 13) {
            engine.sendEncoderStep(pickControl(in), in.ConsumeIntegral<int>());
        } else if (op == 14) {
            engine.setSimulClickTime(in.ConsumeIntegral<int>());
        } else {
            port->throwOnSend = in.ConsumeBool();
        }
        const State after = State::of(engine);
        checkInvariants(engine, after);
        if (!open) {
            FUZZ_CHECK(record.sent.empty());
        }
        checkRecord(record);
    }
    return 0;
}
