// The panel's settings: what a store's text values load as, and the exact text they are saved as.
#include "panel_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using kestro::loadSettings;
using kestro::PanelSettings;
using kestro::saveSettings;
using kestro::WindowPosition;
using Values = std::map<std::string, std::string>;

class MemoryStore : public kestro::SettingsStore {
public:
    MemoryStore() = default;
    explicit MemoryStore(Values v) : values(std::move(v)) {}

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

    Values values;
    std::vector<std::string> writes;
    std::set<std::string> failing;
};

void expectDefaults(const PanelSettings& s) {
    EXPECT_FALSE(s.position);
    EXPECT_EQ(s.midi_in, "");
    EXPECT_EQ(s.midi_out, "");
    EXPECT_FALSE(s.always_on_top);
    EXPECT_FALSE(s.deactivate_sensing);
    EXPECT_EQ(s.simul_click_time, 50);
}

// --- Loading -------------------------------------------------------------------------------------------

TEST(SettingsLoad, FirstRunGivesTheDefaults) {
    expectDefaults(loadSettings(MemoryStore{}));
    // Names are exact: none of these is ours.
    expectDefaults(
        loadSettings(MemoryStore{{{"X", "5"}, {"Y", "5"}, {"midi in", "A"}, {"Always_On_Top", "1"}}}));
}

TEST(SettingsLoad, EverySavedValueComesBack) {
    const PanelSettings s = loadSettings(MemoryStore{{{"x", "120"},
                                                      {"y", "80"},
                                                      {"midi_in", "Loop 1 0"},
                                                      {"midi_out", "Loop 2 1"},
                                                      {"always_on_top", "1"},
                                                      {"deactivate_sensing", "1"},
                                                      {"simul_click_time", "75"}}});
    ASSERT_TRUE(s.position);
    EXPECT_EQ(s.position->x, 120);
    EXPECT_EQ(s.position->y, 80);
    EXPECT_EQ(s.midi_in, "Loop 1 0");
    EXPECT_EQ(s.midi_out, "Loop 2 1");
    EXPECT_TRUE(s.always_on_top);
    EXPECT_TRUE(s.deactivate_sensing);
    EXPECT_EQ(s.simul_click_time, 75);
}

TEST(SettingsLoad, FlagsAreTrueForAnyNumberButZero) {
    const std::pair<const char*, bool> cases[] = {
        {"1", true},   {"2", true},    {"-1", true},  {"abc", false},        {"0", false},
        {"", false},   {" 7", true},   {"3x", true},  {"x3", false},         {"+0", false},
        {"-0", false}, {"0001", true}, {"00", false}, {"99999999999", true},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(loadSettings(MemoryStore{{{"always_on_top", text}}}).always_on_top, expected)
            << '"' << text << '"';
        EXPECT_EQ(loadSettings(MemoryStore{{{"deactivate_sensing", text}}}).deactivate_sensing, expected)
            << '"' << text << '"';
    }
}

TEST(SettingsLoad, PositionNeedsBothValuesAndANegativeYIsZero) {
    struct Case {
        Values values;
        bool has_position;
        int x;
        int y;
    };
    const Case cases[] = {
        {{{"x", "-20"}, {"y", "-20"}}, true, -20, 0},
        {{{"x", "-20"}, {"y", "15"}}, true, -20, 15},
        {{{"x", "0"}, {"y", "-2147483648"}}, true, 0, 0},
        {{{"x", "300"}}, false, 0, 0},
        {{{"y", "300"}}, false, 0, 0},
        {{{"x", ""}, {"y", ""}}, true, 0, 0}, // present but empty reads as 0
        {{{"x", "12px"}, {"y", " 34 "}}, true, 12, 34},
    };
    for (const Case& c : cases) {
        const PanelSettings s = loadSettings(MemoryStore{c.values});
        ASSERT_EQ(s.position.has_value(), c.has_position) << c.values.size();
        if (s.position) {
            EXPECT_EQ(s.position->x, c.x);
            EXPECT_EQ(s.position->y, c.y);
        }
    }
}

TEST(SettingsLoad, ClickTimeIsHeldTo1Through1000) {
    const std::pair<const char*, int> cases[] = {
        {"1", 1},  {"1000", 1000}, {"250", 250},          {"0", 1},
        {"-5", 1}, {"1001", 1000}, {"5000", 1000},        {"abc", 1},
        {"", 1},   {"60ms", 60},   {"99999999999", 1000}, {"-99999999999", 1},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(loadSettings(MemoryStore{{{"simul_click_time", text}}}).simul_click_time, expected)
            << '"' << text << '"';
    }
}

