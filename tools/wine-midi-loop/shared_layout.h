// The memory every process of the prefix maps: per port, a fixed set of reader slots, each with its own
// queue. A sender copies each record into the queue of every running reader of the port, so a slow or dead
// reader holds up nobody but itself. Every field is read and written only with the shared mutex held.
#pragma once

#include "byte_queue.h"

#include <cstdint>

namespace wineloop {

inline constexpr int kPortCount = 2;
inline constexpr int kReadersPerPort = 8;

enum SlotState : std::uint32_t {
    kSlotFree = 0,
    kSlotOpen = 1,    // claimed by an open input that is not started: senders skip it
    kSlotRunning = 2, // started: senders fill its queue
};

struct ReaderSlot {
    std::uint32_t state;
    std::uint32_t generation; // bumped on every claim and release; names the slot's data event
    std::uint32_t pid;
    std::uint32_t stalled;   // a sender gave up waiting for room; cleared when the reader drains
    std::uint64_t createdAt; // owner's process creation time, so a reused process id is not mistaken
    std::uint32_t senderWaiting;
    std::uint32_t dropped; // records this reader lost (its queue full, it stalled)
    ByteQueue queue;
};

struct PortArea {
    ReaderSlot readers[kReadersPerPort];
};

// A new mapping starts zeroed: every slot free, every queue empty.
struct SharedArea {
    PortArea ports[kPortCount];
};

} // namespace wineloop
