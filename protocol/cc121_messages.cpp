#include "cc121_messages.h"

#include "cc121_controls.h"
#include "cc121_scales.h"

#include <algorithm>

namespace cc121 {

bool isHostReadyMessage(const std::uint8_t* data, std::size_t size) {
    return data != nullptr && size == kHostReadyMessage.size() &&
           std::equal(kHostReadyMessage.begin(), kHostReadyMessage.end(), data);
}

InputEvent decodeMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    InputEvent event;
    if ((data1 & 0x80) != 0 || (data2 & 0x80) != 0) {
        return event;
    }
    event.number = data1;
    event.value = data2;
    switch (status) {
    case kStatusNoteOn:
    case kStatusNoteOff:
        if (findButton(data1) != nullptr) {
            const bool press = status == kStatusNoteOn && data2 != 0;
            event.kind = press ? EventKind::ButtonPress : EventKind::ButtonRelease;
        }
        break;
    case kStatusControlChange:
        if (findEncoder(data1) != nullptr) {
            event.kind = EventKind::EncoderStep;
        }
        break;
    case kStatusPitchBend:
        event.kind = EventKind::FaderMove;
        event.faderPosition = positionFromPitchBend(data1, data2);
        break;
    default:
        break;
    }
    if (event.kind == EventKind::Ignored) {
        return InputEvent{};
    }
    return event;
}

ShortMessage lampMessage(std::uint8_t note, bool on) {
    return {kStatusNoteOn, note, on ? kVelocityOn : kVelocityOff};
}

ShortMessage lampCloseMessage(std::uint8_t note) {
    return {kStatusNoteOff, note, kVelocityOff};
}

ShortMessage motorFaderMessage(int position) {
    const PitchBendBytes bytes = pitchBendBytes(position);
    return {kStatusPitchBend, bytes.lsb, bytes.msb};
}

ShortMessage buttonPressMessage(std::uint8_t note) {
    return {kStatusNoteOn, note, kVelocityOn};
}

ShortMessage buttonReleaseMessage(std::uint8_t note) {
    return {kStatusNoteOff, note, kVelocityOff};
}

ShortMessage faderTouchMessage(bool touched) {
    return {kStatusNoteOn, kNoteFaderTouch, touched ? kVelocityOn : kVelocityOff};
}

ShortMessage encoderTurnMessage(std::uint8_t controller, int steps) {
    return {kStatusControlChange, static_cast<std::uint8_t>(controller & 0x7F), encoderValueForSteps(steps)};
}

ShortMessage faderMoveMessage(double place) {
    const PitchBendBytes bytes = pitchBendBytes(faderPositionFromPlace(place));
    return {kStatusPitchBend, bytes.lsb, bytes.msb};
}

} // namespace cc121
