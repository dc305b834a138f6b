#include "cc121_describe.h"

#include "cc121_controls.h"
#include "cc121_messages.h"
#include "cc121_scales.h"

#include <cstdio>

namespace cc121 {
namespace {

std::string hexBytes(const std::uint8_t* data, std::size_t size) {
    std::string text;
    const std::size_t shown = size < kDescribedBytes ? size : kDescribedBytes;
    for (std::size_t i = 0; i < shown; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%s%02X", i ? " " : "", data[i]);
        text += hex;
    }
    if (shown < size)
        text += " ...";
    return text;
}

std::string fromController(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return "ignored";
    const InputEvent event = decodeMessage(data[0], data[1], data[2]);
    switch (event.kind) {
    case EventKind::ButtonPress:
        return std::string(findButton(event.number)->name) + " pressed";
    case EventKind::ButtonRelease:
        return std::string(findButton(event.number)->name) + " released";
    case EventKind::EncoderStep: {
        char steps[16];
        std::snprintf(steps, sizeof steps, " %+d", encoderSteps(event.value));
        return std::string(findEncoder(event.number)->name) + steps;
    }
    case EventKind::FaderMove:
        return "Fader " + std::to_string(event.faderPosition);
    case EventKind::Ignored:
        break;
    }
    return "ignored";
}

std::string toController(const std::uint8_t* data, std::size_t size) {
    if (isHostReadyMessage(data, size))
        return "host ready";
    if (size != 3 || (data[1] & 0x80) != 0 || (data[2] & 0x80) != 0)
        return "not a CC121 message";
    const ButtonInfo* button = findButton(data[1]);
    switch (data[0]) {
    case kStatusNoteOn:
        if (button && button->hasLamp)
            return std::string(button->name) + (data[2] != 0 ? " lamp on" : " lamp off");
        break;
    case kStatusNoteOff:
        if (button && button->hasLamp)
            return std::string(button->name) + " lamp closing";
        break;
    case kStatusPitchBend:
        return "motor fader to " + std::to_string(positionFromPitchBend(data[1], data[2]));
    default:
        break;
    }
    return "not a CC121 message";
}

} // namespace

std::string describeMessage(Direction direction, const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size == 0)
        return "(empty)";
    return hexBytes(data, size) + "  " +
           (direction == Direction::FromController ? fromController(data, size) : toController(data, size));
}

} // namespace cc121
