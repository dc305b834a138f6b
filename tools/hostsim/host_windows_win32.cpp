#include "host_windows.h"

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

} // namespace

void openHostWindow(const std::string& title) {
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

} // namespace hostsim
