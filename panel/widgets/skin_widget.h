#pragma once
// What the four skin widgets share: their window traits and class attributes, the one notification they
// post, painting a surface with a single transfer, and the handling of the mouse during a press or drag.

#include "surface.h"
#include "window_impl.h"

#include <cstdint>

namespace orvel {

// WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN (0x56000000), no extended style.
using CSkinWidgetTraits = CControlWinTraits;

// CS_HREDRAW | CS_VREDRAW (no CS_DBLCLKS: a quick second click is a second press), the COLOR_WINDOW brush
// (what a widget with a missing image shows) and the arrow.
inline CWndClassInfo skin_class_info(const char* name) noexcept {
    return {name, CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), IDC_ARROW};
}

// Notification codes in the high word of WM_COMMAND's wParam.
enum notify_code : WORD {
    notify_left_down = 0,
    notify_left_up = 1,   // a button's release; an encoder's or fader's drag end
    notify_right_up = 2,  // buttons
    notify_drag_step = 2, // encoders and faders
};

// Posts (never sends) WM_COMMAND to the parent: the control id and code, the widget as lParam.
void notify_parent(HWND widget, WORD code) noexcept;

// Whole client area, no erase, and only for a window that exists and is shown.
void invalidate_if_shown(HWND widget) noexcept;

// Paints without BeginPaint: one transfer of (x_src, 0, width, height) of source to the window's (0, 0),
// then the whole client area is validated.
void paint_surface(HWND widget, const gravo::surface_t& source, int x_src, int width, int height) noexcept;

// The signed y of a mouse message: with the mouse captured, positions above the window are negative.
inline std::int32_t mouse_y(LPARAM lParam) noexcept {
    return static_cast<short>(HIWORD(lParam));
}

// WM_PAINT and WM_ERASEBKGND. Without its picture a widget leaves both to the class brush (false); with
// it, paint draws, and erasing is answered as done without drawing anything.
template <class Paint> bool paint_message(UINT msg, bool has_picture, LRESULT& result, Paint paint) {
    if (!has_picture) {
        return false;
    }
    if (msg == WM_PAINT) {
        paint();
    } else {
        result = 1;
    }
    return true;
}

// The start of a left press: false on a disabled widget, which ignores it; otherwise code 0 is posted.
bool begin_press(HWND widget) noexcept;
// Takes the mouse for the press just begun, and repaints.
void capture_mouse(HWND widget) noexcept;
// Gives the mouse back if this widget holds it. Whatever ends the press must already be recorded, since
// ReleaseCapture sends WM_CAPTURECHANGED at once.
void release_mouse(HWND widget) noexcept;

// The mouse messages of a widget dragged up and down (encoders and faders); motion keeps the drag state
// (dragging, press, release) and step(y) is its move, true when a drag step is due. False for any other
// message.
template <class Motion, class Step>
bool drag_message(HWND widget, Motion& motion, UINT msg, LPARAM lParam, Step step) noexcept {
    switch (msg) {
    case WM_LBUTTONDOWN:
        if (begin_press(widget)) {
            motion.press(mouse_y(lParam));
            capture_mouse(widget);
        }
        return true;
    case WM_MOUSEMOVE: // consumed outside a drag too
        if (step(mouse_y(lParam))) {
            notify_parent(widget, notify_drag_step);
            invalidate_if_shown(widget);
        }
        return true;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        // Only a drag ends here, and even on a disabled window, so that the capture is always released. A
        // drag that loses the mouse ends as a release would: the parent lets go of the control, and the
        // widget does not follow the bare pointer afterwards.
        if (motion.dragging && (msg == WM_LBUTTONUP || reinterpret_cast<HWND>(lParam) != widget)) {
            notify_parent(widget, notify_left_up);
            motion.release(); // before ReleaseCapture, whose WM_CAPTURECHANGED must find the drag over
            release_mouse(widget);
            invalidate_if_shown(widget);
        }
        return true;
    default:
        return false;
    }
}

} // namespace orvel
