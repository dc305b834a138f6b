#pragma once
// The few host actions the model performs itself. Tests define others with commands().define() (and may
// replace these); a number nobody defined is recorded and does nothing, as REAPER does with unknown ones.

namespace hostsim {

class Host;

namespace command {
constexpr int kPause = 1008;            // Transport: Pause
constexpr int kToggleRepeat = 1068;     // Transport: Toggle repeat
constexpr int kPreviousMarker = 40172;  // Markers: Go to previous marker/project start
constexpr int kNextMarker = 40173;      // Markers: Go to next marker/project end
constexpr int kNextTrack = 40285;       // Track: Go to next track
constexpr int kPreviousTrack = 40286;   // Track: Go to previous track
constexpr int kRefreshSurfaces = 41743; // Control surface: Refresh all surfaces
} // namespace command

void installBuiltinCommands(Host& host);

} // namespace hostsim
