// Drawing primitives, pixel-exact: single pixels, runs, lines (plain, antialiased and clipped), rectangle
// outlines and circles.
#include "blend.h"
#include "surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using gravo::pixel_t;
using gravo::surface_t;

constexpr pixel_t kWhite = 0x00FFFFFF;

surface_t& make(surface_t& s, std::int32_t w, std::int32_t h, pixel_t fill = 0) {
    EXPECT_TRUE(s.create(w, h));
    for (std::int32_t i = 0; i < w * h; ++i) {
        s.pixels[i] = fill;
    }
    return s;
}

// One character per pixel: '.' background, '#' the given colour, anything else is shown as '?'.
std::string picture(const surface_t& s, pixel_t background, pixel_t ink) {
    std::string out;
    for (std::int32_t y = 0; y < s.height; ++y) {
        for (std::int32_t x = 0; x < s.width; ++x) {
            const pixel_t p = s.rows[y][x];
            out += p == background ? '.' : p == ink ? '#' : '?';
        }
        out += '\n';
    }
    return out;
}

std::string blank(int w, int h) {
    std::string row(std::size_t(w), '.');
    row += '\n';
    std::string out;
    for (int y = 0; y < h; ++y) {
        out += row;
    }
    return out;
}

// The blue channel of every pixel, for antialiased shades of white on black.
std::vector<std::vector<int>> blues(const surface_t& s) {
    std::vector<std::vector<int>> out(std::size_t(s.height), std::vector<int>(std::size_t(s.width)));
    for (std::int32_t y = 0; y < s.height; ++y) {
        for (std::int32_t x = 0; x < s.width; ++x) {
            out[std::size_t(y)][std::size_t(x)] = int(s.rows[y][x] & 0xFF);
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------------------------

TEST(SetPixel, OpaqueWritesTransparentBlendsOutsideIgnored) {
    surface_t s;
    make(s, 3, 2, 0x40000000);
    s.set_pixel(0, 0, 0x00ABCDEF);
    s.set_pixel(1, 0, 0x80FFFFFF);
    s.set_pixel(2, 0, 0xFF123456);
    for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 2}, {INT_MIN, INT_MAX}}) {
        s.set_pixel(x, y, kWhite);
    }
    EXPECT_EQ(s.rows[0][0], 0x00ABCDEFu);
    EXPECT_EQ(s.rows[0][1], 0x00777B77u);
    EXPECT_EQ(s.rows[0][2], 0x40000000u);
    EXPECT_EQ(s.rows[1][0], 0x40000000u);
    EXPECT_EQ(s.rows[1][2], 0x40000000u);

    surface_t empty;
    empty.set_pixel(0, 0, kWhite); // must not touch anything
    EXPECT_FALSE(empty.is_valid());
}

TEST(Draw, EveryOperationFailsOnAnEmptySurface) {
    surface_t s;
    EXPECT_FALSE(s.draw_hline(0, 0, 5, kWhite));
    EXPECT_FALSE(s.draw_vline(0, 0, 5, kWhite));
    EXPECT_FALSE(s.draw_line(0, 0, 5, 3, kWhite));
    EXPECT_FALSE(s.draw_rect(0, 0, 5, 3, kWhite));
    EXPECT_FALSE(s.draw_circle(2, 2, 1, kWhite));
}

// ---------------------------------------------------------------------------------------------------------

TEST(Runs, HorizontalStopsBeforeTheLargerEndAndClips) {
    const struct {
        std::int32_t x0, y, x1;
        const char* row1;
    } cases[] = {
        {5, 1, 5, "........"},  {8, 1, 3, "...#####"},   {3, 1, 8, "...#####"},
        {-5, 1, 2, "##......"}, {6, 1, 100, "......##"}, {INT_MIN, 1, INT_MAX, "########"},
        {8, 1, 20, "........"}, {-9, 1, 0, "........"},  {0, 1, 1, "#......."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x0 << ".." << c.x1);
        surface_t s;
        make(s, 8, 3);
        EXPECT_TRUE(s.draw_hline(c.x0, c.y, c.x1, kWhite));
        EXPECT_EQ(picture(s, 0, kWhite), std::string("........\n") + c.row1 + "\n........\n");
    }
    surface_t s;
    make(s, 8, 3);
    EXPECT_TRUE(s.draw_hline(0, -1, 8, kWhite));
    EXPECT_TRUE(s.draw_hline(0, 3, 8, kWhite));
    EXPECT_EQ(picture(s, 0, kWhite), "........\n........\n........\n");
}

