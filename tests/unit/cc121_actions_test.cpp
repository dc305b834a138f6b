// The plug-in's three entries in the host's action list: registered at load, run through the command hook,
// the monitor's toggle state, and everything withdrawn at unload.
#include "cc121_controls.h"
#include "plugin_entry.h"
#include "surface_actions.h"
#include "surface_fixture.h"

#include <unistd.h>

using namespace cc121;

namespace {

const Lines kActionNames = {"CC121: Reconnect controller", "CC121: Reload EQ maps",
                            "CC121: Show controller MIDI in the console"};

class ActionsTest : public SurfaceTest {
protected:
    void load() {
        reaper_plugin_info_t rec{kReaperPluginVersion, nullptr, hostsim::registerFunc, hostsim::getFunc};
        ASSERT_EQ(tamsel::pluginEntry(nullptr, &rec), 1);
        m_loaded = true;
    }
    void unload() {
        if (m_loaded)
            tamsel::pluginEntry(nullptr, nullptr);
        m_loaded = false;
    }
    void TearDown() override {
        unload();
        SurfaceTest::TearDown();
    }
    Lines listed() {
        Lines names;
        for (const auto& a : host.registrations().actions())
            names.push_back(a.name);
        return names;
    }
    int monitorState() {
        return host.registrations().toggleState(host.registrations().commandNamed(kActionNames[2]));
    }

private:
    bool m_loaded = false;
};

// custom_action where the host has it, else command_id and gaccel; either way the same list, hook and
// toggle, and nothing left behind at unload.
TEST_F(ActionsTest, ListedRunThroughTheHookToggledAndWithdrawnAtUnload) {
    for (const char* withheld : {"", "custom_action"}) {
        host.withhold(withheld);
        host.CSurf_OnStop(); // so Play lights again
        host.clearConsole();
        load();
        EXPECT_EQ(listed(), kActionNames) << withheld;
        EXPECT_TRUE(host.runAction(kActionNames[2])) << "no surface: nothing happens";
        EXPECT_EQ(monitorState(), 0);

        start();
        EXPECT_TRUE(host.runAction(kActionNames[2]));
        EXPECT_EQ(monitorState(), 1);
        EXPECT_EQ(host.console(), "CC121: showing the controller's MIDI (run the action again to stop)\n");
        host.clearConsole();
        press(0x5E);
        run();
        run();
        EXPECT_EQ(host.console(), "in  90 5E 7F  Play pressed\nout 90 5E 7F  Play lamp on\n"
                                  "out 80 5E 00  Play lamp closing\n");
        host.runAction(kActionNames[2]);
        EXPECT_EQ(monitorState(), 0);

        clear();
        EXPECT_TRUE(host.runAction(kActionNames[0]));
        EXPECT_EQ(actions(), (Lines{"midi_Output(0)->Destroy()", "midi_Input(0)->Destroy()",
                                    "CreateMIDIInput(0) -> device",
                                    "CreateMIDIOutput(0, false, null) -> device", "midi_Input(0)->start()"}));
        unload();
        EXPECT_EQ(host.registrations().held(), Lines{"csurf CC121"}) << withheld;
        host.surfaces().remove(surface.get());
        surface.reset();
        host.offerAgain(withheld);
        host.registrations().withdrawAll("");
    }
}

// Each piece the host lacks switches off only its own feature.
TEST_F(ActionsTest, AHostWithoutAPieceLosesOnlyThatFeature) {
    struct Case {
        std::vector<std::string> withheld;
        std::size_t listed;
        int toggleOn; // the monitor's state once switched on
        bool console;
    };
    for (const Case& c : {Case{{"custom_action", "gaccel"}, 0, 1, true}, Case{{"toggleaction"}, 3, -1, true},
                          Case{{"ShowConsoleMsg"}, 3, 1, false}}) {
        for (const std::string& name : c.withheld)
            host.withhold(name);
        host.clearConsole();
        load();
        start();
        EXPECT_EQ(host.registrations().actions().size(), c.listed) << c.withheld[0];
        EXPECT_TRUE(host.runCommand(tamsel::midiMonitorCommand())) << c.withheld[0];
        EXPECT_EQ(host.registrations().toggleState(tamsel::midiMonitorCommand()), c.toggleOn)
            << c.withheld[0];
        EXPECT_EQ(host.console().empty(), !c.console) << c.withheld[0];
        host.runCommand(tamsel::midiMonitorCommand());
        unload();
        for (const std::string& name : c.withheld)
            host.offerAgain(name);
    }
}

// A function button may run the reconnect action itself: it happens once the Run that read the press is
// done with the input (under AddressSanitizer, reading the closed input's events fails the test).
TEST_F(ActionsTest, ReconnectFromAButtonWaitsForTheEndOfTheRun) {
    load();
    start("0 31 0 0 0 0 10 2 12 5 40364 23 _TAMSEL_CC121_RECONNECT");
    press(kNoteFunction1);
    press(kNotePlay);
    EXPECT_EQ(step(), (Lines{"Main_OnCommand(53000, 0)", "CSurf_OnPlay()", "midi_Output(0)->Destroy()",
                             "midi_Input(0)->Destroy()", "CreateMIDIInput(0) -> device",
                             "CreateMIDIOutput(0, false, null) -> device", "midi_Input(0)->start()"}));
}

// A flood of controller messages costs a Run at most 50 lines and a count of the rest.
TEST_F(ActionsTest, TheMonitorWritesFiftyLinesARunAndCountsTheRest) {
    load();
    start();
    host.runAction(kActionNames[2]);
    host.clearConsole();
    for (int i = 0; i < 120; ++i)
        turn(0x10, 0x01);
    run();
    const std::string text = host.console();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 51);
    EXPECT_EQ(text.substr(0, 21), "in  B0 10 01  Pan +1\n");
    EXPECT_NE(text.find("(70 more)\n"), std::string::npos) << text;
}

// The maps that load are used at once; a file that cannot be read is named in the console.
TEST_F(ActionsTest, ReloadingMapsUsesWhatLoadsAndNamesWhatDoesNot) {
    char dir[] = "/tmp/reload-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    host.setExePath(std::string(dir) + "/host");
    host.setResourcePath("");
    const std::string folder = std::string(dir) + "/host\\InstallData\\Data\\CC121\\";
    std::FILE* f = std::fopen((folder + "a.eqmap").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("ID=Fresh EQ\n", f);
    std::fclose(f);
    load();
    create();
    platform.files = {"a.eqmap", "gone.eqmap"};
    host.clearConsole();
    EXPECT_TRUE(host.runAction(kActionNames[1]));
    EXPECT_EQ(host.console(),
              "CC121: cannot read the EQ map " + folder + "gone.eqmap\nCC121: 1 EQ map loaded\n");
    ASSERT_EQ(surface->maps().size(), 1u);
    EXPECT_EQ(surface->maps()[0].id, "Fresh EQ");
    std::remove((folder + "a.eqmap").c_str());
    rmdir(dir);
}

} // namespace
