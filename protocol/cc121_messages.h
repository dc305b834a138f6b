#pragma once
// The messages on the wire: status bytes, the host-ready System Exclusive message, decoding of what the
// controller sends and building of the short messages each side sends.

#include <array>
#include <cstddef>
#include <cstdint>

namespace cc121 {

// Channel 1 only: the whole status byte is compared, so other channels are not ours.
inline constexpr std::uint8_t kStatusNoteOff = 0x80;
inline constexpr std::uint8_t kStatusNoteOn = 0x90;
inline constexpr std::uint8_t kStatusControlChange = 0xB0;
inline constexpr std::uint8_t kStatusPitchBend = 0xE0;

inline constexpr std::uint8_t kVelocityOn = 0x7F; // lamp on, and the panel's button press
inline constexpr std::uint8_t kVelocityOff = 0x00;

inline constexpr std::array<std::uint8_t, 8> kHostReadyMessage = {0xF0, 0x43, 0x10, 0x3E,
                                                                  0x15, 0x00, 0x01, 0xF7};

// True for exactly the eight bytes of the host-ready message.
bool isHostReadyMessage(const std::uint8_t* data, std::size_t size);

enum class EventKind { Ignored, ButtonPress, ButtonRelease, EncoderStep, FaderMove };

struct InputEvent {
    EventKind kind = EventKind::Ignored;
    std::uint8_t number = 0; // note of a button, controller of an encoder
    std::uint8_t value = 0;  // velocity, or the encoder's raw step value
    int faderPosition = 0;   // 0..16383 for FaderMove
};

// Decodes one controller message. Note On with velocity 0 and Note Off with any velocity are releases.
// Other statuses, other channels, notes and controllers the controller does not use, and data bytes with
// the top bit set (not MIDI data) give Ignored.
InputEvent decodeMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

struct ShortMessage {
    std::uint8_t status;
    std::uint8_t data1;
    std::uint8_t data2;

    friend bool operator==(const ShortMessage& a, const ShortMessage& b) {
        return a.status == b.status && a.data1 == b.data1 && a.data2 == b.data2;
    }
    friend bool operator!=(const ShortMessage& a, const ShortMessage& b) { return !(a == b); }
};

// Host side.
ShortMessage lampMessage(std::uint8_t note, bool on); // Note On, 0x7F or 0x00
ShortMessage lampCloseMessage(std::uint8_t note);     // Note Off, 0x00, after a lamp change
ShortMessage motorFaderMessage(int position);         // Pitch Bend; position clamped to 0..16383

// Panel side.
ShortMessage buttonPressMessage(std::uint8_t note);   // Note On, 0x7F
ShortMessage buttonReleaseMessage(std::uint8_t note); // Note Off, 0x00
// Fader Touch releases with Note On velocity 0, unlike the buttons.
ShortMessage faderTouchMessage(bool touched);
ShortMessage encoderTurnMessage(std::uint8_t controller, int steps); // steps > 0 right, < 0 left
ShortMessage faderMoveMessage(double place);                         // place 0 bottom .. 1 top

} // namespace cc121
