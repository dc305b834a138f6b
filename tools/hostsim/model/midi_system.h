#pragma once
// The host's MIDI devices: the port lists behind GetNumMIDIInputs and friends, the factory that opens them,
// and the record of what became of every object it handed out.

#include "hostsim/model/call_log.h"
#include "hostsim/model/fake_midi.h"
#include "hostsim/model/gated_midi.h"
#include "hostsim/model/midi_factory.h"

#include <memory>
#include <string>
#include <vector>

namespace hostsim {

class MidiSystem final : private MidiDeviceObserver {
public:
    // Lifecycle calls of the device objects go into `log` as actions, e.g. "midi_Input(0)->Destroy()".
    explicit MidiSystem(CallLog& log);
    ~MidiSystem();
    MidiSystem(const MidiSystem&) = delete;
    MidiSystem& operator=(const MidiSystem&) = delete;

    // The port's index.
    int addInput(std::string name, bool failsToOpen = false);
    int addOutput(std::string name, bool failsToOpen = false);
    std::vector<MidiPortInfo>& inputs() { return m_inputs; }
    std::vector<MidiPortInfo>& outputs() { return m_outputs; }
    const std::vector<MidiPortInfo>& inputs() const { return m_inputs; }
    const std::vector<MidiPortInfo>& outputs() const { return m_outputs; }

    // Replaces the in-memory fakes (hostsim.exe on Windows).
    void setFactory(std::unique_ptr<MidiDeviceFactory> factory);
    // The in-memory fakes, or null once another factory is installed.
    FakeMidi* fake() const { return m_fake; }

    // Null for an index out of range, a port that fails to open or a device that is away.
    midi_Input* openInput(int dev);
    midi_Output* openOutput(int dev);

    // The device goes away (unplugged, or the computer slept) or comes back. While it is away it cannot be
    // opened and the host does not list it; objects opened before it went away stay dead.
    void setAway(MidiDirection direction, int dev, bool away);
    bool isAway(MidiDirection direction, int dev) const;
    // Every input and output named `name`; false when there is none.
    bool setAwayByName(const std::string& name, bool away);

    // Objects handed out and not yet released.
    int liveDevices() const { return m_live; }
    // Objects released by deleting them (or calling their slot 0) instead of Destroy().
    int deletedWithoutDestroy() const { return m_deleted; }

private:
    void deviceCalled(MidiDirection direction, int dev, DeviceCall call) override;

    CallLog& m_log;
    struct Presence {
        bool away = false;
        DeviceGeneration generation = std::make_shared<std::atomic<unsigned>>(0u);
    };
    Presence& presence(MidiDirection direction, int dev);

    std::vector<MidiPortInfo> m_inputs;
    std::vector<MidiPortInfo> m_outputs;
    std::vector<Presence> m_inputPresence;
    std::vector<Presence> m_outputPresence;
    std::unique_ptr<MidiDeviceFactory> m_factory;
    FakeMidi* m_fake = nullptr;
    int m_live = 0;
    int m_deleted = 0;
};

} // namespace hostsim
