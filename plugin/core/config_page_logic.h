#pragma once
// What the configuration page shows and takes back, free of Win32: the host's MIDI device lists, the
// corrections of the two number edits and the record the host's result is written from.

#include "surface_settings.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// One number edit of the page: the range its value is kept in and what an emptied edit comes back as.
struct NumberEditRule {
    int minimum;
    int maximum;
    int emptyValue;
};
inline constexpr NumberEditRule kEncoderSpeedRule = {1, 99, 31};
inline constexpr NumberEditRule kAccelerationRule = {1, 200, 10};

// The most of an edit's text the page reads.
inline constexpr std::size_t kEditTextLimit = 255;
// The buffer the host writes a device name into.
inline constexpr int kDeviceNameBufferSize = 512;

// The text an edit shows after it loses focus: empty text becomes the rule's empty value, a leading number
// below or above the range becomes the range's end. Nothing when the text may stay as the user typed it.
std::optional<std::string> correctedEditText(const std::string& text, const NumberEditRule& rule);

// What an edit gives the record: its leading number held to the range; nothing for an empty edit, which
// leaves the field as it was.
std::optional<int> editValue(const std::string& text, const NumberEditRule& rule);

// A MIDI device the host lists by name.
struct MidiDeviceEntry {
    int index;
    std::string name;
};

// The host's devices in its order; a device the host gives no name for is left out.
std::vector<MidiDeviceEntry> listMidiInputs();
std::vector<MidiDeviceEntry> listMidiOutputs();

// The place of `storedIndex` in a device list shown after a first "None" item (place 0). A device that is
// not listed, or -1, gives 0.
std::size_t devicePlace(const std::vector<MidiDeviceEntry>& devices, int storedIndex);

// What the page's controls hold when the host asks for the result.
struct ConfigPageFields {
    bool skipMarkers = false;
    std::string encoderSpeedText;
    std::optional<int> midiInputIndex; // the selected item's device index (-1 for "None"); nothing unselected
    std::optional<int> midiOutputIndex;
    bool wrapChannels = false;
    bool useMcpForChannels = false;
    std::string accelerationText;
};

// Answers the host's request for the result: takes the fields into the record (check boxes always,
// numbers from non-empty edits held to their ranges, devices from a selection) and writes the record into
// the host's buffer, shortened to whole items when it does not fit. A null buffer or one of fewer than 2
// bytes is no request: nothing changes and nothing is written. Returns the length written.
std::size_t answerResultRequest(SurfaceSettings& settings, const ConfigPageFields& fields, char* buffer,
                                std::size_t bufferSize);
