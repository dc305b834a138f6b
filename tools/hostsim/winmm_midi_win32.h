#pragma once
// The simulated host's MIDI devices on the Windows multimedia MIDI API, as REAPER backs its own: the input
// collects messages on the driver's callback thread and hands them over at SwapBufs; the output sends at
// once.

#include "hostsim/model/midi_factory.h"

#include <memory>
#include <string>
#include <vector>

namespace hostsim {

class Host;

// Installs the Windows devices into `host`: every MIDI input and output the system lists, by name, and a
// factory that opens them.
void useWindowsMidi(Host& host);

// Names of the system's MIDI devices, in device order.
std::vector<std::string> windowsMidiInputs();
std::vector<std::string> windowsMidiOutputs();

std::unique_ptr<MidiDeviceFactory> makeWindowsMidiFactory();

// The gaps the outputs have kept so far: from each lamp's Note On to its Note Off, and from each host-ready
// message to the next message (min, median, max in milliseconds).
std::string wireGapSummary();

// From now on every host-ready message that has left an output appends a line to the file at `path`: its
// wall-clock time in Unix milliseconds. Someone watching the panel counts from the last one. Empty: none.
void setReadyLog(const std::string& path);

} // namespace hostsim
