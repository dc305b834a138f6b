#pragma once
// Where the host's MIDI device objects come from. The model opens devices through a factory: in-memory fakes
// by default (fake_midi.h); hostsim.exe installs one backed by the Windows MIDI API.

#include "reaper_abi.h"

#include <string>

namespace hostsim {

struct MidiPortInfo {
    std::string name;
    bool failsToOpen = false; // CreateMIDIInput/Output answer null, as for a port another program holds
};

enum class MidiDirection { Input, Output };

// The lifecycle calls of device objects that the host records.
enum class DeviceCall { Start, Stop, Destroy, DeletedWithoutDestroy };

class MidiDeviceObserver {
public:
    virtual void deviceCalled(MidiDirection direction, int dev, DeviceCall call) = 0;

protected:
    ~MidiDeviceObserver() = default;
};

// Device objects report their lifecycle calls to the observer. Objects still alive when their factory is
// destroyed must stop reporting (the observer goes with the factory).
class MidiDeviceFactory {
public:
    virtual ~MidiDeviceFactory() = default;
    // Null when the device cannot be opened.
    virtual midi_Input* createInput(int dev, const MidiPortInfo& port, MidiDeviceObserver& observer) = 0;
    virtual midi_Output* createOutput(int dev, const MidiPortInfo& port, MidiDeviceObserver& observer) = 0;
};

} // namespace hostsim
