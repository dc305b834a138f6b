// MIDIHDR bookkeeping shared by both directions. Wine hands buffer preparation to the driver, so the
// driver keeps the MHDR_PREPARED flag itself.
#pragma once

#include <windows.h>

#include <mmsystem.h>

namespace wineloop {

// A header that can be read: present, large enough, with data to point at.
bool headerIsUsable(const MIDIHDR* header, DWORD_PTR size);

MMRESULT prepareHeader(MIDIHDR* header, DWORD_PTR size);
// Fails with MIDIERR_STILLPLAYING while the driver still holds the buffer.
MMRESULT unprepareHeader(MIDIHDR* header, DWORD_PTR size);

inline void markHeaderDone(MIDIHDR& header) {
    header.dwFlags = (header.dwFlags & ~static_cast<DWORD>(MHDR_INQUEUE)) | MHDR_DONE;
}

} // namespace wineloop
