// Loads the real plug-in DLL and calls its export the way REAPER does, against a fake host.
#include "host_api.h"
#include "reaper_abi.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using EntryProc = int (*)(HINSTANCE, reaper_plugin_info_t*);

struct FakeHost {
    std::vector<std::string> asked;
    std::string missing;
    struct Registration {
        std::string name;
        reaper_csurf_reg_t record;
    };
    std::vector<Registration> registered;
    std::string console;
};
FakeHost* g_host = nullptr;

void dummyFunction() {}

void fakeConsole(const char* text) {
    g_host->console += text;
}

void* fakeGetFunc(const char* name) {
    g_host->asked.emplace_back(name);
    if (g_host->missing == name)
        return nullptr;
    if (std::strcmp(name, "ShowConsoleMsg") == 0)
        return reinterpret_cast<void*>(&fakeConsole);
    return reinterpret_cast<void*>(&dummyFunction);
}

// Surface types are copied; actions get command ids from 100 on.
int fakeRegister(const char* name, void* info) {
    FakeHost::Registration r{name, {}};
    if (r.name == "csurf")
        r.record = *static_cast<reaper_csurf_reg_t*>(info);
    g_host->registered.push_back(r);
    return r.name == "custom_action" ? 99 + static_cast<int>(g_host->registered.size()) : 1;
}

std::vector<std::string> registeredNames() {
    std::vector<std::string> names;
    for (const auto& r : g_host->registered)
        names.push_back(r.name);
    return names;
}

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = LoadLibraryA(TAMSEL_PLUGIN_FILE);
        ASSERT_NE(m_module, nullptr) << TAMSEL_PLUGIN_FILE " beside the test program";
        m_entry = reinterpret_cast<EntryProc>(
            reinterpret_cast<void*>(GetProcAddress(m_module, "ReaperPluginEntry")));
        ASSERT_NE(m_entry, nullptr);
        g_host = &m_host;
    }
    void TearDown() override {
        g_host = nullptr;
        if (m_module)
            FreeLibrary(m_module);
    }
    int callEntry(int version, bool withGetFunc = true, bool withRegister = true) {
        reaper_plugin_info_t rec{};
        rec.caller_version = version;
        rec.GetFunc = withGetFunc ? fakeGetFunc : nullptr;
        rec.Register = withRegister ? fakeRegister : nullptr;
        return m_entry(m_module, &rec);
    }

    HMODULE m_module = nullptr;
    EntryProc m_entry = nullptr;
    FakeHost m_host;
};

TEST_F(EntryTest, NullRecordMeansUnloadAndDoesNothing) {
    EXPECT_EQ(m_entry(m_module, nullptr), 0);
    EXPECT_TRUE(m_host.asked.empty());
    EXPECT_TRUE(m_host.registered.empty());
}

TEST_F(EntryTest, RefusesOtherCallerVersions) {
    for (int version : {0, 0x20D, 0x20F, 0x10E, -1}) {
        EXPECT_EQ(callEntry(version), 0) << std::hex << version;
    }
    EXPECT_TRUE(m_host.asked.empty());
    EXPECT_TRUE(m_host.registered.empty());
}

TEST_F(EntryTest, RefusesAHostWithoutLookup) {
    EXPECT_EQ(callEntry(0x20E, false), 0);
    EXPECT_TRUE(m_host.registered.empty());
}

TEST_F(EntryTest, RegistersOnceUnderCsurfWhenEveryFunctionIsThere) {
    ASSERT_EQ(callEntry(0x20E), 1);
    ASSERT_EQ(m_host.asked.size(), static_cast<std::size_t>(50 + host::kOptionalFunctionCount));
    for (int i = 0; i < host::kFunctionCount; ++i)
        EXPECT_EQ(m_host.asked[static_cast<std::size_t>(i)], host::functionName(i)) << i;
    EXPECT_EQ(m_host.asked.front(), "DB2SLIDER");
    EXPECT_EQ(m_host.asked[49], "GetExePath");
    EXPECT_EQ(m_host.asked[50], "GetResourcePath") << "the optional functions come after the 50";

    EXPECT_EQ(registeredNames(), (std::vector<std::string>{"csurf", "custom_action", "custom_action",
                                                           "custom_action", "hookcommand2", "toggleaction"}));
    const auto& reg = m_host.registered.front();
    EXPECT_EQ(reg.name, "csurf");
    EXPECT_STREQ(reg.record.type_string, "CC121");
    EXPECT_STREQ(reg.record.desc_string, "Steinberg CC121");
    EXPECT_NE(reg.record.create, nullptr);
    EXPECT_NE(reg.record.ShowConfig, nullptr);
}

TEST_F(EntryTest, WithoutARegisterCallbackStillSucceeds) {
    EXPECT_EQ(callEntry(0x20E, true, false), 1);
    EXPECT_TRUE(m_host.registered.empty());
}

TEST_F(EntryTest, AHostWithoutAnOptionalFunctionStillGetsTheSurface) {
    m_host.missing = "GetResourcePath";
    EXPECT_EQ(callEntry(0x20E), 1);
    EXPECT_EQ(m_host.registered.front().name, "csurf");
}

// Every function is required, even those the plug-in never calls; lookup stops at the first gap, and the
// console (looked up last) names it.
TEST_F(EntryTest, EachMissingFunctionRefusesRegistrationStopsLookingUpAndSaysWhy) {
    for (int i = 0; i < host::kFunctionCount; ++i) {
        m_host = FakeHost{};
        m_host.missing = host::functionName(i);
        EXPECT_EQ(callEntry(0x20E), 0) << m_host.missing;
        EXPECT_TRUE(m_host.registered.empty()) << m_host.missing;
        ASSERT_EQ(m_host.asked.size(), static_cast<std::size_t>(i) + 2) << m_host.missing;
        EXPECT_EQ(m_host.asked[static_cast<std::size_t>(i)], m_host.missing);
        EXPECT_EQ(m_host.asked.back(), "ShowConsoleMsg");
        EXPECT_EQ(m_host.console, "CC121 surface (reaper_tamsel): not loaded, this REAPER has no " +
                                      m_host.missing + "; a newer REAPER is needed.\n");
    }
}

} // namespace
