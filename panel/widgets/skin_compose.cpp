#include "skin_compose.h"

#include "encoder_motion.h"
#include "fader_motion.h"

namespace orvel {

void prepare_back(gravo::surface_t& back, const gravo::surface_t& source, std::int32_t width,
                  std::int32_t height) noexcept {
    back.clear();
    if (source.is_valid()) {
        back.create(width, height);
    }
}

bool compose_fader(gravo::surface_t& back, const gravo::surface_t& track, const gravo::surface_t& cap,
                   double value) noexcept {
    if (!track.blit_to(back, 0, 0, 0, 0, track.width, track.height)) {
        return false;
    }
    const std::int32_t top = fader_cap_top(track.height, cap.height, value);
    cap.blit_to(back, 0, top, 0, 0, cap.width, cap.height);
    return true;
}

bool compose_encoder(gravo::surface_t& back, const gravo::surface_t& image, bool dragging,
                     double angle) noexcept {
    if (!image.blit_to(back, 0, 0, 0, 0, image.width, image.height)) {
        return false;
    }
    if (dragging) {
        const indicator_t hand = encoder_indicator(back.width, back.height, angle);
        back.draw_line(hand.centre.x, hand.centre.y, hand.tip.x, hand.tip.y, indicator_line_colour);
        back.draw_circle(hand.centre.x, hand.centre.y, hand.radius, indicator_circle_colour);
    }
    return true;
}

} // namespace orvel
