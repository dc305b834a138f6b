// The controller's messages turned into host calls: buttons (with the four button pairs), encoders and the
// fader.
#include "cc121_surface.h"

#include "cc121_controls.h"
#include "cc121_messages.h"
#include "cc121_scales.h"
#include "host_api.h"
#include "platform.h"
#include "user_actions.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>

using namespace cc121;

namespace {

// Within this many milliseconds a second press makes a pair.
constexpr std::uint32_t kPairWindowMs = 100;

struct Pair {
    std::uint32_t a;
    std::uint32_t b;
};
constexpr Pair kPairs[] = {{kBitMute, kBitMonitor},
                           {kBitChannelLeft, kBitChannelRight},
                           {kBitWrite, kBitFx},
                           {kBitEqType, kBitAllBypass}};

static_assert(2 * std::size(kPairs) == CC121::kPairedButtons);

std::uint32_t partnerOf(std::uint32_t bit) {
    for (const Pair& p : kPairs) {
        if (p.a == bit)
            return p.b;
        if (p.b == bit)
            return p.a;
    }
    return kBitNone;
}

// Where a paired button keeps its press time.
std::size_t pairedIndex(std::uint32_t bit) {
    for (std::size_t i = 0; i < std::size(kPairs); ++i) {
        if (kPairs[i].a == bit)
            return 2 * i;
        if (kPairs[i].b == bit)
            return 2 * i + 1;
    }
    return 0; // only paired buttons are asked for
}

// (value + 1) mod 3 into 0..2 for any value the host returns, without overflow at INT_MAX.
int nextOfThree(int value) {
    const int state = (value % 3 + 3) % 3;
    return (state + 1) % 3;
}

ActionSlot actionSlotOf(std::uint8_t note) {
    switch (note) {
    case kNoteValueButton:
        return kSlotValueButton;
    case kNoteFunction1:
        return kSlotFunction1;
    case kNoteFunction2:
        return kSlotFunction2;
    case kNoteFunction3:
        return kSlotFunction3;
    case kNoteFunction4:
        return kSlotFunction4;
    default:
        return kSlotFootSwitch;
    }
}

} // namespace

void CC121::dispatch(const MIDI_event_t& event, std::uint32_t now) {
    if (event.size < 1)
        return;
    // Shorter events read as zero data bytes rather than past what the host filled in.
    const std::uint8_t d1 = event.size > 1 ? event.midi_message[1] : 0;
    const std::uint8_t d2 = event.size > 2 ? event.midi_message[2] : 0;
    const InputEvent in = decodeMessage(event.midi_message[0], d1, d2);
    switch (in.kind) {
    case EventKind::ButtonPress:
        onPress(in.number, now);
        break;
    case EventKind::ButtonRelease:
        onRelease(in.number);
        break;
    case EventKind::EncoderStep:
        onEncoder(in.number, encoderAmount(in.value, settings.acceleration));
        break;
    case EventKind::FaderMove:
        onFader(in.faderPosition);
        break;
    case EventKind::Ignored:
        break;
    }
}

// A paired button acts on its release; a partner pressed within the pair window makes the pair act instead.
// Each button keeps its own press time: a press of another pair in between must not open the window anew.
void CC121::pairPress(std::uint32_t bit, std::uint32_t partner, std::uint32_t now) {
    if (!(heldButtons & partner)) {
        pairPressTime[pairedIndex(bit)] = now;
        heldButtons |= bit;
        return;
    }
    if (now - pairPressTime[pairedIndex(partner)] > kPairWindowMs)
        return; // too late for a pair: the press is ignored
    heldButtons &= ~(bit | partner);
    pairAction(bit | partner);
}

void CC121::pairAction(std::uint32_t bits) {
    if (bits == (kBitMute | kBitMonitor)) {
        flip = !flip;
        if (!faderOff) {
            faderPosition = -1;
            host::TrackList_UpdateAllExternalSurfaces();
        }
    } else if (bits == (kBitChannelLeft | kBitChannelRight)) {
        cycleFolder();
    } else if (bits == (kBitWrite | kBitFx)) {
        faderOff = !faderOff;
        if (!faderOff) {
            faderPosition = -1;
            host::TrackList_UpdateAllExternalSurfaces();
        }
    } else if (bits == (kBitEqType | kBitAllBypass)) {
        eqMode = eqMode == 2 ? 0 : 2;
    }
}

