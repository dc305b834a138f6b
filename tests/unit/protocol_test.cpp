#include "cc121_protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using namespace cc121;

// --- Control table -------------------------------------------------------------------------------------

TEST(ControlTable, BitsFollowTableOrderAndFaderTouchHasNone) {
    std::uint32_t expected = 1;
    for (const ButtonInfo& button : kButtons) {
        if (button.note == kNoteFaderTouch) {
            EXPECT_EQ(button.bit, kBitNone);
            EXPECT_FALSE(button.hasLamp);
            continue;
        }
        EXPECT_EQ(button.bit, expected) << button.name;
        expected <<= 1;
    }
    EXPECT_EQ(expected, 0u) << "all 32 bits used exactly once";
    EXPECT_EQ(kButtons.front().note, kNoteRecArm);
    EXPECT_EQ(kButtons.back().note, kNoteFx);
}

TEST(ControlTable, LamplessButtonsAreExactlyTheListedOnes) {
    std::uint32_t lampless = 0;
    for (const ButtonInfo& button : kButtons) {
        if (!button.hasLamp) {
            lampless |= button.bit;
        }
    }
    EXPECT_EQ(lampless, 0x00000008u | 0x00000010u | 0x00000400u | 0x00000800u | 0x00008000u | 0x00010000u |
                            0x00020000u | 0x00040000u | 0x00080000u);
}

TEST(ControlTable, FindButtonKnowsExactlyTheTableNotes) {
    const std::vector<int> notes = {0x00, 0x08, 0x10, 0x30, 0x31, 0x33, 0x36, 0x37, 0x38, 0x39, 0x3A,
                                    0x3B, 0x4A, 0x4B, 0x56, 0x58, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,
                                    0x68, 0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79};
    for (int note = 0; note < 256; ++note) {
        const ButtonInfo* button = findButton(static_cast<std::uint8_t>(note));
        const bool listed = std::find(notes.begin(), notes.end(), note) != notes.end();
        ASSERT_EQ(button != nullptr, listed) << "note " << note;
        if (button != nullptr) {
            EXPECT_EQ(button->note, note);
        }
    }
    EXPECT_EQ(findButton(kNotePlay)->bit, 0x00100000u);
    EXPECT_EQ(findButton(kNoteMonitor)->bit, 0x40000000u);
    EXPECT_STREQ(findButton(kNoteFx)->name, "FX");
    EXPECT_EQ(findButtonByBit(kBitJog)->note, 0x76);
    EXPECT_EQ(findButtonByBit(kBitNone), nullptr);
}

TEST(ControlTable, FindEncoderGivesKindAndBand) {
    struct Case {
        int controller;
        EncoderKind kind;
        int band;
    };
    const Case cases[] = {
        {0x10, EncoderKind::Pan, 0}, {0x20, EncoderKind::Q, 1},      {0x23, EncoderKind::Q, 4},
        {0x30, EncoderKind::F, 1},   {0x32, EncoderKind::F, 3},      {0x41, EncoderKind::G, 2},
        {0x43, EncoderKind::G, 4},   {0x3C, EncoderKind::AiKnob, 0}, {0x50, EncoderKind::Value, 0}};
    for (const Case& c : cases) {
        const EncoderInfo* encoder = findEncoder(static_cast<std::uint8_t>(c.controller));
        ASSERT_NE(encoder, nullptr) << c.controller;
        EXPECT_EQ(encoder->kind, c.kind) << c.controller;
        EXPECT_EQ(encoder->band, c.band) << c.controller;
    }
    int known = 0;
    for (int controller = 0; controller < 256; ++controller) {
        known += findEncoder(static_cast<std::uint8_t>(controller)) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(known, 15);
    for (int controller : {0x11, 0x24, 0x34, 0x3D, 0x44, 0x51}) {
        EXPECT_EQ(findEncoder(static_cast<std::uint8_t>(controller)), nullptr) << controller;
    }
}

// --- Decoding -------------------------------------------------------------------------------------------

struct DecodeCase {
    std::uint8_t status, d1, d2;
    EventKind kind;
    int number;
    int faderPosition;
};

class Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, Message) {
    const DecodeCase& c = GetParam();
    const InputEvent event = decodeMessage(c.status, c.d1, c.d2);
    EXPECT_EQ(event.kind, c.kind);
    if (c.kind != EventKind::Ignored) {
        EXPECT_EQ(event.number, c.number);
        EXPECT_EQ(event.value, c.d2);
        EXPECT_EQ(event.faderPosition, c.faderPosition);
    }
}

