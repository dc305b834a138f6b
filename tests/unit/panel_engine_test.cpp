// The panel's MIDI engine: gestures to wire bytes, wire bytes to panel state, host presence.
#include "midi_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using kestro::MidiEngine;
using kestro::MidiEngineHooks;
using kestro::MidiPorts;
using kestro::Repaint;
using Target = kestro::Repaint::Target;
using Events = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

const Bytes kHostReady = {0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7};

std::string hex(const std::uint8_t* data, std::size_t size) {
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", data[i]);
        out += byte;
    }
    return out;
}

// Records what was sent, in one list with the pauses, so that order across both is checked.
class FakePorts : public MidiPorts {
public:
    explicit FakePorts(Events& events) : m_events(events) {}

    std::vector<std::string> inputPortNames() override { return inputs; }
    std::vector<std::string> outputPortNames() override { return outputs; }
    bool openInput(unsigned index, Receiver r) override {
        if (fail_input) {
            return false;
        }
        opened_input = static_cast<int>(index);
        receiver = std::move(r);
        return true;
    }
    bool openOutput(unsigned index) override {
        if (throw_on_open) {
            throw std::runtime_error("driver error");
        }
        if (fail_output) {
            return false;
        }
        opened_output = static_cast<int>(index);
        return true;
    }
    void send(const std::array<std::uint8_t, 3>& message) override {
        if (throw_on_send > 0 && --throw_on_send == 0) {
            throw std::runtime_error("driver error");
        }
        m_events.push_back(hex(message.data(), message.size()));
    }
    void close() override {
        ++closes;
        if (close_counter != nullptr) {
            ++*close_counter;
        }
        opened_input = -1;
        opened_output = -1;
    }

    std::vector<std::string> inputs = {"Loop 1", "Loop 2"};
    std::vector<std::string> outputs = {"Microsoft GS Wavetable Synth", "Loop 1", "Loop 2"};
    bool fail_input = false;
    bool fail_output = false;
    bool throw_on_open = false;
    int throw_on_send = 0; // the n-th send throws
    int opened_input = -1;
    int opened_output = -1;
    int closes = 0;
    int* close_counter = nullptr; // outlives the ports
    Receiver receiver;

private:
    Events& m_events;
};

class Engine : public ::testing::Test {
protected:
    Engine() {
        auto ports = std::make_unique<FakePorts>(m_events);
        m_ports = ports.get();
        MidiEngineHooks hooks;
        hooks.now = [this] {
            return m_clock;
        };
        hooks.pause = [this](std::uint32_t ms) {
            m_events.push_back("pause " + std::to_string(ms));
        };
        hooks.repaint = [this](const Repaint& r) {
            m_repaints.push_back(r);
        };
        m_engine = std::make_unique<MidiEngine>(std::move(ports), std::move(hooks));
    }

    void open() { ASSERT_TRUE(m_engine->openPorts("Loop 1 0", "Loop 1 1")); }
    void input(const Bytes& bytes) {
        ASSERT_TRUE(m_ports->receiver) << "input port not open";
        m_ports->receiver(bytes.data(), bytes.size());
    }
    void openAndReady() {
        open();
        input(kHostReady);
        take();
        m_repaints.clear();
    }
    Events take() {
        Events out;
        out.swap(m_events);
        return out;
    }
    std::vector<Repaint> takeRepaints() {
        std::vector<Repaint> out;
        out.swap(m_repaints);
        return out;
    }

    Events m_events;
    std::vector<Repaint> m_repaints;
    std::uint32_t m_clock = 100000;
    FakePorts* m_ports = nullptr;
    std::unique_ptr<MidiEngine> m_engine;
};

constexpr int kMute = kestro::kButtonIdBase + 0x10;
constexpr int kSolo = kestro::kButtonIdBase + 0x08;
constexpr int kPlay = kestro::kButtonIdBase + 0x5E;

// --- Control ids ---------------------------------------------------------------------------------------