void CC121::onPress(std::uint8_t note, std::uint32_t now) {
    const ButtonInfo* button = findButton(note);
    if (!button)
        return;
    const std::uint32_t bit = button->bit;
    if (const std::uint32_t partner = partnerOf(bit)) {
        pairPress(bit, partner, now);
        return;
    }
    MediaTrack* t = nullptr;
    switch (note) {
    case kNoteRecArm:
        if ((t = track()))
            SetSurfaceRecArm(t, host::CSurf_OnRecArmChange(t, -1));
        break;
    case kNoteSolo:
        if ((t = track()))
            SetSurfaceSolo(t, host::CSurf_OnSoloChange(t, -1));
        break;
    case kNoteRead:
        automationStep(true);
        break;
    case kNoteFaderTouch:
        faderTouched = true;
        break;
    case kNotePlay:
        host::CSurf_OnPlay();
        break;
    case kNoteStop:
        host::CSurf_OnStop();
        break;
    case kNoteRecord:
        host::CSurf_OnRecord();
        break;
    case kNoteCycle:
        host::Main_OnCommand(1068, 0);
        break;
    case kNoteToStart:
        if (settings.skipMarkers)
            host::CSurf_GoStart();
        else
            host::Main_OnCommand(40172, 0);
        break;
    case kNoteToEnd:
        if (settings.skipMarkers)
            host::CSurf_GoEnd();
        else
            host::Main_OnCommand(40173, 0);
        break;
    case kNoteRewind:
        if (!(heldButtons & kBitForward))
            heldButtons |= kBitRewind;
        break;
    case kNoteForward:
        if (!(heldButtons & kBitRewind))
            heldButtons |= kBitForward;
        break;
    case kNoteJog:
        scrubMode = !scrubMode;
        SetLamp(kBitJog, scrubMode);
        break;
    case kNoteValueButton:
    case kNoteFunction1:
    case kNoteFunction2:
    case kNoteFunction3:
    case kNoteFunction4:
    case kNoteFootSwitch:
        heldButtons |= bit;
        RunButtonAction(settings, actionSlotOf(note), true);
        break;
    case kNoteRouting:
        routingPress();
        break;
    case kNoteBandOn1:
    case kNoteBandOn2:
    case kNoteBandOn3:
    case kNoteBandOn4:
        eqBandOn(note - kNoteBandOn1);
        break;
    case kNoteLock:
        lockPress();
        break;
    default:
        break;
    }
}

void CC121::onRelease(std::uint8_t note) {
    const ButtonInfo* button = findButton(note);
    if (!button)
        return;
    const std::uint32_t bit = button->bit;
    if (partnerOf(bit)) {
        const bool wasHeld = (heldButtons & bit) != 0;
        if (bit == kBitWrite)
            heldButtons &= ~bit; // cleared on every release
        if (wasHeld) {
            heldButtons &= ~bit;
            ownReleaseAction(bit);
        }
        return;
    }
    switch (note) {
    case kNoteFaderTouch:
        faderTouched = false;
        break;
    case kNoteRewind:
    case kNoteForward:
        if (heldButtons & bit) {
            host::SetEditCurPos(host::GetCursorPosition(), true, true);
            heldButtons &= ~bit;
        }
        break;
    case kNoteJog:
        SetLamp(kBitJog, scrubMode);
        break;
    case kNoteValueButton:
    case kNoteFunction1:
    case kNoteFunction2:
    case kNoteFunction3:
    case kNoteFunction4:
    case kNoteFootSwitch:
        heldButtons &= ~bit;
        RunButtonAction(settings, actionSlotOf(note), false);
        break;
    default:
        break;
    }
}

void CC121::ownReleaseAction(std::uint32_t bit) {
    switch (bit) {
    case kBitMute:
        if (MediaTrack* t = track())
            SetSurfaceMute(t, host::CSurf_OnMuteChange(t, -1));
        break;
    case kBitMonitor:
        cycleMonitor();
        break;
    case kBitWrite:
        automationStep(false);
        break;
    case kBitChannelLeft:
        selectByDelta(-1, true);
        host::TrackList_UpdateAllExternalSurfaces();
        break;
    case kBitChannelRight:
        selectByDelta(1, true);
        host::TrackList_UpdateAllExternalSurfaces();
        break;
    case kBitFx:
        fxRelease();
        break;
    case kBitEqType:
        eqTypeRelease();
        break;
    case kBitAllBypass:
        eqBypassRelease();
        break;
    default:
        break;
    }
}

void CC121::cycleMonitor() {
    if (currentTrack == 0)
        return;
    MediaTrack* t = track();
    if (!t)
        return;
    auto* current = static_cast<int*>(host::GetSetMediaTrackInfo(t, "I_RECMON", nullptr));
    if (!current)
        return;
    int next = nextOfThree(*current);
    host::GetSetMediaTrackInfo(t, "I_RECMON", &next);
    SetLamp(kBitMonitor, next != 0);
    lastMonitorPoll = tamsel::platform().nowMs(); // hold the poll back after the user's change
}

void CC121::cycleFolder() {
    int flags = 0;
    MediaTrack* t = nullptr;
    if (settings.useMcpForChannels) {
        // A mixer id is no track-list index: the flags are asked of the track it names.
        t = track();
        if (!t || !host::GetTrackInfo(reinterpret_cast<std::intptr_t>(t), &flags) || !(flags & 1))
            return;
    } else {
        if (!host::GetTrackInfo(currentTrack - 1, &flags) || !(flags & 1))
            return;
        t = track();
        if (!t)
            return;
    }
    auto* current = static_cast<int*>(host::GetSetMediaTrackInfo(t, "I_FOLDERCOMPACT", nullptr));
    if (!current)
        return;
    int next = nextOfThree(*current);
    host::GetSetMediaTrackInfo(t, "I_FOLDERCOMPACT", &next);
}

