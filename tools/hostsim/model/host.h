#pragma once
// The simulated REAPER host: a project model that answers the plug-in's 50 host functions (and the optional
// ones it looks up after them) as REAPER documents them, tells registered surfaces about changes as REAPER
// does, and logs every call (call_log.h).
//
// The 50 functions keep REAPER's names and are declared from the plug-in's own table, so their signatures
// cannot drift from what the plug-in binds; c_binding.h hands out plain-function forwarders to them.
// Everything else is the model's own interface, for tests and hostsim.exe to set a project up and to act
// as the host's user.
//
// Who hears about what (the model's rules, after REAPER's control-surface conventions):
// - Mute, solo, record arm and selection are reported to every surface (SetSurfaceMute/Solo/RecArm/
//   Selected) whenever they change, whoever changes them: CSurf_On*Change, SetTrackSelected, actions.
// - Volume, pan and automation mode are reported only when asked: CSurf_SetSurfaceVolume/Pan and
//   CSurf_SetAutoMode pass the value on to every surface but the one to ignore. CSurf_OnVolumeChange and
//   CSurf_OnPanChange change the value silently; the surface that made the change reports it that way.
// - TrackList_UpdateAllExternalSurfaces resends everything to every surface.
// - Play state and repeat changes go to every surface (SetPlayState, SetRepeatState).
// - OnTrackSelection is sent only when the host's user selects a track (userSelect), never for a
//   selection a surface or an action makes.
// - Writes through GetSetMediaTrackInfo and GetSetTrackSendInfo are reported to nobody.

#include "hostsim/model/call_log.h"
#include "hostsim/model/commands.h"
#include "hostsim/model/midi_system.h"
#include "hostsim/model/project.h"
#include "hostsim/model/registrations.h"
#include "hostsim/model/surface_list.h"
#include "hostsim/model/top_windows.h"

#include "host_api.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace hostsim {

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    Project& project() { return m_project; }
    CallLog& log() { return m_log; }
    CommandTable& commands() { return m_commands; }
    MidiSystem& midi() { return m_midi; }
    SurfaceList& surfaces() { return m_surfaces; }
    TopWindows& windows() { return m_windows; }
    Registrations& registrations() { return m_registrations; }

    // Register as the host answers it: a name the host withholds is refused (0), as by a host without it.
    // Every call is logged as an action: Register("custom_action", "TAMSEL_X") -> 53000.
    int registerThrough(const char* name, void* info);

    // REAPER's console (ShowConsoleMsg): everything written to it, in order.
    const std::string& console() const { return m_console; }
    void clearConsole() { m_console.clear(); }

    // Runs a command as the action list does: an extension's hookcommand2 first, else the host's own.
    // False when nobody knows the command.
    bool runCommand(int command, int val = 0, int val2 = 0, int relmode = 0);
    // Runs the action list's entry named exactly `name`; false when there is none.
    bool runAction(const std::string& name);

    // Surfaces the host makes itself from a registered type and its configuration string, as at start-up
    // and for "Control surface: Refresh all surfaces". Null when the type is unknown or create refuses.
    IReaperControlSurface* createSurface(const char* type, const char* config, int* errors = nullptr);
    // Takes the surface out of the list and destroys it as REAPER does (delete).
    void destroySurface(IReaperControlSurface* surface);
    void destroyAllSurfaces();
    // Command 41743: destroys every surface the host made and creates each again from its type and the
    // configuration string it gave just before.
    void refreshAllSurfaces();
    // The surfaces the host made, in creation order.
    const std::vector<IReaperControlSurface*>& ownSurfaces() const { return m_ownSurfaces; }

    MediaTrack* handle(const Track& track) const { return m_project.handle(track); }
    // The program folder (GetExePath) and the per-user resource folder (GetResourcePath).
    void setExePath(std::string path) { m_exePath = std::move(path); }
    void setResourcePath(std::string path) { m_resourcePath = std::move(path); }

    // Names getFunc answers null for while this host is current: a host that lacks those functions.
    void withhold(std::string name) { m_withheld.insert(std::move(name)); }
    void offerAgain(const std::string& name) { m_withheld.erase(name); }
    bool withholds(const char* name) const;
    // Every name getFunc was asked for while this host was current, in order.
    const std::vector<std::string>& lookups() const { return m_lookups; }
    void noteLookup(const char* name);

    // What the host's user (or the host's own actions) do, with the reports REAPER makes.
    // Selects only `track`, makes it the last-touched track and sends OnTrackSelection to every surface.
    void userSelect(Track& track);
    // Selects only the track `delta` places from the last-touched one (master first, no wrap) and makes it
    // last touched; with none touched yet, the master. The "go to next/previous track" actions.
    void stepLastTouched(int delta);
    void userPause();
    void userToggleRepeat();

    // The host the C binding forwards to (CurrentHost), or null.
    static Host* current();

#define HOSTSIM_DECLARE_HOST_FUNCTION(ret, name, params) ret name params;
    TAMSEL_HOST_FUNCTIONS(HOSTSIM_DECLARE_HOST_FUNCTION)
    TAMSEL_OPTIONAL_HOST_FUNCTIONS(HOSTSIM_DECLARE_HOST_FUNCTION)
#undef HOSTSIM_DECLARE_HOST_FUNCTION

private:
    void logAction(std::string line) {
        m_log.open(CallKind::Action, std::move(line));
    }
    LoggedCall action(std::string line) {
        return LoggedCall(m_log, CallKind::Action, std::move(line));
    }
    LoggedCall query(std::string line) {
        return LoggedCall(m_log, CallKind::Query, std::move(line));
    }
    // "master", "track 3" (position in the track list), "null", or "unknown" for a handle we never gave out.
    std::string label(const MediaTrack* track) const;
    // "null", "surface 0" (registration position) or "unregistered".
    std::string label(const IReaperControlSurface* surface) const;

    // Sets a reported flag and tells every surface when it changed.
    void setFlag(Track& track, bool Track::*flag, bool on,
                 void (IReaperControlSurface::*report)(MediaTrack*, bool));
    void selectOnly(const Track& track);
    // Runs a transport change and reports the play state when it changed.
    void changeTransport(const std::function<void(Transport&)>& change);
    void changeCursor(double seconds, bool seekPlay) {
        m_project.transport().setCursor(seconds, seekPlay);
    }
    // The mode a full resend reports: the first selected track's, trim when nothing is selected.
    int reportedAutoMode();
    Fx* findFx(MediaTrack* track, int fx);
    FxParam* findParam(MediaTrack* track, int fx, int param);

    CallLog m_log; // first in, last out: device objects report into it until the end
    std::string m_console;
    Registrations m_registrations;
    std::vector<IReaperControlSurface*> m_ownSurfaces;
    Project m_project;
    CommandTable m_commands;
    SurfaceList m_surfaces;
    TopWindows m_windows;
    MidiSystem m_midi;
    std::string m_exePath = "C:\\Program Files\\REAPER (x64)";
    std::string m_resourcePath = "C:\\users\\user\\AppData\\Roaming\\REAPER";
    std::set<std::string> m_withheld;
    std::vector<std::string> m_lookups;
};

// Makes `host` the one the C binding forwards to, for the life of this object; scopes nest.
class CurrentHost {
public:
    explicit CurrentHost(Host& host);
    ~CurrentHost();
    CurrentHost(const CurrentHost&) = delete;
    CurrentHost& operator=(const CurrentHost&) = delete;

private:
    Host* m_previous;
};

} // namespace hostsim
