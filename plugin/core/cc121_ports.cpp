// The surface's two MIDI ports over a working day: opened at creation, tried again while missing, closed when
// the host stops listing their device, and closed and opened again on a reset.
#include "cc121_surface.h"

#include "host_api.h"
#include "platform.h"

#include <algorithm>
#include <iterator>

namespace {

// A port is tried, or checked for its device, at most this often.
constexpr std::uint32_t kPortPollMs = 2000;
constexpr int kInputError = 1;
constexpr int kOutputError = 2;
constexpr int kDeviceNameSize = 256;

bool inputListed(int index) {
    char name[kDeviceNameSize] = "";
    return host::GetMIDIInputName(index, name, kDeviceNameSize);
}

bool outputListed(int index) {
    char name[kDeviceNameSize] = "";
    return host::GetMIDIOutputName(index, name, kDeviceNameSize);
}

} // namespace

void CC121::openInput() {
    m_portErrors &= ~kInputError;
    m_inputWatch.listed = false;
    if (settings.midiInputIndex < 0)
        return;
    midiIn = host::CreateMIDIInput(settings.midiInputIndex);
    if (!midiIn)
        m_portErrors |= kInputError;
    else
        m_inputWatch.listed = inputListed(settings.midiInputIndex);
}

void CC121::openOutput() {
    m_portErrors &= ~kOutputError;
    m_outputWatch.listed = false;
    if (settings.midiOutputIndex < 0)
        return;
    midiOut = host::CreateMIDIOutput(settings.midiOutputIndex, false, nullptr);
    if (midiOut) {
        try {
            m_output = std::make_unique<MidiOutputQueue>(midiOut, &m_monitor);
        } catch (...) {
            // No worker, no way to the controller: the output counts as one that failed to open.
            midiOut->Destroy();
            midiOut = nullptr;
        }
    }
    if (!midiOut)
        m_portErrors |= kOutputError;
    else
        m_outputWatch.listed = outputListed(settings.midiOutputIndex);
}

void CC121::closeInput() {
    if (midiIn) {
        midiIn->Destroy();
        midiIn = nullptr;
    }
}

// The worker stops (a group it has begun ends after its current message) before the output it sends
// through is destroyed.
void CC121::closeOutput() {
    if (m_output) {
        m_output->discardAndStop();
        m_output.reset();
    }
    if (midiOut) {
        midiOut->Destroy();
        midiOut = nullptr;
    }
}

void CC121::pollPorts(std::uint32_t now) {
    if (m_closed)
        return;
    const bool wasConnected = midiIn && midiOut;
    if (settings.midiInputIndex >= 0 && now - m_inputWatch.lastPoll >= kPortPollMs) {
        m_inputWatch.lastPoll = now;
        if (!midiIn) {
            openInput();
            if (midiIn)
                midiIn->start();
        } else if (inputListed(settings.midiInputIndex)) {
            m_inputWatch.listed = true;
        } else if (m_inputWatch.listed) {
            closeInput(); // unplugged: tried again from the next poll
            m_portErrors |= kInputError;
        }
    }
    if (settings.midiOutputIndex >= 0 && now - m_outputWatch.lastPoll >= kPortPollMs) {
        m_outputWatch.lastPoll = now;
        if (!midiOut) {
            openOutput();
        } else if (outputListed(settings.midiOutputIndex)) {
            m_outputWatch.listed = true;
        } else if (m_outputWatch.listed) {
            closeOutput();
            m_portErrors |= kOutputError;
        }
    }
    // Whatever the controller showed while it was away, it now gets the whole picture.
    if (!wasConnected && midiIn && midiOut)
        resetFeedback(true);
}

void CC121::reconnect() {
    m_reconnectPending = m_inRun;
    if (m_closed || m_inRun)
        return;
    // A button held or the fader touched when the controller went away must not go on acting.
    heldButtons = 0;
    faderTouched = false;
    std::fill(std::begin(pairPressTime), std::end(pairPressTime), 0u);
    closeOutput();
    closeInput();
    openInput();
    openOutput();
    if (midiIn)
        midiIn->start();
    m_inputWatch.lastPoll = m_outputWatch.lastPoll = tamsel::platform().nowMs();
    resetFeedback(true);
}

void CC121::printMonitor() {
    if (!m_monitor.waiting())
        return;
    try {
        const std::string lines = m_monitor.take();
        if (!lines.empty() && host::ShowConsoleMsg)
            host::ShowConsoleMsg(lines.c_str());
    } catch (...) {
        // Lines that find no memory are not shown.
    }
}
