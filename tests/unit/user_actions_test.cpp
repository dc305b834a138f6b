// Action texts to host commands, and what the user-function controls make the host do.
#include "cc121_scales.h"
#include "host_api.h"
#include "user_actions.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

struct FakeHost {
    std::map<std::string, int> names = {{"_SWS_ABOUT", 53001}, {"_RS 1 2 ", 53002}};
    std::vector<std::string> calls;
};
FakeHost* g_host = nullptr;

void mainOnCommand(int command, int flag) {
    g_host->calls.push_back("Main_OnCommand(" + std::to_string(command) + ", " + std::to_string(flag) + ")");
}

int kbdOnMainActionEx(int cmd, int val, int valhw, int relmode, HWND hwnd, ReaProject* proj) {
    g_host->calls.push_back("KBD_OnMainActionEx(" + std::to_string(cmd) + ", " + std::to_string(val) + ", " +
                            std::to_string(valhw) + ", " + std::to_string(relmode) + ", " +
                            (hwnd ? "hwnd" : "null") + ", " + (proj ? "proj" : "null") + ")");
    return 1;
}

int namedCommandLookup(const char* name) {
    g_host->calls.push_back(std::string("NamedCommandLookup(\"") + name + "\")");
    auto it = g_host->names.find(name);
    return it == g_host->names.end() ? 0 : it->second;
}

using Calls = std::vector<std::string>;

class UserActions : public ::testing::Test {
protected:
    void SetUp() override {
        g_host = &m_host;
        host::unbindFunctions();
        host::Main_OnCommand = mainOnCommand;
        host::KBD_OnMainActionEx = kbdOnMainActionEx;
        host::NamedCommandLookup = namedCommandLookup;
    }
    void TearDown() override {
        host::unbindFunctions();
        g_host = nullptr;
    }
    Calls takeCalls() {
        Calls out;
        out.swap(m_host.calls);
        return out;
    }

    FakeHost m_host;
    SurfaceSettings m_settings;
};

TEST_F(UserActions, ResolvesEveryShapeOfText) {
    struct Row {
        const char* text;
        int id;
        bool asksHost;
    };
    const Row rows[] = {
        {"", 0, false},
        {"40364", 40364, false},
        {"12abc", 12, false},
        {"  77", 77, false},
        {"+9", 9, false},
        {"-5", -5, false},
        {"99999999999", INT_MAX, false},
        {"0", 0, true},
        {"00", 0, true},
        {"0abc", 0, true},
        {"_SWS_ABOUT", 53001, true},
        {"_RS 1 2 ", 53002, true},
        {"_SWS_about", 0, true},
        {"unknown", 0, true},
        {" ", 0, true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ResolveActionId(row.text), row.id) << '"' << row.text << '"';
        const Calls expected =
            row.asksHost ? Calls{std::string("NamedCommandLookup(\"") + row.text + "\")"} : Calls{};
        EXPECT_EQ(takeCalls(), expected) << '"' << row.text << '"';
    }
}

TEST_F(UserActions, DefaultButtonsRunTheirCommands) {
    struct Row {
        ActionSlot slot;
        const char* call;
    };
    const Row rows[] = {
        {kSlotValueButton, "Main_OnCommand(40364, 0)"}, {kSlotFunction1, "Main_OnCommand(1011, 0)"},
        {kSlotFunction2, "Main_OnCommand(1012, 0)"},    {kSlotFunction3, "Main_OnCommand(40112, 0)"},
        {kSlotFunction4, "Main_OnCommand(40111, 0)"},   {kSlotFootSwitch, "Main_OnCommand(1013, 0)"},
    };
    for (const Row& row : rows) {
        RunButtonAction(m_settings, row.slot, true);
        EXPECT_EQ(takeCalls(), Calls{row.call}) << row.slot;
        RunButtonAction(m_settings, row.slot, false);
        EXPECT_EQ(takeCalls(), Calls{}) << "a release runs nothing";
    }
}

TEST_F(UserActions, NamedCommandIsLookedUpAtEveryPress) {
    m_settings.actions[kSlotFunction3] = "_SWS_ABOUT";
    RunButtonAction(m_settings, kSlotFunction3, true);
    m_host.names["_SWS_ABOUT"] = 60000; // the extension registered anew
    RunButtonAction(m_settings, kSlotFunction3, true);
    EXPECT_EQ(takeCalls(), (Calls{"NamedCommandLookup(\"_SWS_ABOUT\")", "Main_OnCommand(53001, 0)",
                                  "NamedCommandLookup(\"_SWS_ABOUT\")", "Main_OnCommand(60000, 0)"}));
}

