#include "eq_host_band.h"

#include "host_api.h"

#include <optional>

namespace {

struct HostBand {
    int type;
    int index;
};

std::optional<HostBand> hostBand(const EqMapMatch& match, int band) {
    if (!match.map || !host::TrackFX_GetEQParam || !host::TrackFX_GetEQBandEnabled ||
        !host::TrackFX_SetEQBandEnabled)
        return std::nullopt;
    if (EqMapParam(*match.map, kEqBandOn, band) >= 0)
        return std::nullopt; // the map's own switch parameter rules
    for (EqControlKind kind : {kEqFreq, kEqGain, kEqQ}) {
        const int param = EqMapParam(*match.map, kind, band);
        if (param < 0)
            continue;
        int type = -1;
        int index = 0;
        int paramType = 0;
        double normalized = 0.0;
        // Band type -1 is the overall gain, which belongs to no band.
        if (host::TrackFX_GetEQParam(match.track, match.fx, param, &type, &index, &paramType, &normalized) &&
            type >= 0)
            return HostBand{type, index};
    }
    return std::nullopt;
}

} // namespace

bool eqToggleHostBand(const EqMapMatch& match, int band) {
    const auto b = hostBand(match, band);
    if (!b)
        return false;
    const bool enabled = host::TrackFX_GetEQBandEnabled(match.track, match.fx, b->type, b->index);
    host::TrackFX_SetEQBandEnabled(match.track, match.fx, b->type, b->index, !enabled);
    return true;
}

bool eqHostBandLit(const EqMapMatch& match, int band) {
    const auto b = hostBand(match, band);
    return b && host::TrackFX_GetEQBandEnabled(match.track, match.fx, b->type, b->index);
}
