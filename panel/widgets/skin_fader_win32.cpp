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
    if (msg == WM_PAINT || msg == WM_ERASEBKGND) {
        return paint_message(msg, back.is_valid(), result, [this] { paint(); });
    }
    return drag_message(m_hWnd, static_cast<fader_motion&>(*this), msg, lParam, [this](std::int32_t y) {
        return move(y, fader_travel(track.height, cap.height, GetClientRect().bottom));
    });
}

void CSkinFaderWindow::paint() noexcept {
    compose_fader(back, track, cap, value);
    paint_surface(m_hWnd, back, 0, back.width, back.height);
}

} // namespace orvel