TEST(Runs, VerticalStopsBeforeTheLargerEndAndClips) {
    const struct {
        std::int32_t y0, y1;
        const char* column;
    } cases[] = {{2, 2, "......"},  {5, 1, ".####."},  {1, 5, ".####."},
                 {-3, 2, "##...."}, {4, 50, "....##"}, {INT_MAX, INT_MIN, "######"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.y0 << ".." << c.y1);
        surface_t s;
        make(s, 3, 6);
        EXPECT_TRUE(s.draw_vline(1, c.y0, c.y1, kWhite));
        std::string expected;
        for (const char* p = c.column; *p; ++p) {
            expected += std::string(".") + *p + ".\n";
        }
        EXPECT_EQ(picture(s, 0, kWhite), expected);
    }
    surface_t s;
    make(s, 3, 6);
    EXPECT_TRUE(s.draw_vline(-1, 0, 6, kWhite));
    EXPECT_TRUE(s.draw_vline(3, 0, 6, kWhite));
    EXPECT_EQ(picture(s, 0, kWhite), blank(3, 6));
}

TEST(Runs, TransparentColourBlendsEveryPixel) {
    surface_t s;
    make(s, 3, 1);
    s.draw_hline(0, 0, 3, 0x80FFFFFF);
    EXPECT_EQ(s.rows[0][0], 0x00777B77u);
    EXPECT_EQ(s.rows[0][2], 0x00777B77u);
}

// ---------------------------------------------------------------------------------------------------------

TEST(Line, AxisAlignedLinesLeaveOutTheLargerEnd) {
    surface_t s;
    make(s, 12, 12);
    EXPECT_TRUE(s.draw_line(10, 10, 10, 0, kWhite));
    for (std::int32_t y = 0; y < 12; ++y) {
        EXPECT_EQ(s.rows[y][10], y < 10 ? kWhite : 0u) << "y " << y;
    }
    make(s, 12, 12);
    EXPECT_TRUE(s.draw_line(7, 3, 2, 3, kWhite));
    EXPECT_EQ(picture(s, 0, kWhite).substr(3 * 13, 13), "..#####.....\n");
}

TEST(Line, SinglePointIsSetPixel) {
    surface_t s;
    make(s, 3, 3);
    EXPECT_TRUE(s.draw_line(1, 1, 1, 1, 0x80FFFFFF));
    EXPECT_EQ(s.rows[1][1], 0x00777B77u);
    EXPECT_EQ(picture(s, 0, 0x00777B77), "...\n.#.\n...\n");
}

TEST(Line, DiagonalStoresTheFullColourUnblended) {
    // A colour with T set shows that the pixels are stored, not blended.
    const pixel_t colour = 0x40FFFFFF;
    surface_t s;
    make(s, 5, 5);
    EXPECT_TRUE(s.draw_line(0, 0, 3, 3, colour));
    EXPECT_EQ(picture(s, 0, colour), "#....\n.#...\n..#..\n...#.\n.....\n");
    make(s, 5, 5);
    EXPECT_TRUE(s.draw_line(3, 0, 0, 3, colour));
    EXPECT_EQ(picture(s, 0, colour), "...#.\n..#..\n.#...\n#....\n.....\n");
}

TEST(Line, ShallowSlopeShadesPairsOfPixels) {
    surface_t s;
    make(s, 6, 3);
    EXPECT_TRUE(s.draw_line(0, 0, 4, 1, kWhite));
    // adj = 16384: weights 64, 128, 192; the upper pixel gets (255 * (255 - wt)) >> 8, the lower one
    // (255 * wt) >> 8; both ends are stored at full strength.
    const std::vector<std::vector<int>> expected = {
        {255, 190, 126, 62, 0, 0},
        {0, 63, 127, 191, 255, 0},
        {0, 0, 0, 0, 0, 0},
    };
    EXPECT_EQ(blues(s), expected);
    EXPECT_EQ(s.rows[0][1], 0x00BEBEBEu); // every channel alike, T kept at 0
}

TEST(Line, SteepSlopeShadesPairsOfPixels) {
    surface_t s;
    make(s, 3, 6);
    EXPECT_TRUE(s.draw_line(0, 0, 1, 4, kWhite));
    const std::vector<std::vector<int>> expected = {
        {255, 0, 0}, {190, 63, 0}, {126, 127, 0}, {62, 191, 0}, {0, 255, 0}, {0, 0, 0},
    };
    EXPECT_EQ(blues(s), expected);
}

