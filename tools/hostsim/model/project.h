#pragma once
// The simulated project: the master track, the tracks in order, the last-touched track and the transport.
//
// Track handles (MediaTrack*) are the addresses of the track records, stable while a track exists. Handles
// coming back from the plug-in are only ever compared, never dereferenced, so a stale or made-up handle is
// simply unknown.

#include "hostsim/model/track.h"
#include "hostsim/model/transport.h"

#include "reaper_abi.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace hostsim {

class Project {
public:
    Project();
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    Track& master() { return m_master; }
    Track& addTrack(std::string name);
    // Removes the track and every send leading to it; its handle becomes unknown.
    bool removeTrack(const Track& track);
    // Tracks below the master.
    int trackCount() const { return static_cast<int>(m_tracks.size()); }
    // 0-based below the master; null out of range.
    Track* track(int index);

    // Ids as the control-surface functions count them: 0 the master, 1.. the tracks in order. In the mixer
    // view (`mcp`) tracks hidden in the mixer are skipped and have no id.
    Track* fromId(int id, bool mcp);
    // -1 for null, unknown tracks and, in the mixer view, tracks hidden there.
    int toId(const Track* track, bool mcp) const;
    int numTracks(bool mcp) const;

    MediaTrack* handle(const Track& track) const;
    // The track behind a handle, or null when this project never gave it out or the track is gone.
    Track* find(const MediaTrack* handle);
    const Track* find(const MediaTrack* handle) const;

    Track* lastTouched() const { return m_lastTouched; }
    void setLastTouched(Track* track) { m_lastTouched = track; }

    // The last-touched effect parameter as GetLastTouchedFX reports it: the track number (low word 1.. for
    // tracks, 0 for the master; a high word for item effects), the effect number (record effects carry
    // 0x1000000) and the parameter. Nothing until the user touches one.
    struct TouchedParam {
        int track = 0;
        int fx = 0;
        int param = 0;
    };
    const std::optional<TouchedParam>& lastTouchedParam() const { return m_lastTouchedParam; }
    void setLastTouchedParam(std::optional<TouchedParam> touched) { m_lastTouchedParam = touched; }

    Transport& transport() { return m_transport; }
    const Transport& transport() const { return m_transport; }

private:
    Track m_master;
    std::vector<std::unique_ptr<Track>> m_tracks;
    Track* m_lastTouched = nullptr;
    std::optional<TouchedParam> m_lastTouchedParam;
    Transport m_transport;
};

} // namespace hostsim
