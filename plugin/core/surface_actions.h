#pragma once
// The plug-in's entries in the host's action list, and the surfaces they act on:
//   "CC121: Reconnect controller"      every CC121 surface closes and opens its ports and resends everything;
//   "CC121: Reload EQ maps"            the map folders are read again; surfaces use them from their next
//   poll; "CC121: Show controller MIDI in the console"  a toggle: every message from and to the controller is
//                                      written to the host's console.
// Registered with custom_action where the host has it, else with command_id and gaccel; run through
// hookcommand2; the toggle's state through toggleaction. Everything here runs on the host's main thread.

#include "reaper_abi.h"

#include <vector>

class CC121;

namespace tamsel {

// The surfaces alive in this process, in creation order.
void addLiveSurface(CC121* surface);
void removeLiveSurface(CC121* surface);
const std::vector<CC121*>& liveSurfaces();

using RegisterProc = int (*)(const char* name, void* info);

// Registers the actions and the hooks through `reg`, which is kept for unregisterActions. Each part the host
// refuses leaves only its own feature out.
void registerActions(RegisterProc reg);
// Withdraws everything registerActions registered (the host is unloading us).
void unregisterActions();

// The command id the host gave each action, 0 when it has none.
int reconnectCommand();
int reloadEqMapsCommand();
int midiMonitorCommand();

// The hooks as the host calls them (exposed for tests).
bool onHookCommand(KbdSectionInfo* section, int command, int val, int val2, int relmode, HWND hwnd);
int onToggleAction(int command);

} // namespace tamsel
