// ReaEQ's bands: which band a parameter belongs to, and each band's enabled state. Every other effect
// answers false.
#include "hostsim/model/host.h"

namespace hostsim {
namespace {

constexpr int kMasterGain = -1;
constexpr int kParamsPerBand = 3; // frequency, gain, bandwidth
constexpr int kGainParamType = 1;

} // namespace

bool Host::TrackFX_GetEQParam(MediaTrack* tr, int fxidx, int paramidx, int* bandtypeOut, int* bandidxOut,
                              int* paramtypeOut, double* normvalOut) {
    auto call = query(fmt::call("TrackFX_GetEQParam", {label(tr), fmt::value(fxidx), fmt::value(paramidx)}));
    Fx* f = findFx(tr, fxidx);
    const FxParam* p = findParam(tr, fxidx, paramidx);
    if (!f || !f->isReaEq() || !p)
        return call.returns(false);
    const int bands = static_cast<int>(f->eqBands.size());
    int type = kMasterGain;
    int index = 0;
    int paramType = kGainParamType;
    if (paramidx < kParamsPerBand * bands) {
        const int band = paramidx / kParamsPerBand;
        type = f->eqBands[static_cast<std::size_t>(band)].type;
        for (int b = 0; b < band; ++b) // counted among the bands of its own type
            index += f->eqBands[static_cast<std::size_t>(b)].type == type ? 1 : 0;
        paramType = paramidx % kParamsPerBand;
    } else if (paramidx > kParamsPerBand * bands) {
        return call.returns(false); // the host's own Bypass, Wet and Delta belong to no band
    }
    const double norm = p->max == p->min ? 0.0 : (p->value - p->min) / (p->max - p->min);
    if (bandtypeOut)
        *bandtypeOut = type;
    if (bandidxOut)
        *bandidxOut = index;
    if (paramtypeOut)
        *paramtypeOut = paramType;
    if (normvalOut)
        *normvalOut = norm;
    call.result("true " + fmt::value(type) + ", " + fmt::value(index) + ", " + fmt::value(paramType) + ", " +
                fmt::value(norm));
    return true;
}

bool Host::TrackFX_GetEQBandEnabled(MediaTrack* tr, int fxidx, int bandtype, int bandidx) {
    auto call = query(fmt::call("TrackFX_GetEQBandEnabled",
                                {label(tr), fmt::value(fxidx), fmt::value(bandtype), fmt::value(bandidx)}));
    Fx* f = findFx(tr, fxidx);
    const EqBand* band = f ? f->eqBand(bandtype, bandidx) : nullptr;
    return call.returns(band && band->enabled);
}

bool Host::TrackFX_SetEQBandEnabled(MediaTrack* tr, int fxidx, int bandtype, int bandidx, bool enable) {
    auto call =
        action(fmt::call("TrackFX_SetEQBandEnabled", {label(tr), fmt::value(fxidx), fmt::value(bandtype),
                                                      fmt::value(bandidx), fmt::value(enable)}));
    Fx* f = findFx(tr, fxidx);
    EqBand* band = f ? f->eqBand(bandtype, bandidx) : nullptr;
    if (!band)
        return call.returns(false);
    band->enabled = enable;
    return call.returns(true);
}

} // namespace hostsim
