#include "byte_queue.h"

#include <algorithm>
#include <cstring>

namespace wineloop {
namespace {

constexpr std::uint32_t kMask = ByteQueue::kCapacity - 1;
static_assert((ByteQueue::kCapacity & kMask) == 0, "the capacity must be a power of two");

std::uint32_t used(const ByteQueue& queue) {
    return queue.write - queue.read;
}

void copyIn(ByteQueue& queue, std::uint32_t at, const void* data, std::uint32_t size) {
    const std::uint32_t offset = at & kMask;
    const std::uint32_t first = std::min(size, ByteQueue::kCapacity - offset);
    std::memcpy(queue.bytes + offset, data, first);
    std::memcpy(queue.bytes, static_cast<const std::uint8_t*>(data) + first, size - first);
}

} // namespace

void clearQueue(ByteQueue& queue) {
    queue.read = queue.write;
}

bool queueIsSane(const ByteQueue& queue) {
    return used(queue) <= ByteQueue::kCapacity;
}

std::uint32_t queueFreeSpace(const ByteQueue& queue) {
    return queueIsSane(queue) ? ByteQueue::kCapacity - used(queue) : 0;
}

bool pushToQueue(ByteQueue& queue, const void* head, std::uint32_t headSize, const void* body,
                 std::uint32_t bodySize) {
    if (headSize > ByteQueue::kCapacity || bodySize > ByteQueue::kCapacity ||
        queueFreeSpace(queue) < headSize + bodySize)
        return false;
    copyIn(queue, queue.write, head, headSize);
    copyIn(queue, queue.write + headSize, body, bodySize);
    // Published last: a writer that dies before this line leaves nothing half-written behind.
    queue.write += headSize + bodySize;
    return true;
}

void takeAllFromQueue(ByteQueue& queue, std::vector<std::uint8_t>& out) {
    if (!queueIsSane(queue)) {
        clearQueue(queue);
        return;
    }
    const std::uint32_t size = used(queue);
    const std::uint32_t offset = queue.read & kMask;
    const std::uint32_t first = std::min(size, ByteQueue::kCapacity - offset);
    out.insert(out.end(), queue.bytes + offset, queue.bytes + offset + first);
    out.insert(out.end(), queue.bytes, queue.bytes + (size - first));
    queue.read += size;
}

} // namespace wineloop