TEST(PanelControls, NoteButtonsAreTheLayoutTablesThirtyTwo) {
    const std::vector<int> expected = {0,   8,   16,  48,  49,  51,  54,  55,  56,  57, 58,
                                       59,  74,  75,  86,  88,  90,  91,  92,  93,  94, 95,
                                       112, 113, 114, 115, 116, 117, 118, 119, 120, 121};
    std::vector<int> notes(kestro::kNoteButtons.begin(), kestro::kNoteButtons.end());
    std::sort(notes.begin(), notes.end());
    EXPECT_EQ(notes, expected);
    for (int id = 0; id < 0x10000; ++id) {
        const bool button = id >= 0x0F00 && id <= 0x0F79 &&
                            std::find(expected.begin(), expected.end(), id - 0x0F00) != expected.end();
        ASSERT_EQ(kestro::noteButtonOf(id).has_value(), button) << id;
    }
}

TEST(PanelControls, FaderAndPanelFunctionsAreNoNoteButtons) {
    EXPECT_EQ(kestro::kFaderId, 3944);
    for (int id : {kestro::kFaderId, kestro::kAlwaysOnTopId, kestro::kSetupId, kestro::kAboutId, 0x0F7A}) {
        EXPECT_FALSE(kestro::noteButtonOf(id)) << id;
    }
}

TEST(PanelControls, EncoderIdsAreTheFifteenControllers) {
    int count = 0;
    for (int id = 0; id < 0x10000; ++id) {
        if (const auto controller = kestro::encoderOf(id)) {
            EXPECT_EQ(id, 0x0E00 + *controller);
            EXPECT_NE(cc121::findEncoder(*controller), nullptr);
            ++count;
        }
    }
    EXPECT_EQ(count, 15);
}

// Found by fuzzing: the ids were offset before their range was checked, which overflowed near INT_MIN.
TEST(PanelControls, ExtremeIdsAreNoControls) {
    for (int id : {std::numeric_limits<int>::min(), std::numeric_limits<int>::min() + 1,
                   std::numeric_limits<int>::max(), -1}) {
        EXPECT_FALSE(kestro::noteButtonOf(id)) << id;
        EXPECT_FALSE(kestro::encoderOf(id)) << id;
    }
}

// --- Opening the ports ---------------------------------------------------------------------------------

TEST_F(Engine, OpensThePortsWhoseNamesAreEqual) {
    EXPECT_TRUE(m_engine->openPorts("Loop 2 1", "Loop 2 2"));
    EXPECT_TRUE(m_engine->portsOpen());
    EXPECT_EQ(m_ports->opened_input, 1);
    EXPECT_EQ(m_ports->opened_output, 2);
}

// Settings hold the name and the position ("Loop 2 1"); the ports may have moved since they were written.
TEST_F(Engine, FindsTheStoredPortWhereverItIsNowPreferringTheStoredPosition) {
    m_ports->inputs = {"Synth", "Loop", "Loop 2", "Loop"};
    m_ports->outputs = {"Synth", "Loop", "Loop"};
    for (const auto& [in, out, input, output] : std::vector<std::tuple<std::string, std::string, int, int>>{
             {"Loop 3", "Loop 2", 3, 2},   // equal names: the one at the stored position
             {"Loop 0", "Loop 0", 1, 1},   // another port there now: the first of the name
             {"Synth 4", "Synth 2", 0, 0}, // moved
             {"Loop 2 0", "Loop", 2, 1},   // "Loop 2" moved; a setting without a position: the first
         }) {
        SCOPED_TRACE(in + " / " + out);
        EXPECT_TRUE(m_engine->openPorts(in, out));
        EXPECT_EQ(m_ports->opened_input, input);
        EXPECT_EQ(m_ports->opened_output, output);
    }
}

TEST_F(Engine, TheFirstOfEqualNamesWins) {
    m_ports->inputs = {"A", "Loop", "Loop"};
    m_ports->outputs = {"Loop", "Loop"};
    EXPECT_TRUE(m_engine->openPorts("Loop", "Loop"));
    EXPECT_EQ(m_ports->opened_input, 1);
    EXPECT_EQ(m_ports->opened_output, 0);
}

TEST_F(Engine, NamesMustMatchWholeAndCase) {
    for (const auto& [in, out] :
         std::vector<std::pair<std::string, std::string>>{{"Loop", "Loop 1 1"},     // a part of the name
                                                          {"loop 1 0", "Loop 1 1"}, // case
                                                          {"Loop 1 0 ", "Loop 1 1"},
                                                          {"Loop 1 0", "Loop 1 x"},
                                                          {"", "Loop 1 1"},
                                                          {"Loop 1 0", ""}}) {
        EXPECT_FALSE(m_engine->openPorts(in, out)) << in << " / " << out;
        EXPECT_FALSE(m_engine->portsOpen());
        EXPECT_EQ(m_ports->opened_input, -1);
        EXPECT_EQ(m_ports->opened_output, -1);
    }
}

