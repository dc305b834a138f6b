// The image surface's Windows services: PNG resources of a module and the transfer to a device context,
// read back from a DIB section.
#include "surface.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

namespace {

using gravo::pixel_t;
using gravo::surface_t;

const std::vector<pixel_t> kResourcePixels = {0x00FF0000, 0x7F00FF00, 0xFF0000FF,
                                              0x00102030, 0x00FFFFFF, 0x00000000};

std::vector<pixel_t> pixels_of(const surface_t& s) {
    return std::vector<pixel_t>(s.pixels.get(),
                                s.pixels.get() + std::size_t(s.width) * std::size_t(s.height));
}

HMODULE self() {
    return GetModuleHandleA(nullptr);
}

void prepare(surface_t& s) {
    ASSERT_TRUE(s.create(2, 2));
    s.pixels[0] = 0x12345678;
}

void expect_untouched(const surface_t& s) {
    ASSERT_TRUE(s.is_valid());
    EXPECT_EQ(s.width, 2);
    EXPECT_EQ(s.pixels[0], 0x12345678u);
}

TEST(PngResource, LoadsByIdAndByName) {
    surface_t by_id;
    prepare(by_id);
    ASSERT_TRUE(by_id.load_png_resource(self(), 7));
    EXPECT_EQ(by_id.width, 3);
    EXPECT_EQ(by_id.height, 2);
    EXPECT_TRUE(by_id.has_alpha);
    EXPECT_EQ(pixels_of(by_id), kResourcePixels);

    surface_t by_intresource;
    ASSERT_TRUE(by_intresource.load_png_resource(self(), MAKEINTRESOURCEA(7)));
    EXPECT_EQ(pixels_of(by_intresource), kResourcePixels);

    surface_t by_name;
    ASSERT_TRUE(by_name.load_png_resource(self(), "GRAVO_FACE"));
    EXPECT_EQ(pixels_of(by_name), kResourcePixels);
}

TEST(PngResource, MissingOrUnusableResourcesLeaveTheSurfaceAlone) {
    const struct {
        const char* what;
        HMODULE module;
        const char* name;
    } cases[] = {
        {"null module", nullptr, MAKEINTRESOURCEA(7)},
        {"null name", self(), nullptr},
        {"no such id", self(), MAKEINTRESOURCEA(999)},
        {"no such name", self(), "NO_SUCH_FACE"},
        {"other resource type", self(), MAKEINTRESOURCEA(8)},
        {"not a PNG", self(), MAKEINTRESOURCEA(9)},
        {"empty", self(), MAKEINTRESOURCEA(10)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        surface_t s;
        prepare(s);
        EXPECT_FALSE(s.load_png_resource(c.module, c.name));
        expect_untouched(s);
    }
    for (int id : {0, -7, 0x10007}) {
        SCOPED_TRACE(id);
        surface_t s;
        prepare(s);
        EXPECT_FALSE(s.load_png_resource(self(), id)); // 0x10007 must not wrap round to 7
        expect_untouched(s);
    }
}

TEST(PngResource, DecoderErrorsUnwindCleanly) {
    // libpng leaves by longjmp: the header and pixel stages must both come back through it.
    HRSRC found = FindResourceA(self(), MAKEINTRESOURCEA(7), "PNG");
    ASSERT_NE(found, nullptr);
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(self(), found)));
    const std::vector<unsigned char> good(data, data + SizeofResource(self(), found));
    const struct {
        const char* what;
        std::size_t offset;
    } cases[] = {{"IHDR width, CRC not updated", 16}, {"IDAT data, CRC not updated", 45}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<unsigned char> bad = good;
        bad[c.offset] ^= 0x01;
        surface_t s;
        prepare(s);
        EXPECT_FALSE(s.load_png_memory(bad.data(), bad.size()));
        EXPECT_FALSE(s.is_valid());
        EXPECT_EQ(s.pixels, nullptr);
        EXPECT_EQ(s.width, 0);
    }
    surface_t again; // the decoder is still usable afterwards
    EXPECT_TRUE(again.load_png_memory(good.data(), good.size()));
}

// A 32-bit top-down DIB section selected into a memory DC, filled with a marker.
class DibTarget {
public:
    static constexpr pixel_t kMarker = 0x005A5A5A;

