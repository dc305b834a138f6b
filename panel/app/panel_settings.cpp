#include "panel_settings.h"

#include "leading_int.h"

#include <algorithm>

namespace kestro {

namespace {

std::optional<int> readInt(const SettingsStore& store, const char* name) {
    const std::optional<std::string> text = store.get(name);
    if (!text) {
        return std::nullopt;
    }
    return cc121::parseLeadingInt(text->c_str());
}

void readFlag(const SettingsStore& store, const char* name, bool& flag) {
    if (const std::optional<int> value = readInt(store, name)) {
        flag = *value != 0;
    }
}

void readText(const SettingsStore& store, const char* name, std::string& text) {
    if (std::optional<std::string> value = store.get(name)) {
        text = std::move(*value);
    }
}

} // namespace

PanelSettings loadSettings(const SettingsStore& store) {
    PanelSettings settings;
    if (const std::optional<int> x = readInt(store, kValueX)) {
        if (const std::optional<int> y = readInt(store, kValueY)) {
            settings.position = WindowPosition{*x, std::max(*y, 0)};
        }
    }
    readText(store, kValueMidiIn, settings.midi_in);
    readText(store, kValueMidiOut, settings.midi_out);
    readFlag(store, kValueAlwaysOnTop, settings.always_on_top);
    readFlag(store, kValueDeactivateSensing, settings.deactivate_sensing);
    // Taken in range: a hand-edited value must not hang or skip the hold of a chord.
    if (const std::optional<int> time = readInt(store, kValueSimulClickTime)) {
        settings.simul_click_time = clampSimulClickTime(*time);
    }
    return settings;
}

void saveSettings(SettingsStore& store, const PanelSettings& settings) {
    if (settings.position) {
        store.set(kValueX, std::to_string(settings.position->x));
        store.set(kValueY, std::to_string(settings.position->y));
    }
    store.set(kValueMidiIn, settings.midi_in);
    store.set(kValueMidiOut, settings.midi_out);
    store.set(kValueAlwaysOnTop, settings.always_on_top ? "1" : "0");
    store.set(kValueDeactivateSensing, settings.deactivate_sensing ? "1" : "0");
    store.set(kValueSimulClickTime, std::to_string(settings.simul_click_time));
}

} // namespace kestro
