#include "skin_widget.h"

namespace orvel {

void notify_parent(HWND widget, WORD code) noexcept {
    const WORD id = LOWORD(GetWindowLongA(widget, GWL_ID));
    PostMessageA(GetParent(widget), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(widget));
}

void invalidate_if_shown(HWND widget) noexcept {
    if (widget != nullptr && IsWindow(widget) && IsWindowVisible(widget)) {
        InvalidateRect(widget, nullptr, FALSE);
    }
}

bool begin_press(HWND widget) noexcept {
    if (!CWindow(widget).IsWindowEnabled()) {
        return false;
    }
    notify_parent(widget, notify_left_down);
    return true;
}

void capture_mouse(HWND widget) noexcept {
    SetCapture(widget);
    invalidate_if_shown(widget);
}

void release_mouse(HWND widget) noexcept {
    if (GetCapture() == widget) {
        ReleaseCapture();
    }
}

void paint_surface(HWND widget, const gravo::surface_t& source, int x_src, int width, int height) noexcept {
    if (HDC dc = GetDC(widget)) {
        source.blit_to_dc(dc, 0, 0, x_src, 0, width, height, SRCCOPY);
        ReleaseDC(widget, dc);
    }
    ValidateRect(widget, nullptr);
}

} // namespace orvel
