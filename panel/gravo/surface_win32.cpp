// The surface's two Windows services: PNG resources of a module and unscaled transfer to a device context.
#include "surface.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace gravo {

bool surface_t::load_png_resource(HMODULE module, const char* name) noexcept {
    if (module == nullptr || name == nullptr) {
        return false;
    }
    HRSRC found = FindResourceA(module, name, "PNG");
    if (found == nullptr) {
        return false;
    }
    // Resource memory belongs to the module: nothing to free, and it is only read.
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, found);
    if (data == nullptr || size == 0) {
        return false;
    }
    return load_png_memory(data, size);
}

bool surface_t::load_png_resource(HMODULE module, int id) noexcept {
    // Integer ids are 16 bits; a wider one would silently name a different resource.
    if (id < 1 || id > 0xFFFF) {
        return false;
    }
    return load_png_resource(module, MAKEINTRESOURCEA(id));
}

bool surface_t::blit_to_dc(HDC dc, int x_dest, int y_dest, int x_src, int y_src, int w, int h,
                           unsigned long rop) const noexcept {
    if (dc == nullptr || !is_valid()) {
        return false;
    }
    if (w <= 0 || h <= 0) {
        return true;
    }
    // GDI places the source rectangle of a top-down DIB inconsistently (counted from the bottom row unless
    // y_src is 0). Handing it only the wanted rows, from y_src = 0, is unambiguous; for the whole surface
    // this is the plain call.
    const std::int64_t top = std::max<std::int64_t>(y_src, 0);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(y_src) + h, height);
    const std::int64_t y_to = std::int64_t(y_dest) + (top - y_src);
    if (top >= bottom || y_to > INT_MAX) {
        return true;
    }
    const int rows_shown = int(bottom - top);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -rows_shown; // negative: rows top-down, as they lie in the block
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, x_dest, int(y_to), w, rows_shown, x_src, 0, w, rows_shown, rows[std::size_t(top)],
                  &info, DIB_RGB_COLORS, rop);
    return true;
}

} // namespace gravo