    DibTarget(int width, int height) : width_(width) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        if (dc_ != nullptr && bitmap_ != nullptr) {
            old_ = SelectObject(dc_, bitmap_);
            for (int i = 0; i < width * height; ++i) {
                bits_[i] = kMarker;
            }
        }
    }
    ~DibTarget() {
        if (old_ != nullptr) {
            SelectObject(dc_, old_);
        }
        if (bitmap_ != nullptr) {
            DeleteObject(bitmap_);
        }
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    DibTarget(const DibTarget&) = delete;
    DibTarget& operator=(const DibTarget&) = delete;

    bool ok() const { return old_ != nullptr; }
    HDC dc() const { return dc_; }
    pixel_t at(int x, int y) {
        GdiFlush();
        return bits_[y * width_ + x] & 0x00FFFFFF;
    }

private:
    int width_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    pixel_t* bits_ = nullptr;
};

void fill_pattern(surface_t& s) {
    for (std::int32_t y = 0; y < s.height; ++y) {
        for (std::int32_t x = 0; x < s.width; ++x) {
            s.rows[y][x] = 0x00100000 * pixel_t(y + 1) + 0x00000100 * pixel_t(x + 1) + 0x33;
        }
    }
}

TEST(BlitToDc, WholeSurfaceArrivesUnscaledTopDown) {
    surface_t s;
    ASSERT_TRUE(s.create(4, 3));
    fill_pattern(s);
    DibTarget target(8, 6);
    ASSERT_TRUE(target.ok());
    EXPECT_TRUE(s.blit_to_dc(target.dc(), 2, 1, 0, 0, 4, 3, SRCCOPY));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 1 && y < 4;
            EXPECT_EQ(target.at(x, y), inside ? s.rows[y - 1][x - 2] : DibTarget::kMarker) << x << "," << y;
        }
    }
}

TEST(BlitToDc, SourceRectanglesCountFromTheTopLeft) {
    // GDI alone would take some of these rows from the bottom of a top-down image.
    surface_t s;
    ASSERT_TRUE(s.create(4, 5));
    fill_pattern(s);
    const struct {
        int x_dest, y_dest, x_src, y_src, w, h;
    } cases[] = {
        {0, 0, 1, 1, 2, 2},  {0, 0, 0, 4, 4, 1}, {1, 2, 0, 3, 4, 2}, {0, 0, 2, 0, 2, 1}, {0, 0, 0, 1, 4, 4},
        {0, 1, 0, -1, 4, 3}, {0, 0, 0, 3, 4, 5}, {2, 0, 1, 2, 3, 3}, {0, 0, 0, 5, 4, 2}, {0, 0, 0, 0, 4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.x_src << "," << c.y_src << " size " << c.w << "x"
                                        << c.h << " to " << c.x_dest << "," << c.y_dest);
        DibTarget target(6, 6);
        ASSERT_TRUE(target.ok());
        EXPECT_TRUE(s.blit_to_dc(target.dc(), c.x_dest, c.y_dest, c.x_src, c.y_src, c.w, c.h, SRCCOPY));
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 6; ++x) {
                const int u = x - c.x_dest + c.x_src;
                const int v = y - c.y_dest + c.y_src;
                const bool shown = x >= c.x_dest && x < c.x_dest + c.w && y >= c.y_dest &&
                                   y < c.y_dest + c.h && u >= 0 && u < s.width && v >= 0 && v < s.height;
                EXPECT_EQ(target.at(x, y), shown ? s.rows[v][u] : DibTarget::kMarker) << x << "," << y;
            }
        }
    }
}

TEST(BlitToDc, LoadedImageReachesTheScreenWithItsColours) {
    surface_t s;
    ASSERT_TRUE(s.load_png_resource(self(), 7));
    DibTarget target(3, 2);
    ASSERT_TRUE(target.ok());
    EXPECT_TRUE(s.blit_to_dc(target.dc(), 0, 0, 0, 0, 3, 2, SRCCOPY));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(target.at(i % 3, i / 3), kResourcePixels[std::size_t(i)] & 0x00FFFFFF) << i;
    }
}

TEST(BlitToDc, NullContextOrEmptySurfaceFails) {
    surface_t s;
    DibTarget target(2, 2);
    ASSERT_TRUE(target.ok());
    EXPECT_FALSE(s.blit_to_dc(target.dc(), 0, 0, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(target.at(0, 0), DibTarget::kMarker);
    ASSERT_TRUE(s.create(2, 2));
    EXPECT_FALSE(s.blit_to_dc(nullptr, 0, 0, 0, 0, 2, 2, SRCCOPY));
}

} // namespace
