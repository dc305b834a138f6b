#pragma once
// The two widgets that exist once and always sit in the same place of the face.

namespace orvel {

inline constexpr int fader_x = 39;
inline constexpr int fader_y = 68;
inline constexpr int fader_width = 59;
inline constexpr int fader_height = 360;
inline constexpr int fader_control_id = 3944;

inline constexpr int light_x = 663;
inline constexpr int light_y = 53;
inline constexpr int light_size = 20;

} // namespace orvel
