#include "config_page_logic.h"

#include "host_api.h"
#include "leading_int.h"

#include <algorithm>
#include <array>

namespace {

using NameFunction = bool (*)(int dev, char* nameout, int nameoutlen);

std::vector<MidiDeviceEntry> listDevices(int (*count)(), NameFunction name) {
    std::vector<MidiDeviceEntry> devices;
    if (!count || !name)
        return devices;
    const int total = count();
    for (int index = 0; index < total; ++index) {
        std::array<char, kDeviceNameBufferSize> buffer{};
        if (!name(index, buffer.data(), kDeviceNameBufferSize))
            continue;
        buffer.back() = '\0'; // a host that fills the whole buffer leaves no terminator of its own
        devices.push_back({index, buffer.data()});
    }
    return devices;
}

} // namespace

std::optional<std::string> correctedEditText(const std::string& text, const NumberEditRule& rule) {
    if (text.empty())
        return std::to_string(rule.emptyValue);
    const int value = cc121::parseLeadingInt(text.c_str());
    if (value < rule.minimum)
        return std::to_string(rule.minimum);
    if (value > rule.maximum)
        return std::to_string(rule.maximum);
    return std::nullopt;
}

std::optional<int> editValue(const std::string& text, const NumberEditRule& rule) {
    if (text.empty())
        return std::nullopt;
    return std::clamp(cc121::parseLeadingInt(text.c_str()), rule.minimum, rule.maximum);
}

std::vector<MidiDeviceEntry> listMidiInputs() {
    return listDevices(host::GetNumMIDIInputs, host::GetMIDIInputName);
}

std::vector<MidiDeviceEntry> listMidiOutputs() {
    return listDevices(host::GetNumMIDIOutputs, host::GetMIDIOutputName);
}

std::size_t devicePlace(const std::vector<MidiDeviceEntry>& devices, int storedIndex) {
    for (std::size_t place = 0; place < devices.size(); ++place) {
        if (devices[place].index == storedIndex)
            return place + 1;
    }
    return 0;
}

std::size_t answerResultRequest(SurfaceSettings& settings, const ConfigPageFields& fields, char* buffer,
                                std::size_t bufferSize) {
    if (!buffer || bufferSize < 2)
        return 0;
    settings.skipMarkers = fields.skipMarkers;
    if (const auto speed = editValue(fields.encoderSpeedText, kEncoderSpeedRule))
        settings.encoderSpeed = *speed;
    if (fields.midiInputIndex)
        settings.midiInputIndex = *fields.midiInputIndex;
    if (fields.midiOutputIndex)
        settings.midiOutputIndex = *fields.midiOutputIndex;
    settings.useMcpForChannels = fields.useMcpForChannels;
    settings.wrapChannels = fields.wrapChannels;
    if (const auto acceleration = editValue(fields.accelerationText, kAccelerationRule))
        settings.acceleration = *acceleration;
    return FormatSurfaceSettings(settings, buffer, bufferSize);
}
