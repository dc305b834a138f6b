// Real images nobody here wrote: PngSuite and libpng's test images, decoded and compared pixel by pixel with
// libpng's simplified reader; the corrupt ones must fail cleanly.
//
// The surface applies no gamma correction, but the simplified reader always converts to sRGB. So the
// reference reads a copy without the colour-space chunks (gAMA, sRGB, iCCP, cHRM): 8-bit and smaller images
// are then taken as sRGB already and come out unchanged. 16-bit images would be taken as linear and
// converted, so they are read as 16-bit linear instead (no conversion either) and compared by their high
// bytes; that output premultiplies colour by alpha, so their colour is compared where they are opaque (T is
// compared everywhere; the generated images of the decoder's own suite pin the rest down exactly).
#include "surface.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using gravo::pixel_t;
using bytes = std::vector<unsigned char>;

bytes read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t be32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

bytes without_colour_space(const bytes& png) {
    bytes out(png.begin(), png.begin() + 8);
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::size_t end = at + 12 + be32(&png[at]);
        if (end > png.size()) {
            break;
        }
        const std::string type(reinterpret_cast<const char*>(&png[at + 4]), 4);
        if (type != "gAMA" && type != "sRGB" && type != "iCCP" && type != "cHRM") {
            out.insert(out.end(), png.begin() + std::ptrdiff_t(at), png.begin() + std::ptrdiff_t(end));
        }
        at = end;
    }
    return out;
}

struct reference {
    bool ok = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool has_alpha = false;
    std::vector<pixel_t> pixels;
    std::vector<bool> colour_known; // false where only T can be compared
};

bool image_reads(const bytes& png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    bool ok = png_image_begin_read_from_memory(&image, png.data(), png.size()) != 0;
    if (ok) {
        image.format = PNG_FORMAT_BGRA;
        bytes buffer(PNG_IMAGE_SIZE(image));
        ok = png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr) != 0;
    }
    png_image_free(&image);
    return ok;
}

reference read_reference(const bytes& original) {
    reference ref;
    const bytes png = without_colour_space(original);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, png.data(), png.size()) == 0) {
        return ref;
    }
    ref.width = image.width;
    ref.height = image.height;
    ref.has_alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    const bool sixteen = (image.format & PNG_FORMAT_FLAG_LINEAR) != 0;
    const std::size_t count = std::size_t(image.width) * image.height;
    ref.pixels.resize(count);
    ref.colour_known.assign(count, true);
    if (sixteen) {
        image.format = PNG_FORMAT_LINEAR_RGB_ALPHA;
        std::vector<std::uint16_t> buffer(count * 4);
        ref.ok = png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr) != 0;
        for (std::size_t i = 0; ref.ok && i < count; ++i) {
            const std::uint16_t* p = &buffer[i * 4];
            ref.pixels[i] = pixel_t(255 - (p[3] >> 8)) << 24 | pixel_t(p[0] >> 8) << 16 |
                            pixel_t(p[1] >> 8) << 8 | pixel_t(p[2] >> 8);
            ref.colour_known[i] = p[3] == 0xFFFF;
        }
    } else {
        image.format = PNG_FORMAT_BGRA;
        bytes buffer(count * 4);
        ref.ok = png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr) != 0;
        for (std::size_t i = 0; ref.ok && i < count; ++i) {
            const unsigned char* p = &buffer[i * 4];
            ref.pixels[i] = pixel_t(255 - p[3]) << 24 | pixel_t(p[2]) << 16 | pixel_t(p[1]) << 8 | p[0];
        }
    }
    png_image_free(&image);
    return ref;
}

std::vector<fs::path> corpus_files(const fs::path& root) {
    std::vector<fs::path> files;
    for (const char* folder : {"contrib/pngsuite", "contrib/testpngs"}) {
        const fs::path dir = root / folder;
        if (!fs::is_directory(dir)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            if (entry.is_regular_file() && entry.path().extension() == ".png") {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// PngSuite marks its corrupt images with a leading 'x'; libpng keeps its own under crashers/.
bool known_corrupt(const fs::path& path) {
    return path.filename().string()[0] == 'x' || path.parent_path().filename() == "crashers";
}

TEST(PngCorpus, DecodesLikeTheReferenceAndFailsCleanlyOnCorruptImages) {
    const fs::path root = GRAVO_PNG_CORPUS;
    const auto files = corpus_files(root);
    if (files.empty()) {
        GTEST_SKIP() << "no PNG corpus under " << root;
    }
    int compared = 0, opaque_only_colour = 0, failed_cleanly = 0, corrupt_but_readable = 0;
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const bytes png = read_file(path);
        gravo::surface_t s;
        ASSERT_TRUE(s.create(2, 2));
        const bool ok = s.load_png_memory(png.data(), png.size());
        if (!ok) {
            EXPECT_FALSE(s.is_valid());
            EXPECT_EQ(s.pixels, nullptr);
            EXPECT_EQ(s.rows, nullptr);
            EXPECT_EQ(s.width, 0);
            EXPECT_EQ(s.height, 0);
            EXPECT_FALSE(s.has_alpha);
            // The reference is asked only about images meant to be valid: on some crashers it would first
            // allocate the gigabyte their chunk header claims.
            if (!known_corrupt(path)) {
                EXPECT_FALSE(image_reads(png)) << "the reference decodes it";
            }
            ++failed_cleanly;
            continue;
        }
        EXPECT_TRUE(image_reads(png)) << "the reference rejects it";
        // A crasher of older libpng versions that this one reads as a valid image.
        corrupt_but_readable += known_corrupt(path) ? 1 : 0;
        const reference ref = read_reference(png);
        EXPECT_TRUE(ref.ok);
        EXPECT_TRUE(ok);
        if (!ok || !ref.ok || s.width != std::int32_t(ref.width) || s.height != std::int32_t(ref.height)) {
            ADD_FAILURE() << s.width << " x " << s.height << " instead of " << ref.width << " x "
                          << ref.height;
            continue;
        }
        EXPECT_EQ(s.has_alpha, ref.has_alpha);
        int mismatches = 0;
        for (std::size_t i = 0; i < ref.pixels.size() && mismatches < 5; ++i) {
            const pixel_t mask = ref.colour_known[i] ? 0xFFFFFFFF : 0xFF000000;
            if ((s.pixels[i] & mask) != (ref.pixels[i] & mask)) {
                ++mismatches;
                ADD_FAILURE() << "pixel " << i % ref.width << "," << i / ref.width << ": " << std::hex
                              << s.pixels[i] << " instead of " << ref.pixels[i];
            }
        }
        ++compared;
        const bool partial =
            std::find(ref.colour_known.begin(), ref.colour_known.end(), false) != ref.colour_known.end();
        opaque_only_colour += partial ? 1 : 0;
    }
    std::printf("corpus: %zu files; %d decoded and compared (%d with colour compared where opaque only), "
                "%d failed cleanly, %d listed as corrupt but valid for this libpng\n",
                files.size(), compared, opaque_only_colour, failed_cleanly, corrupt_but_readable);
    EXPECT_GT(compared, 100);
    EXPECT_GT(failed_cleanly, 15);
}

} // namespace
