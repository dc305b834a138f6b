// What extensions register, the actions they add, and the surfaces the host makes from their types.
#include "hostsim/model/host.h"

#include <algorithm>

namespace hostsim {

int Host::registerThrough(const char* name, void* info) {
    std::string shown = "record";
    if (name && (std::string(name) == "command_id" || std::string(name) == "-command_id"))
        shown = fmt::value(static_cast<const char*>(info));
    else if (info && name && std::string(name) == "custom_action")
        shown = fmt::value(static_cast<const custom_action_register_t*>(info)->idStr);
    else if (!info)
        shown = "null";
    auto call = action(fmt::call("Register", {fmt::value(name), shown}));
    return call.returns(withholds(name) ? 0 : m_registrations.add(name, info));
}

bool Host::runCommand(int command, int val, int val2, int relmode) {
    if (m_registrations.runHooks(command, val, val2, relmode))
        return true;
    CommandCall c;
    c.command = command;
    c.value = val;
    return m_commands.run(c);
}

bool Host::runAction(const std::string& name) {
    const int command = m_registrations.commandNamed(name);
    return command != 0 && runCommand(command);
}

IReaperControlSurface* Host::createSurface(const char* type, const char* config, int* errors) {
    const reaper_csurf_reg_t* reg = m_registrations.surfaceType(type);
    if (!reg || !reg->create)
        return nullptr;
    IReaperControlSurface* surface = reg->create(type, config, errors);
    if (!surface)
        return nullptr;
    m_ownSurfaces.push_back(surface);
    m_surfaces.add(surface);
    return surface;
}

void Host::destroySurface(IReaperControlSurface* surface) {
    const auto it = std::find(m_ownSurfaces.begin(), m_ownSurfaces.end(), surface);
    if (it == m_ownSurfaces.end())
        return;
    m_ownSurfaces.erase(it);
    m_surfaces.remove(surface);
#if TAMSEL_MSVC_VTABLE
    surface->msvcDeletingDestructor(1); // REAPER's delete
#else
    delete surface;
#endif
}

void Host::destroyAllSurfaces() {
    while (!m_ownSurfaces.empty())
        destroySurface(m_ownSurfaces.back());
}

void Host::refreshAllSurfaces() {
    struct Made {
        std::string type, config;
    };
    std::vector<Made> made;
    for (IReaperControlSurface* s : m_ownSurfaces) {
        const char* type = s->GetTypeString();
        const char* config = s->GetConfigString();
        made.push_back({type ? type : "", config ? config : ""});
    }
    // All go before any comes back, so each finds its ports free.
    destroyAllSurfaces();
    for (const Made& m : made)
        createSurface(m.type.c_str(), m.config.c_str());
}

} // namespace hostsim
