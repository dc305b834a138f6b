#pragma once
// The fader's mouse arithmetic, apart from its window so that it can be tested anywhere. The fader moves
// relative to the mouse: a press grabs the cap where it is, and each pixel of vertical travel moves the
// value by 1/travel, where travel is the track's length minus the cap's.

#include <cstdint>

namespace orvel {

struct fader_motion {
    bool dragging = false;
    double value = 0.5; // 0.0 bottom .. 1.0 top
    std::int32_t last_y = 0;

    void press(std::int32_t y) noexcept;
    // During a drag, a y other than last_y moves the value (held at the ends) and returns true: a drag
    // step is due even when the value stayed at an end. Outside a drag, or at the same y, nothing.
    bool move(std::int32_t y, double travel) noexcept;
    void release() noexcept;
    // The parent's write: clamped to 0..1 and stored, true. Ignored during a drag, when the mouse owns the
    // value, and for NaN, which has no position.
    bool set_value(double new_value) noexcept;
};

// Pixels of mouse travel from bottom to top: the track's height less the cap's (a cap that failed to load
// counts 0). Images that leave no positive travel fall back to the window's height, so that a fader with
// broken skins still moves smoothly and the right way up.
double fader_travel(std::int32_t track_height, std::int32_t cap_height, std::int32_t window_height) noexcept;

// Top row of the cap on the track: value 1.0 at the top, 0.0 at track height - cap height.
std::int32_t fader_cap_top(std::int32_t track_height, std::int32_t cap_height, double value) noexcept;

} // namespace orvel
