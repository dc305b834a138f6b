// Lifetime of a surface's two blocks: creation, validity and release.
#include "surface.h"

namespace gravo {

void surface_t::clear() noexcept {
    rows.reset();
    pixels.reset();
    width = 0;
    height = 0;
    has_alpha = false;
}

bool surface_t::create(std::int32_t new_width, std::int32_t new_height) noexcept {
    if (new_width < 1 || new_width > max_side || new_height < 1 || new_height > max_side) {
        return false;
    }
    if (new_width == width && new_height == height) {
        return true;
    }
    clear();
    // The block must be countable in 32 bits (32768 x 32768 x 4 is not) and in size_t on 32-bit builds.
    const std::uint64_t count = std::uint64_t(new_width) * std::uint64_t(new_height);
    const std::uint64_t bytes = count * sizeof(pixel_t);
    if (bytes > UINT32_MAX || bytes > SIZE_MAX) {
        return false;
    }
    // calloc: fresh pages of a large block come zeroed without being touched.
    pixels.reset(static_cast<pixel_t*>(std::calloc(std::size_t(count), sizeof(pixel_t))));
    rows.reset(static_cast<pixel_t**>(std::calloc(std::size_t(new_height), sizeof(pixel_t*))));
    if (!pixels || !rows) {
        clear();
        return false;
    }
    for (std::int32_t y = 0; y < new_height; ++y) {
        rows[y] = pixels.get() + std::size_t(y) * std::size_t(new_width);
    }
    width = new_width;
    height = new_height;
    return true;
}

bool surface_t::is_valid() const noexcept {
    return pixels && rows && width > 0 && height > 0;
}

} // namespace gravo
