#pragma once
// The Windows multimedia MIDI ports through RtMidi. No library error leaves it: a failed open reports
// false, a failed send loses that message, and nothing is printed.

#include "midi_ports.h"

#include <memory>
#include <string>

namespace kestro {

// The name the panel shows and stores for RtMidi's name of port `position`.
std::string ansiPortName(const std::string& rtmidi_name, unsigned position);

std::unique_ptr<MidiPorts> makeRtMidiPorts();

} // namespace kestro
