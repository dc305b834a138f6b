#include "hostsim/model/registrations.h"

#include <algorithm>
#include <cstring>

namespace hostsim {
namespace {

template <class F> F functionFrom(void* info) {
    return reinterpret_cast<F>(info);
}

} // namespace

int Registrations::add(const char* name, void* info) {
    if (!name)
        return 0;
    return name[0] == '-' ? withdraw(name + 1, info) : add(std::string(name), info);
}

int Registrations::add(const std::string& kind, void* info) {
    if (!info)
        return 0;
    Entry e;
    e.kind = kind;
    e.key = info;
    e.owner = m_owner;
    if (kind == "csurf") {
        e.surface = *static_cast<const reaper_csurf_reg_t*>(info);
        e.surfaceType = e.surface.type_string ? e.surface.type_string : "(null)";
    } else if (kind == "custom_action") {
        const auto* reg = static_cast<const custom_action_register_t*>(info);
        if (reg->uniqueSectionId != 0 || !reg->idStr || !*reg->idStr || !reg->name)
            return 0; // only the Main section is modelled
        for (const Entry& held : m_entries)
            if (held.kind == "custom_action" && held.action.idStr == reg->idStr)
                return 0;
        int& id = m_commandIds[std::string("custom:") + reg->idStr];
        if (id == 0)
            id = m_nextCommand++;
        e.action = ActionEntry{id, reg->idStr, reg->name};
        m_entries.push_back(e);
        return id;
    } else if (kind == "command_id") {
        const auto* idName = static_cast<const char*>(info);
        if (!*idName)
            return 0;
        int& id = m_commandIds[idName];
        if (id == 0)
            id = m_nextCommand++;
        return id; // a number only: the action list shows it once gaccel names it
    } else if (kind == "gaccel") {
        const auto* reg = static_cast<const gaccel_register_t*>(info);
        if (reg->accel.cmd == 0 || !reg->desc)
            return 0;
        e.action = ActionEntry{reg->accel.cmd, std::string(), reg->desc};
    } else if (kind == "hookcommand2") {
        e.hook = functionFrom<HookCommand2Proc>(info);
    } else if (kind == "toggleaction") {
        e.toggle = functionFrom<ToggleActionProc>(info);
    } else {
        return 0;
    }
    m_entries.push_back(e);
    return 1;
}

int Registrations::withdraw(const std::string& kind, void* info) {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const Entry& e) { return e.kind == kind && e.key == info; });
    if (it == m_entries.end())
        return 0;
    m_entries.erase(it);
    return 1;
}

int Registrations::withdrawAll(const std::string& owner) {
    const auto before = m_entries.size();
    m_entries.erase(
        std::remove_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.owner == owner; }),
        m_entries.end());
    return static_cast<int>(before - m_entries.size());
}

const reaper_csurf_reg_t* Registrations::surfaceType(const char* type) const {
    for (const Entry& e : m_entries)
        if (e.kind == "csurf" && type && e.surface.type_string &&
            std::strcmp(e.surface.type_string, type) == 0)
            return &e.surface;
    return nullptr;
}

std::vector<reaper_csurf_reg_t> Registrations::surfaceTypes() const {
    std::vector<reaper_csurf_reg_t> types;
    for (const Entry& e : m_entries)
        if (e.kind == "csurf")
            types.push_back(e.surface);
    return types;
}

std::vector<ActionEntry> Registrations::actions() const {
    std::vector<ActionEntry> list;
    for (const Entry& e : m_entries)
        if (e.kind == "custom_action" || e.kind == "gaccel")
            list.push_back(e.action);
    return list;
}

int Registrations::commandNamed(const std::string& name) const {
    for (const Entry& e : m_entries)
        if ((e.kind == "custom_action" || e.kind == "gaccel") && e.action.name == name)
            return e.action.command;
    return 0;
}

int Registrations::commandForNamed(const char* name) const {
    if (!name || name[0] != '_')
        return 0;
    for (const Entry& e : m_entries)
        if (e.kind == "custom_action" && e.action.idStr == name + 1)
            return e.action.command;
    const auto it = m_commandIds.find(name + 1);
    return it == m_commandIds.end() ? 0 : it->second;
}

bool Registrations::runHooks(int command, int val, int val2, int relmode) {
    // A hook may register or withdraw while it runs: walk a copy.
    std::vector<HookCommand2Proc> hooks;
    for (const Entry& e : m_entries)
        if (e.hook)
            hooks.push_back(e.hook);
    for (HookCommand2Proc hook : hooks)
        if (hook(nullptr, command, val, val2, relmode, nullptr))
            return true;
    return false;
}

int Registrations::toggleState(int command) const {
    for (const Entry& e : m_entries)
        if (e.toggle)
            if (const int state = e.toggle(command); state != -1)
                return state;
    return -1;
}

std::vector<std::string> Registrations::held() const {
    std::vector<std::string> lines;
    for (const Entry& e : m_entries) {
        std::string line = e.kind;
        if (e.kind == "csurf")
            line += " " + e.surfaceType;
        else if (e.kind == "custom_action")
            line += " " + e.action.idStr + " " + std::to_string(e.action.command);
        else if (e.kind == "gaccel")
            line += " " + std::to_string(e.action.command);
        lines.push_back(line);
    }
    return lines;
}

} // namespace hostsim
