#pragma once
// Host actions by number and the names extensions register for theirs.

#include <functional>
#include <map>
#include <string>

namespace hostsim {

// How an action was started: Main_OnCommand(command, flag) or KBD_OnMainActionEx(command, value, valueHw,
// relMode, ...).
struct CommandCall {
    int command = 0;
    int flag = 0;
    int value = 0;
    int valueHw = 0;
    int relMode = 0;
    bool fromKeyboard = false; // KBD_OnMainActionEx
};

using CommandHandler = std::function<void(const CommandCall&)>;

class CommandTable {
public:
    // Replaces any handler the command had, the model's built-ins included.
    void define(int command, CommandHandler handler);
    void remove(int command);
    bool has(int command) const { return m_handlers.count(command) != 0; }
    // Runs the command's handler; false when the command has none.
    bool run(const CommandCall& call) const;

    // NamedCommandLookup's table: exact names such as "_SWS_ABOUT".
    void defineName(std::string name, int command);
    // 0 for null and for names nobody registered.
    int lookup(const char* name) const;

private:
    std::map<int, CommandHandler> m_handlers;
    std::map<std::string, int> m_names;
};

} // namespace hostsim
