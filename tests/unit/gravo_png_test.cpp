// PNG decoding into B, G, R, T: every colour type and depth, tRNS, interlacing, and clean failure on
// truncated or corrupt data. The images are written here with libpng's writer, so no binary files.
#include "surface.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's own allocation hook (its header comes with clang only).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, std::size_t),
                                                         void (*)(const volatile void*));
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using gravo::pixel_t;
using gravo::surface_t;
using bytes = std::vector<unsigned char>;

struct png_source {
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    int bit_depth = 8;
    int colour_type = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    std::vector<png_color> palette;
    bytes palette_alpha;                // tRNS for palettes
    const png_color_16* trns = nullptr; // tRNS for grey and RGB
    double gamma = 0;                   // a gAMA chunk when non-zero
    std::vector<bytes> rows;            // packed samples as they go into the file, big-endian for 16 bits
};

void append(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

bytes encode(const png_source& src) {
    bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, &append, nullptr);
    png_set_IHDR(png, info, src.width, src.height, src.bit_depth, src.colour_type,
                 src.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!src.palette.empty()) {
        png_set_PLTE(png, info, src.palette.data(), int(src.palette.size()));
    }
    if (!src.palette_alpha.empty() || src.trns != nullptr) {
        png_set_tRNS(png, info, src.palette_alpha.empty() ? nullptr : src.palette_alpha.data(),
                     int(src.palette_alpha.size()), src.trns);
    }
    if (src.gamma != 0) {
        png_set_gAMA(png, info, src.gamma);
    }
    std::vector<png_bytep> rows;
    for (const auto& r : src.rows) {
        rows.push_back(const_cast<png_bytep>(r.data()));
    }
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<pixel_t> pixels_of(const surface_t& s) {
    return std::vector<pixel_t>(s.pixels.get(),
                                s.pixels.get() + std::size_t(s.width) * std::size_t(s.height));
}

// Decodes into a surface that held something else, so a failed or partial load shows.
struct decoded {
    bool ok;
    surface_t surface;
};

void decode(decoded& d, const bytes& png) {
    ASSERT_TRUE(d.surface.create(3, 3));
    d.surface.pixels[0] = 0x12345678;
    d.ok = d.surface.load_png_memory(png.data(), png.size());
}

void expect_cleared(const surface_t& s) {
    EXPECT_FALSE(s.is_valid());
    EXPECT_EQ(s.pixels, nullptr);
    EXPECT_EQ(s.rows, nullptr);
    EXPECT_EQ(s.width, 0);
    EXPECT_EQ(s.height, 0);
    EXPECT_FALSE(s.has_alpha);
}

void expect_untouched(const surface_t& s) {
    ASSERT_TRUE(s.is_valid());
    EXPECT_EQ(s.width, 3);
    EXPECT_EQ(s.pixels[0], 0x12345678u);
}

png_source rgb8_3x2() {
    png_source src;
    src.width = 3;
    src.height = 2;
    src.rows = {{0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0xFF, 0x00, 0x80},
                {0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x01, 0x02, 0x03}};
    return src;
}

// ---------------------------------------------------------------------------------------------------------

struct decode_case {
    const char* name;
    png_source source;
    std::uint32_t width, height;
    bool has_alpha;
    std::vector<pixel_t> pixels;
};

png_color_16 trns_grey(std::uint16_t v) {
    png_color_16 c{};
    c.gray = v;
    return c;
}

png_color_16 trns_rgb(std::uint16_t r, std::uint16_t g, std::uint16_t b) {
    png_color_16 c{};
    c.red = r;
    c.green = g;
    c.blue = b;
    return c;
}

TEST(PngDecode, ColourTypesAndDepthsGiveBgrAndInvertedAlpha) {
    static const png_color_16 grey8_trns = trns_grey(0x40);
    static const png_color_16 grey16_trns = trns_grey(0x1234);
    static const png_color_16 grey2_trns = trns_grey(2);
    static const png_color_16 rgb8_trns = trns_rgb(0x10, 0x20, 0x30);
    static const png_color_16 rgb16_trns = trns_rgb(0x1000, 0x2000, 0x3000);

    std::vector<decode_case> cases;
    cases.push_back({"RGB 8",
                     rgb8_3x2(),
                     3,
                     2,
                     false,
                     {0x00102030, 0x00405060, 0x00FF0080, 0x00000000, 0x00FFFFFF, 0x00010203}});
    {
        png_source s;
        s.width = 3;
        s.colour_type = PNG_COLOR_TYPE_RGB_ALPHA;
        s.rows = {{0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0x00, 0x70, 0x80, 0x90, 0x80}};
        cases.push_back({"RGBA 8", s, 3, 1, true, {0x00102030, 0xFF405060, 0x7F708090}});
    }
    {
        // 0x12FF would round to 0x13: the high byte is kept.
        png_source s;
        s.width = 2;
        s.bit_depth = 16;
        s.rows = {{0x12, 0xFF, 0xAB, 0x01, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0xFF, 0x00, 0x00}};
        cases.push_back({"RGB 16", s, 2, 1, false, {0x0012AB00, 0x00FF7F00}});
    }
    {
        png_source s;
        s.bit_depth = 16;
        s.colour_type = PNG_COLOR_TYPE_RGB_ALPHA;
        s.rows = {{0x12, 0xFF, 0x34, 0xFF, 0x56, 0xFF, 0x80, 0xFF}};
        cases.push_back({"RGBA 16", s, 1, 1, true, {0x7F123456}});
    }
    {
        png_source s;
        s.width = 9;
        s.bit_depth = 1;
        s.colour_type = PNG_COLOR_TYPE_GRAY;
        s.rows = {{0xA5, 0x80}};
        cases.push_back({"grey 1",
                         s,
                         9,
                         1,
                         false,
                         {0x00FFFFFF, 0, 0x00FFFFFF, 0, 0, 0x00FFFFFF, 0, 0x00FFFFFF, 0x00FFFFFF}});
    }
    {
        png_source s;
        s.width = 4;
        s.bit_depth = 2;
        s.colour_type = PNG_COLOR_TYPE_GRAY;
        s.rows = {{0x1B}}; // 0, 1, 2, 3
        cases.push_back({"grey 2", s, 4, 1, false, {0x00000000, 0x00555555, 0x00AAAAAA, 0x00FFFFFF}});
    }
    {
        png_source s;
        s.width = 2;
        s.bit_depth = 4;
        s.colour_type = PNG_COLOR_TYPE_GRAY;
        s.rows = {{0x3C}};
        cases.push_back({"grey 4", s, 2, 1, false, {0x00333333, 0x00CCCCCC}});
    }
    {
        png_source s;
        s.width = 2;
        s.colour_type = PNG_COLOR_TYPE_GRAY;
        s.rows = {{0x40, 0x41}};
        s.trns = &grey8_trns;
        cases.push_back({"grey 8 tRNS", s, 2, 1, true, {0xFF404040, 0x00414141}});
    }
    {
        // Both samples have the high byte 0x12; only the exact 16-bit value is transparent.
        png_source s;
        s.width = 2;
        s.bit_depth = 16;
        s.colour_type = PNG_COLOR_TYPE_GRAY;
        s.rows = {{0x12, 0x34, 0x12, 0x35}};
        s.trns = &grey16_trns;
        cases.push_back({"grey 16 tRNS", s, 2, 1, true, {0xFF121212, 0x00121212}});
    }
    {
        png_source s;
        s.width = 4;
        s.bit_depth = 2;
        s.colour_type = PNG_COLOR_TYPE_GRAY;
        s.rows = {{0x1B}};
        s.trns = &grey2_trns;
        cases.push_back({"grey 2 tRNS", s, 4, 1, true, {0x00000000, 0x00555555, 0xFFAAAAAA, 0x00FFFFFF}});
    }
    {
        png_source s;
        s.width = 2;
        s.colour_type = PNG_COLOR_TYPE_GRAY_ALPHA;
        s.rows = {{0x80, 0xFF, 0x20, 0x10}};
        cases.push_back({"grey alpha 8", s, 2, 1, true, {0x00808080, 0xEF202020}});
    }
    {
        png_source s;
        s.bit_depth = 16;
        s.colour_type = PNG_COLOR_TYPE_GRAY_ALPHA;
        s.rows = {{0xAB, 0xCD, 0x00, 0xFF}};
        cases.push_back({"grey alpha 16", s, 1, 1, true, {0xFFABABAB}});
    }
    {
        png_source s;
        s.width = 2;
        s.rows = {{0x10, 0x20, 0x30, 0x10, 0x20, 0x31}};
        s.trns = &rgb8_trns;
        cases.push_back({"RGB 8 tRNS", s, 2, 1, true, {0xFF102030, 0x00102031}});
    }
    {
        png_source s;
        s.width = 2;
        s.bit_depth = 16;
        s.rows = {{0x10, 0x00, 0x20, 0x00, 0x30, 0x00, 0x10, 0x00, 0x20, 0x00, 0x30, 0x01}};
        s.trns = &rgb16_trns;
        cases.push_back({"RGB 16 tRNS", s, 2, 1, true, {0xFF102030, 0x00102030}});
    }
    {
        png_source s;
        s.width = 4;
        s.colour_type = PNG_COLOR_TYPE_PALETTE;
        s.palette = {{0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0x00, 0x00, 0xFF}, {0x12, 0x34, 0x56}};
        s.palette_alpha = {0x00, 0x80, 0xFF}; // the fourth entry has none: opaque
        s.rows = {{0, 1, 2, 3}};
        cases.push_back({"palette 8 tRNS", s, 4, 1, true, {0xFFFF0000, 0x7F00FF00, 0x000000FF, 0x00123456}});
    }
    {
        png_source s;
        s.width = 3;
        s.bit_depth = 4;
        s.colour_type = PNG_COLOR_TYPE_PALETTE;
        s.palette = {{0x01, 0x02, 0x03}, {0xA0, 0xB0, 0xC0}};
        s.rows = {{0x10, 0x10}};
        cases.push_back({"palette 4", s, 3, 1, false, {0x00A0B0C0, 0x00010203, 0x00A0B0C0}});
    }
    {
        // No gamma correction: samples arrive as stored whatever the gAMA chunk says.
        png_source s = rgb8_3x2();
        s.gamma = 1.0;
        cases.push_back({"RGB 8 gAMA 1.0",
                         s,
                         3,
                         2,
                         false,
                         {0x00102030, 0x00405060, 0x00FF0080, 0x00000000, 0x00FFFFFF, 0x00010203}});
    }

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        decoded d;
        decode(d, encode(c.source));
        ASSERT_TRUE(d.ok);
        EXPECT_TRUE(d.surface.is_valid());
        EXPECT_EQ(d.surface.width, std::int32_t(c.width));
        EXPECT_EQ(d.surface.height, std::int32_t(c.height));
        EXPECT_EQ(d.surface.has_alpha, c.has_alpha);
        EXPECT_EQ(pixels_of(d.surface), c.pixels);
    }
}

