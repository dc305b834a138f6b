// A byte ring that lives in memory shared by every process of the prefix. The indices run freely and wrap
// modulo 2^32, so the bytes held are always write - read. Another process may have died half-way through
// an update, so nothing here trusts the indices without checking them.
#pragma once

#include <cstdint>
#include <vector>

namespace wineloop {

struct ByteQueue {
    static constexpr std::uint32_t kCapacity = 64 * 1024; // a power of two
    std::uint32_t read;
    std::uint32_t write;
    std::uint8_t bytes[kCapacity];
};

void clearQueue(ByteQueue& queue);
bool queueIsSane(const ByteQueue& queue);
std::uint32_t queueFreeSpace(const ByteQueue& queue);

// Appends head then body, both or nothing; false when they do not fit.
bool pushToQueue(ByteQueue& queue, const void* head, std::uint32_t headSize, const void* body,
                 std::uint32_t bodySize);

// Moves every byte held to the end of out and empties the queue.
void takeAllFromQueue(ByteQueue& queue, std::vector<std::uint8_t>& out);

} // namespace wineloop
