#include "midi_clients_win32.h"

#include <chrono>
#include <utility>

namespace wineloop::testkit {

UINT findOutput(const std::wstring& name) {
    for (UINT i = 0; i < midiOutGetNumDevs(); ++i) {
        MIDIOUTCAPSW caps{};
        if (midiOutGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR && name == caps.szPname)
            return i;
    }
    return kNoPort;
}

UINT findInput(const std::wstring& name) {
    for (UINT i = 0; i < midiInGetNumDevs(); ++i) {
        MIDIINCAPSW caps{};
        if (midiInGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR && name == caps.szPname)
            return i;
    }
    return kNoPort;
}

Receiver::Receiver(const std::wstring& port, int buffers, DWORD bufferSize, bool requeue)
    : m_requeue(requeue) {
    const UINT id = findInput(port);
    if (id == kNoPort)
        return;
    m_openResult = midiInOpen(&m_handle, id, reinterpret_cast<DWORD_PTR>(&Receiver::callback),
                              reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
    if (m_openResult != MMSYSERR_NOERROR) {
        m_handle = nullptr;
        return;
    }
    for (int i = 0; i < buffers; ++i) {
        auto buffer = std::make_unique<Buffer>();
        buffer->data.resize(bufferSize);
        buffer->header.lpData = buffer->data.data();
        buffer->header.dwBufferLength = bufferSize;
        midiInPrepareHeader(m_handle, &buffer->header, sizeof(MIDIHDR));
        midiInAddBuffer(m_handle, &buffer->header, sizeof(MIDIHDR));
        m_buffers.push_back(std::move(buffer));
    }
}

MMRESULT Receiver::close() {
    if (!m_handle)
        return MMSYSERR_NOERROR;
    midiInReset(m_handle);
    for (auto& buffer : m_buffers)
        midiInUnprepareHeader(m_handle, &buffer->header, sizeof(MIDIHDR));
    return closeOnly();
}

MMRESULT Receiver::closeOnly() {
    const MMRESULT result = midiInClose(m_handle);
    m_handle = nullptr;
    return result;
}

bool Receiver::waitForData(std::size_t count, DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return dataCount() >= count; });
}

bool Receiver::waitQuiet(DWORD quietMs, DWORD timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        const std::size_t seen = m_events.size();
        if (!m_changed.wait_for(lock, std::chrono::milliseconds(quietMs),
                                [&] { return m_events.size() != seen; }))
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
    }
}

std::vector<InputEvent> Receiver::events() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

std::vector<InputEvent> Receiver::takeEvents() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_events, {});
}

std::vector<std::uint32_t> Receiver::shortMessages() {
    std::vector<std::uint32_t> messages;
    for (const InputEvent& event : events()) {
        if (event.message == MIM_DATA)
            messages.push_back(static_cast<std::uint32_t>(event.param1));
    }
    return messages;
}

std::vector<InputEvent> Receiver::longData() {
    std::vector<InputEvent> chunks;
    for (const InputEvent& event : events()) {
        if (event.message == MIM_LONGDATA)
            chunks.push_back(event);
    }
    return chunks;
}

Bytes Receiver::longBytes() {
    Bytes all;
    for (const InputEvent& event : longData())
        all.insert(all.end(), event.bytes.begin(), event.bytes.end());
    return all;
}

std::size_t Receiver::dataCount() const {
    std::size_t count = 0;
    for (const InputEvent& event : m_events)
        count += event.message == MIM_DATA || (event.message == MIM_LONGDATA && !event.bytes.empty());
    return count;
}

void CALLBACK Receiver::callback(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                 DWORD_PTR param2) {
    auto* self = reinterpret_cast<Receiver*>(instance);
    InputEvent event{message, param1, param2, 0, {}};
    auto* header = reinterpret_cast<MIDIHDR*>(param1);
    if (message == MIM_LONGDATA) {
        event.headerFlags = header->dwFlags;
        event.bytes.assign(header->lpData, header->lpData + header->dwBytesRecorded);
    }
    {
        std::lock_guard<std::mutex> lock(self->m_mutex);
        self->m_events.push_back(std::move(event));
    }
    self->m_changed.notify_all();
    if (message == MIM_LONGDATA && self->m_requeue && header->dwBytesRecorded > 0)
        midiInAddBuffer(handle, header, sizeof(MIDIHDR));
}

Sender::Sender(const std::wstring& port) {
    const UINT id = findOutput(port);
    if (id == kNoPort)
        return;
    if (midiOutOpen(&m_handle, id, reinterpret_cast<DWORD_PTR>(&Sender::callback),
                    reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) != MMSYSERR_NOERROR)
        m_handle = nullptr;
}

bool Sender::sendAll(const std::vector<std::uint32_t>& messages) {
    for (std::uint32_t message : messages) {
        if (send(message) != MMSYSERR_NOERROR)
            return false;
    }
    return true;
}

MMRESULT Sender::sendLong(const Bytes& bytes) {
    Bytes copy = bytes;
    MIDIHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(copy.data());
    header.dwBufferLength = static_cast<DWORD>(copy.size());
    MMRESULT result = midiOutPrepareHeader(m_handle, &header, sizeof header);
    if (result != MMSYSERR_NOERROR)
        return result;
    result = midiOutLongMsg(m_handle, &header, sizeof header);
    m_lastLongHeader = reinterpret_cast<DWORD_PTR>(&header);
    m_lastLongFlags = header.dwFlags;
    midiOutUnprepareHeader(m_handle, &header, sizeof header);
    return result;
}

MMRESULT Sender::close() {
    if (!m_handle)
        return MMSYSERR_NOERROR;
    const MMRESULT result = midiOutClose(m_handle);
    m_handle = nullptr;
    return result;
}

std::vector<UINT> Sender::messagesSeen() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages;
}

std::vector<DWORD_PTR> Sender::doneHeaders() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_done;
}

void CALLBACK Sender::callback(HMIDIOUT, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
    auto* self = reinterpret_cast<Sender*>(instance);
    std::lock_guard<std::mutex> lock(self->m_mutex);
    self->m_messages.push_back(message);
    if (message == MOM_DONE)
        self->m_done.push_back(param1);
}

} // namespace wineloop::testkit
