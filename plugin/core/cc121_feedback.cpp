// The path from the host back to the controller: lamps, the motor fader, the host-ready message, the host's
// callbacks, the monitor poll and blinking.
#include "cc121_surface.h"

#include "cc121_controls.h"
#include "cc121_messages.h"
#include "cc121_scales.h"
#include "host_api.h"
#include "platform.h"

using namespace cc121;

namespace {

constexpr std::uint32_t kHostReadyEveryMs = 900;
constexpr std::uint32_t kResendAfterGapMs = 1500;
constexpr std::uint32_t kMonitorPollMs = 100;
constexpr std::uint32_t kBlinkMs = 500;

// A track without an id (hidden in the mixer view, or unknown) is never the current one, not even while no
// track is bound yet (-1).
bool isCurrent(int id, int currentTrack) {
    return id >= 0 && id == currentTrack;
}

} // namespace

void CC121::UpdateLampsAndFader(std::uint32_t lamps, int position) {
    if (lamps == lampState && position == faderPosition)
        return;
    if (m_output) {
        const bool sendFader = !faderOff && position != faderPosition;
        m_output->pushLamps(lamps, lamps ^ lampState, sendFader ? position : -1);
    }
    lampState = lamps;
    faderPosition = position;
}

void CC121::SetLamp(std::uint32_t bit, bool on) {
    UpdateLampsAndFader(on ? (lampState | bit) : (lampState & ~bit), faderPosition);
}

int CC121::positionForTrack(MediaTrack* t) const {
    if (!t)
        return 0;
    if (flip) {
        const auto* pan = static_cast<const double*>(host::GetSetMediaTrackInfo(t, "D_PAN", nullptr));
        return pan ? panToFader(*pan) : 0;
    }
    const auto* volume = static_cast<const double*>(host::GetSetMediaTrackInfo(t, "D_VOL", nullptr));
    return volume ? volumeToFader(*volume, host::DB2SLIDER) : 0;
}

void CC121::hostReadyAndResend(std::uint32_t now) {
    if (!m_resendPending && now - lastHostReady <= kHostReadyEveryMs)
        return;
    m_output->pushHostReady();

    if (m_resendPending || now - lastHostReady > kResendAfterGapMs) {
        m_resendPending = false;
        const std::uint32_t saved = lampState;
        const int position = faderOff ? 0 : positionForTrack(currentTrack >= 0 ? track() : nullptr);
        // Every lamp differs from what the controller is taken to show: all of them go out.
        lampState = m_resendEveryLamp ? saved ^ kLampBits : 0;
        m_resendEveryLamp = false;
        faderPosition = -1;
        UpdateLampsAndFader(saved, position);
        host::TrackList_UpdateAllExternalSurfaces();
    }
    lastHostReady = now;
}

void CC121::pollMonitor(std::uint32_t now) {
    if (now - lastMonitorPoll <= kMonitorPollMs)
        return;
    if (MediaTrack* t = track()) {
        const auto* monitor = static_cast<const int*>(host::GetSetMediaTrackInfo(t, "I_RECMON", nullptr));
        SetLamp(kBitMonitor, monitor && *monitor != 0);
    }
    lastMonitorPoll = now;
}

void CC121::blink(std::uint32_t now) {
    if (now - lastBlink <= kBlinkMs)
        return;
    if (paused)
        SetLamp(kBitPlay, !(lampState & kBitPlay));
    if (eqMode == 2) {
        SetLamp(kBitAllBypass, false);
        SetLamp(kBitEqType, !(lampState & kBitEqType));
    }
    lastBlink = now;
}

// --- host callbacks
// -----------------------------------------------------------------------------------------

void CC121::SetTrackListChange() {
    SetAutoMode(0);
    recheckPin();
}

void CC121::SetSurfaceVolume(MediaTrack* t, double volume) {
    if (faderTouched || flip)
        return;
    if (isCurrent(trackId(t), currentTrack) && midiOut)
        UpdateLampsAndFader(lampState, volumeToFader(volume, host::DB2SLIDER));
}

void CC121::SetSurfacePan(MediaTrack* t, double pan) {
    if (faderTouched || !flip)
        return;
    if (isCurrent(trackId(t), currentTrack) && midiOut)
        UpdateLampsAndFader(lampState, panToFader(pan));
}

void CC121::SetSurfaceMute(MediaTrack* t, bool mute) {
    if (isCurrent(trackId(t), currentTrack))
        SetLamp(kBitMute, mute);
}

void CC121::SetSurfaceSelected(MediaTrack* t, bool selected) {
    if (!selected || currentTrack != -1)
        return;
    // Only a track with an id binds: any other answer of the host is no track.
    const int id = trackId(t);
    if (id >= 0)
        currentTrack = id;
}

void CC121::SetSurfaceSolo(MediaTrack* t, bool solo) {
    if (isCurrent(trackId(t), currentTrack))
        SetLamp(kBitSolo, solo);
}

void CC121::SetSurfaceRecArm(MediaTrack* t, bool armed) {
    if (isCurrent(trackId(t), currentTrack))
        SetLamp(kBitRecArm, armed);
}

void CC121::SetPlayState(bool play, bool pause, bool rec) {
    SetLamp(kBitPlay, play || pause);
    SetLamp(kBitRecord, rec);
    paused = pause;
}

void CC121::SetRepeatState(bool rep) {
    SetLamp(kBitCycle, rep);
}

// The fader holds the parameter it drives: pan while flipped, else volume.
bool CC121::GetTouchState(MediaTrack* t, int isPan) {
    if (!isCurrent(trackId(t), currentTrack))
        return false;
    if ((isPan != 0) != flip)
        return false;
    return faderTouched;
}

void CC121::SetAutoMode(int mode) {
    if (!midiOut)
        return;
    if (MediaTrack* t = track())
        mode = host::GetTrackAutomationMode(t);
    bool read = false;
    bool write = false;
    switch (mode) {
    case 0:
        break;
    case 1:
        read = true;
        break;
    case 2:
    case 4:
        read = write = true;
        break;
    case 3:
        write = true;
        break;
    default:
        return;
    }
    SetLamp(kBitRead, read);
    SetLamp(kBitWrite, write);
}

void CC121::ResetCachedVolPanStates() {
    faderPosition = 12800;
}

void CC121::OnTrackSelection(MediaTrack* t) {
    const int id = trackId(t);
    if (id < 0 || id == currentTrack)
        return;
    selectByDelta(static_cast<long long>(id) - currentTrack, false);
    host::TrackList_UpdateAllExternalSurfaces();
}