TEST(PngDecode, InterlacedImageDecodesLikeTheProgressiveOne) {
    // 11 x 9 reaches every Adam7 pass, with partial blocks at the right and bottom.
    png_source src;
    src.width = 11;
    src.height = 9;
    std::vector<pixel_t> expected;
    for (std::uint32_t y = 0; y < src.height; ++y) {
        bytes row;
        for (std::uint32_t x = 0; x < src.width; ++x) {
            const auto r = std::uint8_t(x * 23), g = std::uint8_t(y * 27), b = std::uint8_t(x * y + 5);
            row.insert(row.end(), {r, g, b});
            expected.push_back(pixel_t(r) << 16 | pixel_t(g) << 8 | b);
        }
        src.rows.push_back(row);
    }
    src.interlaced = true;
    decoded d;
    decode(d, encode(src));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.surface.width, 11);
    EXPECT_EQ(d.surface.height, 9);
    EXPECT_EQ(pixels_of(d.surface), expected);
}

TEST(PngDecode, RgbImageIsCopiedVerbatimRgbaBlendsByAlpha) {
    decoded rgb;
    decode(rgb, encode(rgb8_3x2()));
    ASSERT_TRUE(rgb.ok);
    surface_t dest;
    ASSERT_TRUE(dest.create(4, 2));
    for (int i = 0; i < 8; ++i) {
        dest.pixels[i] = 0x80ABCDEF;
    }
    EXPECT_TRUE(rgb.surface.blit_to(dest, 1, 0, 0, 0, 3, 2));
    EXPECT_EQ(pixels_of(dest), (std::vector<pixel_t>{0x80ABCDEF, 0x00102030, 0x00405060, 0x00FF0080,
                                                     0x80ABCDEF, 0x00000000, 0x00FFFFFF, 0x00010203}));

    png_source src;
    src.width = 2;
    src.colour_type = PNG_COLOR_TYPE_RGB_ALPHA;
    src.rows = {{0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0x00}};
    decoded rgba;
    decode(rgba, encode(src));
    ASSERT_TRUE(rgba.ok);
    ASSERT_TRUE(dest.create(2, 1));
    dest.pixels[0] = 0x00ABCDEF;
    dest.pixels[1] = 0x00ABCDEF;
    EXPECT_TRUE(rgba.surface.blit_to(dest, 0, 0, 0, 0, 2, 1));
    EXPECT_EQ(pixels_of(dest), (std::vector<pixel_t>{0x00102030, 0x00ABCDEF}));
}