TEST(Line, DirectionAndEndpointOrderDoNotMatter) {
    surface_t reference;
    make(reference, 6, 3);
    reference.draw_line(0, 0, 4, 1, kWhite);
    const auto mirrored = [&](std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
        surface_t s;
        make(s, 6, 3);
        s.draw_line(x0, y0, x1, y1, kWhite);
        auto rows = blues(s);
        for (auto& r : rows) {
            std::reverse(r.begin(), r.begin() + 5);
        }
        return rows;
    };
    EXPECT_EQ(mirrored(4, 0, 0, 1), blues(reference)); // leftwards
    EXPECT_EQ(mirrored(0, 1, 4, 0), blues(reference)); // given bottom end first
    surface_t swapped;
    make(swapped, 6, 3);
    swapped.draw_line(4, 1, 0, 0, kWhite);
    EXPECT_EQ(blues(swapped), blues(reference));
}

TEST(Line, ShadingKeepsTheTransparencyByte) {
    surface_t s;
    make(s, 6, 3, 0x80000000);
    s.draw_line(0, 0, 4, 1, kWhite);
    EXPECT_EQ(s.rows[0][1], 0x80BEBEBEu);
    EXPECT_EQ(s.rows[1][3], 0x80BFBFBFu);
    EXPECT_EQ(s.rows[0][0], kWhite); // ends are stored whole
}

TEST(Line, ClippedSlantedLineIsShadedInsideOnly) {
    surface_t s;
    make(s, 5, 3);
    // Clipped to (0, 0)-(4, 2): adj = 32768, weights 128, 0, 128.
    EXPECT_TRUE(s.draw_line(-2, -1, 6, 3, kWhite));
    const std::vector<std::vector<int>> expected = {
        {255, 126, 0, 0, 0},
        {0, 127, 254, 126, 0},
        {0, 0, 0, 127, 255},
    };
    EXPECT_EQ(blues(s), expected);
}

TEST(Line, ClippingThatLeavesAnAxisAlignedSegmentDrawsARun) {
    // (0, 8)-(100, 10) clips to (0, 8)-(9, 8); (8, 0)-(10, 100) to (8, 0)-(8, 9). An accumulator that
    // never advances would step off the surface on every pass here.
    surface_t s;
    make(s, 10, 10);
    EXPECT_TRUE(s.draw_line(0, 8, 100, 10, kWhite));
    const std::string expected = blank(10, 10);
    std::string row8 = expected;
    row8.replace(8 * 11, 10, "##########");
    EXPECT_EQ(picture(s, 0, kWhite), row8);

    make(s, 10, 10);
    EXPECT_TRUE(s.draw_line(8, 0, 10, 100, kWhite));
    std::string column8 = expected;
    for (int y = 0; y < 10; ++y) {
        column8[std::size_t(y * 11 + 8)] = '#';
    }
    EXPECT_EQ(picture(s, 0, kWhite), column8);
}

TEST(Line, SegmentsMissingTheSurfaceDrawNothing) {
    const struct {
        std::int32_t x0, y0, x1, y1;
    } cases[] = {
        {-5, 3, 3, -5},   // passes the top-left corner outside
        {-5, -1, 20, -9}, // above
        {10, 0, 30, 9},   // right of it
        {0, 10, 9, 30},   // below
        {INT_MIN, INT_MIN, INT_MIN + 7, INT_MAX},
    };
    for (const auto& c : cases) {
        surface_t s;
        make(s, 10, 10);
        EXPECT_TRUE(s.draw_line(c.x0, c.y0, c.x1, c.y1, kWhite));
        EXPECT_EQ(picture(s, 0, kWhite), blank(10, 10)) << c.x0 << "," << c.y0 << " " << c.x1 << "," << c.y1;
    }
}

