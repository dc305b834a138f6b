#include "panel_controls.h"

#include <algorithm>

namespace kestro {

bool isNoteButton(std::uint8_t note) {
    return std::find(kNoteButtons.begin(), kNoteButtons.end(), note) != kNoteButtons.end();
}

std::optional<std::uint8_t> noteButtonOf(int control_id) {
    const int note = control_id - kButtonIdBase;
    if (note < 0 || note > kHighestButtonNote || !isNoteButton(static_cast<std::uint8_t>(note))) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(note);
}

std::optional<std::uint8_t> encoderOf(int control_id) {
    const int controller = control_id - kEncoderIdBase;
    if (controller < 0 || controller > 0x7F ||
        cc121::findEncoder(static_cast<std::uint8_t>(controller)) == nullptr) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(controller);
}

} // namespace kestro
