#pragma once
// What the Linux plug-in has of its own beside the portable core: the platform services behind
// plugin/platform.h, and whether REAPER has handed over its SWELL functions.

#include "platform.h"

namespace tamsel {

// The POSIX services; windows are REAPER's, reached through SWELL while SWELL is there.
Platform& posixPlatform();

// True once SWELL_dllMain has filled the SWELL functions. Without them there are no windows: no
// configuration page, no window toggles, no mouse wheel; the surface itself works all the same.
bool swellProvided();

} // namespace tamsel
