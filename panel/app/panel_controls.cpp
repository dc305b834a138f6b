#include "panel_controls.h"

#include <algorithm>

namespace kestro {

bool isNoteButton(std::uint8_t note) {
    return std::find(kNoteButtons.begin(), kNoteButtons.end(), note) != kNoteButtons.end();
}

// Ranges are checked on the id itself: subtracting the base first overflows for ids near INT_MIN.
std::optional<std::uint8_t> noteButtonOf(int control_id) {
    if (control_id < kButtonIdBase || control_id > kButtonIdBase + kHighestButtonNote) {
        return std::nullopt;
    }
    const int note = control_id - kButtonIdBase;
    if (!isNoteButton(static_cast<std::uint8_t>(note))) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(note);
}

std::optional<std::uint8_t> encoderOf(int control_id) {
    if (control_id < kEncoderIdBase || control_id > kEncoderIdBase + 0x7F) {
        return std::nullopt;
    }
    const int controller = control_id - kEncoderIdBase;
    if (cc121::findEncoder(static_cast<std::uint8_t>(controller)) == nullptr) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(controller);
}

} // namespace kestro