TEST_F(Engine, AFailedOpenLeavesBothClosedAndSendsNothing) {
    m_ports->fail_output = true;
    EXPECT_FALSE(m_engine->openPorts("Loop 1 0", "Loop 1 1"));
    EXPECT_EQ(m_ports->opened_input, -1) << "the input opened first is closed again";
    m_ports->fail_output = false;
    m_ports->throw_on_open = true;
    EXPECT_FALSE(m_engine->openPorts("Loop 1 0", "Loop 1 1"));
    EXPECT_EQ(m_ports->opened_input, -1);
    m_ports->throw_on_open = false;
    m_ports->fail_input = true;
    EXPECT_FALSE(m_engine->openPorts("Loop 1 0", "Loop 1 1"));
    EXPECT_FALSE(m_engine->portsOpen());

    m_engine->buttonPress(kPlay);
    m_engine->buttonRelease(kPlay);
    m_engine->buttonPress(kestro::kFaderId);
    m_engine->sendFaderPosition(0.7);
    m_engine->buttonRelease(kestro::kFaderId);
    m_engine->sendEncoderStep(kestro::encoderId(0x10), 4);
    EXPECT_EQ(take(), Events{});
    EXPECT_DOUBLE_EQ(m_engine->faderValue(), 0.7) << "the gesture still moves the panel's fader";
}

TEST_F(Engine, ReopeningClosesFirstAndDestructionCloses) {
    open();
    const int closes = m_ports->closes;
    open();
    EXPECT_EQ(m_ports->closes, closes + 1);
    EXPECT_TRUE(m_engine->portsOpen());

    Events events;
    int closes_seen = 0;
    auto ports = std::make_unique<FakePorts>(events);
    ports->close_counter = &closes_seen;
    {
        MidiEngine engine(std::move(ports), {});
        ASSERT_TRUE(engine.openPorts("Loop 1 0", "Loop 1 1"));
        closes_seen = 0;
    }
    EXPECT_EQ(closes_seen, 1) << "no input may reach a destroyed engine";
}

// --- What gestures send --------------------------------------------------------------------------------

TEST_F(Engine, EveryNoteButtonPressesAndReleasesOnChannelOne) {
    open();
    for (std::uint8_t note : kestro::kNoteButtons) {
        m_engine->buttonPress(kestro::buttonId(note));
        m_engine->buttonRelease(kestro::buttonId(note));
        const std::uint8_t press[] = {0x90, note, 0x7F};
        const std::uint8_t release[] = {0x80, note, 0x00};
        EXPECT_EQ(take(), (Events{hex(press, 3), hex(release, 3)})) << int(note);
    }
}

TEST_F(Engine, FaderTouchIsNoteOnAndItsReleaseNoteOnVelocityZero) {
    open();
    m_engine->buttonPress(kestro::kFaderId);
    EXPECT_TRUE(m_engine->faderDragging());
    m_engine->buttonRelease(kestro::kFaderId);
    EXPECT_FALSE(m_engine->faderDragging());
    EXPECT_EQ(take(), (Events{"90 68 7F", "90 68 00"}));
}

TEST_F(Engine, FaderPositionIsPlaceTimes16383Truncated) {
    open();
    const std::pair<double, const char*> cases[] = {
        {0.5, "E0 7F 3F"}, // 8191
        {1.0, "E0 7F 7F"},
        {0.0, "E0 00 00"},
        {8192.0 / 16383.0, "E0 00 40"},
        {1.0 / 16383.0 - 1e-12, "E0 00 00"},
        {1.5, "E0 7F 7F"},
        {-0.25, "E0 00 00"},
        {std::numeric_limits<double>::quiet_NaN(), "E0 00 00"},
    };
    for (const auto& [place, bytes] : cases) {
        m_engine->sendFaderPosition(place);
        EXPECT_EQ(take(), Events{bytes}) << place;
        EXPECT_GE(m_engine->faderValue(), 0.0);
        EXPECT_LE(m_engine->faderValue(), 1.0);
    }
}

