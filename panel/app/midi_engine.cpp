// Ports, options and the outgoing side: what each gesture sends.
#include "midi_engine.h"

#include "cc121_messages.h"
#include "port_names.h"

#include <algorithm>
#include <optional>

namespace kestro {

MidiEngine::MidiEngine(std::unique_ptr<MidiPorts> ports, MidiEngineHooks hooks)
    : m_hooks(std::move(hooks)), m_ports(std::move(ports)) {
    for (std::atomic<bool>& lamp : m_lamps) {
        lamp.store(false);
    }
}

MidiEngine::~MidiEngine() {
    closePorts();
}

bool MidiEngine::openPorts(const std::string& midi_in, const std::string& midi_out) {
    closePorts();
    if (m_ports == nullptr || midi_in.empty() || midi_out.empty()) {
        return false;
    }
    try {
        const std::optional<unsigned> in = findStoredPort(m_ports->inputPortNames(), midi_in);
        if (!in) {
            return false;
        }
        const std::optional<unsigned> out = findStoredPort(m_ports->outputPortNames(), midi_out);
        if (!out) {
            return false;
        }
        const auto receiver = [this](const std::uint8_t* data, std::size_t size) {
            inputHandler(data, size);
        };
        if (m_ports->openInput(*in, receiver) && m_ports->openOutput(*out)) {
            m_ports_open = true;
            return true;
        }
    } catch (...) {
        // The library's errors while opening are not the user's business: the panel runs without ports.
    }
    closePorts();
    return false;
}

void MidiEngine::closePorts() {
    m_ports_open = false;
    if (m_ports == nullptr) {
        return;
    }
    try {
        m_ports->close();
    } catch (...) {
    }
}

void MidiEngine::setDetectionDisabled(bool disabled) {
    m_detection_disabled.store(disabled);
    setListenerLight(disabled);
}

void MidiEngine::toggleArming(int control_id) {
    if (!noteButtonOf(control_id)) {
        return;
    }
    const auto it = std::find(m_armed.begin(), m_armed.end(), control_id);
    if (it != m_armed.end()) {
        m_armed.erase(it);
    } else {
        m_armed.push_back(control_id);
    }
    repaint(Repaint::Target::Window);
}

void MidiEngine::buttonPress(int control_id) {
    std::uint8_t note = 0;
    if (control_id == kFaderId) {
        m_fader_dragging.store(true);
        note = cc121::kNoteFaderTouch;
    } else if (const std::optional<std::uint8_t> button = noteButtonOf(control_id)) {
        note = *button;
    } else {
        return;
    }
    // With buttons armed the whole chord goes out at the release.
    if (m_armed.empty()) {
        const cc121::ShortMessage m = cc121::buttonPressMessage(note);
        send(m.status, m.data1, m.data2);
    }
}

void MidiEngine::buttonRelease(int control_id) {
    if (control_id == kFaderId) {
        m_fader_dragging.store(false);
        const cc121::ShortMessage m = cc121::faderTouchMessage(false);
        send(m.status, m.data1, m.data2);
    } else if (const std::optional<std::uint8_t> note = noteButtonOf(control_id)) {
        if (!m_armed.empty()) {
            sendChord(*note);
        } else {
            const cc121::ShortMessage m = cc121::buttonReleaseMessage(*note);
            send(m.status, m.data1, m.data2);
        }
    } else {
        return;
    }
    // The outlines go; the window repaints only when there were any.
    if (!m_armed.empty()) {
        m_armed.clear();
        repaint(Repaint::Target::Window);
    }
}

// All Note Ons in one burst, the hold, then all Note Offs: the host sees the buttons pressed together.
void MidiEngine::sendChord(std::uint8_t released_note) {
    if (!m_ports_open) {
        return;
    }
    const int released_id = buttonId(released_note);
    for (int id : m_armed) {
        if (id != released_id) {
            const cc121::ShortMessage m = cc121::buttonPressMessage(static_cast<std::uint8_t>(id & 0x7F));
            send(m.status, m.data1, m.data2);
        }
    }
    const cc121::ShortMessage press = cc121::buttonPressMessage(released_note);
    send(press.status, press.data1, press.data2);
    pause(static_cast<std::uint32_t>(m_simul_click_time));
    for (int id : m_armed) {
        if (id != released_id) {
            const cc121::ShortMessage m = cc121::buttonReleaseMessage(static_cast<std::uint8_t>(id & 0x7F));
            send(m.status, m.data1, m.data2);
        }
    }
    const cc121::ShortMessage release = cc121::buttonReleaseMessage(released_note);
    send(release.status, release.data1, release.data2);
}

void MidiEngine::sendFaderPosition(double value) {
    const double place = value >= 0.0 ? std::min(value, 1.0) : 0.0; // NaN too goes to the bottom
    m_fader_value.store(place);
    const cc121::ShortMessage m = cc121::faderMoveMessage(place);
    send(m.status, m.data1, m.data2);
}

void MidiEngine::sendEncoderStep(int control_id, int last_step) {
    const std::optional<std::uint8_t> controller = encoderOf(control_id);
    if (!controller) {
        return;
    }
    // Halved above one pixel so that a drag does not race away; 1 to 3 pixels all send one step.
    const int steps = (last_step > 1 || last_step < -1) ? last_step / 2 : last_step;
    const cc121::ShortMessage m = cc121::encoderTurnMessage(*controller, steps);
    send(m.status, m.data1, m.data2);
}

void MidiEngine::send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    if (!m_ports_open) {
        return;
    }
    try {
        m_ports->send({status, data1, data2});
    } catch (...) {
        // A failed send loses that one message; the panel goes on (a chord still sends its Note Offs).
    }
}

void MidiEngine::pause(std::uint32_t ms) {
    if (m_hooks.pause) {
        m_hooks.pause(ms);
    }
}

void MidiEngine::repaint(Repaint::Target target, int control_id) {
    if (m_hooks.repaint) {
        m_hooks.repaint(Repaint{target, control_id});
    }
}

} // namespace kestro
