// Routing and FX buttons: open and close the current track's windows, and light while they are visible.
// The host has no query for these windows, so they are found as top-level dialogs by their exact titles.
#include "cc121_surface.h"

#include "cc121_controls.h"
#include "host_api.h"
#include "platform.h"
#include "window_titles.h"

using namespace cc121;

namespace {

constexpr std::uint32_t kWindowPollMs = 200;
constexpr int kOpenRouting = 40293;
constexpr int kOpenTrackFx = 40291;
constexpr int kOpenMasterFx = 40846;

// The title of track n's window from the host's name and folder flag. Returns true, so polls can chain it.
bool titleFor(TrackWindow window, int n, char (&title)[kWindowTitleSize]) {
    int flags = 0;
    const char* name = host::GetTrackInfo(n - 1, &flags);
    buildWindowTitle(window, n, name, n > 0 && (flags & 1) != 0, title, sizeof title);
    return true;
}

// The host numbers its windows by the track's place in the track list; a mixer-view id skips the tracks
// hidden in the mixer, so it is no such number.
int windowNumber(MediaTrack* t, int currentTrack, bool mcp) {
    return mcp ? host::CSurf_TrackToID(t, false) : currentTrack;
}

} // namespace

bool CC121::windowVisible(const char* title) {
    void* window = tamsel::platform().findDialogWindow(title);
    return window && tamsel::platform().isWindowVisible(window);
}

void CC121::routingPress() {
    MediaTrack* t = track();
    if (!t)
        return;
    const int n = windowNumber(t, currentTrack, settings.useMcpForChannels);
    char title[kWindowTitleSize];
    titleFor(TrackWindow::Routing, n, title);
    if (void* window = tamsel::platform().findDialogWindow(title))
        tamsel::platform().closeWindow(window);
    else if (n >= 1)
        host::Main_OnCommand(kOpenRouting, 0);
}

void CC121::fxRelease() {
    MediaTrack* t = track();
    if (!t)
        return;
    const int n = windowNumber(t, currentTrack, settings.useMcpForChannels);
    char title[kWindowTitleSize];
    titleFor(TrackWindow::FxChain, n, title);
    if (void* window = tamsel::platform().findDialogWindow(title)) {
        tamsel::platform().closeWindow(window);
        titleFor(TrackWindow::FxBrowser, n, title);
        if (void* browser = tamsel::platform().findDialogWindow(title))
            tamsel::platform().closeWindow(browser);
    } else {
        host::Main_OnCommand(n >= 1 ? kOpenTrackFx : kOpenMasterFx, 0);
    }
}

void CC121::pollWindows(std::uint32_t now) {
    const bool fxDue = now - lastFxPoll > kWindowPollMs;
    const bool routingDue = now - lastRoutingPoll > kWindowPollMs;
    if (!fxDue && !routingDue)
        return;
    MediaTrack* t = track();
    const int n = t ? windowNumber(t, currentTrack, settings.useMcpForChannels) : -1;
    char title[kWindowTitleSize];
    if (fxDue) {
        SetLamp(kBitFx, t && titleFor(TrackWindow::FxChain, n, title) && windowVisible(title));
        lastFxPoll = now;
    }
    if (routingDue) {
        SetLamp(kBitRouting, t && titleFor(TrackWindow::Routing, n, title) && windowVisible(title));
        lastRoutingPoll = now;
    }
}