// Read steps off/read and touch/latch; Write steps through write, touch, read and off.
void CC121::automationStep(bool read) {
    if (MediaTrack* t = track()) {
        const int mode = host::GetTrackAutomationMode(t);
        int next = mode;
        if (read) {
            constexpr int kRead[] = {1, 0, 4, 3, 2};
            if (mode >= 0 && mode <= 4)
                next = kRead[mode];
        } else {
            constexpr int kWrite[] = {3, 2, 1, 0, 4};
            if (mode >= 0 && mode <= 4)
                next = kWrite[mode];
        }
        if (next != mode)
            host::SetTrackAutomationMode(t, next);
    }
    host::CSurf_SetAutoMode(-1, nullptr);
}

void CC121::selectByDelta(long long delta, bool selectInHost) {
    if (delta == 0)
        return;
    const bool mcp = settings.useMcpForChannels;
    // Wide enough for any id and step the host can report; a negative count counts as no tracks.
    long long next = currentTrack + delta;
    if (next < 0) {
        next = settings.wrapChannels ? std::max(host::CSurf_NumTracks(mcp), 0) : 0;
    } else if (delta > 0) {
        const int count = std::max(host::CSurf_NumTracks(mcp), 0);
        if (next > count)
            next = settings.wrapChannels ? 0 : count;
    }
    if (next == currentTrack)
        return;
    currentTrack = static_cast<int>(next);
    lastMonitorPoll = lastEqPoll = lastFxPoll = lastRoutingPoll = 0;
    if (!selectInHost)
        return;

    MediaTrack* t = host::CSurf_TrackFromID(currentTrack, mcp);
    if (t) {
        host::CSurf_SetSurfaceSelected(t, host::CSurf_OnSelectedChange(t, 1), nullptr);
        // Next and previous track walk the track list, hidden mixer tracks included: count the steps there.
        const int touched = host::CSurf_TrackToID(host::GetLastTouchedTrack(), false);
        const int wanted = host::CSurf_TrackToID(t, false);
        for (int i = touched; i < wanted; ++i)
            host::Main_OnCommand(40285, 0);
        for (int i = wanted; i < touched; ++i)
            host::Main_OnCommand(40286, 0);
    }
    // The flags come by track-list index, so the track they belong to is found by that index too; every
    // other selected track is deselected, one hidden in the mixer as well.
    int flags = 0;
    for (int i = 0; host::GetTrackInfo(i - 1, &flags); ++i) {
        if (!(flags & 2))
            continue;
        MediaTrack* other = host::CSurf_TrackFromID(i, false);
        if (other && other != t)
            host::SetTrackSelected(other, false);
    }
}

void CC121::onEncoder(std::uint8_t controller, double amount) {
    const EncoderInfo* encoder = findEncoder(controller);
    if (!encoder)
        return;
    switch (encoder->kind) {
    case EncoderKind::Pan:
        if (MediaTrack* t = track()) {
            if (flip)
                host::CSurf_SetSurfaceVolume(
                    t,
                    host::CSurf_OnVolumeChange(t, static_cast<double>(truncateSaturated(amount * 3)), true),
                    nullptr);
            else
                host::CSurf_SetSurfacePan(
                    t, host::CSurf_OnPanChange(t, settings.encoderSpeed / 1000.0 * amount, true), nullptr);
        }
        break;
    // The encoder table counts bands 1 to 4; the EQ section counts them 0 to 3.
    case EncoderKind::Q:
        eqEncoder(0, encoder->band - 1, amount);
        break;
    case EncoderKind::F:
        eqEncoder(1, encoder->band - 1, amount);
        break;
    case EncoderKind::G:
        eqEncoder(2, encoder->band - 1, amount);
        break;
    case EncoderKind::AiKnob:
        if (pinnedKnob(amount))
            break;
        if (scrubMode)
            host::CSurf_ScrubAmt(amount * 0.5);
        else
            tamsel::platform().turnMouseWheel(truncateSaturated(amount * 120));
        break;
    case EncoderKind::Value:
        RunEncoderAction(settings, amount);
        break;
    }
}

void CC121::onFader(int position) {
    MediaTrack* t = track();
    if (!t)
        return;
    if (flip)
        host::CSurf_SetSurfacePan(t, host::CSurf_OnPanChange(t, faderToPan(position), false), nullptr);
    else
        host::CSurf_SetSurfaceVolume(
            t, host::CSurf_OnVolumeChange(t, faderToVolume(position, host::SLIDER2DB), false), nullptr);
}
