// Lock pins the AI knob to the host's last-touched effect parameter, so the knob keeps turning it wherever
// the mouse goes. The pin keeps who the parameter belongs to (the track's handle and GUID, the effect
// instance's GUID) beside where it was, follows them when tracks or effects move and lets go when they are
// gone, so the knob never turns another track's or another plug-in's parameter. It lives only as long as the
// surface.
#include "cc121_surface.h"

#include "cc121_controls.h"
#include "host_api.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace cc121;

namespace {

// One plain step at the default encoder speed (31) moves 1% of the parameter's range.
constexpr double kPinnedStepDivisor = 3100.0;
constexpr std::uint32_t kLockPollMs = 200;

using Guid = std::array<unsigned char, kGuidSize>;

bool pinFunctionsPresent() {
    return host::GetLastTouchedFX && host::GetTrack && host::GetMasterTrack &&
           host::TrackFX_GetParamNormalized && host::TrackFX_SetParamNormalized;
}

std::optional<Guid> copyGuid(const void* guid) {
    if (!guid)
        return std::nullopt;
    Guid g;
    std::memcpy(g.data(), guid, g.size());
    return g;
}

std::optional<Guid> trackGuid(MediaTrack* t) {
    return copyGuid(host::GetSetMediaTrackInfo(t, "GUID", nullptr));
}

std::optional<Guid> fxGuid(MediaTrack* t, int fx) {
    return host::TrackFX_GetFXGUID ? copyGuid(host::TrackFX_GetFXGUID(t, fx)) : std::nullopt;
}

// Track `number` as the host numbers them: 0 the master, 1.. the tracks.
MediaTrack* trackNumbered(int number) {
    return number == 0 ? host::GetMasterTrack(nullptr) : host::GetTrack(nullptr, number - 1);
}

} // namespace

MediaTrack* CC121::pinnedTrack() {
    if (!m_pin || !pinFunctionsPresent())
        return nullptr;
    // The same track is the same handle with the same GUID: a handle alone may have been given out again.
    auto isPinned = [this](MediaTrack* t) {
        return t && t == m_pin->handle && (!m_pin->trackGuid || trackGuid(t) == m_pin->trackGuid);
    };
    MediaTrack* t = trackNumbered(m_pin->track);
    if (!isPinned(t)) {
        t = nullptr;
        const int count = host::CSurf_NumTracks(false);
        for (int number = 0; number <= count && !t; ++number) {
            MediaTrack* candidate = trackNumbered(number);
            if (isPinned(candidate)) {
                t = candidate;
                m_pin->track = number;
            }
        }
        if (!t)
            return nullptr; // removed, or another project is current
    }
    const int effects = host::TrackFX_GetCount(t);
    if (m_pin->fxGuid && (m_pin->fx >= effects || fxGuid(t, m_pin->fx) != m_pin->fxGuid)) {
        int found = -1;
        for (int fx = 0; fx < effects && found < 0; ++fx)
            if (fxGuid(t, fx) == m_pin->fxGuid)
                found = fx;
        if (found < 0)
            return nullptr;
        m_pin->fx = found;
    }
    if (m_pin->fx >= effects || m_pin->param >= host::TrackFX_GetNumParams(t, m_pin->fx))
        return nullptr;
    return t;
}

// Without the effect's GUID a moved chain cannot be told from a changed one, so the pin lets go.
void CC121::recheckPin() {
    if (m_pin && (!m_pin->fxGuid || !pinnedTrack()))
        unpin();
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
    MediaTrack* t = trackNumbered(trackNumber);
    if (!t)
        return;
    m_pin = KnobPin{trackNumber, fxNumber, param, t, trackGuid(t), fxGuid(t, fxNumber)};
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
