#include "cc121_scales.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace cc121 {

namespace {

constexpr double kDbOffset = 0.33; // part of the controller's scale, applied both ways
constexpr double kFloorDb = -150.0;
constexpr double kSilenceGain = 1.0 / 33554432.0; // 2^-25
constexpr double kHostFaderScale = 1000.0;
constexpr double kPositionScale = 16384.0;

int clampPosition(int position) {
    return std::clamp(position, kFaderMin, kFaderMax);
}

// Half-up rounding with the range held; NaN goes to the bottom rather than into an undefined cast.
int roundToPosition(double f) {
    if (!(f >= 0.0)) {
        return kFaderMin;
    }
    if (f > kFaderMax) {
        return kFaderMax;
    }
    return static_cast<int>(f + 0.5);
}

} // namespace

int encoderSteps(std::uint8_t value) {
    const int magnitude = value & 0x3F;
    return (value & 0x40) != 0 ? -magnitude : magnitude;
}

double encoderAmount(std::uint8_t value, int acceleration) {
    const int steps = encoderSteps(value);
    if (steps == 0) {
        return 0.0; // also keeps a negative exponent from turning 0 into infinity
    }
    const double exponent = acceleration / 10.0 + 1.0;
    const double magnitude = std::min(std::pow(static_cast<double>(std::abs(steps)), exponent), DBL_MAX);
    return steps < 0 ? -magnitude : magnitude;
}

double faderToVolume(int position, DbConversion slider2db) {
    const double slider = clampPosition(position) * kHostFaderScale / kPositionScale;
    return std::pow(10.0, (slider2db(slider) - kDbOffset) / 20.0);
}

int volumeToFader(double volume, DbConversion db2slider) {
    double db = kFloorDb;
    if (volume >= kSilenceGain) {
        db = std::max(20.0 * std::log10(volume), kFloorDb);
    }
    return roundToPosition(db2slider(db + kDbOffset) * kPositionScale / kHostFaderScale);
}

double faderToPan(int position) {
    return 1.0 - clampPosition(position) / 8191.5;
}

int panToFader(double pan) {
    return roundToPosition((1.0 - pan) * kFaderMax * 0.5);
}

PitchBendBytes pitchBendBytes(int position) {
    const int p = clampPosition(position);
    return {static_cast<std::uint8_t>(p & 0x7F), static_cast<std::uint8_t>((p >> 7) & 0x7F)};
}

int positionFromPitchBend(std::uint8_t lsb, std::uint8_t msb) {
    return (lsb & 0x7F) | ((msb & 0x7F) << 7);
}

std::uint8_t encoderValueForSteps(int steps) {
    const int magnitude = steps < 0 ? (steps < -63 ? 63 : -steps) : std::min(steps, 63);
    return static_cast<std::uint8_t>(steps < 0 ? 64 + magnitude : magnitude);
}

int faderPositionFromPlace(double place) {
    if (!(place > 0.0)) {
        return kFaderMin;
    }
    if (place >= 1.0) {
        return kFaderMax;
    }
    return static_cast<int>(place * kFaderMax);
}

} // namespace cc121

namespace cc121 {
int truncateSaturated(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<int>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}
} // namespace cc121
