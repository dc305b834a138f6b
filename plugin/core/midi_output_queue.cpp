#include "midi_output_queue.h"

#include "cc121_controls.h"
#include "cc121_messages.h"
#include "platform.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>

using namespace cc121;

namespace {

constexpr int kNoOffset = -1; // deliver at once

} // namespace

struct MidiOutputQueue::Shared {
    struct Group {
        enum class Kind { Lamps, HostReady, Pause } kind;
        std::uint32_t lamps = 0;
        std::uint32_t changed = 0;
        int fader = -1;
        std::uint32_t pauseMs = 0;
    };

    Shared(midi_Output* o, tamsel::MidiMonitor* m) : out(o), monitor(m) {}

    // The waiting groups, oldest first, in a ring of fixed room; all with the mutex held.
    bool empty() const { return count == 0; }
    void append(const Group& g) {
        ring[(head + count) % ring.size()] = g;
        ++count;
    }
    Group takeFront() {
        const Group g = ring[head];
        head = (head + 1) % ring.size();
        --count;
        return g;
    }
    void clear() { head = count = 0; }
    // Every waiting lamp group as one: each lamp any of them would have sent, with its final state, and the
    // fader's last position. False when none waits.
    bool foldLamps(Group& lamps) const {
        lamps = Group{Group::Kind::Lamps};
        bool any = false;
        for (std::size_t i = 0; i < count; ++i) {
            const Group& g = ring[(head + i) % ring.size()];
            if (g.kind != Group::Kind::Lamps)
                continue;
            any = true;
            lamps.lamps = g.lamps;
            lamps.changed |= g.changed;
            if (g.fader >= 0)
                lamps.fader = g.fader;
        }
        return any;
    }

    void merge();
    void push(const Group& group);
    void send(const Group& group);
    void work();

    midi_Output* const out;
    tamsel::MidiMonitor* const monitor; // noted under sendMutex, so never after the stop
    std::mutex mutex;
    std::condition_variable wake; // the worker waits for work or the stop
    std::condition_variable idle; // for the end of each group: waitIdle, the drain and the stop
    std::array<Group, kMaxWaiting> ring{};
    std::size_t head = 0;
    std::size_t count = 0;
    bool busy = false;
    bool stopping = false;
    bool finished = false;
    // The rest of a begun group is skipped. The worker reads it under sendMutex before each message, so once
    // the stop has set it there, the worker never touches the output again.
    std::atomic<bool> abort{false};
    std::mutex sendMutex;
};

// Only a flooded queue gets here. The controller still ends where the surface believes it is; one host-ready
// message stands for the waiting ones, and the longest pause for the pauses.
void MidiOutputQueue::Shared::merge() {
    Group lamps;
    const bool anyLamps = foldLamps(lamps);
    bool anyReady = false;
    std::uint32_t pause = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const Group& g = ring[(head + i) % ring.size()];
        if (g.kind == Group::Kind::HostReady)
            anyReady = true;
        else if (g.kind == Group::Kind::Pause)
            pause = std::max(pause, g.pauseMs);
    }
    clear();
    if (anyReady)
        append(Group{Group::Kind::HostReady});
    if (anyLamps)
        append(lamps);
    if (pause > 0) {
        Group g{Group::Kind::Pause};
        g.pauseMs = pause;
        append(g);
    }
}

// Called from the host's callbacks, which no exception may leave; queueing itself allocates nothing.
void MidiOutputQueue::Shared::push(const Group& group) {
    try {
        std::lock_guard<std::mutex> lock(mutex);
        if (stopping)
            return;
        if (count >= ring.size())
            merge();
        append(group);
    } catch (...) {
        return; // a mutex that cannot be locked: nothing can go out anyway
    }
    wake.notify_one();
}

