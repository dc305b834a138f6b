// Lifecycle of the surface, its Run cycle and the texts the host asks for.
#include "cc121_surface.h"

#include "cc121_controls.h"
#include "eq_map_loader.h"
#include "host_api.h"
#include "platform.h"
#include "surface_actions.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <new>

namespace {

constexpr std::size_t kDescriptionSize = 1024;
constexpr int kDeviceNameSize = 256;

// Extended carries integers in its pointer parameters; one that does not fit an int is no device index.
int pointerInt(void* p) {
    const auto value = reinterpret_cast<std::intptr_t>(p);
    return value >= INT_MIN && value <= INT_MAX ? static_cast<int>(value) : -1;
}

// Shared by every instance; each call overwrites the previous text (the host copies it at once).
char g_description[kDescriptionSize];
// Larger than the host-facing 1024 bytes so seven 255-character action texts always come back whole.
char g_configuration[kSurfaceConfigBufferSize];

} // namespace

CC121::CC121(const SurfaceSettings& parsed, int* errorFlags) : settings(parsed) {
    // A port that fails to open keeps its configured index: the host saves what GetConfigString returns, and
    // a controller unplugged for one session must not lose the user's device choice for good. Run tries it
    // again.
    openInput();
    openOutput();
    if (errorFlags)
        *errorFlags |= m_portErrors;
    eqMaps = LoadEqMaps();
    if (eqMaps.empty())
        eqMaps.push_back(EqMap{});
    if (midiIn)
        midiIn->start();
    m_inputWatch.lastPoll = m_outputWatch.lastPoll = tamsel::platform().nowMs();
    tamsel::addLiveSurface(this);
    host::TrackList_UpdateAllExternalSurfaces();
}

namespace {
// How long the destructor lets the lamps-off reach the controller; what waits before them is folded into
// them, so only a worker stuck in a pause misses it.
constexpr std::uint32_t kFinalDrainMs = 250;
} // namespace

CC121::~CC121() {
    tamsel::removeLiveSurface(this);
    UpdateLampsAndFader(0, faderPosition); // turn off every lit lamp on the controller
    if (m_output) {
        m_output->finishAndStop(kFinalDrainMs);
        m_output.reset();
    }
    releaseDevices();
}

#if TAMSEL_MSVC_VTABLE
void* CC121::msvcDeletingDestructor(unsigned int flags) {
    this->~CC121();
    if (flags & 1)
        ::operator delete(this);
    return this;
}
#endif

void CC121::releaseDevices() {
    m_output.reset(); // the worker stops before the output it sends through goes
    // Host-owned objects go back only through Destroy().
    if (midiOut) {
        midiOut->Destroy();
        midiOut = nullptr;
    }
    if (midiIn) {
        midiIn->Destroy();
        midiIn = nullptr;
    }
}

void CC121::CloseNoReset() {
    m_closed = true; // the host is done with us: nothing is opened again
    if (m_output)
        m_output->discardAndStop();
    releaseDevices();
}

const char* CC121::GetDescString() {
    char input[kDeviceNameSize] = "No Input";
    char output[kDeviceNameSize] = "No Output";
    // A port that is not open is named as none, whatever index the settings keep.
    if (midiIn && settings.midiInputIndex >= 0 && settings.midiInputIndex < host::GetNumMIDIInputs()) {
        input[0] = '\0';
        host::GetMIDIInputName(settings.midiInputIndex, input, kDeviceNameSize);
        input[kDeviceNameSize - 1] = '\0';
    }
    if (midiOut && settings.midiOutputIndex >= 0 && settings.midiOutputIndex < host::GetNumMIDIOutputs()) {
        output[0] = '\0';
        host::GetMIDIOutputName(settings.midiOutputIndex, output, kDeviceNameSize);
        output[kDeviceNameSize - 1] = '\0';
    }
    std::snprintf(g_description, sizeof g_description, "Steinberg CC121 (%s, %s)", input, output);
    return g_description;
}

int CC121::Extended(int call, void* parm1, void* parm2, void* parm3) {
    switch (call) {
    case CSURF_EXT_MIDI_DEVICE_REMAP:
        return remapDevice(parm1 != nullptr, pointerInt(parm2), pointerInt(parm3)) ? 1 : 0;
    case CSURF_EXT_RESET:
        reconnect();
        return 1;
    case CSURF_EXT_SETFXCHANGE:
        recheckPin();
        return 0;
    default:
        return 0;
    }
}

// The host renumbered its devices: the open device stays open, only the index the settings keep follows.
bool CC121::remapDevice(bool output, int oldIndex, int newIndex) {
    if (oldIndex < 0 || newIndex < 0 || oldIndex == newIndex)
        return false;
    int& index = output ? settings.midiOutputIndex : settings.midiInputIndex;
    if (index != oldIndex)
        return false;
    index = newIndex;
    return true;
}

const char* CC121::GetConfigString() {
    FormatSurfaceSettings(settings, g_configuration, sizeof g_configuration);
    return g_configuration;
}

void CC121::Run() {
    const std::uint32_t now = tamsel::platform().nowMs();
    pollPorts(now);
    if (midiIn && midiOut) {
        m_inRun = true;
        runConnected(now);
        m_inRun = false;
    }
    if (m_reconnectPending)
        reconnect();
    printMonitor();
}

void CC121::runConnected(std::uint32_t now) {
    hostReadyAndResend(now);
    pollMonitor(now);
    pollEqLamps(now);
    pollWindows(now);
    pollLock(now);

    midiIn->SwapBufs(now);
    if (MIDI_eventlist* list = midiIn->GetReadBuf()) {
        int position = 0;
        while (MIDI_event_t* event = list->EnumItems(&position)) {
            if (event->size > 0)
                m_monitor.note(cc121::Direction::FromController, event->midi_message,
                               static_cast<std::size_t>(event->size));
            dispatch(*event, now);
        }
    }

    if (heldButtons & cc121::kBitForward)
        host::CSurf_OnFwd(0);
    else if (heldButtons & cc121::kBitRewind)
        host::CSurf_OnRew(0);

    blink(now);
}

void CC121::useEqMaps(EqMapList maps) {
    eqMaps = std::move(maps);
    if (eqMaps.empty())
        eqMaps.push_back(EqMap{});
}

MediaTrack* CC121::track() const {
    return host::CSurf_TrackFromID(currentTrack, settings.useMcpForChannels);
}

int CC121::trackId(MediaTrack* t) const {
    return host::CSurf_TrackToID(t, settings.useMcpForChannels);
}
