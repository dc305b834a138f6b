#pragma once
// One EQ map: which parameters of one equaliser effect the EQ section's controls move, and how coarse a
// step is. Read from small text files; the surface keeps them in load order.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

inline constexpr int kEqBandCount = 4;

struct EqMap {
    std::string id; // the effect's name exactly as the host lists it
    std::array<int, kEqBandCount> q = {-1, -1, -1, -1};
    std::array<int, kEqBandCount> freq = {-1, -1, -1, -1};
    std::array<int, kEqBandCount> gain = {-1, -1, -1, -1};
    std::array<int, kEqBandCount> type = {-1, -1, -1, -1};
    std::array<int, kEqBandCount> bandOn = {-1, -1, -1, -1};
    int bypass = -1;
    int mx = -1; // kept for the file format; no control uses it
    double qScale = 4000.0;
    double freqScale = 6000.0;
    double gainScale = 4000.0;
    double typeScale = 1.0;

    friend bool operator==(const EqMap& a, const EqMap& b) {
        return a.id == b.id && a.q == b.q && a.freq == b.freq && a.gain == b.gain && a.type == b.type &&
               a.bandOn == b.bandOn && a.bypass == b.bypass && a.mx == b.mx && a.qScale == b.qScale &&
               a.freqScale == b.freqScale && a.gainScale == b.gainScale && a.typeScale == b.typeScale;
    }
    friend bool operator!=(const EqMap& a, const EqMap& b) { return !(a == b); }
};

// Never empty once loaded: without files it holds one map with every default.
using EqMapList = std::vector<EqMap>;

// The numbers are part of the interface.
enum EqControlKind {
    kEqQ = 0,
    kEqFreq = 1,
    kEqGain = 2,
    kEqType = 3,
    kEqBandOn = 4,
    kEqBypass = 5,
    kEqMx = 6
};

// Applies the lines of a map file's content onto `map`; keys the text lacks keep their values. `data` need
// not be terminated and may hold any bytes; nothing past data + size is read.
void applyEqMapText(EqMap& map, const char* data, std::size_t size);

// A map with every default, then the text applied.
EqMap parseEqMap(const char* data, std::size_t size);

// The parameter index of a control (negative: the control does nothing). `band` is 0..3 and is ignored
// by Bypass and Mx; a band outside that range gives -1. For Q, Freq, Gain and Type the step divisor is
// stored through `scale` when it is given; BandOn, Bypass and Mx leave it untouched.
int EqMapParam(const EqMap& map, EqControlKind kind, int band, double* scale = nullptr);
