#pragma once
// The hold of a simultaneous press: how long the panel waits between a chord's Note Ons and Note Offs.

namespace kestro {

inline constexpr int kDefaultSimulClickTime = 50; // ms
inline constexpr int kMinSimulClickTime = 1;
inline constexpr int kMaxSimulClickTime = 1000;

// Held to 1..1000 ms: a negative hold would become an endless Sleep of the window thread.
constexpr int clampSimulClickTime(int ms) {
    return ms < kMinSimulClickTime ? kMinSimulClickTime : (ms > kMaxSimulClickTime ? kMaxSimulClickTime : ms);
}

} // namespace kestro
