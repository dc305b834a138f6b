#pragma once
// Choosing the EQ map for the current track, and what the EQ section's controls do with it.

#include "eq_map.h"
#include "reaper_abi.h"

#include <optional>

// A map together with the effect it drives.
struct EqMapMatch {
    const EqMap* map = nullptr;
    MediaTrack* track = nullptr;
    int fx = -1;
};

// The first effect of the channel's chain, in chain order, whose name equals a map's id (byte for byte);
// among maps with that id the earliest in the list. Nothing when the channel has no track or no effect
// has a map. `useMcp` is the mixer-view flag of every track lookup.
std::optional<EqMapMatch> FindEqMapForTrack(const EqMapList& maps, int channel, bool useMcp);

// The rules, free of the host.

// value + step held to the range; a step that is not a number leaves the value.
double eqStepTarget(double value, double min, double max, double step);
// Encoder amount -> parameter step: speed x amount / scale for Q, Freq and Gain, amount / scale for
// Type. A zero scale makes the step infinite (the parameter goes straight to its end); a zero amount
// makes none.
double eqStepSize(EqControlKind kind, double amount, int encoderSpeed, double scale);
// The Band On button: the maximum when the value is in the lower half of the range, else the minimum.
double eqBandOnTarget(double value, double min, double max);
// The All Bypass button flips a 0..1 switch to 1 - value; on any other range it switches like Band On.
double eqBypassTarget(double value, double min = 0.0, double max = 1.0);
// A lamp shows a switch parameter above the middle of its range, so it agrees with the buttons.
bool eqLampLit(double value, double min = 0.0, double max = 1.0);

// The host operations. Each does nothing (and returns false) when the control's index is negative.

// Q, Freq, Gain or Type encoder: moves the band's parameter by eqStepSize. True when it wrote.
bool eqStepParam(const EqMapMatch& match, EqControlKind kind, int band, double amount, int encoderSpeed);
// Band On button of `band`. True when it wrote.
bool eqToggleBandOn(const EqMapMatch& match, int band);
// All Bypass button. Returns whether its lamp is lit afterwards (the effect now bypassed).
bool eqToggleBypass(const EqMapMatch& match);
// Whether the lamp of a switch control (BandOn with its band, or Bypass) is lit.
bool eqParamLit(const EqMapMatch& match, EqControlKind kind, int band);
