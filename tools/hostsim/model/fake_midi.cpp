#include "hostsim/model/fake_midi.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <utility>

namespace hostsim {

bool operator==(const WireMessage& a, const WireMessage& b) {
    return a.frameOffset == b.frameOffset && a.bytes == b.bytes;
}

bool operator!=(const WireMessage& a, const WireMessage& b) {
    return !(a == b);
}

std::ostream& operator<<(std::ostream& out, const WireMessage& message) {
    out << message.frameOffset << ':';
    for (unsigned char b : message.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", b);
        out << hex;
    }
    return out;
}

FakeMidiInput::FakeMidiInput(int dev, FakeMidi& owner, MidiDeviceObserver& observer)
    : m_dev(dev), m_owner(&owner), m_observer(&observer) {}

FakeMidiInput::~FakeMidiInput() {
    if (m_observer && !m_destroying)
        m_observer->deviceCalled(MidiDirection::Input, m_dev, DeviceCall::DeletedWithoutDestroy);
    if (m_owner)
        m_owner->forget(this);
}

bool FakeMidiInput::inject(const std::vector<unsigned char>& bytes, int frameOffset) {
    if (!m_started)
        return false;
    m_incoming.add(frameOffset, bytes.data(), static_cast<int>(bytes.size()));
    return true;
}

void FakeMidiInput::start() {
    m_started = true;
    if (m_observer)
        m_observer->deviceCalled(MidiDirection::Input, m_dev, DeviceCall::Start);
}

void FakeMidiInput::stop() {
    m_started = false;
    if (m_observer)
        m_observer->deviceCalled(MidiDirection::Input, m_dev, DeviceCall::Stop);
}

void FakeMidiInput::SwapBufs(unsigned int timestamp_ms) {
    m_readBuf.Empty();
    m_readBuf.takeAll(m_incoming);
    ++m_swaps;
    m_lastSwapTime = timestamp_ms;
}

void FakeMidiInput::Destroy() {
    m_destroying = true;
    if (m_observer)
        m_observer->deviceCalled(MidiDirection::Input, m_dev, DeviceCall::Destroy);
    delete this;
}

void FakeMidiInput::detach() {
    m_owner = nullptr;
    m_observer = nullptr;
}

FakeMidiOutput::FakeMidiOutput(int dev, FakeMidi& owner, MidiDeviceObserver& observer)
    : m_dev(dev), m_owner(&owner), m_observer(&observer) {}

FakeMidiOutput::~FakeMidiOutput() {
    if (m_observer && !m_destroying)
        m_observer->deviceCalled(MidiDirection::Output, m_dev, DeviceCall::DeletedWithoutDestroy);
    if (m_owner)
        m_owner->forget(this);
}

void FakeMidiOutput::SendMsg(MIDI_event_t* msg, int frame_offset) {
    if (!msg || msg->size < 0 || !m_owner)
        return;
    const unsigned char* bytes = eventBytes(*msg);
    m_owner->record(m_dev, WireMessage{frame_offset, std::vector<unsigned char>(bytes, bytes + msg->size)});
}

void FakeMidiOutput::Send(unsigned char status, unsigned char d1, unsigned char d2, int frame_offset) {
    if (m_owner)
        m_owner->record(m_dev, WireMessage{frame_offset, {status, d1, d2}});
}

void FakeMidiOutput::Destroy() {
    m_destroying = true;
    if (m_observer)
        m_observer->deviceCalled(MidiDirection::Output, m_dev, DeviceCall::Destroy);
    delete this;
}

void FakeMidiOutput::detach() {
    m_owner = nullptr;
    m_observer = nullptr;
}

FakeMidi::~FakeMidi() {
    // Objects a surface still holds outlive us: they keep working but report nothing.
    for (FakeMidiInput* in : m_inputs)
        in->detach();
    for (FakeMidiOutput* out : m_outputs)
        out->detach();
}

midi_Input* FakeMidi::createInput(int dev, const MidiPortInfo&, MidiDeviceObserver& observer) {
    m_inputs.reserve(m_inputs.size() + 1); // so the push below cannot throw and lose the object
    m_inputs.push_back(new FakeMidiInput(dev, *this, observer));
    return m_inputs.back();
}

midi_Output* FakeMidi::createOutput(int dev, const MidiPortInfo&, MidiDeviceObserver& observer) {
    m_outputs.reserve(m_outputs.size() + 1);
    m_outputs.push_back(new FakeMidiOutput(dev, *this, observer));
    return m_outputs.back();
}

FakeMidiInput* FakeMidi::input(int dev) const {
    const auto it = std::find_if(m_inputs.rbegin(), m_inputs.rend(),
                                 [dev](const FakeMidiInput* in) { return in->device() == dev; });
    return it == m_inputs.rend() ? nullptr : *it;
}

FakeMidiOutput* FakeMidi::output(int dev) const {
    const auto it = std::find_if(m_outputs.rbegin(), m_outputs.rend(),
                                 [dev](const FakeMidiOutput* out) { return out->device() == dev; });
    return it == m_outputs.rend() ? nullptr : *it;
}

const std::vector<WireMessage>& FakeMidi::sent(int dev) const {
    static const std::vector<WireMessage> kNothing;
    const auto it = m_sent.find(dev);
    return it == m_sent.end() ? kNothing : it->second;
}

void FakeMidi::forget(const FakeMidiInput* input) {
    m_inputs.erase(std::remove(m_inputs.begin(), m_inputs.end(), input), m_inputs.end());
}

void FakeMidi::forget(const FakeMidiOutput* output) {
    m_outputs.erase(std::remove(m_outputs.begin(), m_outputs.end(), output), m_outputs.end());
}

void FakeMidi::record(int dev, WireMessage message) {
    std::lock_guard<std::mutex> lock(m_sentMutex);
    m_sent[dev].push_back(std::move(message));
}

std::vector<WireMessage> FakeMidi::sentSoFar(int dev) const {
    std::lock_guard<std::mutex> lock(m_sentMutex);
    const auto it = m_sent.find(dev);
    return it == m_sent.end() ? std::vector<WireMessage>{} : it->second;
}

} // namespace hostsim
