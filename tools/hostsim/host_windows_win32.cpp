#include "host_windows.h"

#include "hostsim/model/host.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace hostsim {
namespace {

INT_PTR CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg == WM_CLOSE) {
        char title[256];
        GetWindowTextA(hwnd, title, sizeof title);
        std::printf("hostsim: window \"%s\" closed\n", title);
        DestroyWindow(hwnd);
        return TRUE;
    }
    return FALSE;
}

void openWindow(const std::string& title) {
    struct {
        DLGTEMPLATE tmpl;
        WORD menu, windowClass, caption;
    } t{};
    t.tmpl.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    t.tmpl.cx = 200;
    t.tmpl.cy = 120;
    HWND hwnd = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &t.tmpl, nullptr, dialogProc, 0);
    if (!hwnd)
        return;
    SetWindowTextA(hwnd, title.c_str());
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
