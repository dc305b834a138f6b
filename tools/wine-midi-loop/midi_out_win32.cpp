#include "midi_out_win32.h"

#include "bus_win32.h"
#include "header_win32.h"
#include "short_message.h"

#include <algorithm>

namespace wineloop {

MMRESULT MidiOut::sendShort(DWORD packed) {
    SectionLock lock(m_lock);
    std::uint32_t message = 0;
    if (!completeShortMessage(packed, m_runningStatus, message))
        return MMSYSERR_INVALPARAM;
    return m_bus.publish(m_port, RecordKind::Short, &message, sizeof message) ? MMSYSERR_NOERROR
                                                                              : MMSYSERR_ERROR;
}

MMRESULT MidiOut::sendLong(MIDIHDR* header, DWORD_PTR size) {
    if (!headerIsUsable(header, size))
        return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & MHDR_PREPARED))
        return MIDIERR_UNPREPARED;
    if (header->dwFlags & MHDR_INQUEUE)
        return MIDIERR_STILLPLAYING;
    bool sent = true;
    {
        SectionLock lock(m_lock);
        m_runningStatus = 0; // a long message, System Exclusive above all, ends running status
        const auto* data = reinterpret_cast<const std::uint8_t*>(header->lpData);
        DWORD left = header->dwBufferLength;
        while (left > 0 && sent) {
            const auto chunk = static_cast<std::uint16_t>(std::min<DWORD>(left, kMaxChunk));
            left -= chunk;
            sent = m_bus.publish(m_port, left > 0 ? RecordKind::LongPart : RecordKind::LongEnd, data, chunk);
            data += chunk;
        }
    }
    markHeaderDone(*header);
    m_client.notify(MOM_DONE, reinterpret_cast<DWORD_PTR>(header));
    return sent ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}

} // namespace wineloop
