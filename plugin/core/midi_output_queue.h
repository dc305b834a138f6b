#pragma once
// The surface's output to the controller, kept off the host's thread. The host calls the surface on its main
// (GUI) thread, and the controller needs 5 ms between a lamp's Note On and its Note Off and after the
// host-ready message: sleeping there would stall the host's interface. So the calling thread only queues
// groups of messages, and one worker thread per surface sends them in order through the host's output,
// keeping each pause as a real gap on the wire. The worker calls nothing of the host but the output's Send
// and SendMsg, and no lock is held while it does.

#include "midi_monitor.h"
#include "reaper_abi.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

class MidiOutputQueue {
public:
    // Groups that may wait at once. A group takes about 5 ms of wire and the host runs the surface about 30
    // times a second, so only a host flooding the surface ever reaches this; the waiting lamp groups are then
    // merged into one that carries the final state (see push).
    static constexpr std::size_t kMaxWaiting = 64;
    // The pause that separates a lamp group's Note Ons from its Note Offs, and follows the host-ready
    // message.
    static constexpr std::uint32_t kGapMs = 5;

    // Starts the worker on `out`, which must outlive it (stop the worker before destroying the output). What
    // goes out is noted in `monitor` when given; it too must outlive the worker.
    explicit MidiOutputQueue(midi_Output* out, tamsel::MidiMonitor* monitor = nullptr);
    ~MidiOutputQueue(); // discards what waits
    MidiOutputQueue(const MidiOutputQueue&) = delete;
    MidiOutputQueue& operator=(const MidiOutputQueue&) = delete;

    // One lamp update: the motor fader (when `faderPosition` >= 0), then for each lamp in `changed`, in the
    // controller's table order, its Note On (lit when its bit is set in `lamps`), a gap, and the Note Offs.
    void pushLamps(std::uint32_t lamps, std::uint32_t changed, int faderPosition);
    // The host-ready message, then a gap.
    void pushHostReady();
    // A gap before whatever comes next.
    void pushPause(std::uint32_t ms);

    // Waits, at most `timeoutMs` of real time, until everything has gone out; then stops the worker and
    // drops whatever is left. True when nothing was dropped.
    bool drainAndStop(std::uint32_t timeoutMs);
    // Drops what waits and stops the worker; a group it has begun ends after its current message.
    void discardAndStop();
    // Blocks until nothing waits and the worker is idle (tests and diagnostics).
    void waitIdle();

private:
    struct Group {
        enum class Kind { Lamps, HostReady, Pause } kind;
        std::uint32_t lamps = 0;
        std::uint32_t changed = 0;
        int fader = -1;
        std::uint32_t pauseMs = 0;
    };

    void push(const Group& group);
    void mergeWaiting(); // with the lock held
    void run();
    void send(const Group& group);
    bool aborted() const { return m_abort.load(std::memory_order_relaxed); }
    void stop();

    midi_Output* m_out;
    tamsel::MidiMonitor* m_monitor;
    std::mutex m_mutex;
    std::condition_variable m_wake; // the worker waits for work or the stop
    std::condition_variable m_idle; // waitIdle and drainAndStop wait for an empty queue
    std::deque<Group> m_waiting;
    bool m_busy = false;
    bool m_stopping = false;
    std::atomic<bool> m_abort{false};
    std::thread m_worker;
};