INSTANTIATE_TEST_SUITE_P(Protocol, Decode,
                         ::testing::Values(DecodeCase{0x90, 0x5E, 0x7F, EventKind::ButtonPress, 0x5E, 0},
                                           DecodeCase{0x90, 0x5E, 0x01, EventKind::ButtonPress, 0x5E, 0},
                                           DecodeCase{0x90, 0x5E, 0x00, EventKind::ButtonRelease, 0x5E, 0},
                                           DecodeCase{0x80, 0x5E, 0x40, EventKind::ButtonRelease, 0x5E, 0},
                                           DecodeCase{0x80, 0x00, 0x00, EventKind::ButtonRelease, 0x00, 0},
                                           DecodeCase{0x90, 0x68, 0x7F, EventKind::ButtonPress, 0x68, 0},
                                           DecodeCase{0x91, 0x5E, 0x7F, EventKind::Ignored, 0, 0},
                                           DecodeCase{0x81, 0x5E, 0x00, EventKind::Ignored, 0, 0},
                                           DecodeCase{0x90, 0x01, 0x7F, EventKind::Ignored, 0, 0},
                                           DecodeCase{0x90, 0x7A, 0x7F, EventKind::Ignored, 0, 0},
                                           DecodeCase{0xB0, 0x10, 0x41, EventKind::EncoderStep, 0x10, 0},
                                           DecodeCase{0xB0, 0x50, 0x40, EventKind::EncoderStep, 0x50, 0},
                                           DecodeCase{0xB0, 0x11, 0x01, EventKind::Ignored, 0, 0},
                                           DecodeCase{0xB1, 0x10, 0x01, EventKind::Ignored, 0, 0},
                                           DecodeCase{0xE0, 0x00, 0x64, EventKind::FaderMove, 0x00, 12800},
                                           DecodeCase{0xE0, 0x7F, 0x7F, EventKind::FaderMove, 0x7F, 16383},
                                           DecodeCase{0xE0, 0x2C, 0x02, EventKind::FaderMove, 0x2C, 300},
                                           DecodeCase{0xE1, 0x00, 0x40, EventKind::Ignored, 0, 0},
                                           DecodeCase{0xA0, 0x5E, 0x7F, EventKind::Ignored, 0, 0},
                                           DecodeCase{0xD0, 0x10, 0x00, EventKind::Ignored, 0, 0},
                                           DecodeCase{0xF0, 0x43, 0x10, EventKind::Ignored, 0, 0},
                                           DecodeCase{0x90, 0x80, 0x7F, EventKind::Ignored, 0, 0},
                                           DecodeCase{0xE0, 0x7F, 0x80, EventKind::Ignored, 0, 0}));

TEST(HostReady, ExactBytes) {
    const std::uint8_t expected[] = {0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7};
    ASSERT_EQ(kHostReadyMessage.size(), sizeof expected);
    EXPECT_EQ(std::memcmp(kHostReadyMessage.data(), expected, sizeof expected), 0);
    EXPECT_TRUE(isHostReadyMessage(expected, 8));
    EXPECT_FALSE(isHostReadyMessage(expected, 7));
    EXPECT_FALSE(isHostReadyMessage(nullptr, 8));
    std::uint8_t longer[9] = {0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7, 0x00};
    EXPECT_FALSE(isHostReadyMessage(longer, 9));
    longer[6] = 0x02;
    EXPECT_FALSE(isHostReadyMessage(longer, 8));
}

// --- Messages each side sends ----------------------------------------------------------------------------

