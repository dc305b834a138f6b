#pragma once
// The surface's output to the controller, kept off the host's thread. The host calls the surface on its main
// (GUI) thread, and the controller needs 5 ms between a lamp's Note On and its Note Off and after the
// host-ready message: sleeping there would stall the host's interface. So the calling thread only queues
// groups of messages, and one worker thread per surface sends them in order through the host's output,
// keeping each pause as a real gap on the wire. The worker calls nothing of the host but the output's Send
// and SendMsg, and the host's thread never waits for it while queueing.

#include "midi_monitor.h"
#include "reaper_abi.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>

class MidiOutputQueue {
public:
    // Groups that may wait at once. A group takes about 5 ms of wire and the host runs the surface about 30
    // times a second, so only a host flooding the surface ever reaches this; the waiting lamp groups are then
    // merged into one that carries the final state (see push). The room is taken once, at construction, so
    // queueing never allocates and never loses a group.
    static constexpr std::size_t kMaxWaiting = 64;
    // The pause that separates a lamp group's Note Ons from its Note Offs, and follows the host-ready
    // message.
    static constexpr std::uint32_t kGapMs = 5;
    // How long stopping waits for the worker to leave a pause or a message it has begun.
    static constexpr std::uint32_t kStopWaitMs = 250;

    // Starts the worker on `out`, which must outlive the queue's stop. What goes out is noted in `monitor`
    // when given, which must outlive the stop as well.
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

    // The last word: folds everything waiting into one lamp group with the final state (a waiting host-ready
    // message or pause is dropped) and a gap, so the final lamps go out first thing however much was queued.
    // Waits at most `timeoutMs` of real time for it to go out, then stops. True when nothing was dropped.
    bool finishAndStop(std::uint32_t timeoutMs);
    // Drops what waits and stops the worker; a group it has begun ends after its current message.
    void discardAndStop();
    // Blocks until nothing waits and the worker is idle (tests and diagnostics).
    void waitIdle();

    // Both stops return within their bound even when the worker is stuck in a pause: the worker is then left
    // to end on its own, cut off from the output, so the output may be destroyed as soon as they return.

private:
    struct Shared;
    using Clock = std::chrono::steady_clock;

    void stopWorker(Clock::time_point deadline);

    std::shared_ptr<Shared> m_shared; // the worker holds it too, in case it outlives the queue
    std::thread m_worker;
};
