// Straight segments: axis-aligned ones as runs, slanted ones clipped (Cohen-Sutherland) and antialiased
// (Wu's method with a 16-bit error accumulator).
#include "surface.h"

#include <cstdlib>
#include <utility>

namespace gravo {

namespace {

enum outcode : unsigned { below = 1, above = 2, right = 4, left = 8 };

struct point {
    std::int64_t x;
    std::int64_t y;
};

unsigned code_of(point p, std::int64_t width, std::int64_t height) noexcept {
    unsigned code = 0;
    if (p.y >= height) {
        code |= below;
    }
    if (p.y < 0) {
        code |= above;
    }
    if (p.x >= width) {
        code |= right;
    }
    if (p.x < 0) {
        code |= left;
    }
    return code;
}

// Clips the segment to 0..width-1 x 0..height-1; false when nothing of it is inside. 64-bit intermediates
// keep the products exact; the intersection always lies between the endpoints, so it fits back in 32 bits.
bool clip(point& a, point& b, std::int64_t width, std::int64_t height) noexcept {
    unsigned code_a = code_of(a, width, height);
    unsigned code_b = code_of(b, width, height);
    // Each pass pins one coordinate of one endpoint to an edge; a handful of passes always suffices.
    for (int pass = 0; pass < 16; ++pass) {
        if ((code_a | code_b) == 0) {
            return true;
        }
        if ((code_a & code_b) != 0) {
            return false;
        }
        const unsigned code = code_a != 0 ? code_a : code_b;
        point p{};
        if (code & below) {
            if (b.y == a.y) {
                return false;
            }
            p = {a.x + (height - 1 - a.y) * (b.x - a.x) / (b.y - a.y), height - 1};
        } else if (code & above) {
            if (b.y == a.y) {
                return false;
            }
            p = {a.x - (b.x - a.x) * a.y / (b.y - a.y), 0};
        } else if (code & right) {
            if (b.x == a.x) {
                return false;
            }
            p = {width - 1, a.y + (width - 1 - a.x) * (b.y - a.y) / (b.x - a.x)};
        } else {
            if (b.x == a.x) {
                return false;
            }
            p = {0, a.y - a.x * (b.y - a.y) / (b.x - a.x)};
        }
        if (code == code_a) {
            a = p;
            code_a = code_of(a, width, height);
        } else {
            b = p;
            code_b = code_of(b, width, height);
        }
    }
    return false;
}

// Moves each colour channel of p towards c: the result is (p * keep + c * (255 - keep)) >> 8; T is kept.
pixel_t mix(pixel_t p, pixel_t c, std::uint32_t keep) noexcept {
    pixel_t out = p & 0xFF000000u;
    for (unsigned shift = 0; shift < 24; shift += 8) {
        const std::uint32_t pc = (p >> shift) & 0xFF;
        const std::uint32_t cc = (c >> shift) & 0xFF;
        out |= ((pc * keep + cc * (255 - keep)) >> 8) << shift;
    }
    return out;
}

} // namespace

bool surface_t::draw_line(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                          pixel_t colour) noexcept {
    if (!is_valid()) {
        return false;
    }
    if (x0 == x1 && y0 == y1) {
        set_pixel(x0, y0, colour);
        return true;
    }
    if (x0 == x1) {
        return draw_vline(x0, y0, y1, colour);
    }
    if (y0 == y1) {
        return draw_hline(x0, y0, x1, colour);
    }
    point a{x0, y0};
    point b{x1, y1};
    if (!clip(a, b, width, height)) {
        return true;
    }
    // Clipped endpoints lie inside, so they fit in 32 bits again.
    std::int32_t ax = std::int32_t(a.x), ay = std::int32_t(a.y);
    std::int32_t bx = std::int32_t(b.x), by = std::int32_t(b.y);
    if (ay > by) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    std::int32_t dx = bx - ax;
    const std::int32_t xdir = dx >= 0 ? 1 : -1;
    dx = std::abs(dx);
    const std::int32_t dy = by - ay;

    const auto store = [&](std::int32_t x, std::int32_t y) {
        if (x >= 0 && x < width && y >= 0 && y < height) {
            rows[y][x] = colour;
        }
    };
    const auto shade = [&](std::int32_t x, std::int32_t y, std::uint32_t keep) {
        if (x >= 0 && x < width && y >= 0 && y < height) {
            rows[y][x] = mix(rows[y][x], colour, keep);
        }
    };

    store(ax, ay);
    if (dx == 0 || dy == 0 || dx == dy) {
        // Diagonal, or a slanted segment that clipping made axis-aligned: a plain run of full pixels (an
        // accumulator that never advances would step on every pass).
        const std::int32_t steps = dx > dy ? dx : dy;
        const std::int32_t sx = dx == 0 ? 0 : xdir;
        const std::int32_t sy = dy == 0 ? 0 : 1;
        for (std::int32_t i = 1; i <= steps; ++i) {
            store(ax + i * sx, ay + i * sy);
        }
        return true;
    }
    std::uint16_t acc = 0;
    std::int32_t x = ax;
    std::int32_t y = ay;
    if (dy > dx) {
        const auto adj = std::uint16_t((std::uint32_t(dx) << 16) / std::uint32_t(dy));
        for (std::int32_t i = 1; i < dy; ++i) {
            const std::uint16_t prev = acc;
            acc = std::uint16_t(acc + adj);
            if (acc <= prev) {
                x += xdir;
            }
            ++y;
            const std::uint32_t wt = acc >> 8;
            shade(x, y, wt);
            shade(x + xdir, y, 255 - wt);
        }
    } else {
        const auto adj = std::uint16_t((std::uint32_t(dy) << 16) / std::uint32_t(dx));
        for (std::int32_t i = 1; i < dx; ++i) {
            const std::uint16_t prev = acc;
            acc = std::uint16_t(acc + adj);
            if (acc <= prev) {
                ++y;
            }
            x += xdir;
            const std::uint32_t wt = acc >> 8;
            shade(x, y, wt);
            shade(x, y + 1, 255 - wt);
        }
    }
    store(bx, by);
    return true;
}

} // namespace gravo
