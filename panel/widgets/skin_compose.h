#pragma once
// What each skin widget shows, composed in memory so that a paint is a single transfer to the screen.

#include "surface.h"

#include <cstdint>

namespace orvel {

// Frames of a button strip: 0 idle, 1 pressed, 2 lit, 3 lit and pressed.
constexpr int button_frame(bool pressed, bool lit) noexcept {
    return int(pressed) + 2 * int(lit);
}

// Frames of a light strip: 0 dark, 1 lit.
constexpr int light_frame(bool lit) noexcept {
    return int(lit);
}

// A zero-filled composition buffer of width x height, or an empty one when there is nothing to compose
// (source image missing).
void prepare_back(gravo::surface_t& back, const gravo::surface_t& source, std::int32_t width,
                  std::int32_t height) noexcept;

// The track, then the cap blended over it at fader_cap_top. A missing cap leaves the bare track.
bool compose_fader(gravo::surface_t& back, const gravo::surface_t& track, const gravo::surface_t& cap,
                   double value) noexcept;

// The knob picture and, only while dragging, the turn indicator: a white line from the centre towards
// angle, then a grey circle drawn over it.
bool compose_encoder(gravo::surface_t& back, const gravo::surface_t& image, bool dragging,
                     double angle) noexcept;

inline constexpr gravo::pixel_t indicator_line_colour = 0x00FFFFFF;
inline constexpr gravo::pixel_t indicator_circle_colour = 0x008F8F8F;

} // namespace orvel
