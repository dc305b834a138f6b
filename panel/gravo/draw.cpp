// Pixel-level drawing: single pixels, axis-aligned runs, rectangle outlines and circles.
#include "blend.h"
#include "surface.h"

#include <algorithm>
#include <utility>

namespace gravo {

void surface_t::set_pixel(std::int32_t x, std::int32_t y, pixel_t colour) noexcept {
    if (!is_valid() || x < 0 || x >= width || y < 0 || y >= height) {
        return;
    }
    pixel_t& p = rows[y][x];
    const pixel_t t = colour >> 24;
    p = t == 0 ? colour : blend(colour, p, t);
}

bool surface_t::draw_hline(std::int32_t x0, std::int32_t y, std::int32_t x1, pixel_t colour) noexcept {
    if (!is_valid()) {
        return false;
    }
    if (x0 > x1) {
        std::swap(x0, x1);
    }
    if (x0 >= width || x1 < 0 || y < 0 || y >= height) {
        return true;
    }
    x0 = std::max(x0, 0);
    x1 = std::min(x1, width);
    for (std::int32_t x = x0; x < x1; ++x) {
        set_pixel(x, y, colour);
    }
    return true;
}

bool surface_t::draw_vline(std::int32_t x, std::int32_t y0, std::int32_t y1, pixel_t colour) noexcept {
    if (!is_valid()) {
        return false;
    }
    if (y0 > y1) {
        std::swap(y0, y1);
    }
    if (y0 >= height || y1 < 0 || x < 0 || x >= width) {
        return true;
    }
    y0 = std::max(y0, 0);
    y1 = std::min(y1, height);
    for (std::int32_t y = y0; y < y1; ++y) {
        set_pixel(x, y, colour);
    }
    return true;
}

bool surface_t::draw_rect(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                          pixel_t colour) noexcept {
    if (!is_valid()) {
        return false;
    }
    draw_hline(x0, y0, x1, colour);
    draw_hline(x0, y1, x1, colour);
    draw_vline(x0, y0, y1, colour);
    draw_vline(x1, y0, y1, colour);
    // The runs all stop short of the larger coordinates, so that corner is the one left open whichever way
    // round the corners were given.
    set_pixel(std::max(x0, x1), std::max(y0, y1), colour);
    return true;
}

bool surface_t::draw_circle(std::int32_t cx, std::int32_t cy, std::int32_t radius, pixel_t colour) noexcept {
    if (!is_valid()) {
        return false;
    }
    // 64-bit: centre plus radius and the decision variable overflow 32 bits for extreme arguments.
    const std::int64_t r = radius;
    if (cx + r < 0 || cx - r >= width || cy + r < 0 || cy - r >= height) {
        return true;
    }
    const auto plot = [&](std::int64_t px, std::int64_t py) {
        if (px >= 0 && px < width && py >= 0 && py < height) {
            set_pixel(std::int32_t(px), std::int32_t(py), colour);
        }
    };
    std::int64_t x = 0;
    std::int64_t y = r;
    std::int64_t d = 3 - 2 * r;
    while (x < y) {
        plot(cx + x, cy + y);
        plot(cx - x, cy + y);
        plot(cx + x, cy - y);
        plot(cx - x, cy - y);
        plot(cx + y, cy + x);
        plot(cx - y, cy + x);
        plot(cx + y, cy - x);
        plot(cx - y, cy - x);
        if (d < 0) {
            d += 4 * x + 6;
        } else {
            d += 4 * (x - y) + 10;
            --y;
        }
        ++x;
    }
    if (x == y) {
        plot(cx + x, cy + y);
        plot(cx - x, cy + y);
        plot(cx + x, cy - y);
        plot(cx - x, cy - y);
    }
    return true;
}

} // namespace gravo
