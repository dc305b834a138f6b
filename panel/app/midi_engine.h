#pragma once
// The panel's side of the controller protocol: mouse gestures become MIDI messages; incoming messages
// become lamp, fader and Listener Ready state. Gestures, arming and the timers run on the window thread;
// input arrives on the MIDI driver's thread, so everything it writes is an atomic value.

#include "midi_ports.h"
#include "panel_controls.h"
#include "simul_click_time.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kestro {

// Without a host-ready message for longer than this, the host is taken to be gone.
inline constexpr std::uint32_t kHostTimeoutMs = 1500;

// What the window should repaint.
struct Repaint {
    enum class Target { Window, Button, Fader, ListenerLight };
    Target target;
    int control_id; // the button's control id for Target::Button, else 0

    friend bool operator==(const Repaint& a, const Repaint& b) {
        return a.target == b.target && a.control_id == b.control_id;
    }
};

struct MidiEngineHooks {
    // Milliseconds of the system's multimedia timer (timeGetTime); called on the input thread too.
    std::function<std::uint32_t()> now;
    // Blocks the window thread for the hold of a simultaneous press (Sleep).
    std::function<void(std::uint32_t ms)> pause;
    // Asks for a repaint (InvalidateRect); called on either thread.
    std::function<void(const Repaint&)> repaint;
};

class MidiEngine {
public:
    MidiEngine(std::unique_ptr<MidiPorts> ports, MidiEngineHooks hooks);
    // Closes the ports first, so no input reaches a dying engine.
    ~MidiEngine();
    MidiEngine(const MidiEngine&) = delete;
    MidiEngine& operator=(const MidiEngine&) = delete;

    // Opens the ports that these settings name (port_names.h: name and position, found again when the
    // ports have moved); true when both are open. Any failure leaves both closed and sends nothing
    // afterwards.
    bool openPorts(const std::string& midi_in, const std::string& midi_out);
    void closePorts();
    bool portsOpen() const { return m_ports_open; }

    // Also sets the Listener Ready light to the flag: steadily lit while detection is off.
    void setDetectionDisabled(bool disabled);
    bool detectionDisabled() const { return m_detection_disabled.load(); }
    void setSimulClickTime(int ms) { m_simul_click_time = clampSimulClickTime(ms); }
    int simulClickTime() const { return m_simul_click_time; }

    // Gestures (window thread). Control ids follow panel_controls.h; other ids are ignored.
    // Right-click on a note button: arms it, or disarms it when armed.
    void toggleArming(int control_id);
    // Armed note buttons' control ids in arming order.
    const std::vector<int>& armed() const { return m_armed; }
    // Left press of a note button or the fader (Fader Touch).
    void buttonPress(int control_id);
    // Left release of a note button or the fader; sends an armed chord, then disarms everything.
    void buttonRelease(int control_id);
    // The fader dragged to `value` (0 bottom .. 1 top).
    void sendFaderPosition(double value);
    // An encoder dragged by `last_step` pixels (upwards positive).
    void sendEncoderStep(int control_id, int last_step);

    // Timers (window thread): kPresenceTimerId and kBlinkTimerId; nothing while detection is disabled.
    void timerHandler(unsigned timer_id, std::uint32_t now_ms);

    // One complete incoming message (any thread).
    void inputHandler(const std::uint8_t* data, std::size_t size);

    // Panel state (any thread).
    bool lampLit(std::uint8_t note) const;
    // The newest of the user's drag and the host's positions, 0 bottom .. 1 top.
    double faderValue() const { return m_fader_value.load(); }
    bool faderDragging() const { return m_fader_dragging.load(); }
    bool listenerReady() const { return m_listener_ready.load(); }
    bool listenerLightLit() const { return m_listener_light.load(); }
    std::uint32_t lastReadyTime() const { return m_last_ready_time.load(); }

private:
    void send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    void pause(std::uint32_t ms);
    void repaint(Repaint::Target target, int control_id = 0);
    void setLamp(std::uint8_t note, bool lit);
    void setListenerLight(bool lit);
    void sendChord(std::uint8_t released_note);
    void hostReady();
    void presenceCheck(std::uint32_t now_ms);
    void blink();

    MidiEngineHooks m_hooks;

    // Window thread only.
    bool m_ports_open = false;
    int m_simul_click_time = kDefaultSimulClickTime;
    std::vector<int> m_armed;

    // Shared with the input thread.
    std::atomic<bool> m_detection_disabled{false};
    std::atomic<bool> m_fader_dragging{false};
    std::atomic<bool> m_listener_ready{false};
    std::atomic<bool> m_listener_light{false};
    std::atomic<std::uint32_t> m_last_ready_time{0};
    std::atomic<double> m_fader_value{0.5};
    std::array<std::atomic<bool>, kHighestButtonNote + 1> m_lamps{};

    // Last, so it goes first: its input thread stops before the state it writes is gone.
    std::unique_ptr<MidiPorts> m_ports;
};

} // namespace kestro
