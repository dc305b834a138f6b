// Recognisable MIDI traffic for tests: numbered short messages and System Exclusive blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wineloop::testkit {

using Bytes = std::vector<std::uint8_t>;

// A note-on that carries a sequence number (below 2^18) in its channel and data bytes, packed as
// midiOutShortMsg takes it.
std::uint32_t sequenceMessage(std::uint32_t number);
// The messages numbered first, first + 1, ... first + count - 1.
std::vector<std::uint32_t> sequence(std::uint32_t first, std::uint32_t count);

// F0, size - 2 data bytes counting up from seed, F7.
Bytes sysEx(std::size_t size, std::uint8_t seed);

} // namespace wineloop::testkit
