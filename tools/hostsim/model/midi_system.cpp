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
    if (!p || p->failsToOpen || isAway(MidiDirection::Input, dev))
        return nullptr;
    midi_Input* in = m_factory->createInput(dev, *p, *this);
    if (!in)
        return nullptr;
    ++m_live;
    return new GatedInput(in, presence(MidiDirection::Input, dev).generation);
}

midi_Output* MidiSystem::openOutput(int dev) {
    const MidiPortInfo* p = port(m_outputs, dev);
    if (!p || p->failsToOpen || isAway(MidiDirection::Output, dev))
        return nullptr;
    midi_Output* out = m_factory->createOutput(dev, *p, *this);
    if (!out)
        return nullptr;
    ++m_live;
    return new GatedOutput(out, presence(MidiDirection::Output, dev).generation);
}

MidiSystem::Presence& MidiSystem::presence(MidiDirection direction, int dev) {
    auto& list = direction == MidiDirection::Input ? m_inputPresence : m_outputPresence;
    if (static_cast<std::size_t>(dev) >= list.size())
        list.resize(static_cast<std::size_t>(dev) + 1);
    return list[static_cast<std::size_t>(dev)];
}

void MidiSystem::setAway(MidiDirection direction, int dev, bool away) {
    if (dev < 0)
        return;
    Presence& p = presence(direction, dev);
    if (away && !p.away)
        ++*p.generation;
    p.away = away;
}

bool MidiSystem::isAway(MidiDirection direction, int dev) const {
    const auto& list = direction == MidiDirection::Input ? m_inputPresence : m_outputPresence;
    return dev >= 0 && static_cast<std::size_t>(dev) < list.size() &&
           list[static_cast<std::size_t>(dev)].away;
}

bool MidiSystem::setAwayByName(const std::string& name, bool away) {
    bool found = false;
    for (std::size_t i = 0; i < m_inputs.size(); ++i)
        if (m_inputs[i].name == name) {
            setAway(MidiDirection::Input, static_cast<int>(i), away);
            found = true;
        }
    for (std::size_t i = 0; i < m_outputs.size(); ++i)
        if (m_outputs[i].name == name) {
            setAway(MidiDirection::Output, static_cast<int>(i), away);
            found = true;
        }
    return found;
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
