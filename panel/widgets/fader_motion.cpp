#include "fader_motion.h"

#include <algorithm>
#include <cmath>

namespace orvel {

void fader_motion::press(std::int32_t y) noexcept {
    dragging = true;
    last_y = y;
}

bool fader_motion::move(std::int32_t y, double travel) noexcept {
    if (!dragging || y == last_y) {
        return false;
    }
    value += double(last_y - y) / travel;
    last_y = y;
    value = std::clamp(value, 0.0, 1.0);
    return true;
}

void fader_motion::release() noexcept {
    dragging = false;
}

bool fader_motion::set_value(double new_value) noexcept {
    if (dragging || std::isnan(new_value)) {
        return false;
    }
    value = std::clamp(new_value, 0.0, 1.0);
    return true;
}

double fader_travel(std::int32_t track_height, std::int32_t cap_height, std::int32_t window_height) noexcept {
    const std::int32_t travel = track_height - cap_height;
    if (travel > 0) {
        return travel;
    }
    return std::max(window_height, 1);
}

std::int32_t fader_cap_top(std::int32_t track_height, std::int32_t cap_height, double value) noexcept {
    // The parent may write value directly; keep the arithmetic defined whatever it holds.
    const double v = std::isnan(value) ? 0.5 : std::clamp(value, 0.0, 1.0);
    return std::int32_t(double(track_height - cap_height) * (1.0 - v));
}

} // namespace orvel