TEST(Messages, WireBytes) {
    EXPECT_EQ(lampMessage(kNotePlay, true), (ShortMessage{0x90, 0x5E, 0x7F}));
    EXPECT_EQ(lampMessage(kNoteFx, false), (ShortMessage{0x90, 0x79, 0x00}));
    EXPECT_EQ(lampCloseMessage(kNoteSolo), (ShortMessage{0x80, 0x08, 0x00}));
    EXPECT_EQ(motorFaderMessage(12800), (ShortMessage{0xE0, 0x00, 0x64}));
    EXPECT_EQ(buttonPressMessage(kNoteRecArm), (ShortMessage{0x90, 0x00, 0x7F}));
    EXPECT_EQ(buttonReleaseMessage(kNoteRecArm), (ShortMessage{0x80, 0x00, 0x00}));
    EXPECT_EQ(faderTouchMessage(true), (ShortMessage{0x90, 0x68, 0x7F}));
    EXPECT_EQ(faderTouchMessage(false), (ShortMessage{0x90, 0x68, 0x00}));
    EXPECT_EQ(encoderTurnMessage(kCcPan, 3), (ShortMessage{0xB0, 0x10, 0x03}));
    EXPECT_EQ(encoderTurnMessage(kCcValue, -2), (ShortMessage{0xB0, 0x50, 0x42}));
    EXPECT_EQ(faderMoveMessage(1.0), (ShortMessage{0xE0, 0x7F, 0x7F}));
    EXPECT_EQ(faderMoveMessage(0.0), (ShortMessage{0xE0, 0x00, 0x00}));
}

TEST(Messages, PanelMessagesDecodeOnTheHostSide) {
    for (const ButtonInfo& button : kButtons) {
        const ShortMessage press = buttonPressMessage(button.note);
        const ShortMessage release =
            button.note == kNoteFaderTouch ? faderTouchMessage(false) : buttonReleaseMessage(button.note);
        const InputEvent down = decodeMessage(press.status, press.data1, press.data2);
        const InputEvent up = decodeMessage(release.status, release.data1, release.data2);
        EXPECT_EQ(down.kind, EventKind::ButtonPress) << button.name;
        EXPECT_EQ(up.kind, EventKind::ButtonRelease) << button.name;
        EXPECT_EQ(down.number, button.note);
        EXPECT_EQ(up.number, button.note);
    }
    const ShortMessage turn = encoderTurnMessage(kCcG3, -7);
    const InputEvent step = decodeMessage(turn.status, turn.data1, turn.data2);
    EXPECT_EQ(step.kind, EventKind::EncoderStep);
    EXPECT_EQ(encoderSteps(step.value), -7);
}

// --- Encoder scales -------------------------------------------------------------------------------------

TEST(EncoderScale, StepsAreSignMagnitude) {
    const std::pair<int, int> cases[] = {{0x01, 1}, {0x05, 5}, {0x41, -1}, {0x45, -5},
                                         {0x00, 0}, {0x40, 0}, {0x3F, 63}, {0x7F, -63}};
    for (const auto& [value, steps] : cases) {
        EXPECT_EQ(encoderSteps(static_cast<std::uint8_t>(value)), steps) << value;
    }
}

TEST(EncoderScale, AmountWithAcceleration) {
    struct Case {
        int value;
        int acceleration;
        double amount;
    };
    const Case cases[] = {
        {0x40, 10, 0.0},
        {0x00, 10, 0.0},
        {0x00, -20, 0.0},
        {0x40, -50, 0.0},
        {0x03, 10, 9.0},
        {0x43, 10, -9.0},
        {0x03, 5, std::pow(3.0, 1.5)},
        {0x03, 15, std::pow(3.0, 2.5)},
        {0x01, 200, 1.0},
        {0x41, 123, -1.0},
        {0x02, 0, 2.0},
        {0x04, -10, 1.0},
        {0x02, -20, 0.5},
    };
    for (const Case& c : cases) {
        const double amount = encoderAmount(static_cast<std::uint8_t>(c.value), c.acceleration);
        EXPECT_DOUBLE_EQ(amount, c.amount) << c.value << " at " << c.acceleration;
        EXPECT_FALSE(std::isnan(amount));
    }
    EXPECT_NEAR(encoderAmount(0x03, 5), 5.196, 0.001); // not rounded
}

