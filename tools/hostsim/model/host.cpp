#include "hostsim/model/host.h"

#include "hostsim/model/builtin_commands.h"

#include <algorithm>

namespace hostsim {
namespace {

Host* g_current = nullptr;

} // namespace

Host::Host() : m_midi(m_log) {
    installBuiltinCommands(*this);
}

Host::~Host() {
    if (!m_ownSurfaces.empty()) {
        CurrentHost self(*this); // their destructors still call the host
        destroyAllSurfaces();
    }
    if (g_current == this)
        g_current = nullptr;
}

Host* Host::current() {
    return g_current;
}

CurrentHost::CurrentHost(Host& host) : m_previous(g_current) {
    g_current = &host;
}

CurrentHost::~CurrentHost() {
    g_current = m_previous;
}

bool Host::withholds(const char* name) const {
    return name && m_withheld.count(name) != 0;
}

void Host::noteLookup(const char* name) {
    m_lookups.emplace_back(name ? name : "(null)");
}

std::string Host::label(const MediaTrack* track) const {
    if (!track)
        return "null";
    const Track* t = m_project.find(track);
    if (!t)
        return "unknown";
    const int id = m_project.toId(t, false);
    return id == 0 ? "master" : "track " + std::to_string(id);
}

std::string Host::label(const IReaperControlSurface* surface) const {
    if (!surface)
        return "null";
    const int index = m_surfaces.indexOf(surface);
    return index < 0 ? "unregistered" : "surface " + std::to_string(index);
}

void Host::setFlag(Track& track, bool Track::*flag, bool on,
                   void (IReaperControlSurface::*report)(MediaTrack*, bool)) {
    if (track.*flag == on)
        return;
    track.*flag = on;
    MediaTrack* h = handle(track);
    m_surfaces.forEach(nullptr, [&](IReaperControlSurface& s) { (s.*report)(h, on); });
}

void Host::selectOnly(const Track& track) {
    setFlag(m_project.master(), &Track::selected, &m_project.master() == &track,
            &IReaperControlSurface::SetSurfaceSelected);
    for (int i = 0; i < m_project.trackCount(); ++i) {
        Track* t = m_project.track(i);
        setFlag(*t, &Track::selected, t == &track, &IReaperControlSurface::SetSurfaceSelected);
    }
}

void Host::changeTransport(const std::function<void(Transport&)>& change) {
    Transport& transport = m_project.transport();
    const PlayState before = transport.state();
    change(transport);
    const PlayState after = transport.state();
    if (after != before)
        m_surfaces.forEach(nullptr, [&](IReaperControlSurface& s) {
            s.SetPlayState(after.playing, after.paused, after.recording);
        });
}

int Host::reportedAutoMode() {
    for (int id = 0; id <= m_project.trackCount(); ++id)
        if (const Track* t = m_project.fromId(id, false); t && t->selected)
            return t->automationMode;
    return kAutoTrim;
}

void Host::userSelect(Track& track) {
    selectOnly(track);
    m_project.setLastTouched(&track);
    MediaTrack* h = handle(track);
    m_surfaces.forEach(nullptr, [&](IReaperControlSurface& s) { s.OnTrackSelection(h); });
}

void Host::stepLastTouched(int delta) {
    const int last = m_project.toId(m_project.lastTouched(), false);
    const int target = last < 0 ? 0 : std::clamp(last + delta, 0, m_project.trackCount());
    Track* t = m_project.fromId(target, false);
    selectOnly(*t);
    m_project.setLastTouched(t);
}

void Host::userPause() {
    changeTransport([](Transport& t) { t.pause(); });
}

void Host::userToggleRepeat() {
    Transport& transport = m_project.transport();
    transport.setRepeat(!transport.repeat());
    const bool on = transport.repeat();
    m_surfaces.forEach(nullptr, [&](IReaperControlSurface& s) { s.SetRepeatState(on); });
}

} // namespace hostsim