TEST(PngDecode, SizeLimitsOfTheSurfaceApply) {
    for (std::uint32_t width : {32768u, 32769u}) {
        SCOPED_TRACE(width);
        png_source src;
        src.width = width;
        src.bit_depth = 1;
        src.colour_type = PNG_COLOR_TYPE_GRAY;
        src.rows = {bytes((width + 7) / 8, 0xFF)};
        decoded d;
        decode(d, encode(src));
        if (width == 32768) {
            ASSERT_TRUE(d.ok);
            EXPECT_EQ(d.surface.width, 32768);
            EXPECT_EQ(d.surface.rows[0][32767], 0x00FFFFFFu);
        } else {
            EXPECT_FALSE(d.ok);
            expect_cleared(d.surface);
        }
    }
}

TEST(PngDecode, LoadReplacesThePreviousImage) {
    surface_t s;
    png_source first;
    first.width = 2;
    first.colour_type = PNG_COLOR_TYPE_RGB_ALPHA;
    first.rows = {{1, 2, 3, 4, 5, 6, 7, 8}};
    bytes a = encode(first);
    ASSERT_TRUE(s.load_png_memory(a.data(), a.size()));
    EXPECT_TRUE(s.has_alpha);
    bytes b = encode(rgb8_3x2());
    ASSERT_TRUE(s.load_png_memory(b.data(), b.size()));
    EXPECT_EQ(s.width, 3);
    EXPECT_EQ(s.height, 2);
    EXPECT_FALSE(s.has_alpha);
    EXPECT_EQ(s.pixels[0], 0x00102030u);
}

