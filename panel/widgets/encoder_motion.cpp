#include "encoder_motion.h"

#include <cmath>

namespace orvel {

void encoder_motion::press(std::int32_t y) noexcept {
    angle = 0.0;
    dragging = true;
    last_y = y;
}

bool encoder_motion::move(std::int32_t y) noexcept {
    if (!dragging || y == last_y) {
        return false;
    }
    const std::int32_t step = last_y - y;
    last_y = y;
    last_step = step;
    // angle is a public field; a value that the loops below could never bring home starts afresh.
    if (!std::isfinite(angle)) {
        angle = 0.0;
    }
    angle += degrees_per_pixel * step;
    // Steps are at most 65535 pixels (16-bit mouse coordinates), so these loops stay short. Both 0 and 360
    // occur, as the indicator looks the same either way.
    while (angle < 0.0) {
        angle += 360.0;
    }
    while (angle > 360.0) {
        angle -= 360.0;
    }
    return true;
}

void encoder_motion::release() noexcept {
    dragging = false;
}

indicator_t encoder_indicator(std::int32_t width, std::int32_t height, double angle) noexcept {
    const std::int32_t cx = (width - 2) / 2;
    const std::int32_t cy = (height - 2) / 2;
    const double theta = angle * 0.017453292519943295; // pi / 180
    return {{cx, cy}, {cx + std::int32_t(std::sin(theta) * cy), cy - std::int32_t(std::cos(theta) * cy)}, cx};
}

} // namespace orvel
