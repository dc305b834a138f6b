#pragma once
// The end-to-end tour without the panel: a script sends what the panel sends when the tour clicks (Play,
// channel select, the fader, an EQ encoder, the flip, Lock, ReaEQ's Band On, send mode, Stop) into the
// host's MIDI input, and checks every step by the host calls the tour checks and by the lamps its
// screenshots show, read from the exact messages on the controller's wire.

#include <cstdio>
#include <functional>

namespace hostsim {

class Host;

// One Run of the surface, then the host's pause until the next (REAPER runs surfaces about 30 times a
// second).
using RunOnce = std::function<void()>;

// Plays the tour against the surface on MIDI input 0 and output 0 of `host`, whose project is the demo
// project. Writes a PASS or FAIL line per check to `out`; returns the number of failures.
int playScriptedTour(Host& host, const RunOnce& runOnce, std::FILE* out);

// After the surface is gone: every lamp it lit was turned off again on the wire, and every lamp message
// went out as the controller needs it (a Note On, later its Note Off). Returns the number of failures.
int checkWireAfterSurface(Host& host, std::FILE* out);

} // namespace hostsim
