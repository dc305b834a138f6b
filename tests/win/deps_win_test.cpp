// The cross-built dependencies link statically and work: libpng decodes from memory, RtMidi's Windows
// multimedia back end enumerates ports.
#include <RtMidi.h>
#include <gtest/gtest.h>
#include <png.h>

#include <vector>

namespace {

// A 1x1 RGBA PNG holding the pixel (0x10, 0x20, 0x30, 0x80).
const unsigned char kOnePixel[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D,
                                   0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01,
                                   0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00,
                                   0x0D, 0x49, 0x44, 0x41, 0x54, 0x78, 0xDA, 0x63, 0x10, 0x50, 0x30, 0x68,
                                   0x00, 0x00, 0x01, 0x85, 0x00, 0xE1, 0x3D, 0x9A, 0x31, 0x26, 0x00, 0x00,
                                   0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

TEST(Dependencies, LibpngDecodesFromMemory) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, kOnePixel, sizeof kOnePixel)) << image.message;
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) << image.message;
    EXPECT_EQ(pixels, (std::vector<unsigned char>{0x10, 0x20, 0x30, 0x80}));
}

TEST(Dependencies, RtMidiUsesTheWindowsBackEnd) {
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    ASSERT_EQ(apis, std::vector<RtMidi::Api>{RtMidi::WINDOWS_MM});
    RtMidiOut out;
    EXPECT_GE(out.getPortCount(), 0u);
}

} // namespace
