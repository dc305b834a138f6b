#pragma once
// The CC121 control surface: one instance per configured controller. It reads the controller's MIDI on every
// Run and turns it into host calls, and drives the controller's lamps and motor fader from the host's state.
// Everything runs on the host's calling thread, except the output to the controller: that is queued and sent
// by the surface's own worker (midi_output_queue.h), so the host's thread never waits for the wire.

#include "eq_map.h"
#include "midi_monitor.h"
#include "midi_output_queue.h"
#include "reaper_abi.h"
#include "surface_settings.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class CC121 final : public IReaperControlSurface {
public:
    CC121(const SurfaceSettings& parsed, int* errorFlags);
    ~CC121();
    CC121(const CC121&) = delete;
    CC121& operator=(const CC121&) = delete;

#if TAMSEL_MSVC_VTABLE
    // REAPER (MSVC) destroys us through its one destructor slot.
    void* msvcDeletingDestructor(unsigned int flags) override;
#endif

    const char* GetTypeString() override {
        return "CC121";
    }
    const char* GetDescString() override;
    const char* GetConfigString() override;
    void CloseNoReset() override;
    void Run() override;
    void SetTrackListChange() override;
    void SetSurfaceVolume(MediaTrack* track, double volume) override;
    void SetSurfacePan(MediaTrack* track, double pan) override;
    void SetSurfaceMute(MediaTrack* track, bool mute) override;
    void SetSurfaceSelected(MediaTrack* track, bool selected) override;
    void SetSurfaceSolo(MediaTrack* track, bool solo) override;
    void SetSurfaceRecArm(MediaTrack* track, bool recarm) override;
    void SetPlayState(bool play, bool pause, bool rec) override;
    void SetRepeatState(bool rep) override;
    void SetTrackTitle(MediaTrack*, const char*) override {}
    bool GetTouchState(MediaTrack* track, int isPan) override;
    void SetAutoMode(int mode) override;
    void ResetCachedVolPanStates() override;
    void OnTrackSelection(MediaTrack* track) override;
    bool IsKeyDown(int) override {
        return false;
    }
    // Device renumbering and reset answer 1; an effect change rechecks the Lock pin; every other call answers
    // 0.
    int Extended(int call, void* parm1, void* parm2, void* parm3) override;

    // Mute/Monitor, Channel Left/Right, Write/FX and EQ Type/All Bypass.
    static constexpr int kPairedButtons = 8;

    // The only way lamps and the motor fader are driven, so lampState and faderPosition always hold what the
    // controller was last told.
    void UpdateLampsAndFader(std::uint32_t lamps, int position);
    void SetLamp(std::uint32_t bit, bool on);

    // A reconnect: forgets what is held or touched on the controller, closes both ports and opens them again
    // with the kept indices, then sends every lamp, on and off, and the fader. The user's modes stay.
    void reconnect();
    // Maps read again by the host's action; used from the next poll on.
    void useEqMaps(EqMapList maps);

    // Blocks until everything queued for the controller has gone out (tests and diagnostics).
    void waitOutputIdle() {
        if (m_output)
            m_output->waitIdle();
    }

    // Read-only views for tests and diagnostics.
    const SurfaceSettings& currentSettings() const {
        return settings;
    }
    int currentTrackId() const {
        return currentTrack;
    }
    std::uint32_t lamps() const {
        return lampState;
    }
    std::uint32_t held() const {
        return heldButtons;
    }
    int fader() const {
        return faderPosition;
    }
    int mode() const {
        return eqMode;
    }
    bool flipped() const {
        return flip;
    }
    bool faderSilenced() const {
        return faderOff;
    }
    bool scrubbing() const {
        return scrubMode;
    }
    bool touched() const {
        return faderTouched;
    }
    const EqMapList& maps() const {
        return eqMaps;
    }
    // 1: the configured input is not open; 2: the configured output is not open.
    int portErrors() const {
        return m_portErrors;
    }

