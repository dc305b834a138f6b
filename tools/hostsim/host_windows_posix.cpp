// The host's routing and FX windows on Linux: top-level SWELL windows, as REAPER's own are there.
#include "host_windows.h"

#include "hostsim/model/host.h"

#include "swell.h"

#include <cstdio>
#include <string>

namespace hostsim {
namespace {

// Without a template SWELL makes this the window's procedure.
LRESULT windowProc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_CLOSE) {
        char title[256] = "";
        GetWindowText(hwnd, title, sizeof title);
        std::printf("hostsim: window \"%s\" closed\n", title);
        DestroyWindow(hwnd);
    }
    return 0;
}

void openWindow(const std::string& title) {
    HWND hwnd = CreateDialogParam(nullptr, nullptr, nullptr, reinterpret_cast<DLGPROC>(windowProc), 0);
    if (!hwnd)
        return;
    SetWindowText(hwnd, title.c_str());
    ShowWindow(hwnd, SW_SHOW);
    std::printf("hostsim: window \"%s\" opened\n", title.c_str());
}

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
            openWindow("Routing for " + trackPart(host, *t, "track"));
    });
    host.commands().define(40291, [&host](const CommandCall&) {
        if (Track* t = host.project().lastTouched(); t && t != &host.project().master())
            openWindow("FX: " + trackPart(host, *t, "Track"));
    });
    host.commands().define(40846, [](const CommandCall&) { openWindow("FX: Master Track"); });
}

} // namespace hostsim
