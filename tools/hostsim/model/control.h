#pragma once
// The simulated host's scripted control: what a user of REAPER would do while it runs, written one command
// per line into a file that the host picks up (hostsim's --control-file).
//   action NAME    run the action-list entry named NAME ("CC121: Reconnect controller")
//   command ID     run a command by number (41743: Control surface: Refresh all surfaces)
//   away NAME      the MIDI input and output named NAME go away (unplugged, or the computer slept)
//   back NAME      ... and come back
//   describe       print every surface's description
// Each command prints one line starting "hostsim: " to `report`.

#include <cstdio>
#include <string>

namespace hostsim {

class Host;

// Carries out one command line; false when it is not understood or found nothing to act on.
bool carryOutControl(Host& host, const std::string& line, std::FILE* report);
// Carries out every line of the file at `path`, then removes the file.
void carryOutControlFile(Host& host, const std::string& path, std::FILE* report);

} // namespace hostsim
