#include "midi_output_queue.h"

#include "cc121_controls.h"
#include "cc121_messages.h"
#include "platform.h"

#include <algorithm>
#include <chrono>

using namespace cc121;

namespace {

constexpr int kNoOffset = -1; // deliver at once

} // namespace

MidiOutputQueue::MidiOutputQueue(midi_Output* out, tamsel::MidiMonitor* monitor)
    : m_out(out), m_monitor(monitor), m_worker([this] { run(); }) {}

MidiOutputQueue::~MidiOutputQueue() {
    discardAndStop();
}

void MidiOutputQueue::pushLamps(std::uint32_t lamps, std::uint32_t changed, int faderPosition) {
    if (changed == 0 && faderPosition < 0)
        return;
    Group g{Group::Kind::Lamps};
    g.lamps = lamps;
    g.changed = changed;
    g.fader = faderPosition;
    push(g);
}

void MidiOutputQueue::pushHostReady() {
    push(Group{Group::Kind::HostReady});
}

void MidiOutputQueue::pushPause(std::uint32_t ms) {
    Group g{Group::Kind::Pause};
    g.pauseMs = ms;
    push(g);
}

// Called from the host's callbacks, which no exception may leave: a group that finds no memory is dropped
// (the next full resend repairs the controller).
void MidiOutputQueue::push(const Group& group) {
    try {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping)
            return;
        if (m_waiting.size() >= kMaxWaiting)
            mergeWaiting();
        m_waiting.push_back(group);
    } catch (...) {
        return;
    }
    m_wake.notify_one();
}

// Only a flooded queue gets here. Every lamp any waiting group would have sent goes out once with its final
// state, and the fader with its last position, so the controller still ends where the surface believes it
// is; one host-ready message stands for the waiting ones, and the longest pause for the pauses.
void MidiOutputQueue::mergeWaiting() {
    Group lamps{Group::Kind::Lamps};
    bool anyLamps = false;
    bool anyReady = false;
    std::uint32_t pause = 0;
    for (const Group& g : m_waiting) {
        switch (g.kind) {
        case Group::Kind::Lamps:
            anyLamps = true;
            lamps.lamps = g.lamps;
            lamps.changed |= g.changed;
            if (g.fader >= 0)
                lamps.fader = g.fader;
            break;
        case Group::Kind::HostReady:
            anyReady = true;
            break;
        case Group::Kind::Pause:
            pause = std::max(pause, g.pauseMs);
            break;
        }
    }
    m_waiting.clear();
    if (anyReady)
        m_waiting.push_back(Group{Group::Kind::HostReady});
    if (anyLamps)
        m_waiting.push_back(lamps);
    if (pause > 0) {
        Group g{Group::Kind::Pause};
        g.pauseMs = pause;
        m_waiting.push_back(g);
    }
}

void MidiOutputQueue::run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_waiting.empty())
            break; // stopping, and everything went out or was dropped
        const Group group = m_waiting.front();
        m_waiting.pop_front();
        m_busy = true;
        lock.unlock();
        send(group);
        lock.lock();
        m_busy = false;
        if (m_waiting.empty())
            m_idle.notify_all();
    }
    m_idle.notify_all();
}

void MidiOutputQueue::send(const Group& group) {
    auto gap = [this](std::uint32_t ms) {
        if (!aborted())
            tamsel::platform().pauseMs(ms);
    };
    auto out = [this](const ShortMessage& m) {
        if (aborted())
            return;
        m_out->Send(m.status, m.data1, m.data2, kNoOffset);
        if (m_monitor) {
            const std::uint8_t bytes[] = {m.status, m.data1, m.data2};
            m_monitor->note(cc121::Direction::ToController, bytes, sizeof bytes);
        }
    };
    switch (group.kind) {
    case Group::Kind::Lamps:
        if (group.fader >= 0)
            out(motorFaderMessage(group.fader));
        if (group.changed != 0) {
            for (const ButtonInfo& b : kButtons)
                if (b.hasLamp && (group.changed & b.bit))
                    out(lampMessage(b.note, (group.lamps & b.bit) != 0));
            gap(kGapMs);
            for (const ButtonInfo& b : kButtons)
                if (b.hasLamp && (group.changed & b.bit))
                    out(lampCloseMessage(b.note));
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
        if (!aborted()) {
            m_out->SendMsg(&ready.event, kNoOffset);
            if (m_monitor)
                m_monitor->note(cc121::Direction::ToController, kHostReadyMessage.data(),
                                kHostReadyMessage.size());
        }
        gap(kGapMs);
        break;
    }
    case Group::Kind::Pause:
        gap(group.pauseMs);
        break;
    }
}

bool MidiOutputQueue::drainAndStop(std::uint32_t timeoutMs) {
    bool drained = false;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        drained = m_idle.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [this] { return m_stopping || (m_waiting.empty() && !m_busy); });
        if (!drained) {
            m_waiting.clear();
            m_abort.store(true, std::memory_order_relaxed);
        }
    }
    stop();
    return drained;
}

void MidiOutputQueue::discardAndStop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_waiting.clear();
        m_abort.store(true, std::memory_order_relaxed);
    }
    stop();
}

void MidiOutputQueue::stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void MidiOutputQueue::waitIdle() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_stopping || (m_waiting.empty() && !m_busy); });
}
