#include "surface_actions.h"

#include "cc121_surface.h"
#include "eq_map_loader.h"
#include "host_api.h"
#include "midi_monitor.h"

#include <algorithm>
#include <string>

namespace tamsel {
namespace {

std::vector<CC121*> g_surfaces;

void console(const std::string& text) {
    if (host::ShowConsoleMsg)
        host::ShowConsoleMsg(text.c_str());
}

void reconnectAll() {
    for (CC121* s : std::vector<CC121*>(g_surfaces)) // a surface may go while another reconnects
        s->reconnect();
}

void reloadEqMaps() {
    if (g_surfaces.empty())
        return;
    std::vector<std::string> unreadable;
    const EqMapList maps = LoadEqMaps(&unreadable);
    for (const std::string& path : unreadable)
        console("CC121: cannot read the EQ map " + path + "\n");
    for (CC121* s : g_surfaces)
        s->useEqMaps(maps);
    // The placeholder of an empty folder is no map a user made.
    const std::size_t count = maps.size() == 1 && maps.front().id.empty() ? 0 : maps.size();
    console("CC121: " + std::to_string(count) + " EQ map" + (count == 1 ? "" : "s") + " loaded\n");
}

void toggleMidiMonitor() {
    if (g_surfaces.empty())
        return;
    const bool on = !midiMonitorOn();
    setMidiMonitorOn(on);
    console(on ? "CC121: showing the controller's MIDI (run the action again to stop)\n"
               : "CC121: no longer showing the controller's MIDI\n");
}

struct Action {
    const char* id;
    const char* name;
    void (*run)();
    bool toggle;
    int command = 0;
    bool custom = false; // registered through custom_action, else through command_id and gaccel
    bool listed = false; // gaccel took it
    custom_action_register_t customReg{};
    gaccel_register_t accelReg{};
};

Action g_actions[] = {
    {"TAMSEL_CC121_RECONNECT", "CC121: Reconnect controller", reconnectAll, false},
    {"TAMSEL_CC121_RELOAD_EQ_MAPS", "CC121: Reload EQ maps", reloadEqMaps, false},
    {"TAMSEL_CC121_MIDI_CONSOLE", "CC121: Show controller MIDI in the console", toggleMidiMonitor, true},
};

RegisterProc g_register = nullptr;
bool g_hooked = false;
bool g_toggleHooked = false;

void* asInfo(HookCommand2Proc f) {
    return reinterpret_cast<void*>(f);
}
void* asInfo(ToggleActionProc f) {
    return reinterpret_cast<void*>(f);
}

Action* actionOf(int command) {
    if (command == 0)
        return nullptr;
    for (Action& a : g_actions)
        if (a.command == command)
            return &a;
    return nullptr;
}

} // namespace

void addLiveSurface(CC121* surface) {
    try {
        g_surfaces.push_back(surface);
    } catch (...) {
        // Without memory the surface is just not reached by the actions.
    }
}

void removeLiveSurface(CC121* surface) {
    g_surfaces.erase(std::remove(g_surfaces.begin(), g_surfaces.end(), surface), g_surfaces.end());
}

const std::vector<CC121*>& liveSurfaces() {
    return g_surfaces;
}

void registerActions(RegisterProc reg) {
    g_register = reg;
    if (!reg)
        return;
    bool any = false;
    for (Action& a : g_actions) {
        a.customReg = custom_action_register_t{0, a.id, a.name, nullptr};
        a.command = reg("custom_action", &a.customReg);
        a.custom = a.command != 0;
        if (!a.custom) {
            a.command = reg("command_id", const_cast<char*>(a.id));
            if (a.command != 0) {
                a.accelReg =
                    gaccel_register_t{ReaperAccel{0, 0, static_cast<unsigned short>(a.command)}, a.name};
                a.listed = reg("gaccel", &a.accelReg) != 0;
            }
        }
        any = any || a.command != 0;
    }
    if (!any)
        return;
    g_hooked = reg("hookcommand2", asInfo(&onHookCommand)) != 0;
    g_toggleHooked = reg("toggleaction", asInfo(&onToggleAction)) != 0;
}

void unregisterActions() {
    RegisterProc reg = g_register;
    g_register = nullptr;
    if (!reg)
        return;
    if (g_toggleHooked)
        reg("-toggleaction", asInfo(&onToggleAction));
    if (g_hooked)
        reg("-hookcommand2", asInfo(&onHookCommand));
    for (Action& a : g_actions) {
        if (a.custom)
            reg("-custom_action", &a.customReg);
        else if (a.listed)
            reg("-gaccel", &a.accelReg);
        a.command = 0;
        a.custom = a.listed = false;
    }
    g_hooked = g_toggleHooked = false;
    setMidiMonitorOn(false);
}

int reconnectCommand() {
    return g_actions[0].command;
}
int reloadEqMapsCommand() {
    return g_actions[1].command;
}
int midiMonitorCommand() {
    return g_actions[2].command;
}

bool onHookCommand(KbdSectionInfo*, int command, int, int, int, HWND) {
    Action* a = actionOf(command);
    if (!a)
        return false;
    try {
        a->run();
    } catch (...) {
        // Nothing may unwind into the host.
    }
    return true;
}

int onToggleAction(int command) {
    const Action* a = actionOf(command);
    if (!a || !a->toggle)
        return -1;
    return midiMonitorOn() ? 1 : 0;
}

} // namespace tamsel
