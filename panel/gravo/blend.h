#pragma once
// The surface's single compositing rule: source S over destination D at transparency t.

#include <cstdint>

namespace gravo {

// t = 0 gives S made opaque, t >= 255 leaves D. In between, red and blue move towards S by (255 - t) >> 3
// thirty-seconds and green by (255 - t) >> 2 sixty-fourths, rounded towards D's floor; the result is opaque.
// Red and blue share one packed multiply: the cross terms fall into the bits the masks drop.
constexpr std::uint32_t blend(std::uint32_t s, std::uint32_t d, std::uint32_t t) noexcept {
    if (t == 0) {
        return s & 0x00FFFFFFu;
    }
    if (t >= 255) {
        return d;
    }
    const std::uint32_t w = 255 - t;
    const std::uint32_t k5 = w >> 3;
    const std::uint32_t k6 = w >> 2;
    const std::uint32_t d_rb = d & 0x00FF00FFu;
    const std::uint32_t d_g = d & 0x0000FF00u;
    const std::uint32_t rb = ((((s & 0x00FF00FFu) - d_rb) * k5 >> 5) + d_rb) & 0x00FF00FFu;
    const std::uint32_t g = ((((s & 0x0000FF00u) - d_g) * k6 >> 6) + d_g) & 0x0000FF00u;
    return rb | g;
}

} // namespace gravo