TEST(EncoderScale, HugeAccelerationStaysFinite) {
    EXPECT_EQ(encoderAmount(0x3F, INT_MAX), DBL_MAX);
    EXPECT_EQ(encoderAmount(0x7F, INT_MAX), -DBL_MAX);
    EXPECT_EQ(encoderAmount(0x3F, INT_MIN), 0.0);
}

TEST(EncoderScale, PanelValueForSteps) {
    const std::pair<int, int> cases[] = {{0, 0},     {1, 1},      {3, 3},          {63, 63},
                                         {-1, 0x41}, {-5, 0x45},  {-63, 0x7F},     {64, 63},
                                         {1000, 63}, {-64, 0x7F}, {INT_MIN, 0x7F}, {INT_MAX, 63}};
    for (const auto& [steps, value] : cases) {
        EXPECT_EQ(encoderValueForSteps(steps), value) << steps;
    }
    for (int steps = -63; steps <= 63; ++steps) {
        EXPECT_EQ(encoderSteps(encoderValueForSteps(steps)), steps);
    }
}

// --- Fader scales ---------------------------------------------------------------------------------------

// The host conversions, recording the argument they got.
double g_lastArgument = 0.0;
double g_returnValue = 0.0;
double recordingConversion(double x) {
    g_lastArgument = x;
    return g_returnValue;
}

double linearSlider2Db(double slider) {
    return slider / 10.0 - 90.0;
}
double linearDb2Slider(double db) {
    return (db + 90.0) * 10.0;
}

TEST(FaderVolume, PositionToVolumeUsesHostScaleAndOffset) {
    g_returnValue = 0.33;
    EXPECT_DOUBLE_EQ(faderToVolume(8192, recordingConversion), 1.0);
    EXPECT_EQ(g_lastArgument, 500.0);
    g_returnValue = 6.33;
    EXPECT_NEAR(faderToVolume(16383, recordingConversion), std::pow(10.0, 6.0 / 20.0), 1e-12);
    EXPECT_EQ(g_lastArgument, 16383.0 * 1000.0 / 16384.0);
    faderToVolume(0, recordingConversion);
    EXPECT_EQ(g_lastArgument, 0.0);
    faderToVolume(-5, recordingConversion);
    EXPECT_EQ(g_lastArgument, 0.0);
    faderToVolume(99999, recordingConversion);
    EXPECT_EQ(g_lastArgument, 16383.0 * 1000.0 / 16384.0);
}

