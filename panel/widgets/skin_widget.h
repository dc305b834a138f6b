#pragma once
// What the four skin widgets share: their window traits and class attributes, the one notification they
// post, and painting a surface with a single transfer.

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

} // namespace orvel
