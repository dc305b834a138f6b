// The panel settings loader fed arbitrary stored values (any bytes, any of them missing), then saved into a
// store that refuses some writes and loaded again.
//
// Properties: every number is the leading base-10 integer of its text, saturated to 32 bits (checked against
// the C library's strtoll); a position needs both coordinates and never has a negative y; port names come
// back byte for byte; flags are "not 0"; the click time is held to 1..1000 whatever the text; every value is
// written even when others fail, in its documented text form; what was saved loads back equal.
#include "fuzz_check.h"
#include "panel_settings.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using kestro::PanelSettings;

const char* const kNames[] = {kestro::kValueX,
                              kestro::kValueY,
                              kestro::kValueMidiIn,
                              kestro::kValueMidiOut,
                              kestro::kValueAlwaysOnTop,
                              kestro::kValueDeactivateSensing,
                              kestro::kValueSimulClickTime};
// Names close to ours that must not be read.
const char* const kStrangers[] = {"X", "midi in", "", "simul_click_time ", "y\t"};

class MemoryStore final : public kestro::SettingsStore {
public:
    std::optional<std::string> get(const char* name) const override {
        const auto it = values.find(name);
        if (it == values.end()) {
            return std::nullopt;
        }
        return it->second;
    }
    bool set(const char* name, const std::string& value) override {
        writes.push_back(name);
        if (failing.count(name) != 0) {
            return false;
        }
        values[name] = value;
        return true;
    }

    std::map<std::string, std::string> values;
    std::vector<std::string> writes;
    std::set<std::string> failing;
};

// The C library's reading of a leading integer, saturated to int.
int reference(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::optional<std::string> stored(const MemoryStore& store, const char* name) {
    return store.get(name);
}

void checkLoaded(const PanelSettings& s, const MemoryStore& store) {
    const auto x = stored(store, kestro::kValueX);
    const auto y = stored(store, kestro::kValueY);
    FUZZ_CHECK(s.position.has_value() == (x && y));
    if (s.position) {
        FUZZ_CHECK(s.position->x == reference(*x));
        FUZZ_CHECK(s.position->y == std::max(reference(*y), 0));
    }
    FUZZ_CHECK(s.midi_in == stored(store, kestro::kValueMidiIn).value_or(""));
    FUZZ_CHECK(s.midi_out == stored(store, kestro::kValueMidiOut).value_or(""));
    const auto top = stored(store, kestro::kValueAlwaysOnTop);
    FUZZ_CHECK(s.always_on_top == (top && reference(*top) != 0));
    const auto sensing = stored(store, kestro::kValueDeactivateSensing);
    FUZZ_CHECK(s.deactivate_sensing == (sensing && reference(*sensing) != 0));
    const auto time = stored(store, kestro::kValueSimulClickTime);
    FUZZ_CHECK(s.simul_click_time == (time ? std::clamp(reference(*time), 1, 1000) : 50));
}

bool operator==(const PanelSettings& a, const PanelSettings& b) {
    return a.position.has_value() == b.position.has_value() &&
           (!a.position || (a.position->x == b.position->x && a.position->y == b.position->y)) &&
           a.midi_in == b.midi_in && a.midi_out == b.midi_out && a.always_on_top == b.always_on_top &&
           a.deactivate_sensing == b.deactivate_sensing && a.simul_click_time == b.simul_click_time;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    MemoryStore store;
    for (const char* name : kNames) {
        if (in.ConsumeIntegralInRange(0, 7) != 0) {
            store.values[name] = in.ConsumeRandomLengthString(48);
        }
    }
    for (const char* name : kStrangers) {
        if (in.ConsumeIntegralInRange(0, 3) == 0) {
            store.values[name] = in.ConsumeRandomLengthString(16);
        }
    }

    const PanelSettings loaded = kestro::loadSettings(store);
    checkLoaded(loaded, store);
    FUZZ_CHECK(store.writes.empty());

    // Saved into a store that refuses some names: every value is still attempted, in its text form.
    MemoryStore saved;
    for (const char* name : kNames) {
        if (in.ConsumeIntegralInRange(0, 4) == 0) {
            saved.failing.insert(name);
        }
    }
    kestro::saveSettings(saved, loaded);
    const std::set<std::string> attempted(saved.writes.begin(), saved.writes.end());
    FUZZ_CHECK(attempted.size() == saved.writes.size()); // each once
    for (const char* name : kNames) {
        const bool isPosition = std::string(name) == kestro::kValueX || std::string(name) == kestro::kValueY;
        FUZZ_CHECK(attempted.count(name) == (isPosition && !loaded.position ? 0u : 1u));
    }
    const auto text = [&saved](const char* name) {
        return saved.values.at(name);
    };
    for (const auto& [name, value] : saved.values) {
        FUZZ_CHECK(saved.failing.count(name) == 0);
        (void)value;
    }
    if (loaded.position && saved.failing.count(kestro::kValueX) == 0) {
        FUZZ_CHECK(text(kestro::kValueX) == std::to_string(loaded.position->x));
    }
    if (saved.failing.count(kestro::kValueAlwaysOnTop) == 0) {
        FUZZ_CHECK(text(kestro::kValueAlwaysOnTop) == (loaded.always_on_top ? "1" : "0"));
    }
    if (saved.failing.count(kestro::kValueSimulClickTime) == 0) {
        FUZZ_CHECK(text(kestro::kValueSimulClickTime) == std::to_string(loaded.simul_click_time));
    }

    // Whatever was written loads as it was; with nothing refused, the whole record comes back.
    const PanelSettings reloaded = kestro::loadSettings(saved);
    checkLoaded(reloaded, saved);
    if (saved.failing.empty()) {
        FUZZ_CHECK(reloaded == loaded);
    }
    return 0;
}
