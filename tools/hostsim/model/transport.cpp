#include "hostsim/model/transport.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace hostsim {

bool operator==(const PlayState& a, const PlayState& b) {
    return a.playing == b.playing && a.paused == b.paused && a.recording == b.recording;
}

bool operator!=(const PlayState& a, const PlayState& b) {
    return !(a == b);
}

void Transport::play() {
    if (m_state.playing)
        return;
    if (!m_state.paused)
        m_playPosition = m_cursor;
    m_state.playing = true;
    m_state.paused = false;
}

void Transport::stop() {
    m_state = PlayState{};
    m_playPosition = m_cursor;
}

void Transport::record() {
    if (m_state.recording) {
        stop();
        return;
    }
    if (!m_state.playing && !m_state.paused)
        m_playPosition = m_cursor;
    m_state = PlayState{true, false, true};
}

void Transport::pause() {
    if (m_state.playing) {
        m_state.playing = false;
        m_state.paused = true;
    } else if (m_state.paused) {
        m_state.playing = true;
        m_state.paused = false;
    } else {
        m_playPosition = m_cursor;
        m_state.paused = true;
    }
}

double Transport::playPosition() const {
    return m_state.playing || m_state.paused ? m_playPosition : m_cursor;
}

void Transport::setCursor(double seconds, bool seekPlay) {
    if (std::isnan(seconds))
        return;
    m_cursor = std::max(0.0, seconds);
    if (seekPlay)
        m_playPosition = m_cursor;
}

void Transport::setLength(double seconds) {
    if (!std::isnan(seconds))
        m_length = std::max(0.0, seconds);
}

void Transport::setMarkers(std::vector<double> seconds) {
    m_markers = std::move(seconds);
    std::sort(m_markers.begin(), m_markers.end());
}

double Transport::previousMarker() const {
    const auto it = std::lower_bound(m_markers.begin(), m_markers.end(), m_cursor);
    return it == m_markers.begin() ? 0.0 : *std::prev(it);
}

double Transport::nextMarker() const {
    const auto it = std::upper_bound(m_markers.begin(), m_markers.end(), m_cursor);
    return it == m_markers.end() ? m_length : *it;
}

} // namespace hostsim
