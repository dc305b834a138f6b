#include "cc121_controls.h"

namespace cc121 {

const ButtonInfo* findButton(std::uint8_t note) {
    for (const ButtonInfo& button : kButtons) {
        if (button.note == note) {
            return &button;
        }
    }
    return nullptr;
}

const ButtonInfo* findButtonByBit(std::uint32_t bit) {
    if (bit == kBitNone) {
        return nullptr;
    }
    for (const ButtonInfo& button : kButtons) {
        if (button.bit == bit) {
            return &button;
        }
    }
    return nullptr;
}

const EncoderInfo* findEncoder(std::uint8_t controller) {
    for (const EncoderInfo& encoder : kEncoders) {
        if (encoder.controller == controller) {
            return &encoder;
        }
    }
    return nullptr;
}

} // namespace cc121
