#include "hostsim/model/commands.h"

#include <utility>

namespace hostsim {

void CommandTable::define(int command, CommandHandler handler) {
    m_handlers[command] = std::move(handler);
}

void CommandTable::remove(int command) {
    m_handlers.erase(command);
}

bool CommandTable::run(const CommandCall& call) const {
    const auto it = m_handlers.find(call.command);
    if (it == m_handlers.end() || !it->second)
        return false;
    // A copy, so a handler may redefine or remove its own command while it runs.
    const CommandHandler handler = it->second;
    handler(call);
    return true;
}

void CommandTable::defineName(std::string name, int command) {
    m_names[std::move(name)] = command;
}

int CommandTable::lookup(const char* name) const {
    if (!name)
        return 0;
    const auto it = m_names.find(name);
    return it == m_names.end() ? 0 : it->second;
}

} // namespace hostsim
