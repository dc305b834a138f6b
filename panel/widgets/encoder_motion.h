#pragma once
// The endless encoder's mouse arithmetic, apart from its window so that it can be tested anywhere. The
// encoder reports steps, not a position: each mouse message that changes y during a drag is one step of
// (previous y - new y) pixels, upwards positive. The angle only drives the indicator drawn while dragging:
// 5 degrees a pixel, clockwise for upward travel, 0 pointing straight up.

#include <cstdint>

namespace orvel {

struct encoder_motion {
    bool dragging = false;
    double angle = 0.0; // degrees turned since the press, 0..360
    std::int32_t last_y = 0;
    std::int32_t last_step = 0; // read by the parent at each drag step

    // Starts a drag with the indicator pointing up; last_step keeps the previous drag's value.
    void press(std::int32_t y) noexcept;
    // During a drag, a y other than last_y is one step: true. Outside a drag, or at the same y, nothing.
    bool move(std::int32_t y) noexcept;
    void release() noexcept;
};

inline constexpr double degrees_per_pixel = 5.0;

struct point_t {
    std::int32_t x;
    std::int32_t y;
};

// The indicator of a knob whose composition buffer is width x height: a line from the centre towards
// angle, as long as the centre's y, inside a circle of the centre's x as radius.
struct indicator_t {
    point_t centre;
    point_t tip;
    std::int32_t radius;
};
indicator_t encoder_indicator(std::int32_t width, std::int32_t height, double angle) noexcept;

} // namespace orvel