TEST(FaderVolume, VolumeToHostDecibels) {
    struct Case {
        double volume;
        double expectedDb;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {{1.0, 0.33},
                          {0.0, -149.67},
                          {-1.0, -149.67},
                          {nan, -149.67},
                          {std::ldexp(1.0, -26), -149.67},
                          {std::ldexp(1.0, -25), -149.67}, // -150.5 dB, held at the floor
                          {1e-7, -139.67},
                          {2.0, 20.0 * std::log10(2.0) + 0.33}};
    g_returnValue = 0.0;
    for (const Case& c : cases) {
        volumeToFader(c.volume, recordingConversion);
        EXPECT_DOUBLE_EQ(g_lastArgument, c.expectedDb) << c.volume;
    }
}

TEST(FaderVolume, PositionIsRoundedHalfUpAndClamped) {
    struct Case {
        double hostSlider;
        int position;
    };
    const Case cases[] = {{100.5 * 1000.0 / 16384.0, 101},
                          {100.25 * 1000.0 / 16384.0, 100},
                          {0.0, 0},
                          {-3.0, 0},
                          {1000.0, 16383},
                          {16382.5 * 1000.0 / 16384.0, 16383},
                          {5000.0, 16383},
                          {std::numeric_limits<double>::quiet_NaN(), 0},
                          {std::numeric_limits<double>::infinity(), 16383}};
    for (const Case& c : cases) {
        g_returnValue = c.hostSlider;
        EXPECT_EQ(volumeToFader(0.5, recordingConversion), c.position) << c.hostSlider;
    }
}

TEST(FaderVolume, RoundTripsThroughLinearHostScale) {
    for (int position = 0; position <= kFaderMax; position += 7) {
        const double volume = faderToVolume(position, linearSlider2Db);
        EXPECT_EQ(volumeToFader(volume, linearDb2Slider), position);
    }
}

TEST(FaderPan, Conversions) {
    EXPECT_EQ(faderToPan(0), 1.0);
    EXPECT_NEAR(faderToPan(kFaderMax), -1.0, 1e-4);
    EXPECT_EQ(panToFader(0.0), 8192);
    EXPECT_EQ(panToFader(1.0), 0);
    EXPECT_EQ(panToFader(-1.0), 16383);
    EXPECT_EQ(panToFader(3.0), 0);
    EXPECT_EQ(panToFader(-2.0), 16383);
    EXPECT_EQ(panToFader(std::numeric_limits<double>::quiet_NaN()), 0);
    for (int position = 0; position <= kFaderMax; ++position) {
        ASSERT_EQ(panToFader(faderToPan(position)), position);
    }
}

TEST(FaderPitchBend, BytesAndBack) {
    struct Case {
        int position;
        int lsb, msb;
    };
    const Case cases[] = {{0, 0x00, 0x00},     {16383, 0x7F, 0x7F}, {12800, 0x00, 0x64},  {8192, 0x00, 0x40},
                          {300, 0x2C, 0x02},   {127, 0x7F, 0x00},   {128, 0x00, 0x01},    {-1, 0x00, 0x00},
                          {16384, 0x7F, 0x7F}, {INT_MIN, 0, 0},     {INT_MAX, 0x7F, 0x7F}};
    for (const Case& c : cases) {
        const PitchBendBytes bytes = pitchBendBytes(c.position);
        EXPECT_EQ(bytes.lsb, c.lsb) << c.position;
        EXPECT_EQ(bytes.msb, c.msb) << c.position;
    }
    for (int position = 0; position <= kFaderMax; ++position) {
        const PitchBendBytes bytes = pitchBendBytes(position);
        ASSERT_EQ(positionFromPitchBend(bytes.lsb, bytes.msb), position);
    }
}

TEST(FaderPlace, PanelPositionFromPlace) {
    const std::pair<double, int> cases[] = {{0.0, 0},
                                            {1.0, 16383},
                                            {0.5, 8191},
                                            {0.99999, 16382},
                                            {-0.1, 0},
                                            {1.5, 16383},
                                            {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& [place, position] : cases) {
        EXPECT_EQ(faderPositionFromPlace(place), position) << place;
    }
}

// --- Leading integers -----------------------------------------------------------------------------------

TEST(LeadingInt, ReadsLikeTheCLibrary) {
    struct Case {
        const char* text;
        int value;
        int consumed;
    };
    const Case cases[] = {{"42", 42, 2},
                          {"-17abc", -17, 3},
                          {"+5", 5, 2},
                          {"  \t12 7", 12, 5},
                          {"abc", 0, 0},
                          {"", 0, 0},
                          {"-", 0, 0},
                          {"- 5", 0, 0},
                          {"0x10", 0, 1},
                          {"007", 7, 3},
                          {"2147483647", INT_MAX, 10},
                          {"2147483648", INT_MAX, 10},
                          {"-2147483648", INT_MIN, 11},
                          {"-2147483649", INT_MIN, 11},
                          {"99999999999999999999999999", INT_MAX, 26},
                          {"-99999999999999999999999999x", INT_MIN, 27}};
    for (const Case& c : cases) {
        const char* end = nullptr;
        EXPECT_EQ(parseLeadingInt(c.text, &end), c.value) << c.text;
        EXPECT_EQ(end - c.text, c.consumed) << c.text;
        EXPECT_EQ(parseLeadingInt(c.text), c.value) << c.text;
    }
    const char* end = "x";
    EXPECT_EQ(parseLeadingInt(nullptr, &end), 0);
    EXPECT_EQ(end, nullptr);
}

TEST(LeadingInt, StopsAtTheTerminator) {
    // Exactly sized heap copies, so that ASan reports any read past the zero.
    for (const char* text : {"123", "-", " ", "9999999999999"}) {
        std::vector<char> copy(text, text + std::strlen(text) + 1);
        const char* end = nullptr;
        parseLeadingInt(copy.data(), &end);
        EXPECT_LE(end - copy.data(), static_cast<std::ptrdiff_t>(copy.size() - 1));
    }
}

} // namespace
