// Placement shared by the panel's dialogs.
#include "dialog_impl.h"

namespace kestro {

namespace {

RECT workAreaNear(HWND window) noexcept {
    RECT area{};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && ::GetMonitorInfoA(monitor, &info) != FALSE) {
        return info.rcWork;
    }
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// The start of a span of `size` centred on [low, high), moved inside [area_low, area_high); a span
// larger than the area starts at area_low, so the caption stays reachable.
LONG centredInside(LONG low, LONG high, LONG size, LONG area_low, LONG area_high) noexcept {
    LONG start = low + (high - low - size) / 2;
    if (start + size > area_high) {
        start = area_high - size;
    }
    if (start < area_low) {
        start = area_low;
    }
    return start;
}

} // namespace

void centerDialog(HWND dialog) noexcept {
    RECT box{};
    if (::GetWindowRect(dialog, &box) == FALSE) {
        return;
    }
    const HWND owner = ::GetWindow(dialog, GW_OWNER);
    const RECT area = workAreaNear(owner != nullptr ? owner : dialog);
    RECT centre = area;
    if (owner != nullptr && ::IsWindowVisible(owner) != FALSE && ::IsIconic(owner) == FALSE) {
        ::GetWindowRect(owner, &centre);
    }
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    const LONG left = centredInside(centre.left, centre.right, width, area.left, area.right);
    const LONG top = centredInside(centre.top, centre.bottom, height, area.top, area.bottom);
    ::SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace kestro
