// The actions that open the host's routing and FX windows, titled as REAPER titles them.
#include "host_windows.h"

#include "hostsim/model/host.h"

namespace hostsim {
namespace {

// "<word> 3 \"Bass\"" with " (folder)" for a folder track, as the host's window titles name a track.
std::string trackPart(Host& host, Track& track, const char* word) {
    const int n = host.project().toId(&track, false);
    std::string s = word + (" " + std::to_string(n)) + " \"" + track.name + "\"";
    if (track.isFolder())
        s += " (folder)";
    return s;
}

} // namespace

void defineWindowActions(Host& host) {
    host.commands().define(40293, [&host](const CommandCall&) {
        if (Track* t = host.project().lastTouched(); t && t != &host.project().master())
            openHostWindow("Routing for " + trackPart(host, *t, "track"));
    });
    host.commands().define(40291, [&host](const CommandCall&) {
        if (Track* t = host.project().lastTouched(); t && t != &host.project().master())
            openHostWindow("FX: " + trackPart(host, *t, "Track"));
    });
    host.commands().define(40846, [](const CommandCall&) { openHostWindow("FX: Master Track"); });
}

} // namespace hostsim
