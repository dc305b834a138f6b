// RtMidi behind the engine's port interface.
#include "rtmidi_ports.h"

#include "port_names.h"

#include <RtMidi.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <mmsystem.h>

namespace kestro {

namespace {

constexpr char kInputClient[] = "RtMidi Input Client";
constexpr char kOutputClient[] = "RtMidi Output Client";
constexpr char kInputPortName[] = "RtMidi Input";
constexpr char kOutputPortName[] = "RtMidi Output";

// Replaces RtMidi's own handling (print to the console, then throw): a failure shows as a closed port.
void ignoreError(RtMidiError::Type, const std::string&, void*) {}

// Made on first use, and only when the system has ports of that kind: RtMidi prints a warning when it
// starts without any, before an error handler can be installed.
template <class Api> Api* ensure(std::unique_ptr<Api>& api, unsigned device_count, const char* client) {
    if (api == nullptr && device_count > 0) {
        try {
            api = std::make_unique<Api>(RtMidi::UNSPECIFIED, client);
            api->setErrorCallback(&ignoreError, nullptr);
        } catch (...) {
            api.reset();
        }
    }
    return api.get();
}

std::string ansiFromUtf8(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int wide_length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (wide_length <= 0) {
        return utf8;
    }
    std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), wide_length);
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return utf8;
    }
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

template <class Api> std::vector<std::string> listPorts(Api* api) {
    std::vector<std::string> names;
    if (api == nullptr) {
        return names;
    }
    try {
        const unsigned count = api->getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            names.push_back(ansiPortName(api->getPortName(i), i));
        }
    } catch (...) {
        // The names read so far stay: list position i is still port i.
    }
    return names;
}

class RtMidiPorts final : public MidiPorts {
public:
    RtMidiPorts() = default;
    RtMidiPorts(const RtMidiPorts&) = delete;
    RtMidiPorts& operator=(const RtMidiPorts&) = delete;
    ~RtMidiPorts() override { close(); }

    std::vector<std::string> inputPortNames() override { return listPorts(input()); }
    std::vector<std::string> outputPortNames() override { return listPorts(output()); }

    bool openInput(unsigned index, Receiver receiver) override {
        closeInput();
        RtMidiIn* in = input();
        if (in == nullptr) {
            return false;
        }
        try {
            m_receiver = std::move(receiver);
            // Set before opening, so no clock message slips in meanwhile.
            in->ignoreTypes(false, true, true);
            in->setCallback(&RtMidiPorts::onMessage, this);
            in->openPort(index, kInputPortName);
            if (in->isPortOpen()) {
                return true;
            }
        } catch (...) {
        }
        closeInput();
        return false;
    }

    bool openOutput(unsigned index) override {
        closeOutput();
        RtMidiOut* out = output();
        if (out == nullptr) {
            return false;
        }
        try {
            out->openPort(index, kOutputPortName);
            if (out->isPortOpen()) {
                return true;
            }
        } catch (...) {
        }
        closeOutput();
        return false;
    }

    void send(const std::array<std::uint8_t, 3>& message) override {
        if (m_out == nullptr) {
            return;
        }
        try {
            m_out->sendMessage(message.data(), message.size());
        } catch (...) {
            // A driver error loses this one message; the panel goes on.
        }
    }

    void close() override {
        closeInput();
        closeOutput();
    }

private:
    RtMidiIn* input() { return ensure(m_in, midiInGetNumDevs(), kInputClient); }
    RtMidiOut* output() { return ensure(m_out, midiOutGetNumDevs(), kOutputClient); }

    void closeInput() {
        if (m_in == nullptr) {
            return;
        }
        try {
            m_in->closePort();
            m_in->cancelCallback();
        } catch (...) {
        }
    }

    void closeOutput() {
        if (m_out == nullptr) {
            return;
        }
        try {
            m_out->closePort();
        } catch (...) {
        }
    }

    // On the driver's thread: nothing may be thrown back into it.
    static void onMessage(double, std::vector<unsigned char>* message, void* user) {
        auto* self = static_cast<RtMidiPorts*>(user);
        if (self == nullptr || message == nullptr || message->empty() || !self->m_receiver) {
            return;
        }
        try {
            self->m_receiver(message->data(), message->size());
        } catch (...) {
        }
    }

    std::unique_ptr<RtMidiIn> m_in;
    std::unique_ptr<RtMidiOut> m_out;
    Receiver m_receiver; // replaced only while the input is closed
};

} // namespace

// RtMidi hands out UTF-8; the panel's controls and settings are in the ANSI code page. A character the
// code page lacks becomes its default character, as the system's own ANSI names do. The " <index>" comes
// off: the settings keep the position on their own (port_names.h).
std::string ansiPortName(const std::string& rtmidi_name, unsigned position) {
    return ansiFromUtf8(withoutPortNumber(rtmidi_name, position));
}

std::unique_ptr<MidiPorts> makeRtMidiPorts() {
    return std::make_unique<RtMidiPorts>();
}

} // namespace kestro
