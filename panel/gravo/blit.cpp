// Rectangle transfer between surfaces: clipping, the whole-surface block move and alpha blending.
#include "blend.h"
#include "surface.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace gravo {

namespace {

// Copies or blends one clipped row. Source and destination may be the same row of the same surface.
void transfer_row(pixel_t* dst, const pixel_t* src, std::size_t count, bool blend_alpha) noexcept {
    if (!blend_alpha) {
        std::memmove(dst, src, count * sizeof(pixel_t));
        return;
    }
    const auto mix = [&](std::size_t i) {
        dst[i] = blend(src[i], dst[i], src[i] >> 24);
    };
    if (std::greater<const pixel_t*>()(dst, src)) {
        // Overlapping to the right: read every source pixel before it is overwritten.
        for (std::size_t i = count; i-- > 0;) {
            mix(i);
        }
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            mix(i);
        }
    }
}

} // namespace

bool surface_t::blit_to(surface_t& dest, std::int32_t dx, std::int32_t dy, std::int32_t sx, std::int32_t sy,
                        std::int32_t w, std::int32_t h) const noexcept {
    if (!dest.is_valid() || w <= 0 || h <= 0 || !is_valid()) {
        return false;
    }
    if (!has_alpha && dx == 0 && dy == 0 && sx == 0 && sy == 0 && dest.width == width &&
        dest.height == height && w == width && h == height) {
        if (&dest != this) {
            std::memcpy(dest.pixels.get(), pixels.get(), std::size_t(width) * std::size_t(height) * 4);
        }
        return true;
    }
    // 64-bit from here: negated and summed coordinates would overflow 32 bits at the extremes.
    std::int64_t src_x = sx, src_y = sy, dst_x = dx, dst_y = dy, run_w = w, run_h = h;
    if (src_x >= width || src_y >= height) {
        return true;
    }
    if (src_x < 0) {
        dst_x -= src_x;
        run_w += src_x;
        src_x = 0;
    }
    if (src_y < 0) {
        dst_y -= src_y;
        run_h += src_y;
        src_y = 0;
    }
    run_w = std::min(run_w, width - src_x);
    run_h = std::min(run_h, height - src_y);
    if (dst_x >= dest.width || dst_y >= dest.height || dst_x + run_w < 0 || dst_y + run_h < 0) {
        return true;
    }
    const std::int64_t first_x = std::max<std::int64_t>(dst_x, 0);
    const std::int64_t first_y = std::max<std::int64_t>(dst_y, 0);
    const std::int64_t src_x0 = src_x + (first_x - dst_x);
    const std::int64_t src_y0 = src_y + (first_y - dst_y);
    const std::int64_t src_x1 = dst_x + run_w <= dest.width ? src_x + run_w : src_x - dst_x + dest.width;
    const std::int64_t src_y1 = dst_y + run_h <= dest.height ? src_y + run_h : src_y - dst_y + dest.height;
    const std::int64_t cols = src_x1 - src_x0;
    const std::int64_t lines = src_y1 - src_y0;
    if (cols <= 0 || lines <= 0) {
        return true;
    }
    // Onto itself, moving down: walk the rows bottom-up so no source row is overwritten before it is read.
    const bool bottom_up = &dest == this && first_y > src_y0;
    for (std::int64_t i = 0; i < lines; ++i) {
        const std::int64_t row = bottom_up ? lines - 1 - i : i;
        transfer_row(dest.rows[std::size_t(first_y + row)] + first_x,
                     rows[std::size_t(src_y0 + row)] + src_x0, std::size_t(cols), has_alpha);
    }
    return true;
}

} // namespace gravo
