// Lock pins the AI knob to the host's last-touched effect parameter, so the knob keeps turning it wherever
// the mouse goes. The pin is kept by track number and checked against the project on every use; it lives
// only as long as the surface.
#include "cc121_surface.h"

#include "cc121_controls.h"
#include "host_api.h"

#include <algorithm>
#include <cmath>

using namespace cc121;

namespace {

// One plain step at the default encoder speed (31) moves 1% of the parameter's range.
constexpr double kPinnedStepDivisor = 3100.0;
constexpr std::uint32_t kLockPollMs = 200;

bool pinFunctionsPresent() {
    return host::GetLastTouchedFX && host::GetTrack && host::GetMasterTrack &&
           host::TrackFX_GetParamNormalized && host::TrackFX_SetParamNormalized;
}

} // namespace

// The pinned parameter's track while its track, effect and parameter all exist; else null.
MediaTrack* CC121::pinnedTrack() const {
    if (!m_pin || !pinFunctionsPresent())
        return nullptr;
    MediaTrack* t =
        m_pin->track == 0 ? host::GetMasterTrack(nullptr) : host::GetTrack(nullptr, m_pin->track - 1);
    if (!t || m_pin->fx >= host::TrackFX_GetCount(t) ||
        m_pin->param >= host::TrackFX_GetNumParams(t, m_pin->fx))
        return nullptr;
    return t;
}

void CC121::unpin() {
    m_pin.reset();
    SetLamp(kBitLock, false);
}

void CC121::lockPress() {
    if (m_pin) {
        unpin();
        return;
    }
    int trackNumber = 0;
    int fxNumber = 0;
    int param = 0;
    if (!pinFunctionsPresent() || !host::GetLastTouchedFX(&trackNumber, &fxNumber, &param))
        return;
    // A high word in the track number names an item's effect, bits above the low 24 of the effect number a
    // record-input effect: only a track's own chain can be pinned.
    if (static_cast<unsigned>(trackNumber) > 0xFFFFu || static_cast<unsigned>(fxNumber) > 0xFFFFFFu ||
        param < 0)
        return;
    m_pin = KnobPin{trackNumber, fxNumber, param};
    if (!pinnedTrack()) {
        m_pin.reset();
        return;
    }
    SetLamp(kBitLock, true);
}

bool CC121::pinnedKnob(double amount) {
    if (!m_pin)
        return false;
    MediaTrack* t = pinnedTrack();
    if (!t) {
        // The parameter is gone: this turn was meant for it, so it goes nowhere else.
        unpin();
        return true;
    }
    const double current = host::TrackFX_GetParamNormalized(t, m_pin->fx, m_pin->param);
    const double target = std::clamp(current + settings.encoderSpeed * amount / kPinnedStepDivisor, 0.0, 1.0);
    if (!std::isnan(target) && target != current)
        host::TrackFX_SetParamNormalized(t, m_pin->fx, m_pin->param, target);
    return true;
}

// Removing the pinned effect darkens the lamp without waiting for the knob.
void CC121::pollLock(std::uint32_t now) {
    if (!m_pin || now - m_lastLockPoll <= kLockPollMs)
        return;
    m_lastLockPoll = now;
    if (!pinnedTrack())
        unpin();
}
