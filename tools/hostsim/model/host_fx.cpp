// The effects of a track and their parameters.
#include "hostsim/model/host.h"

#include "hostsim/model/text_buffer.h"
#include "hostsim/model/track_fields.h"

#include <algorithm>
#include <cmath>

namespace hostsim {

Fx* Host::findFx(MediaTrack* track, int fx) {
    Track* t = m_project.find(track);
    if (!t || fx < 0 || fx >= static_cast<int>(t->fx.size()))
        return nullptr;
    return &t->fx[static_cast<std::size_t>(fx)];
}

FxParam* Host::findParam(MediaTrack* track, int fx, int param) {
    Fx* f = findFx(track, fx);
    if (!f || param < 0 || param >= static_cast<int>(f->params.size()))
        return nullptr;
    return &f->params[static_cast<std::size_t>(param)];
}

int Host::TrackFX_GetCount(MediaTrack* track) {
    auto call = query(fmt::call("TrackFX_GetCount", {label(track)}));
    const Track* t = m_project.find(track);
    return call.returns(t ? static_cast<int>(t->fx.size()) : 0);
}

int Host::TrackFX_GetNumParams(MediaTrack* track, int fx) {
    auto call = query(fmt::call("TrackFX_GetNumParams", {label(track), fmt::value(fx)}));
    const Fx* f = findFx(track, fx);
    return call.returns(f ? static_cast<int>(f->params.size()) : 0);
}

double Host::TrackFX_GetParam(MediaTrack* track, int fx, int param, double* minvalOut, double* maxvalOut) {
    auto call = query(fmt::call("TrackFX_GetParam", {label(track), fmt::value(fx), fmt::value(param)}));
    const FxParam* p = findParam(track, fx, param);
    if (minvalOut)
        *minvalOut = p ? p->min : 0.0;
    if (maxvalOut)
        *maxvalOut = p ? p->max : 0.0;
    return call.returns(p ? p->value : 0.0);
}

bool Host::TrackFX_SetParam(MediaTrack* track, int fx, int param, double val) {
    auto call = action(
        fmt::call("TrackFX_SetParam", {label(track), fmt::value(fx), fmt::value(param), fmt::value(val)}));
    FxParam* p = findParam(track, fx, param);
    if (!p || std::isnan(val))
        return call.returns(false);
    // A parameter whose range was given upside down still clamps into it.
    const double low = std::min(p->min, p->max);
    const double high = std::max(p->min, p->max);
    p->value = std::clamp(val, low, high);
    return call.returns(true);
}

// Normalized values run over the parameter's range, 0 at its minimum and 1 at its maximum.
double Host::TrackFX_GetParamNormalized(MediaTrack* track, int fx, int param) {
    auto call =
        query(fmt::call("TrackFX_GetParamNormalized", {label(track), fmt::value(fx), fmt::value(param)}));
    const FxParam* p = findParam(track, fx, param);
    if (!p || p->max == p->min)
        return call.returns(0.0);
    return call.returns((p->value - p->min) / (p->max - p->min));
}

bool Host::TrackFX_SetParamNormalized(MediaTrack* track, int fx, int param, double value) {
    auto call = action(fmt::call("TrackFX_SetParamNormalized",
                                 {label(track), fmt::value(fx), fmt::value(param), fmt::value(value)}));
    FxParam* p = findParam(track, fx, param);
    if (!p || std::isnan(value))
        return call.returns(false);
    p->value = p->min + std::clamp(value, 0.0, 1.0) * (p->max - p->min);
    return call.returns(true);
}

GUID* Host::TrackFX_GetFXGUID(MediaTrack* track, int fx) {
    auto call = query(fmt::call("TrackFX_GetFXGUID", {label(track), fmt::value(fx)}));
    Fx* f = findFx(track, fx);
    call.result(f ? formatValue(ValueType::Id, f->guid.data()) : "null");
    return f ? reinterpret_cast<GUID*>(f->guid.data()) : nullptr;
}

bool Host::TrackFX_GetParamName(MediaTrack* track, int fx, int param, char* buf, int buf_sz) {
    auto call = query(fmt::call("TrackFX_GetParamName",
                                {label(track), fmt::value(fx), fmt::value(param), fmt::value(buf_sz)}));
    const FxParam* p = findParam(track, fx, param);
    // A failed call still leaves an empty, terminated text for callers that ignore the result.
    copyText(p ? p->name : std::string(), buf, buf_sz);
    call.result(p ? "true " + fmt::value(p->name.c_str()) : "false");
    return p != nullptr;
}

bool Host::TrackFX_GetFXName(MediaTrack* track, int fx, char* buf, int buf_sz) {
    auto call = query(fmt::call("TrackFX_GetFXName", {label(track), fmt::value(fx), fmt::value(buf_sz)}));
    const Fx* f = findFx(track, fx);
    copyText(f ? f->name : std::string(), buf, buf_sz);
    call.result(f ? "true " + fmt::value(f->name.c_str()) : "false");
    return f != nullptr;
}

} // namespace hostsim
