#include "bus_win32.h"

#include "loop_names.h"

#include <mmsystem.h>

#include <string>

namespace wineloop {
namespace {

constexpr DWORD kLockPatienceMs = 5000;   // nobody holds the mutex for more than a copy
constexpr DWORD kSenderPatienceMs = 2000; // how long a sender waits for a live reader to make room
constexpr DWORD kRoomPollMs = 5;          // other senders may take the room first: look again soon

std::wstring dataEventName(int port, int slot, std::uint32_t generation) {
    return kDataEventPrefix + std::to_wstring(port) + L"-" + std::to_wstring(slot) + L"-" +
           std::to_wstring(generation);
}

} // namespace

// Holds the shared mutex. A process killed while holding it leaves it abandoned: the next owner takes it
// over and repairs what a half-done update could have left inconsistent.
class Bus::Lock {
public:
    explicit Lock(Bus& bus) : m_bus(bus) {
        const DWORD result = WaitForSingleObject(bus.m_mutex.get(), kLockPatienceMs);
        m_held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
        if (result == WAIT_ABANDONED)
            bus.repair();
    }
    ~Lock() {
        if (m_held)
            ReleaseMutex(m_bus.m_mutex.get());
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    explicit operator bool() const { return m_held; }

private:
    Bus& m_bus;
    bool m_held = false;
};

Bus* Bus::instance() {
    // Never destroyed: reader threads may still be running while the process exits.
    static Bus* const bus = [] {
        Bus* created = new Bus();
        if (created->open())
            return created;
        delete created;
        return static_cast<Bus*>(nullptr);
    }();
    return bus;
}

bool Bus::open() {
    m_self = currentProcess();
    m_mutex.reset(CreateMutexW(nullptr, FALSE, kMutexName));
    m_mapping.reset(
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SharedArea), kAreaName));
    if (!m_mutex || !m_mapping)
        return false;
    m_area = static_cast<SharedArea*>(
        MapViewOfFile(m_mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedArea)));
    if (!m_area)
        return false;
    for (int port = 0; port < kPortCount; ++port) {
        const std::wstring name = kSpaceEventPrefix + std::to_wstring(port);
        m_spaceEvents[port].reset(CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
        if (!m_spaceEvents[port])
            return false;
    }
    return true;
}

ReaderSlot* Bus::slotOf(const ReaderTicket& ticket) {
    ReaderSlot& slot = m_area->ports[ticket.port].readers[ticket.slot];
    if (slot.state == kSlotFree || slot.generation != ticket.generation)
        return nullptr;
    return &slot;
}

bool Bus::slotOwnerIsRunning(const ReaderSlot& slot) const {
    if (slot.pid == m_self.pid && slot.createdAt == m_self.createdAt)
        return true;
    return processIsRunning(ProcessIdentity{slot.pid, slot.createdAt});
}

void Bus::freeSlot(ReaderSlot& slot) {
    slot.state = kSlotFree;
    ++slot.generation;
    slot.pid = 0;
    slot.createdAt = 0;
    slot.stalled = 0;
    slot.senderWaiting = 0;
    clearQueue(slot.queue);
}

void Bus::repair() {
    for (PortArea& area : m_area->ports) {
        for (ReaderSlot& slot : area.readers) {
            if (slot.state > kSlotRunning)
                freeSlot(slot);
            if (!queueIsSane(slot.queue))
                clearQueue(slot.queue);
        }
    }
}

bool Bus::claimReader(int port, ReaderTicket& ticket) {
    Lock lock(*this);
    if (!lock)
        return false;
    ReaderSlot* readers = m_area->ports[port].readers;
    int chosen = -1;
    for (int i = 0; i < kReadersPerPort && chosen < 0; ++i) {
        if (readers[i].state == kSlotFree)
            chosen = i;
    }
    for (int i = 0; i < kReadersPerPort && chosen < 0; ++i) {
        if (!slotOwnerIsRunning(readers[i])) {
            freeSlot(readers[i]);
            chosen = i;
        }
    }
    if (chosen < 0)
        return false;
    ReaderSlot& slot = readers[chosen];
    const std::uint32_t generation = slot.generation + 1;
    UniqueHandle event(CreateEventW(nullptr, FALSE, FALSE, dataEventName(port, chosen, generation).c_str()));
    if (!event)
        return false;
    slot.generation = generation;
    slot.pid = m_self.pid;
    slot.createdAt = m_self.createdAt;
    slot.stalled = 0;
    slot.senderWaiting = 0;
    slot.dropped = 0;
    clearQueue(slot.queue);
    slot.state = kSlotOpen;
    ticket.port = port;
    ticket.slot = chosen;
    ticket.generation = generation;
    ticket.dataEvent = std::move(event);
    return true;
}

