#pragma once
// The Windows multimedia MIDI ports through RtMidi. No library error leaves it: a failed open reports
// false, a failed send loses that message, and nothing is printed.

#include "midi_ports.h"

#include <memory>

namespace kestro {

std::unique_ptr<MidiPorts> makeRtMidiPorts();

} // namespace kestro
