// What the ports tell applications about themselves: "Loop 1" and "Loop 2", in both directions.
#pragma once

#include <windows.h>

#include <mmsystem.h>

namespace wineloop {

MMRESULT copyOutputCaps(UINT port, MIDIOUTCAPSW* caps, DWORD_PTR size);
MMRESULT copyInputCaps(UINT port, MIDIINCAPSW* caps, DWORD_PTR size);

} // namespace wineloop
