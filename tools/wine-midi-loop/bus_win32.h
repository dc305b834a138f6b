// The prefix-wide exchange behind every port: named shared memory (shared_layout.h), one named mutex that
// guards all of it, an event per reader that senders set, and an event per port that readers set when a
// sender is waiting for room.
#pragma once

#include "handle_win32.h"
#include "liveness_win32.h"
#include "record.h"
#include "shared_layout.h"

#include <cstdint>
#include <vector>

namespace wineloop {

// An input's claim on a reader slot. The generation tells a slot that was reclaimed and reused apart.
struct ReaderTicket {
    int port = -1;
    int slot = -1;
    std::uint32_t generation = 0;
    UniqueHandle dataEvent; // auto-reset; senders set it after filling the queue
};

class Bus {
public:
    // The process-wide bus, or nullptr when the named objects cannot be created.
    static Bus* instance();

    bool claimReader(int port, ReaderTicket& ticket);
    void releaseReader(const ReaderTicket& ticket);
    // Empties the queue and lets senders fill it; the returned time precedes every record it will receive.
    bool startReader(const ReaderTicket& ticket, std::uint32_t& startTime);
    void stopReader(const ReaderTicket& ticket);
    // Appends every queued byte to out; false when the slot is no longer this ticket's.
    bool drain(const ReaderTicket& ticket, std::vector<std::uint8_t>& out);

    // Copies one record into the queue of every running reader of the port. Waits a while for a full
    // queue to drain, then gives up on that reader alone.
    bool publish(int port, RecordKind kind, const void* payload, std::uint16_t size);

private:
    class Lock;
    struct CachedEvent {
        std::uint32_t generation = 0;
        UniqueHandle event;
    };

    Bus() = default;
    bool open();
    ReaderSlot* slotOf(const ReaderTicket& ticket);
    bool slotOwnerIsRunning(const ReaderSlot& slot) const;
    void freeSlot(ReaderSlot& slot);
    void repair();
    bool needsToWait(int port, std::uint32_t need, DWORD deadline);
    void wakeReader(int port, int index, const ReaderSlot& slot);

    UniqueHandle m_mapping;
    UniqueHandle m_mutex;
    UniqueHandle m_spaceEvents[kPortCount];
    SharedArea* m_area = nullptr;
    ProcessIdentity m_self{};
    // Handles to other processes' data events, opened once per slot generation; guarded by the mutex.
    CachedEvent m_dataEvents[kPortCount][kReadersPerPort];
};

} // namespace wineloop
