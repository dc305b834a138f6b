// The host's MIDI ports and the device objects opened on them.
#include "hostsim/model/host.h"

#include "hostsim/model/text_buffer.h"

namespace hostsim {
namespace {

// The port's name into the caller's buffer; an empty text and false for a port that does not exist or
// whose device is away, as the host lists only the devices present.
bool portName(const MidiSystem& midi, MidiDirection direction, int dev, char* buffer, int size) {
    const auto& ports = direction == MidiDirection::Input ? midi.inputs() : midi.outputs();
    const bool listed = dev >= 0 && dev < static_cast<int>(ports.size()) && !midi.isAway(direction, dev);
    copyText(listed ? ports[static_cast<std::size_t>(dev)].name : std::string(), buffer, size);
    return listed;
}

} // namespace

int Host::GetNumMIDIInputs() {
    auto call = query("GetNumMIDIInputs()");
    return call.returns(static_cast<int>(m_midi.inputs().size()));
}

int Host::GetNumMIDIOutputs() {
    auto call = query("GetNumMIDIOutputs()");
    return call.returns(static_cast<int>(m_midi.outputs().size()));
}

midi_Input* Host::CreateMIDIInput(int dev) {
    auto call = action(fmt::call("CreateMIDIInput", {fmt::value(dev)}));
    midi_Input* in = m_midi.openInput(dev);
    call.result(in ? "device" : "null");
    return in;
}

midi_Output* Host::CreateMIDIOutput(int dev, bool streamMode, int* msoffset100) {
    auto call = action(fmt::call("CreateMIDIOutput",
                                 {fmt::value(dev), fmt::value(streamMode), msoffset100 ? "offset" : "null"}));
    midi_Output* out = m_midi.openOutput(dev);
    call.result(out ? "device" : "null");
    return out;
}

bool Host::GetMIDIOutputName(int dev, char* nameout, int nameoutlen) {
    auto call = query(fmt::call("GetMIDIOutputName", {fmt::value(dev), fmt::value(nameoutlen)}));
    return call.returns(portName(m_midi, MidiDirection::Output, dev, nameout, nameoutlen));
}

bool Host::GetMIDIInputName(int dev, char* nameout, int nameoutlen) {
    auto call = query(fmt::call("GetMIDIInputName", {fmt::value(dev), fmt::value(nameoutlen)}));
    return call.returns(portName(m_midi, MidiDirection::Input, dev, nameout, nameoutlen));
}

} // namespace hostsim
