// The RtMidi adapter fails quietly: unknown names, bad port numbers and sends on closed ports neither
// throw nor print anything.
#include "midi_engine.h"
#include "rtmidi_ports.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// RtMidi reports on std::cerr unless told otherwise.
class CerrCapture {
public:
    CerrCapture() : m_old(std::cerr.rdbuf(m_text.rdbuf())) {}
    ~CerrCapture() { std::cerr.rdbuf(m_old); }
    CerrCapture(const CerrCapture&) = delete;
    CerrCapture& operator=(const CerrCapture&) = delete;
    std::string text() const { return m_text.str(); }

private:
    std::ostringstream m_text;
    std::streambuf* m_old;
};

TEST(RtMidiPorts, UnknownPortNamesLeaveThePanelWithoutPorts) {
    CerrCapture cerr;
    int repaints = 0;
    kestro::MidiEngineHooks hooks;
    hooks.repaint = [&repaints](const kestro::Repaint&) {
        ++repaints;
    };
    kestro::MidiEngine engine(kestro::makeRtMidiPorts(), hooks);
    EXPECT_FALSE(engine.openPorts("No Such Port 0", "No Such Port 1"));
    EXPECT_FALSE(engine.portsOpen());
    engine.toggleArming(kestro::buttonId(0x10));
    engine.buttonPress(kestro::buttonId(0x5E));
    engine.buttonRelease(kestro::buttonId(0x5E));
    engine.sendEncoderStep(kestro::encoderId(0x10), 3);
    EXPECT_TRUE(engine.armed().empty());
    EXPECT_EQ(repaints, 2) << "arming and disarming still repaint";
    EXPECT_EQ(cerr.text(), "");
}

TEST(RtMidiPorts, BadPortNumbersAndClosedPortsFailQuietly) {
    CerrCapture cerr;
    auto ports = kestro::makeRtMidiPorts();
    const auto inputs = ports->inputPortNames().size();
    const auto outputs = ports->outputPortNames().size();
    EXPECT_FALSE(
        ports->openInput(static_cast<unsigned>(inputs) + 3, [](const std::uint8_t*, std::size_t) {}));
    EXPECT_FALSE(ports->openOutput(static_cast<unsigned>(outputs) + 3));
    EXPECT_NO_THROW(ports->send({0x90, 0x5E, 0x7F}));
    EXPECT_NO_THROW(ports->close());
    EXPECT_NO_THROW(ports->close());
    EXPECT_EQ(cerr.text(), "");
}

// Only where the system has ports (the loop-back driver in the test prefix): a listed name opens.
TEST(RtMidiPorts, AListedNameOpens) {
    auto ports = kestro::makeRtMidiPorts();
    const auto inputs = ports->inputPortNames();
    const auto outputs = ports->outputPortNames();
    if (inputs.empty() || outputs.empty()) {
        GTEST_SKIP() << "no MIDI ports in this system";
    }
    kestro::MidiEngine engine(std::move(ports), {});
    EXPECT_TRUE(engine.openPorts(inputs.front(), outputs.front()));
    engine.buttonPress(kestro::buttonId(0x5E));
    engine.buttonRelease(kestro::buttonId(0x5E));
    engine.closePorts();
    EXPECT_FALSE(engine.portsOpen());
}

// RtMidi 5 names port i "<UTF-8 name> i"; the panel shows and stores the name in the ANSI code page.
TEST(RtMidiPorts, NamesAreAnsiWithoutRtMidisNumber) {
    char cafe[16] = "";
    WideCharToMultiByte(CP_ACP, 0, L"Caf\u00E9", -1, cafe, sizeof cafe, nullptr, nullptr);
    EXPECT_EQ(kestro::ansiPortName("Caf\xC3\xA9 3", 3), cafe);
    EXPECT_EQ(kestro::ansiPortName("Loop 1 12", 12), "Loop 1");
}

// With the loop-back driver's ports: Play's Note On lights its lamp only when it comes back in on the same
// loop, which shows the ports that the settings opened.
TEST(RtMidiPorts, LoopBackPortsAreFoundAgainAfterTheyMoved) {
    if (kestro::makeRtMidiPorts()->outputPortNames().empty()) {
        GTEST_SKIP() << "no MIDI ports in this system";
    }
    EXPECT_EQ(kestro::makeRtMidiPorts()->inputPortNames(), (std::vector<std::string>{"Loop 1", "Loop 2"}));
    for (const auto& [in, same_loop] : {std::pair{"Loop 2 0", true}, std::pair{"Loop 1 1", false}}) {
        kestro::MidiEngine engine(kestro::makeRtMidiPorts(), {});
        engine.setDetectionDisabled(true);
        ASSERT_TRUE(engine.openPorts(in, "Loop 2 5")); // both stored when Loop 2 was elsewhere
        engine.buttonPress(kestro::buttonId(0x5E));
        for (int i = 0; i < 50 && !engine.lampLit(0x5E); ++i) {
            Sleep(10);
        }
        EXPECT_EQ(engine.lampLit(0x5E), same_loop) << in;
    }
}

} // namespace
