// What the fader and the encoders compose before their single transfer to the screen, with the shipped
// skins where they matter: the cap's place and transparency over the track, and the turn indicator.
#include "skin_compose.h"
#include "skins.h"
#include "surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using gravo::pixel_t;
using gravo::surface_t;
namespace skins = kestro::skins;

constexpr pixel_t white = 0x00FFFFFF;
constexpr pixel_t grey = 0x008F8F8F;

void load_skin(surface_t& s, int id) {
    const skins::image_t* image = skins::find_image(id);
    ASSERT_NE(image, nullptr);
    std::ifstream in(std::string(KESTRO_RES_DIR) + "/" + image->file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_TRUE(s.load_png_memory(bytes.data(), bytes.size())) << image->file;
}

pixel_t at(const surface_t& s, int x, int y) {
    return s.rows[y][x];
}

TEST(PrepareBack, ZeroFilledAtTheGivenSizeOnlyWhenTheSourceExists) {
    surface_t source;
    ASSERT_TRUE(source.create(3, 3));
    surface_t back;
    ASSERT_TRUE(back.create(5, 4));
    back.rows[0][0] = 0x00123456;
    orvel::prepare_back(back, source, 5, 4); // same size: must still start from zero
    ASSERT_TRUE(back.is_valid());
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(back.height, 4);
    EXPECT_EQ(at(back, 0, 0), 0u);

    surface_t missing;
    orvel::prepare_back(back, missing, 5, 4);
    EXPECT_FALSE(back.is_valid());
    EXPECT_EQ(back.width, 0);
}

class FaderCompose : public ::testing::Test {
protected:
    void SetUp() override {
        load_skin(track, skins::fader_track_id);
        load_skin(cap, skins::fader_cap_id);
        orvel::prepare_back(back, track, track.width, track.height);
    }
    surface_t track, cap, back;
};

TEST_F(FaderCompose, TheCapSitsAtItsValueOverTheTrack) {
    ASSERT_EQ(track.height - cap.height, 265);
    const struct {
        double value;
        int top;
    } cases[] = {{1.0, 0}, {0.5, 132}, {0.0, 265}, {0.25, 198}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        ASSERT_TRUE(orvel::compose_fader(back, track, cap, c.value));
        int opaque = 0, clear = 0;
        for (int y = 0; y < track.height; ++y) {
            for (int x = 0; x < track.width; ++x) {
                const pixel_t shown = at(back, x, y);
                const bool on_cap = y >= c.top && y < c.top + cap.height;
                const pixel_t t = on_cap ? at(cap, x, y - c.top) >> 24 : 255;
                if (t == 255) {
                    ++clear;
                    ASSERT_EQ(shown, at(track, x, y)) << x << ", " << y;
                } else if (t == 0) {
                    ++opaque;
                    ASSERT_EQ(shown, at(cap, x, y - c.top)) << x << ", " << y;
                }
            }
        }
        // Both kinds occur, so neither the track nor the cap could go missing unnoticed.
        EXPECT_GT(opaque, 1000);
        EXPECT_GT(clear, 265 * 59);
    }
}

TEST_F(FaderCompose, AMissingCapLeavesTheBareTrackAndAMissingTrackComposesNothing) {
    surface_t no_cap;
    ASSERT_TRUE(orvel::compose_fader(back, track, no_cap, 0.5));
    for (int y = 0; y < track.height; y += 7) {
        for (int x = 0; x < track.width; ++x) {
            ASSERT_EQ(at(back, x, y), at(track, x, y));
        }
    }
    surface_t no_track, untouched;
    ASSERT_TRUE(untouched.create(2, 2));
    untouched.rows[1][1] = 0x00ABCDEF;
    EXPECT_FALSE(orvel::compose_fader(untouched, no_track, cap, 0.5));
    EXPECT_EQ(at(untouched, 1, 1), 0x00ABCDEFu);
}

class EncoderCompose : public ::testing::TestWithParam<int> {};

TEST_P(EncoderCompose, AtRestTheKnobShowsItsPlainPicture) {
    surface_t image, back;
    load_skin(image, GetParam());
    orvel::prepare_back(back, image, image.width, image.height);
    // A drag's indicator must not survive into the next paint at rest.
    ASSERT_TRUE(orvel::compose_encoder(back, image, true, 30.0));
    ASSERT_TRUE(orvel::compose_encoder(back, image, false, 30.0));
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            ASSERT_EQ(at(back, x, y), at(image, x, y)) << x << ", " << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ShippedKnobs, EncoderCompose, ::testing::Values(108, 123, 125, 130));

class Indicator : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(image.create(42, 42));
        for (int y = 0; y < 42; ++y) {
            for (int x = 0; x < 42; ++x) {
                image.rows[y][x] = 0x00204060;
            }
        }
        orvel::prepare_back(back, image, 42, 42);
    }
    surface_t image, back;
};

