#include "winmm_midi_win32.h"

#include "hostsim/model/host.h"
#include "hostsim/model/midi_event_list.h"
#include "hostsim/model/msvc_slot.h"

#include "cc121_messages.h"

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace hostsim {
namespace {

constexpr int kSysExBuffers = 4;
constexpr DWORD kSysExBufferSize = 1024;

// Bytes a channel or system message carries, from its status byte.
int shortMessageLength(unsigned char status) {
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 2;
    case 0xF0:
        return status == 0xF1 || status == 0xF3 ? 2 : status == 0xF2 ? 3 : 1;
    default:
        return 3;
    }
}

class WinmmInput final : public midi_Input {
public:
    WinmmInput(int dev, MidiDeviceObserver& observer) : m_dev(dev), m_observer(observer) {}
    ~WinmmInput() { close(); }
    WinmmInput(const WinmmInput&) = delete;
    WinmmInput& operator=(const WinmmInput&) = delete;

    bool open() {
        if (midiInOpen(&m_handle, static_cast<UINT>(m_dev), reinterpret_cast<DWORD_PTR>(&callback),
                       reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
            m_handle = nullptr;
            return false;
        }
        for (int i = 0; i < kSysExBuffers; ++i) {
            MIDIHDR& h = m_headers[static_cast<std::size_t>(i)];
            h = MIDIHDR{};
            h.lpData = m_buffers[static_cast<std::size_t>(i)].data();
            h.dwBufferLength = kSysExBufferSize;
            midiInPrepareHeader(m_handle, &h, sizeof h);
            midiInAddBuffer(m_handle, &h, sizeof h);
        }
        return true;
    }

    void start() override {
        if (m_handle)
            midiInStart(m_handle);
        m_observer.deviceCalled(MidiDirection::Input, m_dev, DeviceCall::Start);
    }
    void stop() override {
        if (m_handle)
            midiInStop(m_handle);
        m_observer.deviceCalled(MidiDirection::Input, m_dev, DeviceCall::Stop);
    }
    void SwapBufs(unsigned int) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_readBuf.Empty();
        m_readBuf.takeAll(m_incoming);
    }
    void RunPreNoteTracking(int) override {}
    MIDI_eventlist* GetReadBuf() override { return &m_readBuf; }
    void SwapBufsPrecise(unsigned int coarse, double) override { SwapBufs(coarse); }
    void Destroy() override {
        m_observer.deviceCalled(MidiDirection::Input, m_dev, DeviceCall::Destroy);
        delete this;
    }
    HOSTSIM_MSVC_DELETING_DESTRUCTOR(WinmmInput)

private:
    void close() {
        if (!m_handle)
            return;
        m_closing = true;
        midiInStop(m_handle);
        midiInReset(m_handle); // hands back the queued buffers
        for (MIDIHDR& h : m_headers)
            midiInUnprepareHeader(m_handle, &h, sizeof h);
        midiInClose(m_handle);
        m_handle = nullptr;
    }

    static void CALLBACK callback(HMIDIIN, UINT msg, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
        auto* self = reinterpret_cast<WinmmInput*>(instance);
        if (msg == MIM_DATA) {
            const auto packed = static_cast<DWORD>(param1);
            const unsigned char bytes[3] = {static_cast<unsigned char>(packed & 0xFF),
                                            static_cast<unsigned char>((packed >> 8) & 0xFF),
                                            static_cast<unsigned char>((packed >> 16) & 0xFF)};
            std::lock_guard<std::mutex> lock(self->m_mutex);
            self->m_incoming.add(0, bytes, shortMessageLength(bytes[0]));
        } else if (msg == MIM_LONGDATA) {
            auto* h = reinterpret_cast<MIDIHDR*>(param1);
            if (h->dwBytesRecorded > 0) {
                std::lock_guard<std::mutex> lock(self->m_mutex);
                self->m_incoming.add(0, reinterpret_cast<unsigned char*>(h->lpData),
                                     static_cast<int>(h->dwBytesRecorded));
            }
            if (!self->m_closing) // re-queue, as the driver hands each buffer back once
                midiInAddBuffer(self->m_handle, h, sizeof *h);
        }
    }

    int m_dev;
    MidiDeviceObserver& m_observer;
    HMIDIIN m_handle = nullptr;
    bool m_closing = false;
    std::mutex m_mutex;
    MidiEventList m_incoming;
    MidiEventList m_readBuf;
    std::array<MIDIHDR, kSysExBuffers> m_headers{};
    std::array<std::array<char, kSysExBufferSize>, kSysExBuffers> m_buffers{};
};

// When each message left, to show the gaps the controller needs: from a lamp's Note On to its Note Off,
// and from the host-ready message to whatever follows. The plug-in sends from its own worker thread.
class WireClock {
public:
    void sent(unsigned char status, unsigned char note) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sent.push_back({now.QuadPart, status, note});
    }
    // "Note On to Note Off min 5.01 median 5.10 max 6.20 ms over 12; host-ready to next ..."
    std::string summary() {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<double> lamp, ready;
        for (std::size_t i = 0; i < m_sent.size(); ++i) {
            if (m_sent[i].status == 0xF0 && i + 1 < m_sent.size())
                ready.push_back(ms(m_sent[i + 1].ticks - m_sent[i].ticks));
            if (m_sent[i].status != 0x90)
                continue;
            for (std::size_t j = i + 1; j < m_sent.size(); ++j) {
                if (m_sent[j].status == 0x80 && m_sent[j].note == m_sent[i].note) {
                    lamp.push_back(ms(m_sent[j].ticks - m_sent[i].ticks));
                    break;
                }
            }
        }
        return "Note On to Note Off " + stats(lamp) + "; host-ready to next " + stats(ready);
    }

private:
    struct Sent {
        LONGLONG ticks;
        unsigned char status;
        unsigned char note;
    };
    static double ms(LONGLONG ticks) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
    }
    static std::string stats(std::vector<double> v) {
        if (v.empty())
            return "none";
        std::sort(v.begin(), v.end());
        char text[96];
        std::snprintf(text, sizeof text, "min %.2f median %.2f max %.2f ms over %zu", v.front(),
                      v[v.size() / 2], v.back(), v.size());
        return text;
    }

    std::mutex m_mutex;
    std::vector<Sent> m_sent;
};