TEST_F(UserActions, UnboundOrUnknownButtonsDoNothing) {
    m_settings.actions[kSlotFunction1] = "";
    m_settings.actions[kSlotFunction2] = "no such action";
    m_settings.actions[kSlotFunction4] = "0";
    RunButtonAction(m_settings, kSlotFunction1, true);
    EXPECT_EQ(takeCalls(), Calls{});
    RunButtonAction(m_settings, kSlotFunction2, true);
    RunButtonAction(m_settings, kSlotFunction4, true);
    EXPECT_EQ(takeCalls(), (Calls{"NamedCommandLookup(\"no such action\")", "NamedCommandLookup(\"0\")"}));
    RunButtonAction(m_settings, kActionSlotCount, true);
    RunButtonAction(m_settings, static_cast<ActionSlot>(1000), true);
    EXPECT_EQ(takeCalls(), Calls{});
}

TEST_F(UserActions, EncoderRunsARelativeAction) {
    RunEncoderAction(m_settings, 1);
    RunEncoderAction(m_settings, -2.5);
    RunEncoderAction(m_settings, 0.1);
    RunEncoderAction(m_settings, -0.1);
    EXPECT_EQ(takeCalls(), (Calls{"KBD_OnMainActionEx(12, 8, -1, 1, null, null)",
                                  "KBD_OnMainActionEx(12, -20, -1, 1, null, null)",
                                  "KBD_OnMainActionEx(12, 0, -1, 1, null, null)",
                                  "KBD_OnMainActionEx(12, 0, -1, 1, null, null)"}));
}

TEST_F(UserActions, EncoderResolvesNamesAndSkipsEmptyText) {
    m_settings.actions[kSlotValueEncoder] = "_SWS_ABOUT";
    RunEncoderAction(m_settings, -1);
    EXPECT_EQ(takeCalls(), (Calls{"NamedCommandLookup(\"_SWS_ABOUT\")",
                                  "KBD_OnMainActionEx(53001, -8, -1, 1, null, null)"}));
    m_settings.actions[kSlotValueEncoder] = "";
    RunEncoderAction(m_settings, 5);
    EXPECT_EQ(takeCalls(), Calls{});
}

TEST(EncoderActionValue, SaturatesAtThe32BitLimits) {
    struct Row {
        double amount;
        int value;
    };
    const Row rows[] = {
        {0, 0},
        {1, 8},
        {-1, -8},
        {0.124, 0},
        {-0.124, 0},
        {268435455.875, INT_MAX}, // exactly 2^31 - 1
        {268435456, INT_MAX},     // 2^31 does not fit
        {-268435456, INT_MIN},    // -2^31 does
        {-268435456.125, INT_MIN},
        {1e300, INT_MAX},
        {DBL_MAX, INT_MAX},
        {-DBL_MAX, INT_MIN},
        {std::numeric_limits<double>::infinity(), INT_MAX},
        {-std::numeric_limits<double>::infinity(), INT_MIN},
        {std::nan(""), 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(encoderActionValue(row.amount), row.value) << row.amount;
}

TEST(EncoderActionValue, ExtremeAccelerations) {
    // A single step is +-8 at every acceleration; the largest step counts saturate instead of wrapping.
    for (int acceleration : {1, 10, 100, 200}) {
        EXPECT_EQ(encoderActionValue(cc121::encoderAmount(0x01, acceleration)), 8) << acceleration;
        EXPECT_EQ(encoderActionValue(cc121::encoderAmount(0x41, acceleration)), -8) << acceleration;
    }
    EXPECT_EQ(encoderActionValue(cc121::encoderAmount(0x3F, 200)), INT_MAX);
    EXPECT_EQ(encoderActionValue(cc121::encoderAmount(0x7F, 200)), INT_MIN);
    EXPECT_EQ(encoderActionValue(cc121::encoderAmount(0x3F, 100)), INT_MAX); // 63^11
    EXPECT_EQ(encoderActionValue(cc121::encoderAmount(0x3F, 10)), 8 * 63 * 63);
}

TEST_F(UserActions, EditsReplaceOnlyWhatWasTypedCutTo255Bytes) {
    SurfaceSettings s;
    applyActionEdits(s, {"", "_SWS_ABOUT", "", "7", std::string(256, 'x'), std::string(255, 'y'), "a b"});
    const std::array<std::string, kActionSlotCount> expected = {
        "12", "_SWS_ABOUT", "1011", "7", std::string(255, 'x'), std::string(255, 'y'), "a b"};
    EXPECT_EQ(s.actions, expected);
}

TEST_F(UserActions, ActionListButtonRunsItsCommand) {
    openActionList();
    EXPECT_EQ(takeCalls(), Calls{"Main_OnCommand(40605, 0)"});
}

TEST(UserActionsWithoutHost, DoNothing) {
    host::unbindFunctions();
    SurfaceSettings s;
    s.actions[kSlotFunction1] = "_SWS_ABOUT";
    EXPECT_EQ(ResolveActionId("_SWS_ABOUT"), 0);
    RunButtonAction(s, kSlotFunction1, true);
    RunButtonAction(s, kSlotFunction2, true);
    RunEncoderAction(s, 1);
    openActionList();
}

} // namespace
