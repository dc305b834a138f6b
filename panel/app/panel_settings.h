#pragma once
// What the panel remembers between runs, read once at start-up and written once at close.

#include "settings_store.h"
#include "simul_click_time.h"

#include <optional>
#include <string>

namespace kestro {

// Value names in the store.
inline constexpr char kValueX[] = "x";
inline constexpr char kValueY[] = "y";
inline constexpr char kValueMidiIn[] = "midi_in";
inline constexpr char kValueMidiOut[] = "midi_out";
inline constexpr char kValueAlwaysOnTop[] = "always_on_top";
inline constexpr char kValueDeactivateSensing[] = "deactivate_sensing";
inline constexpr char kValueSimulClickTime[] = "simul_click_time";

// Top-left corner of the main window's normal (restored) position.
struct WindowPosition {
    int x = 0;
    int y = 0;
};

struct PanelSettings {
    std::optional<WindowPosition> position; // nothing: centre the window
    std::string midi_in;                    // empty: no ports are opened
    std::string midi_out;
    bool always_on_top = false;
    bool deactivate_sensing = false;               // host presence detection switched off
    int simul_click_time = kDefaultSimulClickTime; // ms, 1..1000
};

// The defaults, replaced by every value the store holds. A position needs both "x" and "y"; a negative "y"
// becomes 0 so the caption stays reachable. Numbers are leading integers ("abc" is 0); flags are true when
// not 0; the click time is held to 1..1000.
PanelSettings loadSettings(const SettingsStore& store);

// Writes every value as text ("%d", flags "0"/"1"), the position only when there is one. A failed write
// does not stop the others.
void saveSettings(SettingsStore& store, const PanelSettings& settings);

} // namespace kestro