void Bus::releaseReader(const ReaderTicket& ticket) {
    Lock lock(*this);
    if (!lock)
        return;
    if (ReaderSlot* slot = slotOf(ticket))
        freeSlot(*slot);
}

bool Bus::startReader(const ReaderTicket& ticket, std::uint32_t& startTime) {
    Lock lock(*this);
    ReaderSlot* slot = lock ? slotOf(ticket) : nullptr;
    if (!slot)
        return false;
    clearQueue(slot->queue);
    slot->stalled = 0;
    slot->state = kSlotRunning;
    startTime = timeGetTime();
    return true;
}

void Bus::stopReader(const ReaderTicket& ticket) {
    Lock lock(*this);
    if (!lock)
        return;
    if (ReaderSlot* slot = slotOf(ticket))
        slot->state = kSlotOpen;
}

bool Bus::drain(const ReaderTicket& ticket, std::vector<std::uint8_t>& out) {
    bool senderWaiting = false;
    {
        Lock lock(*this);
        ReaderSlot* slot = lock ? slotOf(ticket) : nullptr;
        if (!slot)
            return false;
        takeAllFromQueue(slot->queue, out);
        slot->stalled = 0;
        senderWaiting = slot->senderWaiting != 0;
        slot->senderWaiting = 0;
    }
    if (senderWaiting)
        SetEvent(m_spaceEvents[ticket.port].get());
    return true;
}

bool Bus::needsToWait(int port, std::uint32_t need, DWORD deadline) {
    bool waiting = false;
    for (ReaderSlot& slot : m_area->ports[port].readers) {
        if (slot.state != kSlotRunning || queueFreeSpace(slot.queue) >= need)
            continue;
        if (!slotOwnerIsRunning(slot)) {
            freeSlot(slot);
        } else if (slot.stalled) {
            // Gave up on it once already; it loses what does not fit until it drains again.
        } else if (deadlinePassed(deadline)) {
            slot.stalled = 1;
        } else {
            slot.senderWaiting = 1;
            waiting = true;
        }
    }
    return waiting;
}

void Bus::wakeReader(int port, int index, const ReaderSlot& slot) {
    CachedEvent& cached = m_dataEvents[port][index];
    if (!cached.event || cached.generation != slot.generation) {
        cached.event.reset(
            OpenEventW(EVENT_MODIFY_STATE, FALSE, dataEventName(port, index, slot.generation).c_str()));
        cached.generation = slot.generation;
    }
    if (cached.event)
        SetEvent(cached.event.get());
}

bool Bus::publish(int port, RecordKind kind, const void* payload, std::uint16_t size) {
    const std::uint32_t need = sizeof(RecordHeader) + size;
    const DWORD deadline = GetTickCount() + kSenderPatienceMs;
    for (;;) {
        {
            Lock lock(*this);
            if (!lock)
                return false;
            if (!needsToWait(port, need, deadline)) {
                const RecordHeader header{timeGetTime(), kind, size};
                for (int i = 0; i < kReadersPerPort; ++i) {
                    ReaderSlot& slot = m_area->ports[port].readers[i];
                    if (slot.state != kSlotRunning)
                        continue;
                    if (queueFreeSpace(slot.queue) < need) {
                        ++slot.dropped;
                        continue;
                    }
                    // Only a reader with an empty queue needs waking: any other was woken and has not
                    // drained yet. Woken before the record is published, so a sender that dies in between
                    // leaves no record behind that nobody was told about.
                    if (slot.queue.read == slot.queue.write)
                        wakeReader(port, i, slot);
                    pushToQueue(slot.queue, &header, sizeof header, payload, size);
                }
                return true;
            }
            // Reset with the mutex held, so a reader that drains after this point is sure to wake us.
            ResetEvent(m_spaceEvents[port].get());
        }
        WaitForSingleObject(m_spaceEvents[port].get(), kRoomPollMs);
    }
}

} // namespace wineloop
