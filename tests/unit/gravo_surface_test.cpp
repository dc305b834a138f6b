// Surface lifetime and limits, the blend rule and rectangle transfer between surfaces.
#include "blend.h"
#include "surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace {

using gravo::pixel_t;
using gravo::surface_t;

// Every pixel distinct, T included, so a misplaced or altered pixel shows.
void fill_pattern(surface_t& s, pixel_t base) {
    for (std::int32_t y = 0; y < s.height; ++y) {
        for (std::int32_t x = 0; x < s.width; ++x) {
            s.rows[y][x] = base + pixel_t(y) * 0x100 + pixel_t(x);
        }
    }
}

void fill(surface_t& s, pixel_t colour) {
    for (std::int32_t y = 0; y < s.height; ++y) {
        for (std::int32_t x = 0; x < s.width; ++x) {
            s.rows[y][x] = colour;
        }
    }
}

std::vector<pixel_t> snapshot(const surface_t& s) {
    return std::vector<pixel_t>(s.pixels.get(),
                                s.pixels.get() + std::size_t(s.width) * std::size_t(s.height));
}

void expect_empty(const surface_t& s) {
    EXPECT_FALSE(s.is_valid());
    EXPECT_EQ(s.rows, nullptr);
    EXPECT_EQ(s.pixels, nullptr);
    EXPECT_EQ(s.width, 0);
    EXPECT_EQ(s.height, 0);
    EXPECT_FALSE(s.has_alpha);
}

// ---------------------------------------------------------------------------------------------------------

TEST(SurfaceCreate, FreshSurfaceIsEmpty) {
    surface_t s;
    expect_empty(s);
}

TEST(SurfaceCreate, OutOfRangeSizesFailAndLeaveTheSurfaceAlone) {
    const struct {
        std::int32_t w, h;
    } cases[] = {{0, 10}, {10, 0}, {-1, 5}, {5, -1}, {32769, 1}, {1, 32769}, {INT_MIN, 1}, {1, INT_MAX}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        surface_t s;
        ASSERT_TRUE(s.create(3, 2));
        s.rows[1][2] = 0x12345678;
        EXPECT_FALSE(s.create(c.w, c.h));
        EXPECT_TRUE(s.is_valid());
        EXPECT_EQ(s.width, 3);
        EXPECT_EQ(s.height, 2);
        EXPECT_EQ(s.rows[1][2], 0x12345678u);
    }
}

TEST(SurfaceCreate, LargestSidesAreAccepted) {
    surface_t wide;
    ASSERT_TRUE(wide.create(32768, 1));
    EXPECT_EQ(wide.width, 32768);
    EXPECT_EQ(wide.rows[0][32767], 0u);
    surface_t tall;
    ASSERT_TRUE(tall.create(1, 32768));
    EXPECT_EQ(tall.rows[32767], tall.pixels.get() + 32767);
}

TEST(SurfaceCreate, BlockOf4GiBCountsAsAllocationFailure) {
    surface_t s;
    ASSERT_TRUE(s.create(2, 2));
    EXPECT_FALSE(s.create(32768, 32768));
    expect_empty(s);
}

TEST(SurfaceCreate, RowsFollowEachOtherAndStartBlack) {
    surface_t s;
    ASSERT_TRUE(s.create(5, 4));
    EXPECT_TRUE(s.is_valid());
    for (std::int32_t y = 0; y < 4; ++y) {
        EXPECT_EQ(s.rows[y], s.pixels.get() + y * 5);
    }
    EXPECT_EQ(snapshot(s), std::vector<pixel_t>(20, 0));
    EXPECT_FALSE(s.has_alpha);
}

TEST(SurfaceCreate, SameSizeKeepsPixelsOtherSizeStartsAfresh) {
    surface_t s;
    ASSERT_TRUE(s.create(4, 3));
    fill(s, 0xFF112233);
    ASSERT_TRUE(s.create(4, 3));
    EXPECT_EQ(snapshot(s), std::vector<pixel_t>(12, 0xFF112233));
    ASSERT_TRUE(s.create(3, 4));
    EXPECT_EQ(snapshot(s), std::vector<pixel_t>(12, 0));
}