TEST_F(Engine, EncoderStepsAreHalvedAboveOne) {
    open();
    const std::pair<int, const char*> cases[] = {
        {0, "B0 10 00"},
        {1, "B0 10 01"},
        {2, "B0 10 01"},
        {3, "B0 10 01"},
        {4, "B0 10 02"},
        {5, "B0 10 02"},
        {-1, "B0 10 41"},
        {-2, "B0 10 41"},
        {-3, "B0 10 41"},
        {-5, "B0 10 42"},
        {126, "B0 10 3F"},
        {127, "B0 10 3F"},
        {-126, "B0 10 7F"},
        // A fast drag must not wrap into the other direction.
        {200, "B0 10 3F"},
        {-200, "B0 10 7F"},
        {65535, "B0 10 3F"},
        {-65535, "B0 10 7F"},
    };
    for (const auto& [step, bytes] : cases) {
        m_engine->sendEncoderStep(kestro::encoderId(0x10), step);
        EXPECT_EQ(take(), Events{bytes}) << step;
    }
}

TEST_F(Engine, EachEncoderSendsItsController) {
    open();
    for (const cc121::EncoderInfo& encoder : cc121::kEncoders) {
        m_engine->sendEncoderStep(kestro::encoderId(encoder.controller), -4);
        const std::uint8_t expected[] = {0xB0, encoder.controller, 0x42};
        EXPECT_EQ(take(), Events{hex(expected, 3)}) << encoder.name;
    }
}

TEST_F(Engine, IdsOfNoMidiControlSendNothing) {
    open();
    // 4080 & 0x7F would be Band On 1; a button id is no encoder and an encoder id no button.
    for (int id : {kestro::kAlwaysOnTopId, kestro::kSetupId, kestro::kAboutId, 0x0F7A, 0x0F01, 0, -1}) {
        m_engine->buttonPress(id);
        m_engine->buttonRelease(id);
        m_engine->sendEncoderStep(id, 3);
        m_engine->toggleArming(id);
    }
    m_engine->sendEncoderStep(kestro::buttonId(0x10), 3);
    m_engine->sendEncoderStep(kestro::encoderId(0x11), 3);
    EXPECT_EQ(take(), Events{});
    EXPECT_TRUE(m_engine->armed().empty());
}

TEST_F(Engine, ASendErrorLosesOnlyThatMessage) {
    open();
    m_ports->throw_on_send = 1;
    m_engine->buttonPress(kPlay);
    m_engine->buttonRelease(kPlay);
    EXPECT_EQ(take(), Events{"80 5E 00"});
    // In a chord the Note Offs still go out after a failed Note On.
    m_engine->toggleArming(kMute);
    m_ports->throw_on_send = 2;
    m_engine->buttonRelease(kPlay);
    EXPECT_EQ(take(), (Events{"90 10 7F", "pause 50", "80 10 00", "80 5E 00"}));
}

// --- Arming and the simultaneous press -----------------------------------------------------------------

TEST_F(Engine, ArmedButtonsGoOutTogetherAtTheRelease) {
    open();
    m_engine->toggleArming(kMute);
    m_engine->toggleArming(kSolo);
    m_engine->buttonPress(kPlay);
    EXPECT_EQ(take(), Events{}) << "nothing at the press";
    m_engine->buttonRelease(kPlay);
    EXPECT_EQ(take(),
              (Events{"90 10 7F", "90 08 7F", "90 5E 7F", "pause 50", "80 10 00", "80 08 00", "80 5E 00"}));
    EXPECT_TRUE(m_engine->armed().empty());
    m_engine->buttonPress(kPlay);
    m_engine->buttonRelease(kPlay);
    EXPECT_EQ(take(), (Events{"90 5E 7F", "80 5E 00"})) << "disarmed after the chord";
}

TEST_F(Engine, TheChordHoldsForTheClickTime) {
    open();
    for (const auto& [set, held] :
         std::vector<std::pair<int, int>>{{200, 200}, {1, 1}, {1000, 1000}, {0, 1}, {-5, 1}, {5000, 1000}}) {
        m_engine->setSimulClickTime(set);
        EXPECT_EQ(m_engine->simulClickTime(), held);
        m_engine->toggleArming(kMute);
        m_engine->buttonRelease(kPlay);
        EXPECT_EQ(take(),
                  (Events{"90 10 7F", "90 5E 7F", "pause " + std::to_string(held), "80 10 00", "80 5E 00"}))
            << set;
    }
}

