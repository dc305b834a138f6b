#include "eq_map_track.h"

#include "host_api.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// The host's effect names fit in 256 bytes.
constexpr int kFxNameSize = 256;

struct ParamValue {
    double value = 0.0;
    double min = 0.0;
    double max = 0.0;
};

ParamValue readParam(const EqMapMatch& match, int param) {
    ParamValue p;
    p.value = host::TrackFX_GetParam(match.track, match.fx, param, &p.min, &p.max);
    return p;
}

bool usable(const EqMapMatch& match, int param) {
    return match.map != nullptr && param >= 0 && host::TrackFX_GetParam && host::TrackFX_SetParam;
}

} // namespace

std::optional<EqMapMatch> FindEqMapForTrack(const EqMapList& maps, int channel, bool useMcp) {
    if (!host::CSurf_TrackFromID || !host::TrackFX_GetCount || !host::TrackFX_GetFXName)
        return std::nullopt;
    MediaTrack* track = host::CSurf_TrackFromID(channel, useMcp);
    if (!track)
        return std::nullopt;
    const int count = host::TrackFX_GetCount(track);
    for (int fx = 0; fx < count; ++fx) {
        char name[kFxNameSize] = {};
        if (!host::TrackFX_GetFXName(track, fx, name, kFxNameSize))
            continue;
        name[kFxNameSize - 1] = '\0'; // a host that filled the buffer whole still gives a terminated name
        for (const EqMap& map : maps) {
            if (std::strcmp(map.id.c_str(), name) == 0)
                return EqMapMatch{&map, track, fx};
        }
    }
    return std::nullopt;
}

double eqStepTarget(double value, double min, double max, double step) {
    if (std::isnan(step))
        return value;
    double target = value + step;
    if (target < min)
        target = min;
    if (target > max)
        target = max;
    return target;
}

double eqStepSize(EqControlKind kind, double amount, int encoderSpeed, double scale) {
    const double units = kind == kEqType ? amount : encoderSpeed * amount;
    if (units == 0.0)
        return 0.0; // 0 / 0 would be no number at all
    if (scale == 0.0)
        return units > 0.0 ? std::numeric_limits<double>::infinity()
                           : -std::numeric_limits<double>::infinity();
    return units / scale;
}

namespace {

// Halfway between the ends: a switch whose range does not start at 0 toggles and lights too.
double midpoint(double min, double max) {
    return min + (max - min) * 0.5;
}

} // namespace

double eqBandOnTarget(double value, double min, double max) {
    return value < midpoint(min, max) ? max : min;
}

double eqBypassTarget(double value, double min, double max) {
    if (min == 0.0 && max == 1.0)
        return 1.0 - value;
    return eqBandOnTarget(value, min, max);
}

bool eqLampLit(double value, double min, double max) {
    return value > midpoint(min, max);
}

bool eqStepParam(const EqMapMatch& match, EqControlKind kind, int band, double amount, int encoderSpeed) {
    if (kind != kEqQ && kind != kEqFreq && kind != kEqGain && kind != kEqType)
        return false;
    double scale = 1.0;
    const int param = match.map ? EqMapParam(*match.map, kind, band, &scale) : -1;
    if (!usable(match, param))
        return false;
    const ParamValue p = readParam(match, param);
    const double target = eqStepTarget(p.value, p.min, p.max, eqStepSize(kind, amount, encoderSpeed, scale));
    if (std::isnan(target))
        return false; // never hand the host a value that is no number
    host::TrackFX_SetParam(match.track, match.fx, param, target);
    return true;
}

bool eqToggleBandOn(const EqMapMatch& match, int band) {
    const int param = match.map ? EqMapParam(*match.map, kEqBandOn, band) : -1;
    if (!usable(match, param))
        return false;
    const ParamValue p = readParam(match, param);
    host::TrackFX_SetParam(match.track, match.fx, param, eqBandOnTarget(p.value, p.min, p.max));
    return true;
}

bool eqToggleBypass(const EqMapMatch& match) {
    const int param = match.map ? EqMapParam(*match.map, kEqBypass, 0) : -1;
    if (!usable(match, param))
        return false;
    const ParamValue p = readParam(match, param);
    host::TrackFX_SetParam(match.track, match.fx, param, eqBypassTarget(p.value, p.min, p.max));
    return p.value < midpoint(p.min, p.max);
}

bool eqParamLit(const EqMapMatch& match, EqControlKind kind, int band) {
    if (kind != kEqBandOn && kind != kEqBypass)
        return false;
    const int param = match.map ? EqMapParam(*match.map, kind, band) : -1;
    if (!usable(match, param))
        return false;
    const ParamValue p = readParam(match, param);
    return eqLampLit(p.value, p.min, p.max);
}
