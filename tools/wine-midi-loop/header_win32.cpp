#include "header_win32.h"

#include <cstddef>

namespace wineloop {

bool headerIsUsable(const MIDIHDR* header, DWORD_PTR size) {
    // Old applications pass the header without its trailing fields; nothing here needs them.
    return header && size >= offsetof(MIDIHDR, dwOffset) && header->lpData && header->dwBufferLength > 0;
}

MMRESULT prepareHeader(MIDIHDR* header, DWORD_PTR size) {
    if (!headerIsUsable(header, size))
        return MMSYSERR_INVALPARAM;
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT unprepareHeader(MIDIHDR* header, DWORD_PTR size) {
    if (!headerIsUsable(header, size))
        return MMSYSERR_INVALPARAM;
    if (header->dwFlags & MHDR_INQUEUE)
        return MIDIERR_STILLPLAYING;
    header->dwFlags &= ~static_cast<DWORD>(MHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

} // namespace wineloop