WireClock g_wireClock; // every output of the process

std::mutex g_readyLogMutex;
std::string g_readyLog;

// Written at once, a line at a time: the host may be killed at any moment, and the last line must be whole.
void noteHostReady() {
    std::lock_guard<std::mutex> lock(g_readyLogMutex);
    if (g_readyLog.empty())
        return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    constexpr ULONGLONG kUnixEpoch = 116444736000000000ULL; // 1970-01-01 in 100 ns steps since 1601
    const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    char line[32];
    const int length = std::snprintf(line, sizeof line, "%llu\n", (ticks - kUnixEpoch) / 10000);
    const std::unique_ptr<void, decltype(&CloseHandle)> file(
        CreateFileA(g_readyLog.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr),
        &CloseHandle);
    DWORD written = 0;
    if (file.get() != INVALID_HANDLE_VALUE && length > 0)
        WriteFile(file.get(), line, static_cast<DWORD>(length), &written, nullptr);
}

class WinmmOutput final : public midi_Output {
public:
    WinmmOutput(int dev, MidiDeviceObserver& observer) : m_dev(dev), m_observer(observer) {}
    ~WinmmOutput() {
        if (m_handle)
            midiOutClose(m_handle);
    }
    WinmmOutput(const WinmmOutput&) = delete;
    WinmmOutput& operator=(const WinmmOutput&) = delete;

