// The registry store: string values of one key of the current user, read back safely whatever is there.
#include "panel_settings.h"
#include "registry_store.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

class RegistryStore : public ::testing::Test {
protected:
    // A key of this test alone, directly under Software so that deleting it leaves nothing behind.
    RegistryStore()
        : m_subkey("Software\\kestro-registry-store-test-" + std::to_string(GetCurrentProcessId())) {}
    void SetUp() override { RegDeleteKeyA(HKEY_CURRENT_USER, m_subkey.c_str()); }
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, m_subkey.c_str()); }

    bool keyExists() const {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, m_subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    void writeRaw(const char* name, DWORD type, const void* data, DWORD size) const {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, m_subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }

    // Type and bytes as stored.
    std::pair<DWORD, std::string> readRaw(const char* name) const {
        char buffer[512] = {};
        DWORD size = sizeof buffer;
        DWORD type = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, m_subkey.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, buffer,
                         &size) != ERROR_SUCCESS) {
            return {REG_NONE, "<absent>"};
        }
        return {type, std::string(buffer, size)};
    }

    std::string m_subkey;
};

TEST_F(RegistryStore, AMissingKeyReadsAsAbsentAndIsNotCreated) {
    auto store = kestro::makeRegistryStore(m_subkey);
    EXPECT_FALSE(store->get("x"));
    EXPECT_FALSE(store->get("midi_in"));
    EXPECT_FALSE(keyExists());
    const kestro::PanelSettings s = kestro::loadSettings(*store);
    EXPECT_FALSE(s.position);
    EXPECT_EQ(s.simul_click_time, 50);
    EXPECT_FALSE(keyExists());
}

TEST_F(RegistryStore, ValuesAreStringsWithTheirTerminatingZero) {
    auto store = kestro::makeRegistryStore(m_subkey);
    EXPECT_TRUE(store->set("x", "-20"));
    EXPECT_TRUE(store->set("midi_in", ""));
    EXPECT_EQ(readRaw("x"), (std::pair<DWORD, std::string>{REG_SZ, std::string("-20\0", 4)}));
    EXPECT_EQ(readRaw("midi_in"), (std::pair<DWORD, std::string>{REG_SZ, std::string("\0", 1)}));
    EXPECT_TRUE(store->set("x", "7"));
    EXPECT_EQ(store->get("x"), "7");
}

TEST_F(RegistryStore, SavedSettingsLoadBackInANewRun) {
    kestro::PanelSettings s;
    s.position = kestro::WindowPosition{-20, 300};
    s.midi_in = "Loop 1 0";
    s.midi_out = "Loop 2 1";
    s.always_on_top = true;
    s.deactivate_sensing = true;
    s.simul_click_time = 120;
    kestro::saveSettings(*kestro::makeRegistryStore(m_subkey), s);

    const char* names[] = {
        "x", "y", "midi_in", "midi_out", "always_on_top", "deactivate_sensing", "simul_click_time"};
    for (const char* name : names) {
        EXPECT_EQ(readRaw(name).first, static_cast<DWORD>(REG_SZ)) << name;
    }
    EXPECT_EQ(readRaw("simul_click_time").second, std::string("120\0", 4));

    const kestro::PanelSettings back = kestro::loadSettings(*kestro::makeRegistryStore(m_subkey));
    ASSERT_TRUE(back.position);
    EXPECT_EQ(back.position->x, -20);
    EXPECT_EQ(back.position->y, 300);
    EXPECT_EQ(back.midi_in, "Loop 1 0");
    EXPECT_EQ(back.midi_out, "Loop 2 1");
    EXPECT_TRUE(back.always_on_top);
    EXPECT_TRUE(back.deactivate_sensing);
    EXPECT_EQ(back.simul_click_time, 120);
}

TEST_F(RegistryStore, ForeignValuesReadSafely) {
    const DWORD five = 5;
    writeRaw("x", REG_DWORD, &five, sizeof five);
    writeRaw("y", REG_SZ, "12", 2); // no terminating zero
    const std::string blob(1000, 'a');
    writeRaw("midi_in", REG_BINARY, blob.data(), static_cast<DWORD>(blob.size()));
    writeRaw("midi_out", REG_SZ, "", 0);
    writeRaw("simul_click_time", REG_SZ, "30\0junk", 7);

    auto store = kestro::makeRegistryStore(m_subkey);
    EXPECT_EQ(store->get("x"), std::string("\x05"));
    EXPECT_EQ(store->get("y"), "12");
    EXPECT_EQ(store->get("midi_in"), blob);
    EXPECT_EQ(store->get("midi_out"), "");
    EXPECT_EQ(store->get("simul_click_time"), "30");
    EXPECT_FALSE(store->get("always_on_top"));

    const kestro::PanelSettings s = kestro::loadSettings(*store);
    ASSERT_TRUE(s.position);
    EXPECT_EQ(s.position->x, 0);
    EXPECT_EQ(s.position->y, 12);
    EXPECT_EQ(s.simul_click_time, 30);
}

TEST_F(RegistryStore, ALongNameSurvivesTheRoundTrip) {
    const std::string name(600, 'n');
    EXPECT_TRUE(kestro::makeRegistryStore(m_subkey)->set("midi_in", name));
    EXPECT_EQ(kestro::makeRegistryStore(m_subkey)->get("midi_in"), name);
}

} // namespace
