// The EQ section in its three modes: normal (the track's equaliser through its map), type (filter types) and
// send (the track's first four sends).
#include "cc121_surface.h"

#include "cc121_controls.h"
#include "cc121_scales.h"
#include "eq_host_band.h"
#include "eq_map_track.h"
#include "host_api.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>

using namespace cc121;

namespace {

constexpr int kNormalMode = 0;
constexpr int kTypeMode = 1;
constexpr int kSendMode = 2;
constexpr std::uint32_t kEqPollMs = 200;
constexpr double kFloorDb = -150.0;
constexpr double kCeilingDb = 12.0; // the top of the host's volume fader

constexpr std::uint32_t kBandOnBits[kEqBandCount] = {kBitBandOn1, kBitBandOn2, kBitBandOn3, kBitBandOn4};

bool sendExists(MediaTrack* t, int send) {
    return host::GetSetTrackSendInfo(t, 0, send, "P_DESTTRACK", nullptr) != nullptr;
}

// A send's mute state; a missing send counts as muted so its lamp stays dark.
bool sendMuted(MediaTrack* t, int send) {
    if (!sendExists(t, send))
        return true;
    const auto* mute = static_cast<const bool*>(host::GetSetTrackSendInfo(t, 0, send, "B_MUTE", nullptr));
    return !mute || *mute;
}

// A send's level after a step of `deltaDb`, or nothing when the step leaves it where it is. The level is
// read with a floor of -150 dB (no number reads as silence, +inf as the largest finite gain). An upward step
// stops at +12 dB and never pulls a louder send down; a downward step starts from the real level. Nothing
// that is infinite or no number comes out.
std::optional<double> steppedSendVolume(double gain, double deltaDb) {
    double db = kFloorDb;
    if (gain >= std::ldexp(1.0, -25))
        db = std::max(20.0 * std::log10(std::min(gain, DBL_MAX)), kFloorDb);
    double target = db + deltaDb;
    if (deltaDb > 0.0 && target > kCeilingDb) {
        if (db >= kCeilingDb)
            return std::nullopt;
        target = kCeilingDb;
    }
    const double volume = std::pow(10.0, target / 20.0);
    if (!std::isfinite(volume))
        return std::nullopt;
    return volume;
}

} // namespace

void CC121::eqEncoder(int kind, int band, double amount) {
    if (eqMode == kSendMode) {
        MediaTrack* t = track();
        if (!t)
            return;
        if (kind == kEqGain) {
            if (!sendExists(t, band))
                return;
            const auto* current =
                static_cast<const double*>(host::GetSetTrackSendInfo(t, 0, band, "D_VOL", nullptr));
            if (!current)
                return;
            if (auto volume = steppedSendVolume(*current, settings.encoderSpeed / 100.0 * amount))
                host::GetSetTrackSendInfo(t, 0, band, "D_VOL", &*volume);
        } else {
            host::KBD_OnMainActionEx(950 + 4 * kind + band, truncateSaturated(amount * 8), -1, 1, nullptr,
                                     nullptr);
        }
        return;
    }
    const EqControlKind control =
        eqMode == kTypeMode ? (kind == kEqGain ? kEqType : kEqMx) : static_cast<EqControlKind>(kind);
    if (control == kEqMx)
        return; // Q and F do nothing in the type mode
    if (auto match = FindEqMapForTrack(eqMaps, currentTrack, settings.useMcpForChannels))
        eqStepParam(*match, control, band, amount, settings.encoderSpeed);
}

void CC121::eqBandOn(int band) {
    if (eqMode == kSendMode) {
        MediaTrack* t = track();
        if (!t || !sendExists(t, band))
            return;
        const auto* mute = static_cast<const bool*>(host::GetSetTrackSendInfo(t, 0, band, "B_MUTE", nullptr));
        if (!mute)
            return;
        bool muted = !*mute;
        host::GetSetTrackSendInfo(t, 0, band, "B_MUTE", &muted);
        SetLamp(kBandOnBits[band], !muted);
        return;
    }
    if (eqMode != kNormalMode)
        return;
    if (auto match = FindEqMapForTrack(eqMaps, currentTrack, settings.useMcpForChannels))
        if (!eqToggleBandOn(*match, band))
            eqToggleHostBand(*match, band);
}

void CC121::eqTypeRelease() {
    if (eqMode == kSendMode)
        return;
    eqMode = 1 - eqMode;
    SetLamp(kBitEqType, eqMode == kTypeMode);
}

void CC121::eqBypassRelease() {
    if (eqMode == kSendMode)
        return;
    bool lit = false;
    if (auto match = FindEqMapForTrack(eqMaps, currentTrack, settings.useMcpForChannels))
        lit = eqToggleBypass(*match);
    SetLamp(kBitAllBypass, lit);
}

void CC121::pollEqLamps(std::uint32_t now) {
    if (now - lastEqPoll <= kEqPollMs)
        return;
    lastEqPoll = now;
    if (eqMode == kSendMode) {
        if (MediaTrack* t = track())
            for (int b = 0; b < kEqBandCount; ++b)
                SetLamp(kBandOnBits[b], !sendMuted(t, b));
        return;
    }
    std::uint32_t bits = 0;
    bool found = false;
    if (auto match = FindEqMapForTrack(eqMaps, currentTrack, settings.useMcpForChannels)) {
        found = true;
        if (eqParamLit(*match, kEqBypass, 0))
            bits |= kBitAllBypass;
        if (eqMode == kNormalMode)
            for (int b = 0; b < kEqBandCount; ++b)
                if (eqParamLit(*match, kEqBandOn, b) || eqHostBandLit(*match, b))
                    bits |= kBandOnBits[b];
    }
    SetLamp(kBitAllBypass, (bits & kBitAllBypass) != 0);
    SetLamp(kBitEqType, found && eqMode == kTypeMode);
    for (int b = 0; b < kEqBandCount; ++b)
        SetLamp(kBandOnBits[b], (bits & kBandOnBits[b]) != 0);
}
