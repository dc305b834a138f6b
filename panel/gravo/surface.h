#pragma once
// The panel's only image type: a top-down block of 32-bit pixels 0xTTRRGGBB (bytes B, G, R, T in memory) with
// a table of row pointers. T is transparency: 0 opaque, 255 fully transparent. The layout is that of a
// top-down 32-bit DIB, so the block goes to the screen unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#ifdef _WIN32
// The handle types of <windows.h> (STRICT), declared here so that portable code never includes it.
struct HDC__;
struct HINSTANCE__;
#endif

namespace gravo {

using pixel_t = std::uint32_t;

// Largest width or height a surface may have.
constexpr std::int32_t max_side = 32768;

struct free_deleter {
    void operator()(void* p) const noexcept { std::free(p); }
};

struct surface_t {
    // Entry i points at the first pixel of row i; row 0 is the top row.
    std::unique_ptr<pixel_t*[], free_deleter> rows;
    // width x height pixels, row after row.
    std::unique_ptr<pixel_t[], free_deleter> pixels;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Set only by the PNG loader when the image carries transparency; makes blit_to blend.
    bool has_alpha = false;

    surface_t() = default;
    surface_t(const surface_t&) = delete;
    surface_t& operator=(const surface_t&) = delete;
    virtual ~surface_t() = default;

    // Releases both blocks; every field back to zero or false.
    void clear() noexcept;
    // Zero-filled surface of width x height (each 1..32768, block under 4 GiB). The same size as now keeps
    // the old pixels. Out-of-range sizes leave the surface unchanged; an allocation failure leaves it empty.
    bool create(std::int32_t new_width, std::int32_t new_height) noexcept;
    bool is_valid() const noexcept;

    // Decodes PNG bytes to B, G, R, T. On any decoder error the surface is left empty; null data, a short
    // buffer or a missing signature leave it untouched.
    bool load_png_memory(const void* data, std::size_t size) noexcept;

    // Copies (or, when this surface has_alpha, blends) the rectangle (sx, sy, width, height) of this surface
    // to (dx, dy) of dest, clipped to both surfaces. False only for invalid surfaces or an empty size.
    bool blit_to(surface_t& dest, std::int32_t dx, std::int32_t dy, std::int32_t sx, std::int32_t sy,
                 std::int32_t w, std::int32_t h) const noexcept;

    // Writes an opaque colour, blends one with T > 0; outside the surface nothing happens.
    void set_pixel(std::int32_t x, std::int32_t y, pixel_t colour) noexcept;
    // Runs from the smaller coordinate up to, not including, the larger one.
    bool draw_hline(std::int32_t x0, std::int32_t y, std::int32_t x1, pixel_t colour) noexcept;
    bool draw_vline(std::int32_t x, std::int32_t y0, std::int32_t y1, pixel_t colour) noexcept;
    // Axis-aligned segments are runs; slanted ones are clipped and antialiased, both ends included.
    bool draw_line(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                   pixel_t colour) noexcept;
    // Outline through both corners, closed at all four.
    bool draw_rect(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                   pixel_t colour) noexcept;
    bool draw_circle(std::int32_t cx, std::int32_t cy, std::int32_t radius, pixel_t colour) noexcept;

#ifdef _WIN32
    // Decodes a resource of type "PNG"; name may be a MAKEINTRESOURCE value.
    bool load_png_resource(HINSTANCE__* module, const char* name) noexcept;
    bool load_png_resource(HINSTANCE__* module, int id) noexcept;
    // Shows a rectangle of the surface unscaled through StretchDIBits.
    bool blit_to_dc(HDC__* dc, int x_dest, int y_dest, int x_src, int y_src, int w, int h,
                    unsigned long rop) const noexcept;
#endif
};

} // namespace gravo
