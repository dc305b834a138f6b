// Track ids, volume, pan, the reported flags, automation mode and the last-touched track.
#include "hostsim/model/host.h"

#include "hostsim/model/slider_curve.h"

#include <algorithm>
#include <cmath>

namespace hostsim {

int Host::CSurf_TrackToID(MediaTrack* track, bool mcpView) {
    auto call = query(fmt::call("CSurf_TrackToID", {label(track), fmt::value(mcpView)}));
    return call.returns(m_project.toId(m_project.find(track), mcpView));
}

MediaTrack* Host::CSurf_TrackFromID(int idx, bool mcpView) {
    auto call = query(fmt::call("CSurf_TrackFromID", {fmt::value(idx), fmt::value(mcpView)}));
    const Track* t = m_project.fromId(idx, mcpView);
    MediaTrack* h = t ? handle(*t) : nullptr;
    call.result(label(h));
    return h;
}

int Host::CSurf_NumTracks(bool mcpView) {
    auto call = query(fmt::call("CSurf_NumTracks", {fmt::value(mcpView)}));
    return call.returns(m_project.numTracks(mcpView));
}

double Host::CSurf_OnVolumeChange(MediaTrack* track, double volume, bool relative) {
    auto call = action(
        fmt::call("CSurf_OnVolumeChange", {label(track), fmt::value(volume), relative ? "rel" : "abs"}));
    Track* t = m_project.find(track);
    if (!t)
        return call.returns(0.0);
    if (std::isfinite(volume)) {
        // Relative changes are in decibels; at the -150 dB floor the track falls silent.
        const double target = relative ? dbToVolume(volumeToDb(t->volume) + volume) : volume;
        t->volume = std::clamp(target, 0.0, kMaxVolume);
    }
    return call.returns(t->volume);
}

double Host::CSurf_OnPanChange(MediaTrack* track, double pan, bool relative) {
    auto call =
        action(fmt::call("CSurf_OnPanChange", {label(track), fmt::value(pan), relative ? "rel" : "abs"}));
    Track* t = m_project.find(track);
    if (!t)
        return call.returns(0.0);
    if (std::isfinite(pan))
        t->pan = std::clamp(relative ? t->pan + pan : pan, -1.0, 1.0);
    return call.returns(t->pan);
}

bool Host::CSurf_OnMuteChange(MediaTrack* track, int mute) {
    auto call = action(fmt::call("CSurf_OnMuteChange", {label(track), fmt::value(mute)}));
    Track* t = m_project.find(track);
    if (!t)
        return call.returns(false);
    setFlag(*t, &Track::mute, mute < 0 ? !t->mute : mute != 0, &IReaperControlSurface::SetSurfaceMute);
    return call.returns(t->mute);
}

bool Host::CSurf_OnRecArmChange(MediaTrack* track, int recarm) {
    auto call = action(fmt::call("CSurf_OnRecArmChange", {label(track), fmt::value(recarm)}));
    Track* t = m_project.find(track);
    if (!t)
        return call.returns(false);
    setFlag(*t, &Track::recArm, recarm < 0 ? !t->recArm : recarm != 0,
            &IReaperControlSurface::SetSurfaceRecArm);
    return call.returns(t->recArm);
}

bool Host::CSurf_OnSoloChange(MediaTrack* track, int solo) {
    auto call = action(fmt::call("CSurf_OnSoloChange", {label(track), fmt::value(solo)}));
    Track* t = m_project.find(track);
    if (!t)
        return call.returns(false);
    setFlag(*t, &Track::solo, solo < 0 ? !t->solo : solo != 0, &IReaperControlSurface::SetSurfaceSolo);
    return call.returns(t->solo);
}

bool Host::CSurf_OnSelectedChange(MediaTrack* track, int selected) {
    auto call = action(fmt::call("CSurf_OnSelectedChange", {label(track), fmt::value(selected)}));
    Track* t = m_project.find(track);
    if (!t)
        return call.returns(false);
    setFlag(*t, &Track::selected, selected < 0 ? !t->selected : selected != 0,
            &IReaperControlSurface::SetSurfaceSelected);
    return call.returns(t->selected);
}

void Host::SetTrackSelected(MediaTrack* track, bool selected) {
    logAction(fmt::call("SetTrackSelected", {label(track), fmt::value(selected)}));
    if (Track* t = m_project.find(track))
        setFlag(*t, &Track::selected, selected, &IReaperControlSurface::SetSurfaceSelected);
}

void Host::SetTrackAutomationMode(MediaTrack* tr, int mode) {
    logAction(fmt::call("SetTrackAutomationMode", {label(tr), fmt::value(mode)}));
    Track* t = m_project.find(tr);
    if (t && mode >= kAutoTrim && mode <= kAutoLatch)
        t->automationMode = mode;
}

int Host::GetTrackAutomationMode(MediaTrack* tr) {
    auto call = query(fmt::call("GetTrackAutomationMode", {label(tr)}));
    const Track* t = m_project.find(tr);
    return call.returns(t ? t->automationMode : -1);
}

MediaTrack* Host::GetLastTouchedTrack() {
    auto call = query("GetLastTouchedTrack()");
    const Track* t = m_project.lastTouched();
    MediaTrack* h = t ? handle(*t) : nullptr;
    call.result(label(h));
    return h;
}

// Only the current project (null) has tracks: the model hands out no other project.
MediaTrack* Host::GetTrack(ReaProject* proj, int trackidx) {
    auto call = query(fmt::call("GetTrack", {proj ? "project" : "null", fmt::value(trackidx)}));
    const Track* t = proj ? nullptr : m_project.track(trackidx);
    MediaTrack* h = t ? handle(*t) : nullptr;
    call.result(label(h));
    return h;
}

MediaTrack* Host::GetMasterTrack(ReaProject* proj) {
    auto call = query(fmt::call("GetMasterTrack", {proj ? "project" : "null"}));
    MediaTrack* h = proj ? nullptr : handle(m_project.master());
    call.result(label(h));
    return h;
}

bool Host::GetLastTouchedFX(int* tracknumberOut, int* fxnumberOut, int* paramnumberOut) {
    auto call = query("GetLastTouchedFX()");
    const auto& touched = m_project.lastTouchedParam();
    if (!touched)
        return call.returns(false);
    if (tracknumberOut)
        *tracknumberOut = touched->track;
    if (fxnumberOut)
        *fxnumberOut = touched->fx;
    if (paramnumberOut)
        *paramnumberOut = touched->param;
    call.result("true " + fmt::value(touched->track) + ", " + fmt::value(touched->fx) + ", " +
                fmt::value(touched->param));
    return true;
}

} // namespace hostsim
