#include "midi_monitor.h"

#include <atomic>

namespace tamsel {
namespace {

std::atomic<bool> g_monitorOn{false};

} // namespace

bool midiMonitorOn() {
    return g_monitorOn.load(std::memory_order_relaxed);
}

void setMidiMonitorOn(bool on) {
    g_monitorOn.store(on, std::memory_order_relaxed);
}

void MidiMonitor::note(cc121::Direction direction, const std::uint8_t* data, std::size_t size) {
    if (!midiMonitorOn())
        return;
    try {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_lines.size() >= kLinesPerRun) {
                ++m_more; // only counted: a flood must not cost the worker or the next Run its formatting
                m_waiting.store(true, std::memory_order_release);
                return;
            }
        }
        std::string line = direction == cc121::Direction::FromController ? "in  " : "out ";
        line += cc121::describeMessage(direction, data, size);
        line += '\n';
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_lines.size() < kLinesPerRun)
            m_lines.push_back(std::move(line));
        else
            ++m_more;
        m_waiting.store(true, std::memory_order_release);
    } catch (...) {
        // A line that finds no memory is not shown; the surface goes on.
    }
}

std::string MidiMonitor::take() {
    if (!m_waiting.load(std::memory_order_acquire))
        return {};
    std::vector<std::string> lines;
    std::size_t more = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        lines.swap(m_lines);
        more = m_more;
        m_more = 0;
        m_waiting.store(false, std::memory_order_relaxed);
    }
    std::string text;
    for (const std::string& line : lines)
        text += line;
    if (more > 0)
        text += "(" + std::to_string(more) + " more)\n";
    return text;
}

} // namespace tamsel
