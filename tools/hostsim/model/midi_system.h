#pragma once
// The host's MIDI devices: the port lists behind GetNumMIDIInputs and friends, the factory that opens them,
// and the record of what became of every object it handed out.

#include "hostsim/model/call_log.h"
#include "hostsim/model/fake_midi.h"
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

    // Replaces the in-memory fakes (hostsim.exe on Windows).
    void setFactory(std::unique_ptr<MidiDeviceFactory> factory);
    // The in-memory fakes, or null once another factory is installed.
    FakeMidi* fake() const { return m_fake; }

    // Null for an index out of range or a port that fails to open.
    midi_Input* openInput(int dev);
    midi_Output* openOutput(int dev);

    // Objects handed out and not yet released.
    int liveDevices() const { return m_live; }
    // Objects released by deleting them (or calling their slot 0) instead of Destroy().
    int deletedWithoutDestroy() const { return m_deleted; }

private:
    void deviceCalled(MidiDirection direction, int dev, DeviceCall call) override;

    CallLog& m_log;
    std::vector<MidiPortInfo> m_inputs;
    std::vector<MidiPortInfo> m_outputs;
    std::unique_ptr<MidiDeviceFactory> m_factory;
    FakeMidi* m_fake = nullptr;
    int m_live = 0;
    int m_deleted = 0;
};

} // namespace hostsim
