#include "hostsim/model/builtin_commands.h"

#include "hostsim/model/host.h"

namespace hostsim {

void installBuiltinCommands(Host& host) {
    CommandTable& table = host.commands();
    Transport& transport = host.project().transport();
    table.define(command::kPause, [&host](const CommandCall&) { host.userPause(); });
    table.define(command::kToggleRepeat, [&host](const CommandCall&) { host.userToggleRepeat(); });
    // Marker moves seek a running playback, as the host does.
    table.define(command::kPreviousMarker,
                 [&transport](const CommandCall&) { transport.setCursor(transport.previousMarker(), true); });
    table.define(command::kNextMarker,
                 [&transport](const CommandCall&) { transport.setCursor(transport.nextMarker(), true); });
    table.define(command::kNextTrack, [&host](const CommandCall&) { host.stepLastTouched(1); });
    table.define(command::kPreviousTrack, [&host](const CommandCall&) { host.stepLastTouched(-1); });
    table.define(command::kRefreshSurfaces, [&host](const CommandCall&) { host.refreshAllSurfaces(); });
}

} // namespace hostsim