void MidiOutputQueue::Shared::send(const Group& group) {
    auto gap = [this](std::uint32_t ms) {
        if (!abort.load())
            tamsel::platform().pauseMs(ms);
    };
    auto deliver = [this](const ShortMessage& m) {
        std::lock_guard<std::mutex> lock(sendMutex);
        if (abort.load())
            return;
        out->Send(m.status, m.data1, m.data2, kNoOffset);
        if (monitor) {
            const std::uint8_t bytes[] = {m.status, m.data1, m.data2};
            monitor->note(Direction::ToController, bytes, sizeof bytes);
        }
    };
    switch (group.kind) {
    case Group::Kind::Lamps:
        if (group.fader >= 0)
            deliver(motorFaderMessage(group.fader));
        if (group.changed != 0) {
            for (const ButtonInfo& b : kButtons)
                if (b.hasLamp && (group.changed & b.bit))
                    deliver(lampMessage(b.note, (group.lamps & b.bit) != 0));
            gap(MidiOutputQueue::kGapMs);
            for (const ButtonInfo& b : kButtons)
                if (b.hasLamp && (group.changed & b.bit))
                    deliver(lampCloseMessage(b.note));
        }
        break;
    case Group::Kind::HostReady: {
        // The record holds four bytes; the message's other four run on in the same allocation.
        struct {
            MIDI_event_t event;
            unsigned char rest[4];
        } ready{};
        ready.event.frame_offset = 0;
        ready.event.size = static_cast<int>(kHostReadyMessage.size());
        for (std::size_t i = 0; i < 4; ++i)
            ready.event.midi_message[i] = kHostReadyMessage[i];
        for (std::size_t i = 0; i < 4; ++i)
            ready.rest[i] = kHostReadyMessage[4 + i];
        {
            std::lock_guard<std::mutex> lock(sendMutex);
            if (!abort.load()) {
                out->SendMsg(&ready.event, kNoOffset);
                if (monitor)
                    monitor->note(Direction::ToController, kHostReadyMessage.data(),
                                  kHostReadyMessage.size());
            }
        }
        gap(MidiOutputQueue::kGapMs);
        break;
    }
    case Group::Kind::Pause:
        gap(group.pauseMs);
        break;
    }
}

void MidiOutputQueue::Shared::work() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return stopping || !empty(); });
        if (empty())
            break; // stopping, and everything went out or was dropped
        const Group group = takeFront();
        busy = true;
        lock.unlock();
        send(group);
        lock.lock();
        busy = false;
        idle.notify_all();
    }
    finished = true;
    idle.notify_all();
}

MidiOutputQueue::MidiOutputQueue(midi_Output* out, tamsel::MidiMonitor* monitor)
    : m_shared(std::make_shared<Shared>(out, monitor)), m_worker([s = m_shared] { s->work(); }) {}

MidiOutputQueue::~MidiOutputQueue() {
    discardAndStop();
}

void MidiOutputQueue::pushLamps(std::uint32_t lamps, std::uint32_t changed, int faderPosition) {
    using Group = Shared::Group;
    if (changed == 0 && faderPosition < 0)
        return;
    Group g{Group::Kind::Lamps};
    g.lamps = lamps;
    g.changed = changed;
    g.fader = faderPosition;
    m_shared->push(g);
}

void MidiOutputQueue::pushHostReady() {
    using Group = Shared::Group;
    m_shared->push(Group{Group::Kind::HostReady});
}

void MidiOutputQueue::pushPause(std::uint32_t ms) {
    using Group = Shared::Group;
    Group g{Group::Kind::Pause};
    g.pauseMs = ms;
    m_shared->push(g);
}

bool MidiOutputQueue::finishAndStop(std::uint32_t timeoutMs) {
    if (!m_worker.joinable())
        return false;
    using Group = Shared::Group;
    Shared& s = *m_shared;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    bool drained = false;
    {
        std::unique_lock<std::mutex> lock(s.mutex);
        Group lamps;
        const bool anyLamps = s.foldLamps(lamps);
        s.clear();
        if (anyLamps)
            s.append(lamps);
        Group pause{Group::Kind::Pause};
        pause.pauseMs = kGapMs;
        s.append(pause);
        s.wake.notify_one();
        drained = s.idle.wait_until(lock, deadline, [&s] { return s.empty() && !s.busy; });
        if (!drained) {
            s.clear();
            s.abort.store(true);
        }
    }
    stopWorker(deadline);
    return drained;
}

void MidiOutputQueue::discardAndStop() {
    if (!m_worker.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->clear();
        m_shared->abort.store(true);
    }
    stopWorker(Clock::now() + std::chrono::milliseconds(kStopWaitMs));
}

// Waits until `deadline` for the worker to finish what it has begun. A worker that is still in a pause or a
// message then is cut off from the output (waiting only for a message being handed over) and left to end on
// its own: the host's thread must not hang on a machine that starves the worker.
void MidiOutputQueue::stopWorker(Clock::time_point deadline) {
    Shared& s = *m_shared;
    bool stuck = false;
    {
        std::unique_lock<std::mutex> lock(s.mutex);
        s.stopping = true;
        s.wake.notify_all();
        // Nothing waits now, so a worker between groups ends at once.
        stuck = !s.idle.wait_until(lock, deadline, [&s] { return s.finished || !s.busy; });
    }
    if (!stuck) {
        m_worker.join();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(s.sendMutex);
        s.abort.store(true);
    }
    tamsel::platform().keepCodeLoaded();
    m_worker.detach();
}

void MidiOutputQueue::waitIdle() {
    Shared& s = *m_shared;
    std::unique_lock<std::mutex> lock(s.mutex);
    s.idle.wait(lock, [&s] { return s.stopping || (s.empty() && !s.busy); });
}