TEST(SurfaceCreate, ClearEmptiesAndAllowsReuse) {
    surface_t s;
    ASSERT_TRUE(s.create(4, 3));
    s.has_alpha = true;
    s.clear();
    expect_empty(s);
    ASSERT_TRUE(s.create(4, 3));
    EXPECT_EQ(snapshot(s), std::vector<pixel_t>(12, 0));
}

// ---------------------------------------------------------------------------------------------------------

// The rule written per channel with signed floor division, to check the packed form against.
pixel_t blend_per_channel(pixel_t s, pixel_t d, std::uint32_t t) {
    if (t == 0) {
        return s & 0xFFFFFF;
    }
    if (t >= 255) {
        return d;
    }
    const int w = 255 - int(t);
    const auto channel = [&](int shift, int k, int scale) {
        const int sc = int((s >> shift) & 0xFF);
        const int dc = int((d >> shift) & 0xFF);
        const int num = (sc - dc) * k;
        const int q = num >= 0 ? num / scale : -((-num + scale - 1) / scale);
        return pixel_t(dc + q) << shift;
    };
    return channel(0, w >> 3, 32) | channel(8, w >> 2, 64) | channel(16, w >> 3, 32);
}

TEST(Blend, ExamplesGiveExactColours) {
    const struct {
        pixel_t s, d;
        std::uint32_t t;
        pixel_t expected;
    } cases[] = {
        {0x00FFFFFF, 0x00000000, 128, 0x00777B77},
        {0x00000000, 0x00FFFFFF, 128, 0x00878387},
        {0x00FFFFFF, 0x00000000, 1, 0x00F7FBF7},
        {0xAB123456, 0x00FFFFFF, 0, 0x00123456},   // opaque: S with T cleared
        {0x00FFFFFF, 0x7F010203, 255, 0x7F010203}, // fully transparent: D untouched, T included
        {0x00FFFFFF, 0x7F010203, 300, 0x7F010203}, // beyond 255 too
        {0x00FFFFFF, 0x80000000, 254, 0x00000000}, // w = 1: no weight left, T cleared
        {0x00816021, 0xFF204080, 64, 0x0065573B},  // floor, not truncation, for the darkening blue
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.s << " over " << c.d << " t " << std::dec << c.t);
        EXPECT_EQ(gravo::blend(c.s, c.d, c.t), c.expected);
    }
}

