#pragma once
// Decibels, linear gain and the host's 0..1000 fader scale.
//
// REAPER's own fader curve is not published. The curve here is the simulated host's own, chosen to be
// exactly invertible: slider = 1000 * (gain / gain(+12 dB))^(1/4), so 1000 is +12 dB and 0 is silence.

namespace hostsim {

constexpr double kMaxVolume = 3.98107170553497; // +12 dB, the top of the host's volume range
constexpr double kMinDb = -150.0;               // the host's floor: silence reads as this
constexpr double kSliderMax = 1000.0;

// Linear gain to decibels, never below kMinDb (silence and nonsense read as the floor).
double volumeToDb(double volume);
// Decibels to linear gain; at or below kMinDb the gain is 0.
double dbToVolume(double db);

// DB2SLIDER: below -150 dB counts as -150 dB; the result is clamped to 0..1000.
double dbToSlider(double db);
// SLIDER2DB: the slider is clamped to 0..1000; the result is never below -150 dB.
double sliderToDb(double slider);

} // namespace hostsim
