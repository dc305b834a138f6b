#include "hostsim/model/midi_system.h"

#include <utility>

namespace hostsim {
namespace {

const MidiPortInfo* port(const std::vector<MidiPortInfo>& ports, int dev) {
    return dev >= 0 && dev < static_cast<int>(ports.size()) ? &ports[static_cast<std::size_t>(dev)] : nullptr;
}

} // namespace

MidiSystem::MidiSystem(CallLog& log) : m_log(log) {
    auto fake = std::make_unique<FakeMidi>();
    m_fake = fake.get();
    m_factory = std::move(fake);
}

MidiSystem::~MidiSystem() = default;

int MidiSystem::addInput(std::string name, bool failsToOpen) {
    m_inputs.push_back(MidiPortInfo{std::move(name), failsToOpen});
    return static_cast<int>(m_inputs.size()) - 1;
}

int MidiSystem::addOutput(std::string name, bool failsToOpen) {
    m_outputs.push_back(MidiPortInfo{std::move(name), failsToOpen});
    return static_cast<int>(m_outputs.size()) - 1;
}

void MidiSystem::setFactory(std::unique_ptr<MidiDeviceFactory> factory) {
    if (!factory)
        return;
    m_factory = std::move(factory);
    m_fake = nullptr;
}

midi_Input* MidiSystem::openInput(int dev) {
    const MidiPortInfo* p = port(m_inputs, dev);
    if (!p || p->failsToOpen)
        return nullptr;
    midi_Input* in = m_factory->createInput(dev, *p, *this);
    if (in)
        ++m_live;
    return in;
}

midi_Output* MidiSystem::openOutput(int dev) {
    const MidiPortInfo* p = port(m_outputs, dev);
    if (!p || p->failsToOpen)
        return nullptr;
    midi_Output* out = m_factory->createOutput(dev, *p, *this);
    if (out)
        ++m_live;
    return out;
}

void MidiSystem::deviceCalled(MidiDirection direction, int dev, DeviceCall call) {
    std::string line = direction == MidiDirection::Input ? "midi_Input(" : "midi_Output(";
    line += std::to_string(dev) + ")";
    switch (call) {
    case DeviceCall::Start:
        line += "->start()";
        break;
    case DeviceCall::Stop:
        line += "->stop()";
        break;
    case DeviceCall::Destroy:
        line += "->Destroy()";
        --m_live;
        break;
    case DeviceCall::DeletedWithoutDestroy:
        line += " deleted without Destroy()";
        --m_live;
        ++m_deleted;
        break;
    }
    m_log.open(CallKind::Action, std::move(line));
}

} // namespace hostsim