TEST_F(Engine, ArmedButtonClickedItselfGoesOutOnce) {
    open();
    m_engine->toggleArming(kMute);
    m_engine->buttonPress(kMute);
    m_engine->buttonRelease(kMute);
    EXPECT_EQ(take(), (Events{"90 10 7F", "pause 50", "80 10 00"}));
}

TEST_F(Engine, ArmingTogglesAndKeepsOrder) {
    const int rec = kestro::buttonId(0x00);
    m_engine->toggleArming(kMute);
    m_engine->toggleArming(kSolo);
    m_engine->toggleArming(rec);
    m_engine->toggleArming(kSolo);
    EXPECT_EQ(m_engine->armed(), (std::vector<int>{kMute, rec}));
    EXPECT_EQ(takeRepaints(), std::vector<Repaint>(4, Repaint{Target::Window, 0})) << "outlines follow";
    m_engine->toggleArming(kestro::kFaderId);
    m_engine->toggleArming(kestro::encoderId(0x10));
    EXPECT_EQ(m_engine->armed(), (std::vector<int>{kMute, rec}));
    open();
    m_engine->toggleArming(kSolo);
    m_engine->buttonRelease(kPlay);
    EXPECT_EQ(take(), (Events{"90 10 7F", "90 00 7F", "90 08 7F", "90 5E 7F", "pause 50", "80 10 00",
                              "80 00 00", "80 08 00", "80 5E 00"}));
}

TEST_F(Engine, FaderWithButtonsArmedSendsNoTouchAndDisarms) {
    open();
    m_engine->toggleArming(kMute);
    m_engine->buttonPress(kestro::kFaderId);
    m_engine->sendFaderPosition(1.0);
    m_engine->buttonRelease(kestro::kFaderId);
    EXPECT_EQ(take(), (Events{"E0 7F 7F", "90 68 00"}));
    EXPECT_TRUE(m_engine->armed().empty());
}

TEST_F(Engine, EncoderLeavesTheArmedListAlone) {
    open();
    m_engine->toggleArming(kMute);
    m_engine->sendEncoderStep(kestro::encoderId(0x3C), 1);
    EXPECT_EQ(take(), Events{"B0 3C 01"});
    EXPECT_EQ(m_engine->armed(), std::vector<int>{kMute});
}

TEST_F(Engine, ReleaseWithoutPortsStillDisarms) {
    m_engine->toggleArming(kMute);
    takeRepaints();
    m_engine->buttonRelease(kPlay);
    EXPECT_TRUE(m_engine->armed().empty());
    EXPECT_EQ(takeRepaints(), std::vector<Repaint>{(Repaint{Target::Window, 0})});
    EXPECT_EQ(take(), Events{}) << "and no hold without ports";
    m_engine->buttonRelease(kPlay);
    EXPECT_EQ(takeRepaints(), std::vector<Repaint>{}) << "nothing was armed, no outline to remove";
}

// --- Incoming messages ---------------------------------------------------------------------------------

TEST_F(Engine, HostReadyIsExactlyTheEightBytes) {
    open();
    const Bytes wrong[] = {
        {0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7, 0xF7}, // nine bytes
        {0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01},             // seven
        {0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x02, 0xF7},
        {0xF0, 0x44, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7},
        {0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF0},
        {0xF0},
        {0x90, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7},
    };
    for (const Bytes& bytes : wrong) {
        input(bytes);
        EXPECT_FALSE(m_engine->listenerReady()) << hex(bytes.data(), bytes.size());
    }
    EXPECT_EQ(takeRepaints(), std::vector<Repaint>{});
    m_clock = 123456;
    input(kHostReady);
    EXPECT_TRUE(m_engine->listenerReady());
    EXPECT_TRUE(m_engine->listenerLightLit());
    EXPECT_EQ(m_engine->lastReadyTime(), 123456u);
    EXPECT_EQ(takeRepaints(), std::vector<Repaint>{(Repaint{Target::ListenerLight, 0})});
    m_clock = 124356;
    input(kHostReady);
    EXPECT_EQ(m_engine->lastReadyTime(), 124356u);
    EXPECT_EQ(takeRepaints(), std::vector<Repaint>{}) << "the light repaints only on a change";
}

