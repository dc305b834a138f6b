#pragma once
// How a chosen MIDI port is remembered: its name and its position in the system's list, as "Loop 1 0".
// RtMidi 5 names its ports that way, so settings written by earlier versions read the same.

#include <optional>
#include <string>
#include <vector>

namespace kestro {

// The setting for port `position`, named `name`.
std::string storedPortName(const std::string& name, unsigned position);

// The port that `stored` means among `names` (list position i is port i): the port of that name at the
// stored position; else the first port of that name, wherever the ports have moved; else the first port
// whose whole name equals `stored` (a setting without a position). Nothing for an empty setting.
std::optional<unsigned> findStoredPort(const std::vector<std::string>& names, const std::string& stored);

// RtMidi's name for port `position` without the " <position>" it appends.
std::string withoutPortNumber(const std::string& name, unsigned position);

} // namespace kestro
