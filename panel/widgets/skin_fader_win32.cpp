#include "skin_fader.h"

#include "skin_compose.h"
#include "skins.h"

namespace orvel {

const CWndClassInfo& CSkinFaderWindow::GetWndClassInfo() noexcept {
    static const CWndClassInfo info = skin_class_info("Orvel::Fader");
    return info;
}

HWND CSkinFaderWindow::create(HWND parent) noexcept {
    track.load_png_resource(resource_instance(), kestro::skins::fader_track_id);
    cap.load_png_resource(resource_instance(), kestro::skins::fader_cap_id);
    prepare_back(back, track, track.width, track.height);
    const RECT rect{fader_x, fader_y, fader_x + fader_width, fader_y + fader_height};
    return Create(parent, rect, nullptr, 0, 0, fader_control_id);
}

void CSkinFaderWindow::set_value(double new_value) noexcept {
    if (fader_motion::set_value(new_value)) {
        invalidate_if_shown(m_hWnd);
    }
}

bool CSkinFaderWindow::ProcessWindowMessage(HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
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

void CSkinFaderWindow::paint() noexcept {
    compose_fader(back, track, cap, value);
    paint_surface(m_hWnd, back, 0, back.width, back.height);
}

void CSkinFaderWindow::on_left_down(std::int32_t y) noexcept {
    if (!IsWindowEnabled()) {
        return;
    }
    notify_parent(m_hWnd, notify_left_down);
    press(y);
    SetCapture(m_hWnd);
    invalidate_if_shown(m_hWnd);
}

void CSkinFaderWindow::on_mouse_move(std::int32_t y) noexcept {
    if (move(y, fader_travel(track.height, cap.height, GetClientRect().bottom))) {
        notify_parent(m_hWnd, notify_drag_step);
        invalidate_if_shown(m_hWnd);
    }
}

void CSkinFaderWindow::on_left_up() noexcept {
    // Only a drag ends here; it ends even on a disabled window, so that the capture is always released.
    if (dragging) {
        notify_parent(m_hWnd, notify_left_up);
        end_drag();
    }
}

void CSkinFaderWindow::on_capture_changed(HWND gaining) noexcept {
    // A drag that loses the mouse ends as a release would: the parent untouches the fader, and the cap
    // does not follow the bare pointer afterwards.
    if (dragging && gaining != m_hWnd) {
        notify_parent(m_hWnd, notify_left_up);
        end_drag();
    }
}

void CSkinFaderWindow::end_drag() noexcept {
    release(); // before ReleaseCapture, whose WM_CAPTURECHANGED must find the drag over
    if (GetCapture() == m_hWnd) {
        ReleaseCapture();
    }
    invalidate_if_shown(m_hWnd);
}

} // namespace orvel
