#pragma once
// The panel's control ids and timers. A note button's id is 0x0F00 plus its note, an encoder's 0x0E00 plus
// its controller number; the fader's id carries the Fader Touch note.

#include "cc121_controls.h"

#include <array>
#include <cstdint>
#include <optional>

namespace kestro {

inline constexpr int kButtonIdBase = 0x0F00;
inline constexpr int kEncoderIdBase = 0x0E00;
inline constexpr int kFaderId = kButtonIdBase + cc121::kNoteFaderTouch; // 3944

// Panel-function buttons: they act on the panel and send nothing.
inline constexpr int kAlwaysOnTopId = 4080;
inline constexpr int kSetupId = 4081;
inline constexpr int kAboutId = 4082;

// Notes above this never belong to a button.
inline constexpr std::uint8_t kHighestButtonNote = 121;

inline constexpr unsigned kPresenceTimerId = 2069;
inline constexpr unsigned kPresenceTimerPeriodMs = 1500;
inline constexpr unsigned kBlinkTimerId = 18193;
inline constexpr unsigned kBlinkTimerPeriodMs = 500;

inline constexpr int kNoteButtonCount = 32;

namespace detail {
constexpr std::array<std::uint8_t, kNoteButtonCount> noteButtons() {
    std::array<std::uint8_t, kNoteButtonCount> notes{};
    std::size_t n = 0;
    for (const cc121::ButtonInfo& button : cc121::kButtons) {
        if (button.note != cc121::kNoteFaderTouch) {
            notes[n++] = button.note;
        }
    }
    return notes;
}
} // namespace detail

// The 32 note buttons: every controller button but Fader Touch, whose note belongs to the fader.
inline constexpr std::array<std::uint8_t, kNoteButtonCount> kNoteButtons = detail::noteButtons();

constexpr int buttonId(std::uint8_t note) {
    return kButtonIdBase + note;
}
constexpr int encoderId(std::uint8_t controller) {
    return kEncoderIdBase + controller;
}

bool isNoteButton(std::uint8_t note);
// The note of a note button's control id; nothing for any other id (the fader included).
std::optional<std::uint8_t> noteButtonOf(int control_id);
// The controller number of an encoder's control id; nothing for any other id.
std::optional<std::uint8_t> encoderOf(int control_id);

} // namespace kestro
