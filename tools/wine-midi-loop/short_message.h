// Short messages as a MIDI cable carries them: the status byte always present, unused bytes zero.
#pragma once

#include <cstdint>

namespace wineloop {

// Bytes in a message that starts with this status (1 to 3); 0 for the start and end of System Exclusive,
// which never travel as short messages.
int shortMessageLength(std::uint8_t status);

// Completes a packed message (status in the low byte) for the wire: a message without a status byte takes
// the running status, and the bytes beyond its length are cleared. runningStatus is updated as a sender's
// would be. Returns false when there is nothing valid to send.
bool completeShortMessage(std::uint32_t packed, std::uint8_t& runningStatus, std::uint32_t& complete);

} // namespace wineloop