TEST_F(Engine, NoteOnSetsLampsOnAnyChannelAtTheThreshold) {
    openAndReady();
    struct Case {
        Bytes bytes;
        bool mute;
    };
    const Case cases[] = {
        {{0x90, 0x10, 0x41}, true},  {{0x90, 0x10, 0x40}, false}, {{0x9F, 0x10, 0x7F}, true},
        {{0x80, 0x10, 0x00}, true}, // Note Off changes nothing
        {{0x95, 0x10, 0x00}, false}, {{0x80, 0x10, 0x7F}, false}, {{0x90, 0x10, 0x7F}, true},
        {{0xB0, 0x10, 0x00}, true},  {{0xA0, 0x10, 0x00}, true},  {{0xD0, 0x10}, true},
        {{0x90, 0x10}, true}, // too short to carry a velocity
    };
    for (const Case& c : cases) {
        input(c.bytes);
        EXPECT_EQ(m_engine->lampLit(0x10), c.mute) << hex(c.bytes.data(), c.bytes.size());
    }
}

TEST_F(Engine, EveryNoteButtonHasItsLampAndNothingElseDoes) {
    openAndReady();
    for (int note = 0; note < 128; ++note) {
        input({0x90, static_cast<std::uint8_t>(note), 0x7F});
    }
    for (int note = 0; note < 256; ++note) {
        EXPECT_EQ(m_engine->lampLit(static_cast<std::uint8_t>(note)),
                  kestro::noteButtonOf(0x0F00 + note).has_value())
            << note;
    }
    EXPECT_FALSE(m_engine->lampLit(0x68)) << "no button behind Fader Touch";
    EXPECT_FALSE(m_engine->lampLit(0x7A)) << "above 121";
    std::vector<Repaint> expected;
    for (int note = 0; note < 128; ++note) {
        if (kestro::noteButtonOf(0x0F00 + note)) {
            expected.push_back({Target::Button, 0x0F00 + note});
        }
    }
    EXPECT_EQ(takeRepaints(), expected);
    input({0x90, 0x5E, 0x7F});
    EXPECT_EQ(takeRepaints(), std::vector<Repaint>{}) << "a lamp repaints only on a change";
}

TEST_F(Engine, PitchBendMovesTheFaderUnlessItIsHeld) {
    openAndReady();
    input({0xE0, 0x00, 0x40});
    EXPECT_DOUBLE_EQ(m_engine->faderValue(), 8192.0 / 16383.0);
    input({0xE3, 0x7F, 0x7F});
    EXPECT_DOUBLE_EQ(m_engine->faderValue(), 1.0);
    EXPECT_EQ(takeRepaints(), std::vector<Repaint>(2, Repaint{Target::Fader, 0}));
    input({0xE0, 0x00, 0x00});
    EXPECT_DOUBLE_EQ(m_engine->faderValue(), 0.0);
    input({0xE0, 0xFF, 0xC0}); // stray top bits are not data
    EXPECT_DOUBLE_EQ(m_engine->faderValue(), 8319.0 / 16383.0);

    m_engine->buttonPress(kestro::kFaderId);
    m_engine->sendFaderPosition(0.25);
    takeRepaints();
    input({0xE0, 0x00, 0x40});
    EXPECT_DOUBLE_EQ(m_engine->faderValue(), 0.25) << "the hand wins over the motor";
    EXPECT_EQ(takeRepaints(), std::vector<Repaint>{});
    m_engine->buttonRelease(kestro::kFaderId);
    input({0xE0, 0x00, 0x40});
    EXPECT_DOUBLE_EQ(m_engine->faderValue(), 8192.0 / 16383.0);
}

TEST_F(Engine, WithoutAHostOnlyTheReadyMessageCounts) {
    open();
    EXPECT_DOUBLE_EQ(m_engine->faderValue(), 0.5);
    input({0x90, 0x10, 0x7F});
    input({0xE0, 0x00, 0x00});
    EXPECT_FALSE(m_engine->lampLit(0x10));
    EXPECT_DOUBLE_EQ(m_engine->faderValue(), 0.5);
    EXPECT_EQ(takeRepaints(), std::vector<Repaint>{});
}

