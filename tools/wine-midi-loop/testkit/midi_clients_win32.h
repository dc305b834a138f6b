// An application's side of the ports, through winmm: an input and an output opened with callback functions
// that record everything they are told.
#pragma once

#include "messages.h"

#include <windows.h>

#include <mmsystem.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace wineloop::testkit {

// Generous: only a broken driver ever makes a test wait this long.
inline constexpr DWORD kWaitMs = 15000;
inline constexpr UINT kNoPort = ~0u;

UINT findOutput(const std::wstring& name);
UINT findInput(const std::wstring& name);

// One call of an input callback.
struct InputEvent {
    UINT message;
    DWORD_PTR param1;
    DWORD_PTR param2;
    DWORD headerFlags; // MIM_LONGDATA: the buffer's flags as it came back
    Bytes bytes;       // MIM_LONGDATA: the bytes recorded
};

// An input with System Exclusive buffers queued. Like RtMidi, it re-queues a returned buffer that held data
// from inside its callback (unless told not to).
class Receiver {
public:
    explicit Receiver(const std::wstring& port, int buffers = 4, DWORD bufferSize = 1024,
                      bool requeue = true);
    ~Receiver() { close(); }
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    bool ok() const { return m_handle != nullptr; }
    MMRESULT openResult() const { return m_openResult; }
    HMIDIIN handle() const { return m_handle; }
    MIDIHDR& buffer(std::size_t i) { return m_buffers.at(i)->header; }
    MMRESULT start() { return midiInStart(m_handle); }

    // Reset, unprepare, close: what a careful application does.
    MMRESULT close();
    // Straight to close, as a careless application does.
    MMRESULT closeOnly();

    // Waits until this many MIM_DATA calls and MIM_LONGDATA calls with data have come.
    bool waitForData(std::size_t count, DWORD timeoutMs = kWaitMs);
    // Waits until no call has come for `quietMs`: what a sender that died had sent is then all through,
    // however long a busy machine keeps it on its way.
    bool waitQuiet(DWORD quietMs, DWORD timeoutMs = kWaitMs);

    std::vector<InputEvent> events();
    std::vector<InputEvent> takeEvents();
    void clear() { takeEvents(); }
    std::vector<std::uint32_t> shortMessages();
    std::vector<InputEvent> longData();
    Bytes longBytes(); // every MIM_LONGDATA's bytes, joined

private:
    struct Buffer {
        MIDIHDR header{};
        std::vector<char> data;
    };

    static void CALLBACK callback(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                  DWORD_PTR param2);
    std::size_t dataCount() const;

    bool m_requeue;
    MMRESULT m_openResult = MMSYSERR_ERROR;
    HMIDIIN m_handle = nullptr;
    std::vector<std::unique_ptr<Buffer>> m_buffers;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<InputEvent> m_events;
};

class Sender {
public:
    explicit Sender(const std::wstring& port);
    ~Sender() { close(); }
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    bool ok() const { return m_handle != nullptr; }
    HMIDIOUT handle() const { return m_handle; }

    MMRESULT send(std::uint32_t message) { return midiOutShortMsg(m_handle, message); }
    bool sendAll(const std::vector<std::uint32_t>& messages);
    // Prepares a header, sends it and unprepares it.
    MMRESULT sendLong(const Bytes& bytes);
    MMRESULT close();

    // The last sendLong's header: its address and its flags as midiOutLongMsg left them.
    DWORD_PTR lastLongHeader() const { return m_lastLongHeader; }
    DWORD lastLongFlags() const { return m_lastLongFlags; }
    std::vector<UINT> messagesSeen();
    std::vector<DWORD_PTR> doneHeaders(); // MOM_DONE's headers

private:
    static void CALLBACK callback(HMIDIOUT handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                  DWORD_PTR param2);

    HMIDIOUT m_handle = nullptr;
    DWORD_PTR m_lastLongHeader = 0;
    DWORD m_lastLongFlags = 0;
    std::mutex m_mutex;
    std::vector<UINT> m_messages;
    std::vector<DWORD_PTR> m_done;
};

} // namespace wineloop::testkit
