#pragma once
// The host's routing and FX windows as real top-level dialogs, opened by the actions a surface runs
// (40293 routing, 40291 track FX chain, 40846 master FX chain) and titled as REAPER titles them, so a
// surface can find, light and close them. Windows' dialogs in hostsim.exe, SWELL's on Linux.

#include <string>

namespace hostsim {

class Host;

void defineWindowActions(Host& host);

// A visible top-level dialog titled `title`, closed (and reported) by WM_CLOSE; one per platform file.
void openHostWindow(const std::string& title);

} // namespace hostsim
