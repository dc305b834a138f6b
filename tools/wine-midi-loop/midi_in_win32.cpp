#include "midi_in_win32.h"

#include "header_win32.h"

#include <algorithm>
#include <cstring>

namespace wineloop {
namespace {

// A callback still running at close gets this long to return, so that none arrives after close does. Not
// forever: it may be waiting for a lock the closing thread holds (RtMidi's closePort does that).
constexpr DWORD kCloseWaitMs = 1000;
// A long message that finds no buffer waits this long for the application to queue one; after that it is
// dropped, as Windows drops it at once.
constexpr DWORD kBufferPatienceMs = 250;
constexpr DWORD kBufferPollMs = 50;

} // namespace

MidiIn* MidiIn::open(Bus& bus, int port, const Client& client, MMRESULT& result) {
    auto* in = new MidiIn(bus, client);
    if (!bus.claimReader(port, in->m_ticket)) {
        delete in;
        result = MMSYSERR_ALLOCATED;
        return nullptr;
    }
    in->m_wake.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (in->m_wake) {
        in->m_references = 2;
        in->m_thread.reset(CreateThread(nullptr, 0, threadMain, in, 0, &in->m_threadId));
    }
    if (!in->m_thread) {
        bus.releaseReader(in->m_ticket);
        delete in;
        result = MMSYSERR_NOMEM;
        return nullptr;
    }
    result = MMSYSERR_NOERROR;
    return in;
}

MMRESULT MidiIn::close() {
    reset();
    const bool onReaderThread = GetCurrentThreadId() == m_threadId;
    {
        SectionLock lock(m_lock);
        m_closing = true;
        const DWORD deadline = GetTickCount() + kCloseWaitMs;
        while (m_inCallback && !onReaderThread && !deadlinePassed(deadline))
            SleepConditionVariableCS(&m_idle, m_lock.native(), kBufferPollMs);
    }
    SetEvent(m_wake.get());
    m_bus.releaseReader(m_ticket);
    m_client.notify(MIM_CLOSE);
    release();
    return MMSYSERR_NOERROR;
}

MMRESULT MidiIn::addBuffer(MIDIHDR* header, DWORD_PTR size) {
    if (!headerIsUsable(header, size))
        return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & MHDR_PREPARED))
        return MIDIERR_UNPREPARED;
    bool wake = false;
    {
        SectionLock lock(m_lock);
        if (header->dwFlags & MHDR_INQUEUE)
            return MIDIERR_STILLPLAYING;
        header->dwFlags = (header->dwFlags & ~static_cast<DWORD>(MHDR_DONE)) | MHDR_INQUEUE;
        header->dwBytesRecorded = 0;
        m_buffers.push_back(header);
        m_everHadBuffers = true;
        wake = m_awaitingBuffer;
    }
    if (wake)
        SetEvent(m_wake.get());
    return MMSYSERR_NOERROR;
}

MMRESULT MidiIn::unprepare(MIDIHDR* header, DWORD_PTR size) {
    SectionLock lock(m_lock);
    return unprepareHeader(header, size);
}

MMRESULT MidiIn::start() {
    SectionLock lock(m_lock);
    if (m_started)
        return MMSYSERR_NOERROR;
    std::uint32_t startTime = 0;
    if (!m_bus.startReader(m_ticket, startTime))
        return MMSYSERR_ERROR;
    m_startTime = startTime;
    m_started = true;
    ++m_epoch;
    return MMSYSERR_NOERROR;
}

