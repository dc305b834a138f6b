#include "hostsim/model/project.h"

#include <algorithm>
#include <utility>

namespace hostsim {

Project::Project() {
    m_master.name = "MASTER";
}

Track& Project::addTrack(std::string name) {
    m_tracks.push_back(std::make_unique<Track>());
    m_tracks.back()->name = std::move(name);
    return *m_tracks.back();
}

bool Project::removeTrack(const Track& track) {
    const auto it = std::find_if(m_tracks.begin(), m_tracks.end(),
                                 [&](const std::unique_ptr<Track>& t) { return t.get() == &track; });
    if (it == m_tracks.end())
        return false;
    const auto leadsHere = [&](const Send& s) {
        return s.destination == &track;
    };
    auto& masterSends = m_master.sends;
    masterSends.erase(std::remove_if(masterSends.begin(), masterSends.end(), leadsHere), masterSends.end());
    for (auto& t : m_tracks)
        t->sends.erase(std::remove_if(t->sends.begin(), t->sends.end(), leadsHere), t->sends.end());
    if (m_lastTouched == &track)
        m_lastTouched = nullptr;
    m_tracks.erase(it);
    return true;
}

Track* Project::track(int index) {
    return index >= 0 && index < trackCount() ? m_tracks[static_cast<std::size_t>(index)].get() : nullptr;
}

Track* Project::fromId(int id, bool mcp) {
    if (id == 0)
        return &m_master;
    if (id < 0)
        return nullptr;
    int current = 0;
    for (auto& t : m_tracks) {
        if (mcp && !t->visibleInMixer)
            continue;
        if (++current == id)
            return t.get();
    }
    return nullptr;
}

int Project::toId(const Track* track, bool mcp) const {
    if (!track)
        return -1;
    if (track == &m_master)
        return 0;
    int current = 0;
    for (const auto& t : m_tracks) {
        if (mcp && !t->visibleInMixer) {
            if (t.get() == track)
                return -1;
            continue;
        }
        ++current;
        if (t.get() == track)
            return current;
    }
    return -1;
}

int Project::numTracks(bool mcp) const {
    if (!mcp)
        return trackCount();
    return static_cast<int>(std::count_if(m_tracks.begin(), m_tracks.end(),
                                          [](const std::unique_ptr<Track>& t) { return t->visibleInMixer; }));
}

MediaTrack* Project::handle(const Track& track) const {
    // MediaTrack is opaque: the plug-in never looks through the pointer, and neither does find().
    return reinterpret_cast<MediaTrack*>(const_cast<Track*>(&track));
}

Track* Project::find(const MediaTrack* h) {
    return const_cast<Track*>(static_cast<const Project*>(this)->find(h));
}

const Track* Project::find(const MediaTrack* h) const {
    if (!h)
        return nullptr;
    if (handle(m_master) == h)
        return &m_master;
    for (const auto& t : m_tracks)
        if (handle(*t) == h)
            return t.get();
    return nullptr;
}

} // namespace hostsim
