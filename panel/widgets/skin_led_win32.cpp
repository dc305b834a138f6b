#include "skin_led.h"

#include "skin_compose.h"
#include "skins.h"

namespace orvel {

const CWndClassInfo& CSkinLEDWindow::GetWndClassInfo() noexcept {
    static const CWndClassInfo info = skin_class_info("Orvel::SkinnedLED");
    return info;
}

HWND CSkinLEDWindow::create(HWND parent) noexcept {
    image.load_png_resource(resource_instance(), kestro::skins::light_id);
    const RECT rect{light_x, light_y, light_x + light_size, light_y + light_size};
    return Create(parent, rect);
}

void CSkinLEDWindow::set_lit(bool on) noexcept {
    if (on == lit) {
        return;
    }
    lit = on;
    invalidate_if_shown(m_hWnd);
}

bool CSkinLEDWindow::ProcessWindowMessage(HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) {
    result = 0;
    if ((msg != WM_PAINT && msg != WM_ERASEBKGND) || !image.is_valid()) {
        return false;
    }
    if (msg == WM_PAINT) {
        const RECT client = GetClientRect();
        paint_surface(m_hWnd, image, client.right * light_frame(lit), client.right, client.bottom);
    } else {
        result = 1;
    }
    return true;
}

} // namespace orvel