MMRESULT MidiIn::stop() {
    std::deque<MIDIHDR*> back;
    std::uint32_t startTime = 0;
    {
        SectionLock lock(m_lock);
        if (!m_started)
            return MMSYSERR_NOERROR;
        m_bus.stopReader(m_ticket);
        m_started = false;
        m_sysExOpen = false;
        ++m_epoch;
        // The buffer being filled goes back; the empty ones stay queued for the next start.
        if (!m_buffers.empty() && m_buffers.front()->dwBytesRecorded > 0) {
            back.push_back(m_buffers.front());
            m_buffers.pop_front();
        }
        startTime = m_startTime;
    }
    SetEvent(m_wake.get());
    returnBuffers(back, startTime);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiIn::reset() {
    std::deque<MIDIHDR*> back;
    std::uint32_t startTime = 0;
    {
        SectionLock lock(m_lock);
        if (m_started)
            m_bus.stopReader(m_ticket);
        m_started = false;
        m_sysExOpen = false;
        ++m_epoch;
        back.swap(m_buffers);
        startTime = m_startTime;
    }
    SetEvent(m_wake.get());
    returnBuffers(back, startTime);
    return MMSYSERR_NOERROR;
}

void MidiIn::returnBuffers(std::deque<MIDIHDR*>& buffers, std::uint32_t startTime) {
    const std::uint32_t now = startTime == 0 ? 0 : timeGetTime() - startTime;
    for (MIDIHDR* header : buffers) {
        markHeaderDone(*header);
        m_client.notify(MIM_LONGDATA, reinterpret_cast<DWORD_PTR>(header), now);
    }
}

void MidiIn::release() {
    if (InterlockedDecrement(&m_references) == 0)
        delete this;
}

DWORD WINAPI MidiIn::threadMain(void* self) {
    auto* in = static_cast<MidiIn*>(self);
    try {
        in->run();
    } catch (...) {
        // Out of memory: this input stops delivering, the process carries on.
    }
    in->release();
    return 0;
}

void MidiIn::run() {
    std::vector<std::uint8_t> batch;
    const HANDLE waits[] = {m_ticket.dataEvent.get(), m_wake.get()};
    for (;;) {
        // State first, then the wait: a long message awaiting a buffer may have taken the wake-up of a close.
        bool started = false;
        std::uint32_t epoch = 0;
        {
            SectionLock lock(m_lock);
            if (m_closing)
                return;
            started = m_started;
            epoch = m_epoch;
        }
        batch.clear();
        if (started && m_bus.drain(m_ticket, batch))
            deliver(batch, epoch);
        WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    }
}

void MidiIn::deliver(const std::vector<std::uint8_t>& batch, std::uint32_t epoch) {
    RecordReader reader(batch);
    Record record{};
    while (reader.next(record)) {
        const bool delivered =
            record.kind == RecordKind::Short ? deliverShort(record, epoch) : deliverLong(record, epoch);
        if (!delivered)
            return;
    }
}

bool MidiIn::mayDeliver(std::uint32_t epoch) const {
    return !m_closing && m_started && m_epoch == epoch;
}

bool MidiIn::enterCallback(std::uint32_t epoch, std::uint32_t& startTime) {
    SectionLock lock(m_lock);
    if (!mayDeliver(epoch))
        return false;
    m_inCallback = true;
    startTime = m_startTime;
    return true;
}

void MidiIn::leaveCallback() {
    SectionLock lock(m_lock);
    m_inCallback = false;
    WakeAllConditionVariable(&m_idle);
}

bool MidiIn::deliverShort(const Record& record, std::uint32_t epoch) {
    std::uint32_t message = 0;
    std::memcpy(&message, record.payload, sizeof message);
    std::uint32_t startTime = 0;
    if (!enterCallback(epoch, startTime))
        return false;
    m_client.notify(MIM_DATA, message, record.time - startTime);
    leaveCallback();
    return true;
}

bool MidiIn::deliverLong(const Record& record, std::uint32_t epoch) {
    const std::uint8_t* data = record.payload;
    std::uint32_t left = record.size;
    const bool messageEnds = record.kind == RecordKind::LongEnd;
    const DWORD deadline = GetTickCount() + kBufferPatienceMs;
    while (left > 0) {
        MIDIHDR* filled = nullptr;
        std::uint32_t startTime = 0;
        {
            SectionLock lock(m_lock);
            if (!mayDeliver(epoch))
                return false;
            m_awaitingBuffer = false;
            if (m_buffers.empty()) {
                if (!m_everHadBuffers || deadlinePassed(deadline))
                    return true;
                m_awaitingBuffer = true;
            } else {
                filled = fillFrontBuffer(data, left, messageEnds);
                if (filled) {
                    m_inCallback = true;
                    startTime = m_startTime;
                }
            }
        }
        if (filled) {
            m_client.notify(MIM_LONGDATA, reinterpret_cast<DWORD_PTR>(filled), record.time - startTime);
            leaveCallback();
        } else if (left > 0) {
            WaitForSingleObject(m_wake.get(), kBufferPollMs);
        }
    }
    return true;
}

MIDIHDR* MidiIn::fillFrontBuffer(const std::uint8_t*& data, std::uint32_t& left, bool messageEnds) {
    MIDIHDR* header = m_buffers.front();
    const DWORD recorded = std::min(header->dwBytesRecorded, header->dwBufferLength);
    DWORD count = std::min<DWORD>(left, header->dwBufferLength - recorded);
    // As on a cable, a buffer goes back as soon as a System Exclusive message in it ends.
    const void* sysExEnd = std::memchr(data, 0xF7, count);
    if (sysExEnd)
        count = static_cast<DWORD>(static_cast<const std::uint8_t*>(sysExEnd) - data) + 1;
    if (sysExEnd)
        m_sysExOpen = false;
    else if (std::memchr(data, 0xF0, count))
        m_sysExOpen = true;
    std::memcpy(header->lpData + recorded, data, count);
    header->dwBytesRecorded = recorded + count;
    data += count;
    left -= count;
    // A System Exclusive message sent in pieces keeps filling the same buffer until its F7 comes.
    const bool sentPartEnds = messageEnds && left == 0 && !m_sysExOpen;
    if (header->dwBytesRecorded < header->dwBufferLength && !sysExEnd && !sentPartEnds)
        return nullptr;
    m_buffers.pop_front();
    markHeaderDone(*header);
    return header;
}

} // namespace wineloop