TEST_F(Engine, WithDetectionDisabledEverythingCounts) {
    open();
    m_engine->setDetectionDisabled(true);
    EXPECT_TRUE(m_engine->listenerLightLit()) << "steadily lit";
    input({0x90, 0x10, 0x7F});
    input({0xE0, 0x00, 0x00});
    EXPECT_TRUE(m_engine->lampLit(0x10));
    EXPECT_DOUBLE_EQ(m_engine->faderValue(), 0.0);
    EXPECT_FALSE(m_engine->listenerReady());
    input(kHostReady);
    EXPECT_TRUE(m_engine->listenerReady()) << "the ready message still counts";
    m_engine->setDetectionDisabled(false);
    EXPECT_FALSE(m_engine->listenerLightLit()) << "the light follows the flag";
}

TEST_F(Engine, EmptyOrNullInputIsIgnored) {
    open();
    m_engine->setDetectionDisabled(true);
    m_engine->inputHandler(nullptr, 3);
    m_engine->inputHandler(kHostReady.data(), 0);
    EXPECT_FALSE(m_engine->listenerReady());
}

// --- Host presence and the Listener Ready light ---------------------------------------------------------

TEST_F(Engine, HostGoneDarkensAllLampsAfterMoreThan1500ms) {
    openAndReady();
    m_clock = 5000;
    input(kHostReady);
    for (std::uint8_t note : kestro::kNoteButtons) {
        input({0x90, note, 0x7F});
    }
    takeRepaints();
    m_engine->timerHandler(kestro::kPresenceTimerId, 6500);
    EXPECT_TRUE(m_engine->listenerReady()) << "exactly 1500 ms is not more";
    m_engine->timerHandler(kestro::kBlinkTimerId, 6500);
    EXPECT_TRUE(m_engine->listenerLightLit()) << "no blinking while ready";
    EXPECT_EQ(takeRepaints(), std::vector<Repaint>{});

    m_engine->timerHandler(kestro::kPresenceTimerId, 6501);
    EXPECT_FALSE(m_engine->listenerReady());
    EXPECT_FALSE(m_engine->listenerLightLit());
    for (std::uint8_t note : kestro::kNoteButtons) {
        EXPECT_FALSE(m_engine->lampLit(note)) << int(note);
    }
    EXPECT_EQ(takeRepaints().size(), 1u + kestro::kNoteButtonCount);
    input({0x90, 0x10, 0x7F});
    EXPECT_FALSE(m_engine->lampLit(0x10)) << "not ready any more";
}

TEST_F(Engine, TimeoutIsSeenBetween1500And3000msAfterTheLastMessage) {
    open();
    // The 1500 ms timer runs from t = 0; try the last message at every phase of it.
    for (std::uint32_t last = 10000; last < 11500; last += 37) {
        m_clock = last;
        input(kHostReady);
        input({0x90, 0x10, 0x7F});
        std::uint32_t tick = 0;
        while (m_engine->listenerReady()) {
            tick += kestro::kPresenceTimerPeriodMs;
            m_engine->timerHandler(kestro::kPresenceTimerId, tick);
        }
        ASSERT_GT(tick - last, 1500u) << last;
        ASSERT_LE(tick - last, 3000u) << last;
        ASSERT_FALSE(m_engine->lampLit(0x10));
    }
}

TEST_F(Engine, PresenceSurvivesTheTickWrapping) {
    openAndReady();
    m_clock = 0xFFFFFF00u;
    input(kHostReady);
    m_engine->timerHandler(kestro::kPresenceTimerId, 0x00000100u); // 512 ms later
    EXPECT_TRUE(m_engine->listenerReady());
    m_engine->timerHandler(kestro::kPresenceTimerId, 0x00000600u); // 1792 ms later
    EXPECT_FALSE(m_engine->listenerReady());
}

TEST_F(Engine, AReadyMessageStampedAfterTheTimersClockIsNoTimeout) {
    openAndReady();
    m_clock = 20000;
    input(kHostReady);
    input({0x90, 0x10, 0x7F});
    // The timer read its clock just before the input thread stamped the message.
    m_engine->timerHandler(kestro::kPresenceTimerId, 19999);
    EXPECT_TRUE(m_engine->listenerReady());
    EXPECT_TRUE(m_engine->lampLit(0x10));
}

