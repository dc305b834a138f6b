#pragma once
// One message of the wire in words, for people watching what the controller and the host say to each other:
// "90 5E 7F  Play pressed", "F0 43 10 3E 15 00 01 F7  host ready".

#include <cstddef>
#include <cstdint>
#include <string>

namespace cc121 {

enum class Direction { FromController, ToController };

// The bytes in hex (at most kDescribedBytes of them, then "..."), two spaces, and what they mean from the
// side that receives them. A message the other side would ignore says so.
std::string describeMessage(Direction direction, const std::uint8_t* data, std::size_t size);

inline constexpr std::size_t kDescribedBytes = 16;

} // namespace cc121
