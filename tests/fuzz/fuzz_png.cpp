// PNG data decoded into a surface, and the decoded image blitted.
//
// Each input is decoded twice: as it is, and with every chunk's CRC recomputed, so that mutations reach the
// decoder's logic instead of stopping at the checksum. Bytes after the IEND chunk (or a hash of the input)
// choose the blits.
//
// Properties: the decoder reads only the given bytes; success means a valid surface within the size limits
// whose row table walks the pixel block, with T = 0 everywhere when the image has no transparency; failure
// leaves the surface empty, or untouched when the data is short or has no signature. Blits onto another
// surface and onto the image itself change exactly the clipped rectangle, to the source pixels (or their
// blend when the image has transparency), and read each source pixel before it is overwritten.
#include "blend.h"
#include "fuzz_check.h"
#include "surface.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <zlib.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

using gravo::pixel_t;
using gravo::surface_t;

namespace {

// Whole-surface checks only for images up to these many pixels: larger ones are legal but would make each
// run slow.
constexpr std::uint64_t kLargestScannedImage = 1u << 20;
constexpr std::uint64_t kLargestMovedImage = 1u << 16;

const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t readBe32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Recomputes the CRC of every whole chunk; returns the offset just past IEND (or the end of the data).
std::size_t fixChunkCrcs(std::vector<std::uint8_t>& png) {
    std::size_t at = 8;
    while (png.size() - at >= 12) {
        const std::uint32_t length = readBe32(&png[at]);
        if (length > png.size() - at - 12) {
            break;
        }
        const uLong crc =
            crc32(crc32(0L, Z_NULL, 0), &png[at + 4], static_cast<uInt>(length) + 4); // type and data
        std::uint8_t* out = &png[at + 8 + length];
        out[0] = static_cast<std::uint8_t>(crc >> 24);
        out[1] = static_cast<std::uint8_t>(crc >> 16);
        out[2] = static_cast<std::uint8_t>(crc >> 8);
        out[3] = static_cast<std::uint8_t>(crc);
        const bool end = std::memcmp(&png[at + 4], "IEND", 4) == 0;
        at += 12 + length;
        if (end) {
            return at;
        }
    }
    return png.size();
}

std::uint64_t area(const surface_t& s) {
    return std::uint64_t(s.width) * std::uint64_t(s.height);
}

std::vector<pixel_t> snapshot(const surface_t& s) {
    return std::vector<pixel_t>(s.pixels.get(), s.pixels.get() + area(s));
}

void fillPattern(surface_t& s, std::uint32_t seed) {
    for (std::int32_t y = 0; y < s.height; ++y) {
        for (std::int32_t x = 0; x < s.width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            s.rows[y][x] = seed;
        }
    }
}

struct BlitCall {
    std::int32_t dx, dy, sx, sy, w, h;
};

// The destination as it must be after a blit, from the destination before it and the source pixels as they
// were before it (`sourceAt`).
template <typename SourceAt>
std::vector<pixel_t> expectedBlit(SourceAt sourceAt, std::int32_t sw, std::int32_t sh, bool alpha,
                                  const std::vector<pixel_t>& dest, std::int32_t dw, std::int32_t dh,
                                  const BlitCall& c) {
    std::vector<pixel_t> out = dest;
    for (std::int64_t y = 0; y < dh; ++y) {
        for (std::int64_t x = 0; x < dw; ++x) {
            const std::int64_t u = x - c.dx + std::int64_t(c.sx);
            const std::int64_t v = y - c.dy + std::int64_t(c.sy);
            const bool inRequest = x - c.dx >= 0 && x - c.dx < c.w && y - c.dy >= 0 && y - c.dy < c.h;
            if (!inRequest || u < 0 || u >= sw || v < 0 || v >= sh) {
                continue;
            }
            const pixel_t s = sourceAt(u, v);
            pixel_t& d = out[std::size_t(y * dw + x)];
            d = alpha ? gravo::blend(s, d, s >> 24) : s;
        }
    }
    return out;
}

void checkBlitOnto(const surface_t& image, surface_t& dest, const BlitCall& c) {
    const std::vector<pixel_t> before = snapshot(dest);
    FUZZ_CHECK(image.blit_to(dest, c.dx, c.dy, c.sx, c.sy, c.w, c.h) == (c.w > 0 && c.h > 0));
    // The image is not written, so the oracle reads it as it is now.
    const auto sourceAt = [&image](std::int64_t u, std::int64_t v) {
        return image.rows[v][u];
    };
    FUZZ_CHECK(snapshot(dest) == expectedBlit(sourceAt, image.width, image.height, image.has_alpha, before,
                                              dest.width, dest.height, c));
}

void checkBlitOntoItself(surface_t& image, const BlitCall& c) {
    const std::vector<pixel_t> before = snapshot(image);
    FUZZ_CHECK(image.blit_to(image, c.dx, c.dy, c.sx, c.sy, c.w, c.h) == (c.w > 0 && c.h > 0));
    const std::int32_t width = image.width;
    const auto sourceAt = [&before, width](std::int64_t u, std::int64_t v) {
        return before[std::size_t(v * width + u)];
    };
    FUZZ_CHECK(snapshot(image) == expectedBlit(sourceAt, image.width, image.height, image.has_alpha, before,
                                               image.width, image.height, c));
}

void checkDecoded(surface_t& image, FuzzedDataProvider& choices) {
    FUZZ_CHECK(image.is_valid());
    FUZZ_CHECK(image.width >= 1 && image.width <= gravo::max_side);
    FUZZ_CHECK(image.height >= 1 && image.height <= gravo::max_side);
    for (std::int32_t y = 0; y < image.height; ++y) {
        FUZZ_CHECK(image.rows[y] == image.pixels.get() + std::size_t(y) * std::size_t(image.width));
    }
    if (area(image) <= kLargestScannedImage && !image.has_alpha) {
        for (pixel_t p : snapshot(image)) {
            FUZZ_CHECK((p >> 24) == 0);
        }
    }

    // Onto a small surface: the chosen blit, then the edges of the coordinate range.
    surface_t dest;
    FUZZ_CHECK(dest.create(choices.ConsumeIntegralInRange<std::int32_t>(1, 40),
                           choices.ConsumeIntegralInRange<std::int32_t>(1, 40)));
    fillPattern(dest, choices.ConsumeIntegral<std::uint32_t>());
    BlitCall chosen{choices.ConsumeIntegralInRange<std::int32_t>(-48, 48),
                    choices.ConsumeIntegralInRange<std::int32_t>(-48, 48),
                    choices.ConsumeIntegralInRange<std::int32_t>(-48, 48),
                    choices.ConsumeIntegralInRange<std::int32_t>(-48, 48),
                    choices.ConsumeIntegralInRange<std::int32_t>(-2, 64),
                    choices.ConsumeIntegralInRange<std::int32_t>(-2, 64)};
    checkBlitOnto(image, dest, chosen);
    checkBlitOnto(image, dest, {0, 0, 0, 0, INT_MAX, INT_MAX});
    checkBlitOnto(image, dest, {-1, -1, image.width - 1, image.height - 1, INT_MAX, INT_MAX});
    checkBlitOnto(image, dest, {INT_MIN, INT_MAX, INT_MIN, INT_MIN, INT_MAX, INT_MAX});

    if (area(image) > kLargestMovedImage) {
        return;
    }
    // The block move: same size, same origin.
    surface_t same;
    FUZZ_CHECK(same.create(image.width, image.height));
    fillPattern(same, 7);
    checkBlitOnto(image, same, {0, 0, 0, 0, image.width, image.height});

    BlitCall moved{choices.ConsumeIntegralInRange<std::int32_t>(-3, 3),
                   choices.ConsumeIntegralInRange<std::int32_t>(-3, 3),
                   choices.ConsumeIntegralInRange<std::int32_t>(-3, 3),
                   choices.ConsumeIntegralInRange<std::int32_t>(-3, 3),
                   image.width,
                   image.height};
    checkBlitOntoItself(image, moved);
}

void decodeAndCheck(const std::uint8_t* data, std::size_t size, FuzzedDataProvider& choices) {
    // A surface that holds something, so that a failed load shows whether it cleared or kept it.
    surface_t image;
    FUZZ_CHECK(image.create(3, 2));
    fillPattern(image, 1);
    const std::vector<pixel_t> before = snapshot(image);

    // An exact copy: libpng must not read past the bytes it was given.
    std::vector<std::uint8_t> exact(data, data + size);
    const bool ok = image.load_png_memory(exact.data(), exact.size());
    if (ok) {
        checkDecoded(image, choices);
        return;
    }
    const bool noSignature = size < 8 || std::memcmp(data, kSignature, 8) != 0;
    if (noSignature) {
        FUZZ_CHECK(image.width == 3 && image.height == 2 && snapshot(image) == before && !image.has_alpha);
    } else {
        FUZZ_CHECK(image.width == 0 && image.height == 0 && !image.pixels && !image.rows && !image.has_alpha);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> fixed(data, data + size);
    std::size_t end = size;
    if (size >= 8) {
        end = fixChunkCrcs(fixed);
    }
    // Blit choices from the bytes past IEND, or from the whole input when there are none.
    std::vector<std::uint8_t> tail(fixed.begin() + std::ptrdiff_t(end), fixed.end());
    if (tail.empty()) {
        tail.assign(data, data + std::min<std::size_t>(size, 64));
    }

    FuzzedDataProvider rawChoices(tail.data(), tail.size());
    decodeAndCheck(data, size, rawChoices);
    if (fixed != std::vector<std::uint8_t>(data, data + size)) {
        FuzzedDataProvider fixedChoices(tail.data(), tail.size());
        decodeAndCheck(fixed.data(), end, fixedChoices);
    }

    // Null data or a size too short for the signature never touches the surface.
    surface_t untouched;
    FUZZ_CHECK(!untouched.load_png_memory(nullptr, size));
    FUZZ_CHECK(!untouched.load_png_memory(data, std::min<std::size_t>(size, 7)));
    FUZZ_CHECK(!untouched.is_valid());
    return 0;
}
