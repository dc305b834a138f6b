#include "skin_rotary.h"

#include "skin_compose.h"

namespace orvel {

const CWndClassInfo& CSkinDumbRotaryWindow::GetWndClassInfo() noexcept {
    static const CWndClassInfo info = skin_class_info("Orvel::DumbRotary");
    return info;
}

HWND CSkinDumbRotaryWindow::create(HWND parent, int x, int y, int width, int height, int control_id,
                                   int image_id) noexcept {
    image.load_png_resource(resource_instance(), image_id);
    prepare_back(back, image, width, height);
    const RECT rect{x, y, x + width, y + height};
    return Create(parent, rect, nullptr, 0, 0, UINT(control_id));
}

bool CSkinDumbRotaryWindow::ProcessWindowMessage(HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_PAINT:
    case WM_ERASEBKGND:
        if (!back.is_valid()) {
            return false;
        }
        if (msg == WM_PAINT) {
            paint();
        } else {
            result = 1;
        }
        return true;
    case WM_LBUTTONDOWN:
        on_left_down(mouse_y(lParam));
        return true;
    case WM_MOUSEMOVE: // consumed outside a drag too
        on_mouse_move(mouse_y(lParam));
        return true;
    case WM_LBUTTONUP:
        on_left_up();
        return true;
    case WM_CAPTURECHANGED:
        on_capture_changed(reinterpret_cast<HWND>(lParam));
        return true;
    default:
        return false;
    }
}

void CSkinDumbRotaryWindow::paint() noexcept {
    compose_encoder(back, image, dragging, angle);
    paint_surface(m_hWnd, back, 0, back.width, back.height);
}

void CSkinDumbRotaryWindow::on_left_down(std::int32_t y) noexcept {
    if (!IsWindowEnabled()) {
        return;
    }
    notify_parent(m_hWnd, notify_left_down);
    press(y);
    SetCapture(m_hWnd);
    invalidate_if_shown(m_hWnd);
}

void CSkinDumbRotaryWindow::on_mouse_move(std::int32_t y) noexcept {
    if (move(y)) {
        notify_parent(m_hWnd, notify_drag_step);
        invalidate_if_shown(m_hWnd);
    }
}

void CSkinDumbRotaryWindow::on_left_up() noexcept {
    // Only a drag ends here; it ends even on a disabled window, so that the capture is always released.
    if (dragging) {
        notify_parent(m_hWnd, notify_left_up);
        end_drag();
    }
}

void CSkinDumbRotaryWindow::on_capture_changed(HWND gaining) noexcept {
    // A drag that loses the mouse ends as a release would, instead of following the bare pointer later.
    if (dragging && gaining != m_hWnd) {
        notify_parent(m_hWnd, notify_left_up);
        end_drag();
    }
}

void CSkinDumbRotaryWindow::end_drag() noexcept {
    release(); // before ReleaseCapture, whose WM_CAPTURECHANGED must find the drag over
    if (GetCapture() == m_hWnd) {
        ReleaseCapture();
    }
    invalidate_if_shown(m_hWnd);
}

} // namespace orvel
