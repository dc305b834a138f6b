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

} // namespace

bool CC121::windowVisible(const char* title) {
    void* window = tamsel::platform().findDialogWindow(title);
    return window && tamsel::platform().isWindowVisible(window);
}

void CC121::routingPress() {
    if (!track())
        return;
    char title[kWindowTitleSize];
    titleFor(TrackWindow::Routing, currentTrack, title);
    if (void* window = tamsel::platform().findDialogWindow(title))
        tamsel::platform().closeWindow(window);
    else if (currentTrack >= 1)
        host::Main_OnCommand(kOpenRouting, 0);
}

void CC121::fxRelease() {
    if (!track())
        return;
    char title[kWindowTitleSize];
    titleFor(TrackWindow::FxChain, currentTrack, title);
    if (void* window = tamsel::platform().findDialogWindow(title)) {
        tamsel::platform().closeWindow(window);
        titleFor(TrackWindow::FxBrowser, currentTrack, title);
        if (void* browser = tamsel::platform().findDialogWindow(title))
            tamsel::platform().closeWindow(browser);
    } else {
        host::Main_OnCommand(currentTrack >= 1 ? kOpenTrackFx : kOpenMasterFx, 0);
    }
}

void CC121::pollWindows(std::uint32_t now) {
    char title[kWindowTitleSize];
    if (now - lastFxPoll > kWindowPollMs) {
        const bool lit =
            track() && titleFor(TrackWindow::FxChain, currentTrack, title) && windowVisible(title);
        SetLamp(kBitFx, lit);
        lastFxPoll = now;
    }
    if (now - lastRoutingPoll > kWindowPollMs) {
        const bool lit =
            track() && titleFor(TrackWindow::Routing, currentTrack, title) && windowVisible(title);
        SetLamp(kBitRouting, lit);
        lastRoutingPoll = now;
    }
}