TEST(SettingsLoad, PortNamesAreTakenAsTheyAre) {
    const PanelSettings s = loadSettings(MemoryStore{{{"midi_in", " Loop 1 0 "}, {"midi_out", ""}}});
    EXPECT_EQ(s.midi_in, " Loop 1 0 ");
    EXPECT_EQ(s.midi_out, "");
}

TEST(SettingsLoad, GarbageInEveryValueLoadsWithoutHarm) {
    const std::string junk = "\x01\xFF garbage \t\n" + std::string(4000, 'z');
    Values values;
    for (const char* name :
         {"x", "y", "midi_in", "midi_out", "always_on_top", "deactivate_sensing", "simul_click_time"}) {
        values[name] = junk;
    }
    const PanelSettings s = loadSettings(MemoryStore{values});
    ASSERT_TRUE(s.position);
    EXPECT_EQ(s.position->x, 0);
    EXPECT_EQ(s.position->y, 0);
    EXPECT_EQ(s.midi_in, junk);
    EXPECT_EQ(s.midi_out, junk);
    EXPECT_FALSE(s.always_on_top);
    EXPECT_FALSE(s.deactivate_sensing);
    EXPECT_EQ(s.simul_click_time, 1);
}

// --- Saving --------------------------------------------------------------------------------------------

TEST(SettingsSave, WritesEveryValueInOrderAndFormat) {
    PanelSettings s;
    s.position = WindowPosition{-20, 15};
    s.midi_in = "Loop 1 0";
    s.midi_out = "Loop 2 1";
    s.always_on_top = true;
    s.deactivate_sensing = false;
    s.simul_click_time = 1000;
    MemoryStore store;
    saveSettings(store, s);
    EXPECT_EQ(store.writes, (std::vector<std::string>{"x", "y", "midi_in", "midi_out", "always_on_top",
                                                      "deactivate_sensing", "simul_click_time"}));
    EXPECT_EQ(store.values, (Values{{"x", "-20"},
                                    {"y", "15"},
                                    {"midi_in", "Loop 1 0"},
                                    {"midi_out", "Loop 2 1"},
                                    {"always_on_top", "1"},
                                    {"deactivate_sensing", "0"},
                                    {"simul_click_time", "1000"}}));
}

TEST(SettingsSave, FirstRunDefaultsCreateAllValues) {
    PanelSettings s = loadSettings(MemoryStore{});
    s.position = WindowPosition{0, 0};
    MemoryStore store;
    saveSettings(store, s);
    EXPECT_EQ(store.values, (Values{{"x", "0"},
                                    {"y", "0"},
                                    {"midi_in", ""},
                                    {"midi_out", ""},
                                    {"always_on_top", "0"},
                                    {"deactivate_sensing", "0"},
                                    {"simul_click_time", "50"}}));
}

TEST(SettingsSave, WithoutAPositionTheStoredOneStays) {
    MemoryStore store{{{"x", "7"}, {"y", "8"}}};
    saveSettings(store, PanelSettings{});
    EXPECT_EQ(store.values.at("x"), "7");
    EXPECT_EQ(store.values.at("y"), "8");
    EXPECT_EQ(store.writes.size(), 5u);
}

TEST(SettingsSave, AFailedWriteDoesNotStopTheOthers) {
    PanelSettings s;
    s.position = WindowPosition{1, 2};
    s.deactivate_sensing = true;
    MemoryStore store;
    store.failing = {"x", "midi_in"};
    saveSettings(store, s);
    EXPECT_EQ(store.writes.size(), 7u);
    EXPECT_EQ(store.values.count("x"), 0u);
    EXPECT_EQ(store.values.at("y"), "2");
    EXPECT_EQ(store.values.at("deactivate_sensing"), "1");
}

TEST(SettingsSave, WhatIsSavedLoadsBack) {
    PanelSettings s;
    s.position = WindowPosition{-2147483647 - 1, 2147483647};
    s.midi_in = "In \"quoted\" 3";
    s.midi_out = "Out";
    s.always_on_top = true;
    s.deactivate_sensing = true;
    s.simul_click_time = 1;
    MemoryStore store;
    saveSettings(store, s);
    const PanelSettings back = loadSettings(store);
    ASSERT_TRUE(back.position);
    EXPECT_EQ(back.position->x, s.position->x);
    EXPECT_EQ(back.position->y, s.position->y);
    EXPECT_EQ(back.midi_in, s.midi_in);
    EXPECT_EQ(back.midi_out, s.midi_out);
    EXPECT_TRUE(back.always_on_top);
    EXPECT_TRUE(back.deactivate_sensing);
    EXPECT_EQ(back.simul_click_time, 1);
}

} // namespace