TEST(Line, ExtremeEndpointsStayInside) {
    // Products of 32-bit differences overflow 32 and nearly 64 bits here; the diagonal through the
    // surface is all that may change.
    surface_t s;
    make(s, 10, 10);
    EXPECT_TRUE(s.draw_line(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kWhite));
    for (std::int32_t y = 0; y < 10; ++y) {
        for (std::int32_t x = 0; x < 10; ++x) {
            if (x != y) {
                EXPECT_EQ(s.rows[y][x] & 0xFF, 0u) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(s.rows[0][0], kWhite);
    EXPECT_EQ(s.rows[9][9], kWhite);
    EXPECT_TRUE(s.draw_line(INT_MAX, INT_MIN, INT_MIN, INT_MAX, kWhite));
    EXPECT_TRUE(s.draw_line(-1, INT_MAX, INT_MAX, -1, kWhite));
}

// ---------------------------------------------------------------------------------------------------------

TEST(Rect, OutlineIsClosedAtAllFourCorners) {
    const char* const expected = "#####.\n"
                                 "#...#.\n"
                                 "#...#.\n"
                                 "#####.\n"
                                 "......\n";
    const struct {
        std::int32_t x0, y0, x1, y1;
    } corners[] = {{0, 0, 4, 3}, {4, 3, 0, 0}, {4, 0, 0, 3}, {0, 3, 4, 0}};
    for (const auto& c : corners) {
        SCOPED_TRACE(testing::Message() << c.x0 << "," << c.y0 << " " << c.x1 << "," << c.y1);
        surface_t s;
        make(s, 6, 5);
        EXPECT_TRUE(s.draw_rect(c.x0, c.y0, c.x1, c.y1, kWhite));
        EXPECT_EQ(picture(s, 0, kWhite), expected);
    }
}

TEST(Rect, ClippedAtTheSurfaceEdge) {
    surface_t s;
    make(s, 4, 3);
    EXPECT_TRUE(s.draw_rect(-2, 1, 2, 5, kWhite));
    EXPECT_EQ(picture(s, 0, kWhite), "....\n###.\n..#.\n");
}

// ---------------------------------------------------------------------------------------------------------

TEST(Circle, MidpointRingOfRadiusThree) {
    surface_t s;
    make(s, 9, 9);
    EXPECT_TRUE(s.draw_circle(4, 4, 3, kWhite));
    EXPECT_EQ(picture(s, 0, kWhite), ".........\n"
                                     "...###...\n"
                                     "..#...#..\n"
                                     ".#.....#.\n"
                                     ".#.....#.\n"
                                     ".#.....#.\n"
                                     "..#...#..\n"
                                     "...###...\n"
                                     ".........\n");
}

TEST(Circle, MidpointRingOfRadiusSix) {
    // Octant (0,6) (1,6) (2,6) (3,5) (4,4): both branches of the decision variable are taken twice.
    surface_t s;
    make(s, 13, 13);
    EXPECT_TRUE(s.draw_circle(6, 6, 6, kWhite));
    EXPECT_EQ(picture(s, 0, kWhite), "....#####....\n"
                                     "...#.....#...\n"
                                     "..#.......#..\n"
                                     ".#.........#.\n"
                                     "#...........#\n"
                                     "#...........#\n"
                                     "#...........#\n"
                                     "#...........#\n"
                                     "#...........#\n"
                                     ".#.........#.\n"
                                     "..#.......#..\n"
                                     "...#.....#...\n"
                                     "....#####....\n");
}

TEST(Circle, RadiusZeroSetsTheCentreNegativeDrawsNothing) {
    surface_t s;
    make(s, 3, 3);
    EXPECT_TRUE(s.draw_circle(1, 1, 0, kWhite));
    EXPECT_EQ(picture(s, 0, kWhite), "...\n.#.\n...\n");
    make(s, 3, 3);
    EXPECT_TRUE(s.draw_circle(1, 1, -1, kWhite));
    EXPECT_TRUE(s.draw_circle(1, 1, INT_MIN, kWhite));
    EXPECT_EQ(picture(s, 0, kWhite), "...\n...\n...\n");
}

TEST(Circle, ClippedAtTheEdgesAndSkippedWhenOutside) {
    surface_t s;
    make(s, 4, 4);
    EXPECT_TRUE(s.draw_circle(0, 0, 3, kWhite));
    EXPECT_EQ(picture(s, 0, kWhite), "...#\n...#\n..#.\n##..\n");
    make(s, 4, 4);
    EXPECT_TRUE(s.draw_circle(-4, 1, 3, kWhite));
    EXPECT_TRUE(s.draw_circle(1, 7, 3, kWhite));
    EXPECT_TRUE(s.draw_circle(INT_MAX, INT_MIN, 5, kWhite));
    EXPECT_EQ(picture(s, 0, kWhite), blank(4, 4));
}

} // namespace
