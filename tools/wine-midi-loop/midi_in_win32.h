// An open input port. A reader thread of its own waits for the port's queue, takes what senders put there
// and calls the application back: short messages as MIM_DATA, long ones copied into the buffers the
// application queued and handed back as MIM_LONGDATA. Time stamps count milliseconds from MIDM_START.
#pragma once

#include "bus_win32.h"
#include "client_win32.h"
#include "handle_win32.h"
#include "record.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace wineloop {

class MidiIn {
public:
    // Claims a reader slot and starts the reader thread; nullptr when every slot of the port is taken. The
    // caller sends MIM_OPEN once winmm can find the instance.
    static MidiIn* open(Bus& bus, int port, const Client& client, MMRESULT& result);

    // Hands back every queued buffer, stops the thread and drops the driver's reference. Wine forgets the
    // handle whatever the answer, so nothing may be left behind.
    MMRESULT close();

    MMRESULT addBuffer(MIDIHDR* header, DWORD_PTR size);
    MMRESULT unprepare(MIDIHDR* header, DWORD_PTR size);
    MMRESULT start();
    MMRESULT stop();
    MMRESULT reset();

private:
    MidiIn(Bus& bus, const Client& client) : m_bus(bus), m_client(client) {}
    ~MidiIn() = default;
    MidiIn(const MidiIn&) = delete;
    MidiIn& operator=(const MidiIn&) = delete;

    static DWORD WINAPI threadMain(void* self);
    void run();
    void deliver(const std::vector<std::uint8_t>& batch, std::uint32_t epoch);
    bool deliverShort(const Record& record, std::uint32_t epoch);
    bool deliverLong(const Record& record, std::uint32_t epoch);
    // Copies what fits into the first queued buffer; returns that buffer when it is to go back.
    MIDIHDR* fillFrontBuffer(const std::uint8_t*& data, std::uint32_t& left, bool messageEnds);
    bool mayDeliver(std::uint32_t epoch) const;
    bool enterCallback(std::uint32_t epoch, std::uint32_t& startTime);
    void leaveCallback();
    void returnBuffers(std::deque<MIDIHDR*>& buffers, std::uint32_t startTime);
    void release();

    Bus& m_bus;
    const Client m_client;
    ReaderTicket m_ticket;
    UniqueHandle m_wake; // auto-reset: stop, reset, close, or a buffer added while one was awaited
    UniqueHandle m_thread;
    DWORD m_threadId = 0;
    LONG m_references = 1; // the driver's handle and the reader thread

    // Everything below is guarded by m_lock, which is never held while calling the application.
    CriticalSection m_lock;
    CONDITION_VARIABLE m_idle = CONDITION_VARIABLE_INIT; // signalled when a callback returns
    std::deque<MIDIHDR*> m_buffers;
    bool m_everHadBuffers = false;
    bool m_awaitingBuffer = false;
    bool m_sysExOpen = false; // an F0 has come and its F7 not yet
    bool m_started = false;
    bool m_closing = false;
    bool m_inCallback = false;
    std::uint32_t m_epoch = 0; // bumped by start, stop and reset: a batch taken before is not delivered
    std::uint32_t m_startTime = 0;
};

} // namespace wineloop