TEST_F(Indicator, PointsUpAtZeroWithTheCircleDrawnOverTheLine) {
    ASSERT_TRUE(orvel::compose_encoder(back, image, true, 0.0));
    for (int y = 1; y < 20; ++y) {
        EXPECT_EQ(at(back, 20, y), white) << y;
    }
    EXPECT_EQ(at(back, 20, 20), 0x00204060u); // a vertical run leaves out its lower end
    EXPECT_EQ(at(back, 20, 0), grey);         // the circle's top, over the line's tip
    EXPECT_EQ(at(back, 0, 20), grey);
    EXPECT_EQ(at(back, 40, 20), grey);
    EXPECT_EQ(at(back, 20, 40), grey);
    EXPECT_EQ(at(back, 21, 10), 0x00204060u);
    EXPECT_EQ(at(back, 41, 41), 0x00204060u);
}

TEST_F(Indicator, TurnsClockwise) {
    ASSERT_TRUE(orvel::compose_encoder(back, image, true, 90.0));
    for (int x = 20; x < 40; ++x) {
        EXPECT_EQ(at(back, x, 20), white) << x;
    }
    EXPECT_EQ(at(back, 20, 10), 0x00204060u);

    ASSERT_TRUE(orvel::compose_encoder(back, image, true, 180.0));
    for (int y = 20; y < 40; ++y) {
        EXPECT_EQ(at(back, 20, y), white) << y;
    }
    EXPECT_EQ(at(back, 30, 20), 0x00204060u); // the 90-degree line is gone

    ASSERT_TRUE(orvel::compose_encoder(back, image, true, 45.0));
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(at(back, 20 + i, 20 - i), white) << i; // a 45-degree diagonal is drawn unblended
    }
    EXPECT_EQ(at(back, 20, 10), 0x00204060u);
}

TEST_F(Indicator, TheLargeKnobUsesItsOwnCentreAndRadius) {
    surface_t knob, knob_back;
    load_skin(knob, 123);
    ASSERT_EQ(knob.width, 70);
    orvel::prepare_back(knob_back, knob, 70, 70);
    ASSERT_TRUE(orvel::compose_encoder(knob_back, knob, true, 90.0));
    for (int x = 34; x < 68; ++x) {
        EXPECT_EQ(at(knob_back, x, 34), white) << x;
    }
    EXPECT_EQ(at(knob_back, 68, 34), grey);
    EXPECT_EQ(at(knob_back, 34, 0), grey);
    EXPECT_EQ(at(knob_back, 0, 34), grey);
}

TEST(Frames, ButtonAndLightStrips) {
    static_assert(orvel::button_frame(false, false) == 0);
    static_assert(orvel::button_frame(true, false) == 1);
    static_assert(orvel::button_frame(false, true) == 2);
    static_assert(orvel::button_frame(true, true) == 3);
    static_assert(orvel::light_frame(false) == 0);
    static_assert(orvel::light_frame(true) == 1);
    SUCCEED();
}

} // namespace
