// The incoming side and the timers: lamps, the motor fader and host presence.
#include "midi_engine.h"

#include "cc121_messages.h"
#include "cc121_scales.h"

namespace kestro {

static_assert(std::atomic<double>::is_always_lock_free && std::atomic<std::uint32_t>::is_always_lock_free,
              "the input thread must never wait for the window thread");

namespace {

constexpr std::uint8_t kStatusMask = 0xF0;
constexpr std::uint8_t kSysExStart = 0xF0;
constexpr std::uint8_t kLampOnThreshold = 0x40; // velocity above it lights a lamp

// More than `limit` ms from `then` to `now` on the wrapping 32-bit tick. A `then` just after `now` (a
// host-ready message stamped after the timer read its clock) counts as no time passed, not as ~49 days.
bool olderThan(std::uint32_t now, std::uint32_t then, std::uint32_t limit) {
    const std::uint32_t age = now - then;
    return age > limit && age < 0x80000000u;
}

} // namespace

bool MidiEngine::lampLit(std::uint8_t note) const {
    return note <= kHighestButtonNote && m_lamps[note].load();
}

void MidiEngine::setLamp(std::uint8_t note, bool lit) {
    if (m_lamps[note].exchange(lit) != lit) {
        repaint(Repaint::Target::Button, buttonId(note));
    }
}

void MidiEngine::setListenerLight(bool lit) {
    if (m_listener_light.exchange(lit) != lit) {
        repaint(Repaint::Target::ListenerLight);
    }
}

void MidiEngine::inputHandler(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size == 0) {
        return;
    }
    if (data[0] == kSysExStart) {
        if (cc121::isHostReadyMessage(data, size)) {
            hostReady();
        }
        return;
    }
    if (!m_detection_disabled.load() && !m_listener_ready.load()) {
        return;
    }
    if (size < 3) {
        return;
    }
    switch (data[0] & kStatusMask) {
    case cc121::kStatusNoteOn: {
        const std::uint8_t note = data[1];
        if (note <= kHighestButtonNote && isNoteButton(note)) {
            setLamp(note, data[2] > kLampOnThreshold);
        }
        break;
    }
    case cc121::kStatusPitchBend:
        // The user's hand wins over the motor.
        if (!m_fader_dragging.load()) {
            const int position = cc121::positionFromPitchBend(data[1], data[2]);
            m_fader_value.store(position / static_cast<double>(cc121::kFaderMax));
            repaint(Repaint::Target::Fader);
        }
        break;
    default:
        // Note Off changes no lamp: the host follows every lamp message with one.
        break;
    }
}

void MidiEngine::hostReady() {
    // The time goes first: a presence check that sees the flag must also see the fresh time.
    const std::uint32_t now = m_hooks.now ? m_hooks.now() : 0;
    m_last_ready_time.store(now);
    m_listener_ready.store(true);
    setListenerLight(true);
}

void MidiEngine::timerHandler(unsigned timer_id, std::uint32_t now_ms) {
    if (m_detection_disabled.load()) {
        return;
    }
    if (timer_id == kPresenceTimerId) {
        presenceCheck(now_ms);
    } else if (timer_id == kBlinkTimerId) {
        blink();
    }
}

void MidiEngine::presenceCheck(std::uint32_t now_ms) {
    if (!m_listener_ready.load() || !olderThan(now_ms, m_last_ready_time.load(), kHostTimeoutMs)) {
        return;
    }
    m_listener_ready.store(false);
    setListenerLight(false);
    // A host-ready message that arrived since the check wins: the host is back, nothing goes dark.
    if (!olderThan(now_ms, m_last_ready_time.load(), kHostTimeoutMs)) {
        m_listener_ready.store(true);
        setListenerLight(true);
        return;
    }
    for (std::uint8_t note : kNoteButtons) {
        setLamp(note, false);
    }
}

void MidiEngine::blink() {
    if (m_listener_ready.load()) {
        return;
    }
    m_listener_light.store(!m_listener_light.load());
    // A host-ready message between the check and the flip keeps the light lit.
    if (m_listener_ready.load()) {
        m_listener_light.store(true);
    }
    repaint(Repaint::Target::ListenerLight);
}

} // namespace kestro
