#include "caps_win32.h"

#include "shared_layout.h"

#include <mmreg.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace wineloop {
namespace {

constexpr WORD kManufacturer = MM_UNMAPPED;
constexpr WORD kProduct = MM_PID_UNMAPPED;
constexpr MMVERSION kDriverVersion = 0x0100;

template <typename Caps> void fillCommon(UINT port, Caps& caps) {
    caps.wMid = kManufacturer;
    caps.wPid = kProduct;
    caps.vDriverVersion = kDriverVersion;
    std::swprintf(caps.szPname, MAXPNAMELEN, L"Loop %u", port + 1);
}

// The caller's structure may be shorter than ours: copy only what it holds.
template <typename Caps> MMRESULT copyOut(const Caps& caps, void* out, DWORD_PTR size) {
    if (!out)
        return MMSYSERR_INVALPARAM;
    std::memcpy(out, &caps, std::min<DWORD_PTR>(size, sizeof caps));
    return MMSYSERR_NOERROR;
}

} // namespace

MMRESULT copyOutputCaps(UINT port, MIDIOUTCAPSW* out, DWORD_PTR size) {
    if (port >= static_cast<UINT>(kPortCount))
        return MMSYSERR_BADDEVICEID;
    MIDIOUTCAPSW caps{};
    fillCommon(port, caps);
    caps.wTechnology = MOD_MIDIPORT;
    caps.wChannelMask = 0xFFFF;
    return copyOut(caps, out, size);
}

MMRESULT copyInputCaps(UINT port, MIDIINCAPSW* out, DWORD_PTR size) {
    if (port >= static_cast<UINT>(kPortCount))
        return MMSYSERR_BADDEVICEID;
    MIDIINCAPSW caps{};
    fillCommon(port, caps);
    return copyOut(caps, out, size);
}

} // namespace wineloop