private:
    // Run steps
    void runConnected(std::uint32_t now);
    void hostReadyAndResend(std::uint32_t now);
    void pollMonitor(std::uint32_t now);
    void pollEqLamps(std::uint32_t now);
    void pollWindows(std::uint32_t now);
    void dispatch(const MIDI_event_t& event, std::uint32_t now);
    void blink(std::uint32_t now);

    // Input handlers
    void onPress(std::uint8_t note, std::uint32_t now);
    void onRelease(std::uint8_t note);
    void onEncoder(std::uint8_t controller, double amount);
    void onFader(int position);
    void pairPress(std::uint32_t bit, std::uint32_t partner, std::uint32_t now);
    void pairAction(std::uint32_t bits);
    void ownReleaseAction(std::uint32_t bit);
    void automationStep(bool read);
    void selectByDelta(long long delta, bool selectInHost);
    void cycleMonitor();
    void cycleFolder();

    // EQ section and window toggles
    void eqEncoder(int kind, int band, double amount);
    void eqBandOn(int band);
    void eqTypeRelease();
    void eqBypassRelease();
    void routingPress();
    void fxRelease();
    bool windowVisible(const char* title);

    // Lock: the AI knob pinned to an effect parameter
    void lockPress();
    // Steps the pinned parameter; false when nothing is pinned and the knob scrubs or wheels as usual.
    bool pinnedKnob(double amount);
    void pollLock(std::uint32_t now);
    // The pinned parameter's track, once the pin has followed its track and effect to where they are now;
    // null when they are gone.
    MediaTrack* pinnedTrack();
    // The host's track list or a chain changed: the pin follows, or lets go where it cannot tell.
    void recheckPin();
    void unpin();

    bool remapDevice(bool output, int oldIndex, int newIndex);
    // Forgets what the controller was told, so the next Run sends the host-ready message and everything;
    // with `everyLamp` the dark lamps too, for a controller whose lamps may show anything.
    void resetFeedback(bool everyLamp = false) {
        m_resendPending = true;
        m_resendEveryLamp = m_resendEveryLamp || everyLamp;
    }

    MediaTrack* track() const;
    int trackId(MediaTrack* track) const;
    int positionForTrack(MediaTrack* track) const;
    void releaseDevices();

    // Ports: opened at creation and by reconnect; a configured port that is not open is tried again, and an
    // open one whose device the host no longer lists is closed, each at most once per kPortPollMs.
    void openInput();
    void openOutput();
    void closeInput();
    void closeOutput();
    void pollPorts(std::uint32_t now);
    void printMonitor();

    SurfaceSettings settings;
    midi_Input* midiIn = nullptr;
    midi_Output* midiOut = nullptr;
    int currentTrack = -1;
    std::uint32_t heldButtons = 0;
    std::uint32_t lampState = 0;
    int eqMode = 0;
    int faderPosition = 12800;
    bool faderOff = false;
    bool flip = false;
    bool paused = false;
    bool faderTouched = false;
    std::uint32_t lastHostReady = 0;
    std::uint32_t lastMonitorPoll = 0;
    std::uint32_t lastEqPoll = 0;
    std::uint32_t lastFxPoll = 0;
    std::uint32_t lastRoutingPoll = 0;
    std::uint32_t lastBlink = 0;
    std::uint32_t pairPressTime[kPairedButtons] = {}; // press time of each button of the four pairs
    bool scrubMode = false;
    EqMapList eqMaps;
    bool m_resendPending = false;
    bool m_resendEveryLamp = false;
    int m_portErrors = 0;
    bool m_closed = false; // after CloseNoReset
    // A reconnect asked for from inside Run (a button that runs the reconnect action) waits for Run's end:
    // the input's event list is still being read.
    bool m_inRun = false;
    bool m_reconnectPending = false;
    // When a port was last tried or checked, and whether the host listed its device while it was open: a
    // host that never lists an open device is not taken to have lost it.
    struct PortWatch {
        std::uint32_t lastPoll = 0;
        bool listed = false;
    };
    PortWatch m_inputWatch;
    PortWatch m_outputWatch;
    // Before m_output: the worker notes what it sends here.
    tamsel::MidiMonitor m_monitor;
    // Present while the output is open; stopped before the output is destroyed.
    std::unique_ptr<MidiOutputQueue> m_output;
    // The pinned parameter where the host last numbered it (track 0 the master, 1.. the tracks; effect;
    // parameter), and who it belongs to: the track's handle and GUID, the effect instance's GUID.
    struct KnobPin {
        int track;
        int fx;
        int param;
        MediaTrack* handle;
        std::optional<std::array<unsigned char, kGuidSize>> trackGuid;
        std::optional<std::array<unsigned char, kGuidSize>> fxGuid;
    };
    std::optional<KnobPin> m_pin;
    std::uint32_t m_lastLockPoll = 0;
};