TEST(Blend, PackedFormMatchesPerChannelFloorDivision) {
    std::uint32_t seed = 12345;
    const auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed;
    };
    for (std::uint32_t t = 0; t <= 256; ++t) {
        for (int i = 0; i < 2000; ++i) {
            const pixel_t s = next();
            const pixel_t d = next();
            ASSERT_EQ(gravo::blend(s, d, t), blend_per_channel(s, d, t))
                << std::hex << s << " over " << d << " t " << std::dec << t;
        }
    }
    // The extremes of every channel, where a borrow between packed channels would show.
    for (std::uint32_t t = 1; t < 255; ++t) {
        for (pixel_t s : {0x00000000u, 0x00FFFFFFu, 0x00FF00FFu, 0x0000FF00u, 0x00010001u}) {
            for (pixel_t d : {0x00000000u, 0x00FFFFFFu, 0x0000FF00u, 0x00FF00FFu, 0x00FE01FEu}) {
                ASSERT_EQ(gravo::blend(s, d, t), blend_per_channel(s, d, t));
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------------------

constexpr pixel_t kMarker = 0x5A5A5A5A;

// What dest pixel (X, Y) must hold after blit_to without alpha: the source pixel the rectangle maps there,
// when it lies both in the requested rectangle and in the source; otherwise the untouched marker.
std::vector<pixel_t> expected_copy(const surface_t& src, std::int32_t dw, std::int32_t dh, std::int32_t dx,
                                   std::int32_t dy, std::int32_t sx, std::int32_t sy, std::int32_t w,
                                   std::int32_t h) {
    std::vector<pixel_t> out(std::size_t(dw) * std::size_t(dh), kMarker);
    for (std::int64_t y = 0; y < dh; ++y) {
        for (std::int64_t x = 0; x < dw; ++x) {
            const std::int64_t u = x - dx + sx;
            const std::int64_t v = y - dy + sy;
            if (u >= 0 && u < src.width && v >= 0 && v < src.height && u >= sx && u < std::int64_t(sx) + w &&
                v >= sy && v < std::int64_t(sy) + h) {
                out[std::size_t(y * dw + x)] = src.rows[v][u];
            }
        }
    }
    return out;
}

TEST(Blit, ClipsAtEveryEdge) {
    surface_t src;
    ASSERT_TRUE(src.create(6, 5));
    fill_pattern(src, 0xC0000000);
    const struct {
        const char* name;
        std::int32_t dx, dy, sx, sy, w, h;
    } cases[] = {
        {"inside", 1, 1, 1, 1, 3, 2},
        {"left edge of dest", -2, 1, 0, 0, 6, 5},
        {"top edge of dest", 1, -3, 0, 0, 6, 5},
        {"right edge of dest", 5, 0, 0, 0, 6, 5},
        {"bottom edge of dest", 0, 3, 0, 0, 6, 5},
        {"all four dest edges", -1, -1, 0, 0, 6, 5},
        {"negative sx", 0, 0, -2, 0, 5, 5},
        {"negative sy", 0, 0, 0, -3, 6, 5},
        {"past source right", 0, 0, 4, 0, 10, 5},
        {"past source bottom", 0, 0, 0, 3, 6, 10},
        {"negative source and dest", -1, -1, -2, -2, 6, 6},
        {"huge request", 0, 0, 0, 0, INT_MAX, INT_MAX},
        {"extreme negative source", 0, 0, INT_MIN, INT_MIN, INT_MAX, INT_MAX},
        {"extreme dest", INT_MIN, INT_MAX, 0, 0, 6, 5},
        {"right of dest", 7, 0, 0, 0, 6, 5},
        {"ends at dest left edge", -4, 0, 0, 0, 4, 5},
        {"below dest", 0, 4, 0, 0, 6, 5},
        {"sx at source width", 0, 0, 6, 0, 6, 5},
        {"sy at source height", 0, 0, 0, 5, 6, 5},
        {"source entirely left", 0, 0, -6, 0, 6, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        surface_t dest;
        ASSERT_TRUE(dest.create(7, 4));
        fill(dest, kMarker);
        EXPECT_TRUE(src.blit_to(dest, c.dx, c.dy, c.sx, c.sy, c.w, c.h));
        EXPECT_EQ(snapshot(dest), expected_copy(src, 7, 4, c.dx, c.dy, c.sx, c.sy, c.w, c.h));
    }
}

TEST(Blit, NegativeDestinationSkipsSourceColumns) {
    surface_t src;
    ASSERT_TRUE(src.create(20, 1));
    fill_pattern(src, 0);
    surface_t dest;
    ASSERT_TRUE(dest.create(20, 1));
    fill(dest, kMarker);
    EXPECT_TRUE(src.blit_to(dest, -10, 0, 0, 0, 20, 1));
    for (std::int32_t x = 0; x < 10; ++x) {
        EXPECT_EQ(dest.rows[0][x], pixel_t(x + 10));
    }
    for (std::int32_t x = 10; x < 20; ++x) {
        EXPECT_EQ(dest.rows[0][x], kMarker);
    }
}

TEST(Blit, NegativeSourceMovesTheDestinationAndShortensTheRun) {
    surface_t src;
    ASSERT_TRUE(src.create(20, 1));
    fill_pattern(src, 0);
    surface_t dest;
    ASSERT_TRUE(dest.create(20, 1));
    fill(dest, kMarker);
    EXPECT_TRUE(src.blit_to(dest, 0, 0, -5, 0, 10, 1));
    for (std::int32_t x = 0; x < 20; ++x) {
        EXPECT_EQ(dest.rows[0][x], x >= 5 && x < 10 ? pixel_t(x - 5) : kMarker) << "x " << x;
    }
}

TEST(Blit, InvalidSurfacesOrEmptySizeFail) {
    surface_t valid;
    ASSERT_TRUE(valid.create(2, 2));
    surface_t other;
    ASSERT_TRUE(other.create(2, 2));
    surface_t empty;
    EXPECT_FALSE(empty.blit_to(valid, 0, 0, 0, 0, 2, 2));
    EXPECT_FALSE(valid.blit_to(empty, 0, 0, 0, 0, 2, 2));
    EXPECT_FALSE(valid.blit_to(other, 0, 0, 0, 0, 0, 2));
    EXPECT_FALSE(valid.blit_to(other, 0, 0, 0, 0, 2, -1));
    EXPECT_TRUE(valid.blit_to(other, 100, 100, 0, 0, 2, 2));
}

TEST(Blit, SameSizeWholeCopyIsVerbatimIncludingT) {
    surface_t src;
    ASSERT_TRUE(src.create(5, 3));
    fill_pattern(src, 0xF0000000);
    surface_t dest;
    ASSERT_TRUE(dest.create(5, 3));
    fill(dest, kMarker);
    EXPECT_TRUE(src.blit_to(dest, 0, 0, 0, 0, 5, 3));
    EXPECT_EQ(snapshot(dest), snapshot(src));
}

TEST(Blit, AlphaSourceBlendsEachPixelByItsT) {
    surface_t src;
    ASSERT_TRUE(src.create(4, 1));
    src.has_alpha = true;
    src.rows[0][0] = 0x00FFFFFF; // opaque
    src.rows[0][1] = 0xFF123456; // fully transparent
    src.rows[0][2] = 0x80FFFFFF; // half
    src.rows[0][3] = 0x01FFFFFF; // nearly opaque
    surface_t dest;
    ASSERT_TRUE(dest.create(4, 1));
    fill(dest, 0x40000000);
    // Same size and origin: the block move must not be taken for a source with transparency.
    EXPECT_TRUE(src.blit_to(dest, 0, 0, 0, 0, 4, 1));
    EXPECT_EQ(snapshot(dest), (std::vector<pixel_t>{0x00FFFFFF, 0x40000000, 0x00777B77, 0x00F7FBF7}));
}

TEST(Blit, OntoItselfOverlappingMovesCopyTheOriginal) {
    const struct {
        std::int32_t dx, dy, sx, sy;
        bool alpha;
    } cases[] = {{1, 1, 0, 0, false}, {0, 0, 1, 1, false}, {2, 0, 0, 0, false}, {0, 2, 0, 0, false},
                 {1, 1, 0, 0, true},  {0, 0, 1, 1, true},  {2, 0, 0, 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.dx << "," << c.dy << " from " << c.sx << "," << c.sy << " alpha " << c.alpha);
        surface_t s;
        ASSERT_TRUE(s.create(5, 5));
        fill_pattern(s, 0);
        s.has_alpha = c.alpha; // T = 0 everywhere: blending copies colour exactly
        surface_t original;
        ASSERT_TRUE(original.create(5, 5));
        ASSERT_TRUE(s.blit_to(original, 0, 0, 0, 0, 5, 5));
        auto expected = expected_copy(original, 5, 5, c.dx, c.dy, c.sx, c.sy, 4, 4);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (expected[i] == kMarker) {
                expected[i] = original.pixels[i];
            }
        }
        EXPECT_TRUE(s.blit_to(s, c.dx, c.dy, c.sx, c.sy, 4, 4));
        EXPECT_EQ(snapshot(s), expected);
    }
}

} // namespace