    bool open() {
        if (midiOutOpen(&m_handle, static_cast<UINT>(m_dev), 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
            m_handle = nullptr;
            return false;
        }
        return true;
    }

    void BeginBlock() override {}
    void EndBlock(int, double, double) override {}
    void SendMsg(MIDI_event_t* msg, int) override {
        if (!msg || msg->size <= 0)
            return;
        const unsigned char* bytes = eventBytes(*msg);
        if (bytes[0] != 0xF0 && msg->size <= 3) {
            Send(bytes[0], msg->size > 1 ? bytes[1] : 0, msg->size > 2 ? bytes[2] : 0, -1);
            return;
        }
        MIDIHDR h{};
        h.lpData = reinterpret_cast<LPSTR>(const_cast<unsigned char*>(bytes));
        h.dwBufferLength = static_cast<DWORD>(msg->size);
        h.dwBytesRecorded = h.dwBufferLength;
        if (midiOutPrepareHeader(m_handle, &h, sizeof h) != MMSYSERR_NOERROR)
            return;
        if (midiOutLongMsg(m_handle, &h, sizeof h) == MMSYSERR_NOERROR) {
            for (int spins = 0; !(h.dwFlags & MHDR_DONE) && spins < 1000; ++spins)
                Sleep(1); // the message is on its way once the driver marks it done
        }
        const bool delivered = (h.dwFlags & MHDR_DONE) != 0;
        midiOutUnprepareHeader(m_handle, &h, sizeof h);
        g_wireClock.sent(bytes[0], msg->size > 1 ? bytes[1] : 0);
        if (delivered && cc121::isHostReadyMessage(bytes, static_cast<std::size_t>(msg->size)))
            noteHostReady();
    }
    void Send(unsigned char status, unsigned char d1, unsigned char d2, int) override {
        g_wireClock.sent(status, d1);
        midiOutShortMsg(m_handle, static_cast<DWORD>(status) | (static_cast<DWORD>(d1) << 8) |
                                      (static_cast<DWORD>(d2) << 16));
    }
    void Destroy() override {
        m_observer.deviceCalled(MidiDirection::Output, m_dev, DeviceCall::Destroy);
        delete this;
    }
    HOSTSIM_MSVC_DELETING_DESTRUCTOR(WinmmOutput)

private:
    int m_dev;
    MidiDeviceObserver& m_observer;
    HMIDIOUT m_handle = nullptr;
};

class WindowsMidiFactory final : public MidiDeviceFactory {
public:
    midi_Input* createInput(int dev, const MidiPortInfo& port, MidiDeviceObserver& observer) override {
        if (port.failsToOpen)
            return nullptr;
        auto* in = new WinmmInput(dev, observer);
        if (!in->open()) {
            delete in;
            return nullptr;
        }
        return in;
    }
    midi_Output* createOutput(int dev, const MidiPortInfo& port, MidiDeviceObserver& observer) override {
        if (port.failsToOpen)
            return nullptr;
        auto* out = new WinmmOutput(dev, observer);
        if (!out->open()) {
            delete out;
            return nullptr;
        }
        return out;
    }
};

} // namespace

std::vector<std::string> windowsMidiInputs() {
    std::vector<std::string> names;
    const UINT count = midiInGetNumDevs();
    for (UINT i = 0; i < count; ++i) {
        MIDIINCAPSA caps{};
        names.emplace_back(midiInGetDevCapsA(i, &caps, sizeof caps) == MMSYSERR_NOERROR ? caps.szPname : "");
    }
    return names;
}

std::vector<std::string> windowsMidiOutputs() {
    std::vector<std::string> names;
    const UINT count = midiOutGetNumDevs();
    for (UINT i = 0; i < count; ++i) {
        MIDIOUTCAPSA caps{};
        names.emplace_back(midiOutGetDevCapsA(i, &caps, sizeof caps) == MMSYSERR_NOERROR ? caps.szPname : "");
    }
    return names;
}

std::unique_ptr<MidiDeviceFactory> makeWindowsMidiFactory() {
    return std::make_unique<WindowsMidiFactory>();
}

std::string wireGapSummary() {
    return g_wireClock.summary();
}

void setReadyLog(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_readyLogMutex);
    g_readyLog = path;
}

void useWindowsMidi(Host& host) {
    for (const std::string& name : windowsMidiInputs())
        host.midi().addInput(name);
    for (const std::string& name : windowsMidiOutputs())
        host.midi().addOutput(name);
    host.midi().setFactory(makeWindowsMidiFactory());
}

} // namespace hostsim