TEST_F(Engine, ListenerLightBlinksWhileNoHostIsPresent) {
    open();
    EXPECT_FALSE(m_engine->listenerLightLit());
    std::vector<bool> seen;
    for (int i = 0; i < 4; ++i) {
        m_engine->timerHandler(kestro::kBlinkTimerId, 0);
        seen.push_back(m_engine->listenerLightLit());
    }
    EXPECT_EQ(seen, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(takeRepaints(), std::vector<Repaint>(4, Repaint{Target::ListenerLight, 0}));
    m_engine->timerHandler(7, 0);
    EXPECT_FALSE(m_engine->listenerLightLit()) << "other timers do nothing";
}

TEST_F(Engine, TimersDoNothingWhileDetectionIsDisabled) {
    openAndReady();
    m_engine->setDetectionDisabled(true);
    input({0x90, 0x10, 0x7F});
    takeRepaints();
    m_engine->timerHandler(kestro::kPresenceTimerId, m_clock + 60000);
    m_engine->timerHandler(kestro::kBlinkTimerId, m_clock + 60000);
    EXPECT_TRUE(m_engine->listenerReady());
    EXPECT_TRUE(m_engine->listenerLightLit());
    EXPECT_TRUE(m_engine->lampLit(0x10));
    EXPECT_EQ(takeRepaints(), std::vector<Repaint>{});
}

// --- Threads -------------------------------------------------------------------------------------------

// The input thread writes while the window thread sends, ticks and reads; run under TSan to see races.
TEST(EngineThreads, InputFromAnotherThreadWhileTheWindowThreadWorks) {
    Events events;
    auto ports = std::make_unique<FakePorts>(events);
    FakePorts* raw = ports.get();
    std::atomic<std::uint32_t> clock{1000};
    std::atomic<int> repaints{0};
    MidiEngineHooks hooks;
    hooks.now = [&clock] {
        return clock.load();
    };
    hooks.pause = [](std::uint32_t) {
    };
    hooks.repaint = [&repaints](const Repaint&) {
        repaints.fetch_add(1);
    };
    MidiEngine engine(std::move(ports), std::move(hooks));
    ASSERT_TRUE(engine.openPorts("Loop 1 0", "Loop 1 1"));
    const MidiPorts::Receiver receiver = raw->receiver;

    constexpr int kRounds = 20000;
    std::atomic<bool> done{false};
    std::thread input([&] {
        for (int i = 0; i < kRounds; ++i) {
            clock.fetch_add(1);
            receiver(kHostReady.data(), kHostReady.size());
            const Bytes lamp = {0x90, 0x10, static_cast<std::uint8_t>(i % 2 ? 0x7F : 0x00)};
            receiver(lamp.data(), lamp.size());
            const Bytes fader = {0xE0, static_cast<std::uint8_t>(i & 0x7F), 0x40};
            receiver(fader.data(), fader.size());
        }
        const Bytes last = {0x90, 0x5E, 0x7F};
        receiver(last.data(), last.size());
        done.store(true);
    });
    int lit = 0;
    while (!done.load()) {
        lit += engine.lampLit(0x10) ? 1 : 0;
        const double value = engine.faderValue();
        ASSERT_GE(value, 0.0);
        ASSERT_LE(value, 1.0);
        (void)engine.listenerReady();
        (void)engine.lastReadyTime();
        engine.timerHandler(kestro::kPresenceTimerId, clock.load());
        engine.timerHandler(kestro::kBlinkTimerId, clock.load());
        engine.buttonPress(kPlay);
        engine.buttonRelease(kPlay);
        engine.sendFaderPosition(0.5);
        engine.buttonPress(kestro::kFaderId);
        engine.buttonRelease(kestro::kFaderId);
    }
    input.join();
    (void)lit;
    EXPECT_TRUE(engine.listenerReady());
    EXPECT_TRUE(engine.listenerLightLit());
    EXPECT_TRUE(engine.lampLit(0x5E));
    EXPECT_GT(repaints.load(), 0);
    EXPECT_FALSE(events.empty());
}

} // namespace
