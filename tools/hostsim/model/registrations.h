#pragma once
// What plug-ins register with the simulated host through Register(name, info), kept as REAPER keeps it:
// surface types ("csurf"), actions ("custom_action", or "command_id" and then "gaccel"), command hooks
// ("hookcommand2") and toggle-state hooks ("toggleaction"). The same name prefixed "-" withdraws a
// registration by its record or function. Every registration remembers the plug-in that made it, so a
// plug-in whose entry point fails can have its registrations withdrawn before it is unloaded.

#include "reaper_abi.h"

#include <map>
#include <string>
#include <vector>

namespace hostsim {

struct ActionEntry {
    int command = 0;
    std::string idStr; // empty for a gaccel entry
    std::string name;  // what the action list shows
};

class Registrations {
public:
    // Commands that extensions get count from here.
    static constexpr int kFirstCommand = 53000;

    // REAPER's answers: the command id for "custom_action" and "command_id" (0 when refused); 1 for any
    // other registration taken or withdrawn; 0 for a null or unknown name, a null record, or a withdrawal
    // of something not registered.
    int add(const char* name, void* info);

    // Registrations made from now on belong to `owner` (the plug-in's file name while its entry point runs).
    void setOwner(std::string owner) { m_owner = std::move(owner); }
    // Withdraws everything `owner` registered; returns how many registrations went.
    int withdrawAll(const std::string& owner);

    // The first surface type registered under `type`, or null.
    const reaper_csurf_reg_t* surfaceType(const char* type) const;
    // Every surface type, in registration order.
    std::vector<reaper_csurf_reg_t> surfaceTypes() const;
    // The Main section's action list as extensions filled it, in registration order.
    std::vector<ActionEntry> actions() const;
    // The command of the action whose name is exactly `name`, or 0.
    int commandNamed(const std::string& name) const;
    // NamedCommandLookup's answer for an extension's command: "_" and its idStr (or command_id name); 0 when
    // nobody registered it.
    int commandForNamed(const char* name) const;
    // Offers the command to every hookcommand2 hook in registration order; true when one took it.
    bool runHooks(int command, int val, int val2, int relmode);
    // The first toggleaction hook's answer that is not -1, else -1.
    int toggleState(int command) const;
    // Everything still held, one line each: "csurf CC121", "custom_action TAMSEL_X 53000", "hookcommand2";
    // safe to ask after the plug-ins are unloaded.
    std::vector<std::string> held() const;

private:
    struct Entry {
        std::string kind;
        const void* key = nullptr; // the record or function the plug-in registered, for withdrawal
        std::string owner;
        reaper_csurf_reg_t surface{};
        std::string surfaceType; // a copy: the record's strings live in the plug-in, which may be gone
        ActionEntry action;
        HookCommand2Proc hook = nullptr;
        ToggleActionProc toggle = nullptr;
    };

    int add(const std::string& kind, void* info);
    int withdraw(const std::string& kind, void* info);

    std::vector<Entry> m_entries;
    std::map<std::string, int> m_commandIds; // "command_id" names and custom_action ids, never reused
    int m_nextCommand = kFirstCommand;
    std::string m_owner;
};

} // namespace hostsim
