// Fader scale, actions and the host's program folder.
#include "hostsim/model/host.h"

#include "hostsim/model/slider_curve.h"

namespace hostsim {

double Host::DB2SLIDER(double x) {
    auto call = query(fmt::call("DB2SLIDER", {fmt::value(x)}));
    return call.returns(dbToSlider(x));
}

double Host::SLIDER2DB(double y) {
    auto call = query(fmt::call("SLIDER2DB", {fmt::value(y)}));
    return call.returns(sliderToDb(y));
}

void Host::Main_OnCommand(int command, int flag) {
    logAction(fmt::call("Main_OnCommand", {fmt::value(command), fmt::value(flag)}));
    if (m_registrations.runHooks(command, 0, 0, 0))
        return;
    CommandCall c;
    c.command = command;
    c.flag = flag;
    m_commands.run(c);
}

int Host::KBD_OnMainActionEx(int cmd, int val, int valhw, int relmode, HWND hwnd, ReaProject* proj) {
    auto call = action(fmt::call("KBD_OnMainActionEx",
                                 {fmt::value(cmd), fmt::value(val), fmt::value(valhw), fmt::value(relmode),
                                  hwnd ? "hwnd" : "null", proj ? "project" : "null"}));
    CommandCall c;
    c.command = cmd;
    c.value = val;
    c.valueHw = valhw;
    c.relMode = relmode;
    c.fromKeyboard = true;
    // The model's answer: 1 when the command exists and ran, else 0.
    const bool ran = m_registrations.runHooks(cmd, val, valhw, relmode) || m_commands.run(c);
    return call.returns(ran ? 1 : 0);
}

int Host::NamedCommandLookup(const char* command_name) {
    auto call = query(fmt::call("NamedCommandLookup", {fmt::value(command_name)}));
    const int builtin = m_commands.lookup(command_name);
    return call.returns(builtin != 0 ? builtin : m_registrations.commandForNamed(command_name));
}

const char* Host::GetExePath() {
    auto call = query("GetExePath()");
    return call.returns(m_exePath.c_str());
}

void Host::ShowConsoleMsg(const char* msg) {
    logAction(fmt::call("ShowConsoleMsg", {fmt::value(msg)}));
    if (msg)
        m_console += msg;
}

const char* Host::GetResourcePath() {
    auto call = query("GetResourcePath()");
    return call.returns(m_resourcePath.c_str());
}

} // namespace hostsim
