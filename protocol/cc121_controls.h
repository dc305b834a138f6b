#pragma once
// The controller's controls: every button is a note number and a bit of the 32-bit lamp and held-button
// words; every relative encoder is a Control Change number.

#include <array>
#include <cstddef>
#include <cstdint>

namespace cc121 {

// Button notes.
inline constexpr std::uint8_t kNoteRecArm = 0x00;
inline constexpr std::uint8_t kNoteSolo = 0x08;
inline constexpr std::uint8_t kNoteMute = 0x10;
inline constexpr std::uint8_t kNoteChannelLeft = 0x30;
inline constexpr std::uint8_t kNoteChannelRight = 0x31;
inline constexpr std::uint8_t kNoteRouting = 0x33;
inline constexpr std::uint8_t kNoteFunction1 = 0x36;
inline constexpr std::uint8_t kNoteFunction2 = 0x37;
inline constexpr std::uint8_t kNoteFunction3 = 0x38;
inline constexpr std::uint8_t kNoteFunction4 = 0x39;
inline constexpr std::uint8_t kNoteValueButton = 0x3A;
inline constexpr std::uint8_t kNoteFootSwitch = 0x3B;
inline constexpr std::uint8_t kNoteRead = 0x4A;
inline constexpr std::uint8_t kNoteWrite = 0x4B;
inline constexpr std::uint8_t kNoteCycle = 0x56;
inline constexpr std::uint8_t kNoteToStart = 0x58;
inline constexpr std::uint8_t kNoteToEnd = 0x5A;
inline constexpr std::uint8_t kNoteRewind = 0x5B;
inline constexpr std::uint8_t kNoteForward = 0x5C;
inline constexpr std::uint8_t kNoteStop = 0x5D;
inline constexpr std::uint8_t kNotePlay = 0x5E;
inline constexpr std::uint8_t kNoteRecord = 0x5F;
inline constexpr std::uint8_t kNoteFaderTouch = 0x68;
inline constexpr std::uint8_t kNoteBandOn1 = 0x70;
inline constexpr std::uint8_t kNoteBandOn2 = 0x71;
inline constexpr std::uint8_t kNoteBandOn3 = 0x72;
inline constexpr std::uint8_t kNoteBandOn4 = 0x73;
inline constexpr std::uint8_t kNoteEqType = 0x74;
inline constexpr std::uint8_t kNoteAllBypass = 0x75;
inline constexpr std::uint8_t kNoteJog = 0x76;
inline constexpr std::uint8_t kNoteLock = 0x77;
inline constexpr std::uint8_t kNoteMonitor = 0x78;
inline constexpr std::uint8_t kNoteFx = 0x79;

// Control bits of the lamp-state and held-button words. Fader Touch has none.
inline constexpr std::uint32_t kBitNone = 0;
inline constexpr std::uint32_t kBitRecArm = 0x00000001;
inline constexpr std::uint32_t kBitSolo = 0x00000002;
inline constexpr std::uint32_t kBitMute = 0x00000004;
inline constexpr std::uint32_t kBitChannelLeft = 0x00000008;
inline constexpr std::uint32_t kBitChannelRight = 0x00000010;
inline constexpr std::uint32_t kBitRouting = 0x00000020;
inline constexpr std::uint32_t kBitFunction1 = 0x00000040;
inline constexpr std::uint32_t kBitFunction2 = 0x00000080;
inline constexpr std::uint32_t kBitFunction3 = 0x00000100;
inline constexpr std::uint32_t kBitFunction4 = 0x00000200;
inline constexpr std::uint32_t kBitValueButton = 0x00000400;
inline constexpr std::uint32_t kBitFootSwitch = 0x00000800;
inline constexpr std::uint32_t kBitRead = 0x00001000;
inline constexpr std::uint32_t kBitWrite = 0x00002000;
inline constexpr std::uint32_t kBitCycle = 0x00004000;
inline constexpr std::uint32_t kBitToStart = 0x00008000;
inline constexpr std::uint32_t kBitToEnd = 0x00010000;
inline constexpr std::uint32_t kBitRewind = 0x00020000;
inline constexpr std::uint32_t kBitForward = 0x00040000;
inline constexpr std::uint32_t kBitStop = 0x00080000;
inline constexpr std::uint32_t kBitPlay = 0x00100000;
inline constexpr std::uint32_t kBitRecord = 0x00200000;
inline constexpr std::uint32_t kBitBandOn1 = 0x00400000;
inline constexpr std::uint32_t kBitBandOn2 = 0x00800000;
inline constexpr std::uint32_t kBitBandOn3 = 0x01000000;
inline constexpr std::uint32_t kBitBandOn4 = 0x02000000;
inline constexpr std::uint32_t kBitEqType = 0x04000000;
inline constexpr std::uint32_t kBitAllBypass = 0x08000000;
inline constexpr std::uint32_t kBitJog = 0x10000000;
inline constexpr std::uint32_t kBitLock = 0x20000000;
inline constexpr std::uint32_t kBitMonitor = 0x40000000;
inline constexpr std::uint32_t kBitFx = 0x80000000;

struct ButtonInfo {
    std::uint8_t note;
    std::uint32_t bit; // kBitNone for Fader Touch
    bool hasLamp;      // the host side may send a lamp message for this note
    const char* name;
};

// In table order, which is also the order lamp messages go out in.
inline constexpr std::array<ButtonInfo, 33> kButtons = {{
    {kNoteRecArm, kBitRecArm, true, "Rec Arm"},
    {kNoteSolo, kBitSolo, true, "Solo"},
    {kNoteMute, kBitMute, true, "Mute"},
    {kNoteChannelLeft, kBitChannelLeft, false, "Channel Left"},
    {kNoteChannelRight, kBitChannelRight, false, "Channel Right"},
    {kNoteRouting, kBitRouting, true, "Routing"},
    {kNoteFunction1, kBitFunction1, true, "Function Button 1"},
    {kNoteFunction2, kBitFunction2, true, "Function Button 2"},
    {kNoteFunction3, kBitFunction3, true, "Function Button 3"},
    {kNoteFunction4, kBitFunction4, true, "Function Button 4"},
    {kNoteValueButton, kBitValueButton, false, "Value Button"},
    {kNoteFootSwitch, kBitFootSwitch, false, "Foot Switch"},
    {kNoteRead, kBitRead, true, "Read"},
    {kNoteWrite, kBitWrite, true, "Write"},
    {kNoteCycle, kBitCycle, true, "Cycle"},
    {kNoteToStart, kBitToStart, false, "To Start"},
    {kNoteToEnd, kBitToEnd, false, "To End"},
    {kNoteRewind, kBitRewind, false, "Rewind"},
    {kNoteForward, kBitForward, false, "Forward"},
    {kNoteStop, kBitStop, false, "Stop"},
    {kNotePlay, kBitPlay, true, "Play"},
    {kNoteRecord, kBitRecord, true, "Record"},
    {kNoteFaderTouch, kBitNone, false, "Fader Touch"},
    {kNoteBandOn1, kBitBandOn1, true, "Band On 1"},
    {kNoteBandOn2, kBitBandOn2, true, "Band On 2"},
    {kNoteBandOn3, kBitBandOn3, true, "Band On 3"},
    {kNoteBandOn4, kBitBandOn4, true, "Band On 4"},
    {kNoteEqType, kBitEqType, true, "EQ Type"},
    {kNoteAllBypass, kBitAllBypass, true, "All Bypass"},
    {kNoteJog, kBitJog, true, "Jog"},
    {kNoteLock, kBitLock, true, "Lock"},
    {kNoteMonitor, kBitMonitor, true, "Monitor"},
    {kNoteFx, kBitFx, true, "FX"},
}};

// Every bit whose button has a lamp.
inline constexpr std::uint32_t kLampBits = [] {
    std::uint32_t bits = 0;
    for (const ButtonInfo& b : kButtons)
        if (b.hasLamp)
            bits |= b.bit;
    return bits;
}();

// The button of `note`, or null for a note the controller does not use.
const ButtonInfo* findButton(std::uint8_t note);
// The button owning `bit` (exactly one bit set), or null.
const ButtonInfo* findButtonByBit(std::uint32_t bit);

// Encoder controller numbers.
inline constexpr std::uint8_t kCcPan = 0x10;
inline constexpr std::uint8_t kCcQ1 = 0x20; // Q, F and G run band 1 (lowest) to band 4 (highest)
inline constexpr std::uint8_t kCcQ2 = 0x21;
inline constexpr std::uint8_t kCcQ3 = 0x22;
inline constexpr std::uint8_t kCcQ4 = 0x23;
inline constexpr std::uint8_t kCcF1 = 0x30;
inline constexpr std::uint8_t kCcF2 = 0x31;
inline constexpr std::uint8_t kCcF3 = 0x32;
inline constexpr std::uint8_t kCcF4 = 0x33;
inline constexpr std::uint8_t kCcG1 = 0x40;
inline constexpr std::uint8_t kCcG2 = 0x41;
inline constexpr std::uint8_t kCcG3 = 0x42;
inline constexpr std::uint8_t kCcG4 = 0x43;
inline constexpr std::uint8_t kCcAiKnob = 0x3C;
inline constexpr std::uint8_t kCcValue = 0x50;

enum class EncoderKind { Pan, Q, F, G, AiKnob, Value };

struct EncoderInfo {
    std::uint8_t controller;
    EncoderKind kind;
    int band; // 1..4 for Q, F and G; 0 otherwise
    const char* name;
};

inline constexpr std::array<EncoderInfo, 15> kEncoders = {{
    {kCcPan, EncoderKind::Pan, 0, "Pan"},
    {kCcQ1, EncoderKind::Q, 1, "Q 1"},
    {kCcQ2, EncoderKind::Q, 2, "Q 2"},
    {kCcQ3, EncoderKind::Q, 3, "Q 3"},
    {kCcQ4, EncoderKind::Q, 4, "Q 4"},
    {kCcF1, EncoderKind::F, 1, "F 1"},
    {kCcF2, EncoderKind::F, 2, "F 2"},
    {kCcF3, EncoderKind::F, 3, "F 3"},
    {kCcF4, EncoderKind::F, 4, "F 4"},
    {kCcG1, EncoderKind::G, 1, "G 1"},
    {kCcG2, EncoderKind::G, 2, "G 2"},
    {kCcG3, EncoderKind::G, 3, "G 3"},
    {kCcG4, EncoderKind::G, 4, "G 4"},
    {kCcAiKnob, EncoderKind::AiKnob, 0, "AI Knob"},
    {kCcValue, EncoderKind::Value, 0, "Value Encoder"},
}};

// The encoder of `controller`, or null for a controller number the controller does not use.
const EncoderInfo* findEncoder(std::uint8_t controller);

} // namespace cc121
