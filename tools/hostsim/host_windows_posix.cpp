// The host's routing and FX windows on Linux: top-level SWELL windows, as REAPER's own are there.
#include "host_windows.h"

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

} // namespace

void openHostWindow(const std::string& title) {
    HWND hwnd = CreateDialogParam(nullptr, nullptr, nullptr, reinterpret_cast<DLGPROC>(windowProc), 0);
    if (!hwnd)
        return;
    SetWindowText(hwnd, title.c_str());
    ShowWindow(hwnd, SW_SHOW);
    std::printf("hostsim: window \"%s\" opened\n", title.c_str());
}

} // namespace hostsim
