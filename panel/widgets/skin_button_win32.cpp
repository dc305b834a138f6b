#include "skin_button.h"

#include "skin_compose.h"

namespace orvel {

const CWndClassInfo& CSkinDumbButtonWindow::GetWndClassInfo() noexcept {
    static const CWndClassInfo info = skin_class_info("Orvel::DumbButton");
    return info;
}

HWND CSkinDumbButtonWindow::create(HWND parent, int x, int y, int width, int height, int control_id,
                                   int image_id) noexcept {
    image.load_png_resource(resource_instance(), image_id);
    const RECT rect{x, y, x + width, y + height};
    return Create(parent, rect, nullptr, 0, 0, UINT(control_id));
}

void CSkinDumbButtonWindow::set_lit(bool on) noexcept {
    if (on == lit) {
        return;
    }
    lit = on;
    invalidate_if_shown(m_hWnd);
}

bool CSkinDumbButtonWindow::ProcessWindowMessage(HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_PAINT:
    case WM_ERASEBKGND:
        return paint_message(msg, image.is_valid(), result, [this] { paint(); });
    case WM_LBUTTONDOWN:
        on_left_down();
        return true;
    case WM_LBUTTONUP:
        on_left_up();
        return true;
    case WM_RBUTTONUP:
        on_right_up();
        return true;
    case WM_CAPTURECHANGED:
        on_capture_changed(reinterpret_cast<HWND>(lParam));
        return true;
    default:
        return false;
    }
}

void CSkinDumbButtonWindow::paint() noexcept {
    const RECT client = GetClientRect();
    const int w = client.right;
    paint_surface(m_hWnd, image, w * button_frame(pressed, lit), w, client.bottom);
}

void CSkinDumbButtonWindow::on_left_down() noexcept {
    if (begin_press(m_hWnd)) {
        pressed = true;
        capture_mouse(m_hWnd);
    }
}

void CSkinDumbButtonWindow::on_left_up() noexcept {
    // Only the release of this button's own press counts: a release after a press elsewhere would send a
    // Note Off without its Note On, or fire an armed chord. A press begun while enabled always ends here,
    // so the parent never keeps a held note.
    if (!pressed) {
        return;
    }
    notify_parent(m_hWnd, notify_left_up);
    end_press();
}

void CSkinDumbButtonWindow::on_right_up() noexcept {
    if (IsWindowEnabled()) {
        notify_parent(m_hWnd, notify_right_up);
    }
}

void CSkinDumbButtonWindow::on_capture_changed(HWND gaining) noexcept {
    // Losing the mouse mid-press (another window took it, or the button was disabled) ends the press as a
    // release would; otherwise the press would stay stuck until some later release happened to arrive.
    if (pressed && gaining != m_hWnd) {
        notify_parent(m_hWnd, notify_left_up);
        end_press();
    }
}

void CSkinDumbButtonWindow::end_press() noexcept {
    const bool was_pressed = pressed;
    // Cleared before ReleaseCapture, whose WM_CAPTURECHANGED must find the press over.
    pressed = false;
    if (was_pressed) {
        release_mouse(m_hWnd);
    }
    invalidate_if_shown(m_hWnd);
}

} // namespace orvel
