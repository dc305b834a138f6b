#pragma once
// Value scales of the wire: relative encoder steps, the 14-bit fader and its volume and pan meanings.

#include <cstdint>

namespace cc121 {

inline constexpr int kFaderMin = 0;
inline constexpr int kFaderMax = 16383;

// The host's fader-scale conversions (fader scale 0..1000 <-> dB), passed in so this stays host-free.
using DbConversion = double (*)(double);

// Sign-magnitude step count of an encoder value: 0x05 is +5, 0x45 is -5, 0x00 and 0x40 are 0.
int encoderSteps(std::uint8_t value);

// The step count shaped by the surface's acceleration: |steps| ^ (acceleration / 10 + 1), with the step's
// sign. A zero step stays 0 for every acceleration. The result can be huge for large accelerations; it
// is kept finite, and callers clamp before converting to an integer.
double encoderAmount(std::uint8_t value, int acceleration);

// Linear gain for a fader position; `slider2db` is the host's SLIDER2DB.
double faderToVolume(int position, DbConversion slider2db);
// Fader position (0..16383) for a linear gain; `db2slider` is the host's DB2SLIDER.
int volumeToFader(double volume, DbConversion db2slider);

// Bottom is pan +1, top is pan -1.
double faderToPan(int position);
int panToFader(double pan);

struct PitchBendBytes {
    std::uint8_t lsb;
    std::uint8_t msb;
};

// Data bytes of a Pitch Bend message; the position is clamped to 0..16383 first so that an out-of-range
// value cannot wrap around to the other end of the fader.
PitchBendBytes pitchBendBytes(int position);
int positionFromPitchBend(std::uint8_t lsb, std::uint8_t msb);

// The panel's side. Encoder value for `steps` (> 0 right, < 0 left): d or 64 + d. The magnitude is held
// to 63, the most the sign-magnitude form carries; masking a larger count would flip its direction.
std::uint8_t encoderValueForSteps(int steps);
// Fader position for a place in [0, 1] (1 = top): place x 16383, truncated. Places outside are clamped.
int faderPositionFromPlace(double place);

} // namespace cc121

namespace cc121 {
// (int)value truncated toward zero, saturating at the 32-bit limits; NaN gives 0. Encoder amounts at high
// acceleration exceed any int, and a plain cast would be undefined.
int truncateSaturated(double value);
} // namespace cc121