// ---------------------------------------------------------------------------------------------------------

TEST(PngFailure, NoDataOrNoSignatureLeavesTheSurfaceAlone) {
    const bytes good = encode(rgb8_3x2());
    bytes bad_signature = good;
    bad_signature[1] = 'p';
    const struct {
        const char* name;
        const void* data;
        std::size_t size;
    } cases[] = {
        {"null", nullptr, 100},
        {"empty", good.data(), 0},
        {"shorter than the signature", good.data(), 7},
        {"signature only", good.data(), 8},
        {"bad signature", bad_signature.data(), bad_signature.size()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        surface_t s;
        ASSERT_TRUE(s.create(3, 3));
        s.pixels[0] = 0x12345678;
        EXPECT_FALSE(s.load_png_memory(c.data, c.size));
        if (std::string(c.name) == "signature only") {
            expect_cleared(s); // a signature reaches the decoder, which then runs out of data
        } else {
            expect_untouched(s);
        }
    }
}

TEST(PngFailure, TruncatedDataFailsAndClears) {
    const bytes good = encode(rgb8_3x2());
    // Inside IHDR, after IHDR, inside IDAT, without IEND, one byte short.
    for (std::size_t size :
         {std::size_t(20), std::size_t(33), std::size_t(45), good.size() - 12, good.size() - 1}) {
        SCOPED_TRACE(size);
        bytes cut(good.begin(), good.begin() + std::ptrdiff_t(size));
        decoded d;
        decode(d, cut);
        EXPECT_FALSE(d.ok);
        expect_cleared(d.surface);
    }
}

// Rewrites a chunk's CRC after a change, so that only the change itself is wrong.
void fix_crc(bytes& png, std::size_t chunk_start) {
    const std::uint32_t length = std::uint32_t(png[chunk_start]) << 24 |
                                 std::uint32_t(png[chunk_start + 1]) << 16 |
                                 std::uint32_t(png[chunk_start + 2]) << 8 | png[chunk_start + 3];
    uLong crc = crc32(0, png.data() + chunk_start + 4, length + 4);
    for (int i = 0; i < 4; ++i) {
        png[chunk_start + 8 + length + std::size_t(i)] = std::uint8_t(crc >> (24 - 8 * i));
    }
}

std::size_t find_chunk(const bytes& png, const char* type) {
    for (std::size_t at = 8; at + 8 <= png.size();) {
        if (std::memcmp(png.data() + at + 4, type, 4) == 0) {
            return at;
        }
        const std::uint32_t length = std::uint32_t(png[at]) << 24 | std::uint32_t(png[at + 1]) << 16 |
                                     std::uint32_t(png[at + 2]) << 8 | png[at + 3];
        at += 12 + length;
    }
    ADD_FAILURE() << "no " << type << " chunk";
    return 0;
}

TEST(PngFailure, CorruptDataFailsAndClears) {
    const bytes good = encode(rgb8_3x2());
    const std::size_t ihdr = find_chunk(good, "IHDR");
    const std::size_t idat = find_chunk(good, "IDAT");
    std::vector<std::pair<const char*, bytes>> cases;
    {
        bytes b = good;
        b[ihdr + 8] ^= 0x01; // width changed, CRC not
        cases.emplace_back("IHDR CRC", b);
    }
    {
        bytes b = good;
        b[ihdr + 8 + 9] = 5; // colour type 5 does not exist
        fix_crc(b, ihdr);
        cases.emplace_back("bad colour type", b);
    }
    {
        bytes b = good;
        b[ihdr + 8 + 8] = 3; // RGB with 3-bit samples
        fix_crc(b, ihdr);
        cases.emplace_back("bad bit depth", b);
    }
    {
        bytes b = good;
        b[ihdr + 8 + 3] = 0; // width 0
        fix_crc(b, ihdr);
        cases.emplace_back("zero width", b);
    }
    {
        bytes b = good;
        b[idat + 8] = 0x00; // zlib header destroyed
        fix_crc(b, idat);
        cases.emplace_back("bad zlib header", b);
    }
    {
        bytes b = good;
        b[idat + 8 + 4] ^= 0xFF; // deflate data damaged
        fix_crc(b, idat);
        cases.emplace_back("damaged deflate data", b);
    }
    {
        bytes b = good;
        b[idat + 3] = 0xFF; // IDAT length beyond the data
        cases.emplace_back("IDAT length past the end", b);
    }
    {
        bytes b = good;
        b[idat] = 0x7F;
        b[idat + 3] = 0xF0; // about 2 GiB of chunk that is not there
        cases.emplace_back("huge IDAT length", b);
    }
    for (const auto& [name, png] : cases) {
        SCOPED_TRACE(name);
        decoded d;
        decode(d, png);
        EXPECT_FALSE(d.ok);
        expect_cleared(d.surface);
    }
}

#if defined(__SANITIZE_ADDRESS__)
std::size_t largest_allocation = 0; // while a decode runs

TEST(PngFailure, DataThatCannotFillTheImageIsRefusedBeforeTheSurfaceIsAllocated) {
    png_source src;
    src.rows = {{0, 0, 0}};
    bytes png = encode(src);
    const std::size_t ihdr = find_chunk(png, "IHDR");
    png[ihdr + 10] = 0x80; // width 32768
    png[ihdr + 11] = 0x00;
    png[ihdr + 14] = 0x7F; // height 32767
    png[ihdr + 15] = 0xFF;
    fix_crc(png, ihdr);
    __sanitizer_install_malloc_and_free_hooks(
        [](const volatile void*, std::size_t size) {
            largest_allocation = std::max(largest_allocation, size);
        },
        [](const volatile void*) {});
    decoded d;
    largest_allocation = 0;
    decode(d, png);
    EXPECT_FALSE(d.ok);
    EXPECT_LT(largest_allocation, std::size_t(1) << 20) << png.size() << " bytes declaring 32768 x 32767";
}
#endif

} // namespace
