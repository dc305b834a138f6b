// The widgets' drag arithmetic: the encoder's steps and indicator angle, the fader's relative motion,
// clamping and the parent's writes, and the fixed places of the fader and the light on the face.
#include "encoder_motion.h"
#include "fader_motion.h"
#include "skin_places.h"
#include "skins.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using orvel::encoder_motion;
using orvel::fader_motion;

TEST(EncoderMotion, PressStartsADragPointingUpAndKeepsTheLastStep) {
    encoder_motion e;
    e.angle = 123.0;
    e.last_step = -7;
    e.press(30);
    EXPECT_TRUE(e.dragging);
    EXPECT_EQ(e.angle, 0.0);
    EXPECT_EQ(e.last_y, 30);
    EXPECT_EQ(e.last_step, -7);
}

TEST(EncoderMotion, EachChangedYIsOneStepOfFiveDegreesAPixel) {
    struct move_t {
        int y;
        bool step;
        int last_step;
        double angle;
    };
    const struct {
        const char* what;
        int press_y;
        std::vector<move_t> moves;
    } cases[] = {
        {"up 20 in one message", 30, {{10, true, 20, 100.0}}},
        {"down 1 wraps below zero", 30, {{31, true, -1, 355.0}}},
        {"the same y is no step", 30, {{30, false, 0, 0.0}, {28, true, 2, 10.0}, {28, false, 2, 10.0}}},
        {"a whole turn stays at 360", 100, {{28, true, 72, 360.0}, {27, true, 1, 5.0}}},
        {"a whole turn down lands on 0", 100, {{172, true, -72, 0.0}}},
        {"several turns up", 100, {{0, true, 100, 140.0}}},
        {"above the window, as captured moves arrive", 10, {{-20, true, 30, 150.0}, {-25, true, 5, 175.0}}},
        {"the extremes of 16-bit coordinates", 32767, {{-32768, true, 65535, 75.0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        encoder_motion e;
        e.press(c.press_y);
        for (const move_t& m : c.moves) {
            EXPECT_EQ(e.move(m.y), m.step);
            EXPECT_EQ(e.last_step, m.last_step);
            EXPECT_DOUBLE_EQ(e.angle, m.angle);
            EXPECT_EQ(e.last_y, m.y);
        }
    }
}

TEST(EncoderMotion, OutsideADragMovesDoNothing) {
    encoder_motion e;
    e.last_y = 5;
    EXPECT_FALSE(e.move(50));
    EXPECT_EQ(e.last_y, 5);
    EXPECT_EQ(e.last_step, 0);
    e.press(5);
    e.release();
    EXPECT_FALSE(e.dragging);
    EXPECT_FALSE(e.move(0));
    EXPECT_EQ(e.angle, 0.0);
}

TEST(EncoderMotion, AnAngleThatCannotWrapStartsAfresh) {
    encoder_motion e;
    e.press(10);
    e.angle = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(e.move(9));
    EXPECT_DOUBLE_EQ(e.angle, 5.0);
}

TEST(EncoderIndicator, CentreTipAndRadius) {
    const struct {
        int size;
        double angle;
        orvel::point_t tip;
    } cases[] = {
        {42, 0.0, {20, 0}},   {42, 90.0, {40, 20}},  {42, 180.0, {20, 40}}, {42, 270.0, {0, 20}},
        {42, 45.0, {34, 6}},  {42, 355.0, {19, 1}},  {42, 100.0, {39, 23}}, {70, 0.0, {34, 0}},
        {70, 90.0, {68, 34}}, {70, 225.0, {10, 58}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " at " << c.angle);
        const orvel::indicator_t hand = orvel::encoder_indicator(c.size, c.size, c.angle);
        const int centre = (c.size - 2) / 2;
        EXPECT_EQ(hand.centre.x, centre);
        EXPECT_EQ(hand.centre.y, centre);
        EXPECT_EQ(hand.radius, centre);
        EXPECT_EQ(hand.tip.x, c.tip.x);
        EXPECT_EQ(hand.tip.y, c.tip.y);
    }
}

TEST(FaderMotion, StartsInTheMiddleAndGrabsTheCapWhereItIs) {
    fader_motion f;
    EXPECT_FALSE(f.dragging);
    EXPECT_EQ(f.value, 0.5);
    f.press(300);
    EXPECT_TRUE(f.dragging);
    EXPECT_EQ(f.last_y, 300);
    EXPECT_EQ(f.value, 0.5);
}

TEST(FaderMotion, MovesRelativeToTheMouseAndHoldsAtTheEnds) {
    fader_motion f;
    f.press(200);
    EXPECT_TRUE(f.move(190, 265.0));
    EXPECT_DOUBLE_EQ(f.value, 0.5 + 10.0 / 265.0);
    EXPECT_FALSE(f.move(190, 265.0));
    EXPECT_TRUE(f.move(200, 265.0));
    EXPECT_DOUBLE_EQ(f.value, 0.5);
    // Beyond the top every changed y is still a step, with the value held.
    EXPECT_TRUE(f.move(-200, 265.0));
    EXPECT_EQ(f.value, 1.0);
    EXPECT_TRUE(f.move(-300, 265.0));
    EXPECT_EQ(f.value, 1.0);
    EXPECT_EQ(f.last_y, -300);
    // No dead zone: coming back moves at once.
    EXPECT_TRUE(f.move(-299, 265.0));
    EXPECT_DOUBLE_EQ(f.value, 1.0 - 1.0 / 265.0);
    EXPECT_TRUE(f.move(32767, 265.0));
    EXPECT_EQ(f.value, 0.0);
}

TEST(FaderMotion, Up265PixelsGoesFromBottomToTop) {
    fader_motion f;
    ASSERT_TRUE(f.set_value(0.0));
    f.press(300);
    for (int y = 299; y >= 35; --y) {
        ASSERT_TRUE(f.move(y, 265.0));
    }
    EXPECT_NEAR(f.value, 1.0, 1e-12);
    EXPECT_TRUE(f.move(34, 265.0));
    EXPECT_EQ(f.value, 1.0);
}

TEST(FaderMotion, OutsideADragMovesDoNothing) {
    fader_motion f;
    EXPECT_FALSE(f.move(10, 265.0));
    EXPECT_EQ(f.value, 0.5);
    EXPECT_EQ(f.last_y, 0);
    f.press(10);
    f.release();
    EXPECT_FALSE(f.move(0, 265.0));
    EXPECT_EQ(f.value, 0.5);
}

TEST(FaderMotion, TheParentsWritesAreClampedAndIgnoredDuringADrag) {
    const struct {
        double in;
        bool stored;
        double value;
    } cases[] = {
        {0.25, true, 0.25},
        {2.0, true, 1.0},
        {-0.5, true, 0.0},
        {1.0, true, 1.0},
        {std::numeric_limits<double>::infinity(), true, 1.0},
        {std::numeric_limits<double>::quiet_NaN(), false, 0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        fader_motion f;
        EXPECT_EQ(f.set_value(c.in), c.stored);
        EXPECT_EQ(f.value, c.value);
    }
    fader_motion f;
    f.press(0);
    EXPECT_FALSE(f.set_value(0.9));
    EXPECT_EQ(f.value, 0.5);
    f.release();
    EXPECT_TRUE(f.set_value(0.5)); // unchanged, still a store (the window repaints)
}

TEST(FaderGeometry, TravelAndCapTop) {
    EXPECT_EQ(orvel::fader_travel(360, 95, 360), 265.0);
    EXPECT_EQ(orvel::fader_travel(360, 0, 360), 360.0); // cap missing: the whole track
    EXPECT_EQ(orvel::fader_travel(0, 95, 360), 360.0);  // track missing: the window
    EXPECT_EQ(orvel::fader_travel(95, 95, 360), 360.0);
    EXPECT_EQ(orvel::fader_travel(0, 0, 0), 1.0);

    const struct {
        double value;
        int top;
    } cases[] = {{1.0, 0}, {0.5, 132}, {0.0, 265}, {0.25, 198}, {0.999, 0}, {2.0, 0}, {-1.0, 265}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(orvel::fader_cap_top(360, 95, c.value), c.top);
    }
    EXPECT_EQ(orvel::fader_cap_top(360, 95, std::numeric_limits<double>::quiet_NaN()), 132);
}

TEST(FixedPlaces, FaderAndLightSitWhereTheLayoutTablePutsThem) {
    namespace skins = kestro::skins;
    int faders = 0;
    int lights = 0;
    for (const skins::widget_t& w : skins::widgets) {
        if (w.kind == skins::widget_kind::fader) {
            ++faders;
            EXPECT_EQ(w.x, orvel::fader_x);
            EXPECT_EQ(w.y, orvel::fader_y);
            EXPECT_EQ(w.width, orvel::fader_width);
            EXPECT_EQ(w.height, orvel::fader_height);
            EXPECT_EQ(w.control_id, orvel::fader_control_id);
            EXPECT_EQ(w.image, skins::fader_track_id);
        } else if (w.kind == skins::widget_kind::light) {
            ++lights;
            EXPECT_EQ(w.x, orvel::light_x);
            EXPECT_EQ(w.y, orvel::light_y);
            EXPECT_EQ(w.width, orvel::light_size);
            EXPECT_EQ(w.height, orvel::light_size);
            EXPECT_EQ(w.image, skins::light_id);
        }
    }
    EXPECT_EQ(faders, 1);
    EXPECT_EQ(lights, 1);
}

} // namespace
