// Passing state on to the registered surfaces when a surface or the host asks for it.
#include "hostsim/model/host.h"

namespace hostsim {

// A value for a track the host does not know is not passed on: surfaces would only be handed a stray pointer.

void Host::CSurf_SetSurfaceVolume(MediaTrack* track, double volume, IReaperControlSurface* ignoresurf) {
    logAction(fmt::call("CSurf_SetSurfaceVolume", {label(track), fmt::value(volume), label(ignoresurf)}));
    if (m_project.find(track))
        m_surfaces.forEach(ignoresurf, [&](IReaperControlSurface& s) { s.SetSurfaceVolume(track, volume); });
}

void Host::CSurf_SetSurfacePan(MediaTrack* track, double pan, IReaperControlSurface* ignoresurf) {
    logAction(fmt::call("CSurf_SetSurfacePan", {label(track), fmt::value(pan), label(ignoresurf)}));
    if (m_project.find(track))
        m_surfaces.forEach(ignoresurf, [&](IReaperControlSurface& s) { s.SetSurfacePan(track, pan); });
}

void Host::CSurf_SetSurfaceSelected(MediaTrack* track, bool selected, IReaperControlSurface* ignoresurf) {
    logAction(fmt::call("CSurf_SetSurfaceSelected", {label(track), fmt::value(selected), label(ignoresurf)}));
    if (m_project.find(track))
        m_surfaces.forEach(ignoresurf,
                           [&](IReaperControlSurface& s) { s.SetSurfaceSelected(track, selected); });
}

void Host::CSurf_SetAutoMode(int mode, IReaperControlSurface* ignoresurf) {
    logAction(fmt::call("CSurf_SetAutoMode", {fmt::value(mode), label(ignoresurf)}));
    // Passed on as given: -1 leaves each surface to read the mode of its own track.
    m_surfaces.forEach(ignoresurf, [&](IReaperControlSurface& s) { s.SetAutoMode(mode); });
}

void Host::TrackList_UpdateAllExternalSurfaces() {
    logAction("TrackList_UpdateAllExternalSurfaces()");
    m_surfaces.forEach(nullptr, [&](IReaperControlSurface& s) {
        s.SetTrackListChange();
        // Master first, then the tracks in order. Each track is copied before its callbacks run and looked up
        // afresh for the next, since a callback may change the project.
        for (int id = 0;; ++id) {
            const Track* t = m_project.fromId(id, false);
            if (!t)
                break;
            MediaTrack* h = handle(*t);
            const Track state = *t;
            s.SetTrackTitle(h, state.name.c_str());
            s.SetSurfaceVolume(h, state.volume);
            s.SetSurfacePan(h, state.pan);
            s.SetSurfaceMute(h, state.mute);
            s.SetSurfaceSolo(h, state.solo);
            s.SetSurfaceRecArm(h, state.recArm);
            s.SetSurfaceSelected(h, state.selected);
        }
        const PlayState state = m_project.transport().state();
        s.SetPlayState(state.playing, state.paused, state.recording);
        s.SetRepeatState(m_project.transport().repeat());
        s.SetAutoMode(reportedAutoMode());
    });
}

} // namespace hostsim
