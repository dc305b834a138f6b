#pragma once
// "Show controller MIDI in the console": while it is on, every message from and to the controller becomes a
// line such as "in  90 5E 7F  Play pressed". Lines come from the host's thread (input) and from the surface's
// output worker; only the host's thread may write the host's console, so they wait here until the next Run
// takes them. A flood costs that Run a bounded time: beyond kLinesPerRun lines only a count is kept.

#include "cc121_describe.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace tamsel {

// The monitor's switch, shared by every surface of the process.
bool midiMonitorOn();
void setMidiMonitorOn(bool on);

class MidiMonitor {
public:
    static constexpr std::size_t kLinesPerRun = 50;

    // Notes one message when the monitor is on; any thread.
    void note(cc121::Direction direction, const std::uint8_t* data, std::size_t size);
    // The lines noted since the last call, each ending in a newline, then "(N more)" for the ones beyond
    // kLinesPerRun; empty when nothing was noted.
    std::string take();
    // True when a line or a count waits for take(); cheap enough for every Run.
    bool waiting() const { return m_waiting.load(std::memory_order_acquire); }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
    std::size_t m_more = 0;
    // Set with the mutex held when a line or a count waits, so an idle Run takes no lock.
    std::atomic<bool> m_waiting{false};
};

} // namespace tamsel
