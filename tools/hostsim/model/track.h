#pragma once
// One track of the simulated project, as plain data. The handles the plug-in gets point at these records.

#include <array>
#include <string>
#include <vector>

namespace hostsim {

// The identifier REAPER gives every track and effect instance: it stays with the record wherever it moves.
using Guid = std::array<unsigned char, 16>;
// A fresh one, different from every one handed out before.
Guid newGuid();

// Automation modes as the host numbers them.
constexpr int kAutoTrim = 0;
constexpr int kAutoRead = 1;
constexpr int kAutoTouch = 2;
constexpr int kAutoWrite = 3;
constexpr int kAutoLatch = 4;

struct FxParam {
    std::string name;
    double value = 0.0;
    double min = 0.0;
    double max = 1.0;
};

// ReaEQ's band types as the host numbers them.
constexpr int kEqHighPass = 0;
constexpr int kEqLowShelf = 1;
constexpr int kEqBand = 2;
constexpr int kEqHighShelf = 4;

// One band of a ReaEQ instance. Switching a band on or off is no parameter of the effect.
struct EqBand {
    int type = kEqBand;
    bool enabled = true;
};

struct Fx {
    std::string name;
    std::vector<FxParam> params;
    // Non-empty only for ReaEQ: its bands in order. Parameters 3b, 3b + 1 and 3b + 2 are band b's frequency,
    // gain and bandwidth, parameter 3 x bands the overall gain.
    std::vector<EqBand> eqBands;
    Guid guid = newGuid();

    bool isReaEq() const { return !eqBands.empty(); }
    // The `index`-th band of `type` (0 = the first of that type), or null.
    EqBand* eqBand(int type, int index);
};

struct Track;

struct Send {
    Track* destination = nullptr; // always a track of the same project
    double volume = 1.0;          // linear, 1.0 = 0 dB
    bool mute = false;
};

struct Track {
    std::string name;
    int folderDepth = 0;   // I_FOLDERDEPTH: 1 opens a folder, -n closes n levels
    int folderCompact = 0; // I_FOLDERCOMPACT: 0 open, 1 collapsed, 2 fully collapsed
    bool selected = false;
    double volume = 1.0; // D_VOL, linear, 1.0 = 0 dB
    double pan = 0.0;    // D_PAN, -1 left .. 1 right
    bool mute = false;
    bool solo = false;
    bool recArm = false;
    int recMonitor = 0; // I_RECMON: 0 off, 1 on, 2 on but not while playing
    int automationMode = kAutoTrim;
    bool visibleInMixer = true; // tracks hidden in the mixer have no id in the mixer view
    bool fxEnabled = true;      // the chain as a whole, not single effects
    std::vector<Fx> fx;
    std::vector<Send> sends;
    Guid guid = newGuid();

    bool isFolder() const { return folderDepth > 0; }
    Fx& addFx(std::string fxName, std::vector<FxParam> params = {});
    // A ReaEQ with one band of each type given, its parameters as REAPER lists them (the bands' frequency,
    // gain and bandwidth, the overall gain, then the host's own Bypass, Wet and Delta).
    Fx& addReaEq(std::string fxName, const std::vector<int>& bandTypes);
    Send& addSend(Track& destination, double sendVolume = 1.0, bool sendMute = false);
};

} // namespace hostsim
