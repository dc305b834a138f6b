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
    if (msg == WM_PAINT || msg == WM_ERASEBKGND) {
        return paint_message(msg, back.is_valid(), result, [this] { paint(); });
    }
    return drag_message(m_hWnd, static_cast<encoder_motion&>(*this), msg, lParam,
                        [this](std::int32_t y) { return move(y); });
}

void CSkinDumbRotaryWindow::paint() noexcept {
    compose_encoder(back, image, dragging, angle);
    paint_surface(m_hWnd, back, 0, back.width, back.height);
}

} // namespace orvel
