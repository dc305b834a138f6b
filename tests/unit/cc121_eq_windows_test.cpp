// The EQ section in its three modes, with real map files, and the Routing and FX window buttons and lamps.
//
// Map paths are built with the host's backslashes. On Linux a backslash is an ordinary file-name character,
// so "<dir>/reaper\InstallData\Data\CC121\a.eqmap" is a single file in <dir>: the tests create exactly the
// paths the surface opens.
#include "cc121_controls.h"
#include "surface_fixture.h"

#include <cmath>
#include <initializer_list>
#include <set>
#include <stdlib.h>
#include <unistd.h>

using namespace cc121;

namespace {

// Clicks and pairs of presses on a started surface.
class SectionTest : public SurfaceTest {
protected:
    void click(unsigned char note) {
        press(note);
        release(note);
    }
    void pair(unsigned char a, unsigned char b) {
        press(a);
        press(b);
        release(a);
        release(b);
    }
};

// --- EQ section
// ------------------------------------------------------------------------------------------------

const char* const kMapFolder = "\\InstallData\\Data\\CC121\\";

// Test EQ: every control of every band but Q4, scales that make steps visible.
const char* const kTestEq = "ID=Test EQ\n"
                            "Q1=0\nQ2=1\nQ3=2\n"
                            "F1=4\nF2=5\nF3=6\nF4=7\n"
                            "G1=8\nG2=9\nG3=10\nG4=11\n"
                            "T1=12\nT2=13\nT3=14\nT4=15\n"
                            "B1=16\nB2=17\nB3=18\nB4=19\n"
                            "BP=20\n"
                            "QS=100\nFS=200\nGS=400\nTS=2\n";
// Plain EQ: no Bypass index.
const char* const kPlainEq = "ID=Plain EQ\nB1=0\nG1=1\n";

constexpr int kEqFx = 1; // Test EQ sits behind an effect without a map
constexpr int kTypeParam = 12;
constexpr int kBandOnParam = 16;
constexpr int kBypassParam = 20;

class EqTest : public SectionTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        char name[] = "/tmp/cc121-eq-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        m_dir = name;
        m_exe = m_dir + "/reaper";
        host.setExePath(m_exe);
        writeMap("a.eqmap", kTestEq);
        writeMap("b.eqmap", kPlainEq);
        platform.files = {"a.eqmap", "b.eqmap"};

        hostsim::Track& two = trackAt(2);
        two.addFx("ReaComp", {{"Threshold", 0.5, 0.0, 1.0}});
        std::vector<hostsim::FxParam> params(21, hostsim::FxParam{"", 0.5, 0.0, 1.0});
        for (int b = 0; b < 4; ++b) {
            params[kTypeParam + b] = {"Type", 1.0, 0.0, 5.0};
            params[kBandOnParam + b].value = 0.0;
        }
        params[kBypassParam].value = 0.0;
        two.addFx("Test EQ", params);
        two.addSend(trackAt(3), 1.0, false);
        two.addSend(trackAt(4), 0.5, true);
        two.addSend(trackAt(1), 0.0, false);
        trackAt(3).addFx("Plain EQ", {{"On", 1.0, 0.0, 1.0}, {"Gain", 0.5, 0.0, 1.0}});
        start();
    }
    void TearDown() override {
        SurfaceTest::TearDown();
        for (const std::string& f : m_files)
            std::remove(f.c_str());
        if (!m_dir.empty())
            rmdir(m_dir.c_str());
    }
    void writeMap(const std::string& name, const char* content) {
        const std::string path = m_exe + kMapFolder + name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr) << path;
        std::fputs(content, f);
        std::fclose(f);
        m_files.push_back(path);
    }
    hostsim::FxParam& param(int p) { return trackAt(2).fx[kEqFx].params[static_cast<std::size_t>(p)]; }
    hostsim::Send& send(int b) { return trackAt(2).sends[static_cast<std::size_t>(b)]; }
    void enterSendMode() {
        pair(kNoteEqType, kNoteAllBypass);
        run();
        ASSERT_EQ(surface->mode(), 2);
    }
    void enterTypeMode() {
        click(kNoteEqType);
        run();
        ASSERT_EQ(surface->mode(), 1);
    }

    std::string m_exe;

private:
    std::string m_dir;
    std::vector<std::string> m_files;
};

TEST_F(EqTest, MapsComeFromTheHostsProgramAndResourceFolders) {
    EXPECT_EQ(platform.patterns, (std::vector<std::string>{m_exe + kMapFolder + "*.eqmap",
                                                           "C:\\users\\user\\AppData\\Roaming\\REAPER"
                                                           "\\Data\\CC121\\*.eqmap"}));
    ASSERT_EQ(surface->maps().size(), 2u);
    EXPECT_EQ(surface->maps()[0].id, "Test EQ");
    EXPECT_EQ(surface->maps()[1].id, "Plain EQ");
}

TEST_F(EqTest, EqTypeAloneSwitchesBetweenNormalAndTypeMode) {
    press(kNoteEqType);
    run();
    EXPECT_EQ(surface->mode(), 0) << "acts on release";
    EXPECT_TRUE(wire().empty());
    release(kNoteEqType);
    run();
    EXPECT_EQ(surface->mode(), 1);
    EXPECT_EQ(wire(), lampGroup({{0x74, true}}));
    clear();
    run(201); // the poll keeps it lit: the track has a mapped equaliser
    EXPECT_TRUE(wire().empty());
    click(kNoteEqType);
    run();
    EXPECT_EQ(surface->mode(), 0);
    EXPECT_EQ(wire(), lampGroup({{0x74, false}}));
}

TEST_F(EqTest, TypeModeLampIsDarkOnATrackWithoutAMap) {
    enterTypeMode();
    clear();
    bindTo(4);
    run(1);
    EXPECT_EQ(surface->mode(), 1) << "the mode survives a track change";
    EXPECT_EQ(wire(), lampGroup({{0x74, false}}));
    clear();
    bindTo(2);
    run(1);
    EXPECT_EQ(wire(), lampGroup({{0x74, true}}));
}

TEST_F(EqTest, EqTypeWithAllBypassTogglesSendModeAndLeavesItForNormal) {
    pair(kNoteEqType, kNoteAllBypass);
    run();
    EXPECT_EQ(surface->mode(), 2);
    EXPECT_TRUE(wire().empty()) << "entering changes no lamp directly";
    EXPECT_TRUE(actions().empty()) << "neither button acts alone after the pair";

    // Alone, neither button does anything in the send mode.
    clear();
    click(kNoteEqType);
    click(kNoteAllBypass);
    run();
    EXPECT_EQ(surface->mode(), 2);
    EXPECT_TRUE(actions().empty());
    EXPECT_TRUE(wire().empty());

    pair(kNoteAllBypass, kNoteEqType);
    run();
    EXPECT_EQ(surface->mode(), 0);

    enterTypeMode();
    enterSendMode();
    pair(kNoteEqType, kNoteAllBypass);
    run();
    EXPECT_EQ(surface->mode(), 0) << "leaving the send mode never returns to the type mode";
}

TEST_F(EqTest, ModePairNeedsTheSecondPressWithin100ms) {
    press(kNoteEqType);
    run();
    press(kNoteAllBypass);
    run(100);
    release(kNoteEqType);
    release(kNoteAllBypass);
    run();
    EXPECT_EQ(surface->mode(), 2);

    pair(kNoteEqType, kNoteAllBypass);
    run();
    ASSERT_EQ(surface->mode(), 0);
    press(kNoteEqType);
    run();
    press(kNoteAllBypass); // too late: ignored, and its release does nothing either
    run(101);
    release(kNoteEqType);
    release(kNoteAllBypass);
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(surface->mode(), 1);
    EXPECT_EQ(param(kBypassParam).value, 0.0);
}

TEST_F(EqTest, NormalModeEncodersStepTheirMappedParameter) {
    struct Case {
        unsigned char cc;
        int param;
        const char* value; // 0.5 + 31 x 1 / scale
    };
    const Case cases[] = {
        {kCcQ1, 0, "0.810000"}, {kCcQ2, 1, "0.810000"},  {kCcQ3, 2, "0.810000"},  {kCcF1, 4, "0.655000"},
        {kCcF2, 5, "0.655000"}, {kCcF3, 6, "0.655000"},  {kCcF4, 7, "0.655000"},  {kCcG1, 8, "0.577500"},
        {kCcG2, 9, "0.577500"}, {kCcG3, 10, "0.577500"}, {kCcG4, 11, "0.577500"},
    };
    for (const auto& c : cases) {
        turn(c.cc, 0x01);
        EXPECT_EQ(step(), (Lines{"TrackFX_SetParam(track 2, 1, " + std::to_string(c.param) + ", " + c.value +
                                 ") -> true"}))
            << int(c.cc);
    }
    // Q4 has no index in the map: nothing.
    turn(kCcQ4, 0x01);
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(param(3).value, 0.5);
}

TEST_F(EqTest, NormalModeStepsAreSignedAcceleratedAndHeldToTheRange) {
    struct Case {
        unsigned char value;
        double expected; // G1 steps 31 / 400 per unit of amount
    };
    const Case cases[] = {
        {0x01, 0.5 + 0.0775},
        {0x41, 0.5 - 0.0775},
        {0x02, 0.5 + 4 * 0.0775},
        {0x42, 0.5 - 4 * 0.0775},
        {0x05, 1.0},
        {0x45, 0.0},
        {0x40, 0.5},
    };
    for (const auto& c : cases) {
        param(8).value = 0.5;
        turn(kCcG1, c.value);
        run();
        EXPECT_NEAR(param(8).value, c.expected, 1e-12) << int(c.value);
    }
}

TEST_F(EqTest, TypeModeMovesOnlyTheTypeParameterWithTheGEncoders) {
    enterTypeMode();
    for (int b = 0; b < 4; ++b) {
        turn(static_cast<unsigned char>(kCcG1 + b), 0x02); // amount 4, / TS 2, no speed factor
        EXPECT_EQ(step(), (Lines{"TrackFX_SetParam(track 2, 1, " + std::to_string(kTypeParam + b) +
                                 ", 3.000000) -> true"}))
            << b;
    }
    turn(kCcG1, 0x05); // 25 / 2 is beyond the range
    run();
    EXPECT_EQ(param(kTypeParam).value, 5.0);
    for (unsigned char cc : {kCcQ1, kCcQ2, kCcQ3, kCcQ4, kCcF1, kCcF2, kCcF3, kCcF4})
        turn(cc, 0x01);
    EXPECT_TRUE(step().empty());
    click(kNoteBandOn1);
    EXPECT_TRUE(step().empty()) << "Band On does nothing in the type mode";

    start("0 50 0 0 0 0 10");
    enterTypeMode();
    param(kTypeParam + 1).value = 1.0;
    turn(kCcG2, 0x41);
    run();
    EXPECT_EQ(param(kTypeParam + 1).value, 0.5) << "1 - 1 / 2 whatever the encoder speed";
}

TEST_F(EqTest, SendModeQAndFRunTheirHostActions) {
    enterSendMode();
    for (int b = 0; b < 4; ++b) {
        turn(static_cast<unsigned char>(kCcQ1 + b), 0x01);
        turn(static_cast<unsigned char>(kCcF1 + b), 0x01);
        EXPECT_EQ(step(),
                  (Lines{"KBD_OnMainActionEx(" + std::to_string(950 + b) + ", 8, -1, 1, null, null) -> 0",
                         "KBD_OnMainActionEx(" + std::to_string(954 + b) + ", 8, -1, 1, null, null) -> 0"}))
            << b;
    }
    turn(kCcF3, 0x42); // -2 steps, amount -4
    EXPECT_EQ(step(), (Lines{"KBD_OnMainActionEx(956, -32, -1, 1, null, null) -> 0"}));

    // The value is truncated toward zero: 2 ^ 2.5 x 8 = 45.25.
    start("0 31 0 0 0 0 15");
    enterSendMode();
    turn(kCcQ1, 0x02);
    turn(kCcQ1, 0x42);
    EXPECT_EQ(step(), (Lines{"KBD_OnMainActionEx(950, 45, -1, 1, null, null) -> 0",
                             "KBD_OnMainActionEx(950, -45, -1, 1, null, null) -> 0"}));
}

TEST_F(EqTest, SendModeGStepsTheSendVolumeInDecibels) {
    enterSendMode();
    turn(kCcG1, 0x01);
    run();
    EXPECT_NEAR(send(0).volume, std::pow(10.0, 0.31 / 20), 1e-12);
    turn(kCcG2, 0x41);
    run();
    EXPECT_NEAR(send(1).volume, std::pow(10.0, (20 * std::log10(0.5) - 0.31) / 20), 1e-12);
    turn(kCcG3, 0x01); // from -inf, read as -150 dB
    run();
    EXPECT_NEAR(send(2).volume, std::pow(10.0, (-150 + 0.31) / 20), 1e-20);
    EXPECT_GT(send(2).volume, 0.0);
    turn(kCcG4, 0x01); // no fourth send
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(param(8).value, 0.5) << "the equaliser's gain is left alone";

    start("0 50 0 0 0 0 10");
    enterSendMode();
    send(0).volume = 1.0;
    turn(kCcG1, 0x02); // amount 4 x 50 / 100 = 2 dB
    run();
    EXPECT_NEAR(send(0).volume, std::pow(10.0, 2.0 / 20), 1e-12);
}

TEST_F(EqTest, SendModeGStepsStopAtPlus12dBAndStayFinite) {
    const double top = std::pow(10.0, 12.0 / 20);
    struct Row {
        const char* config;
        double from;
        unsigned char value;
        double to;
    };
    const Row rows[] = {
        {"0 31 0 0 0 0 200", 1.0, 0x02, top},  // one message of 0.31 x 2^21 dB
        {"0 31 0 0 0 0 10", 1.0, 0x3F, top},   // a fast turn of 0.31 x 63^2 dB
        {"0 31 0 0 0 0 10", 10.0, 0x01, 10.0}, // +20 dB is not pulled down by a step up
        {"0 31 0 0 0 0 10", 10.0, 0x41, std::pow(10.0, (20 - 0.31) / 20)},
        {"0 31 0 0 0 0 10", std::nan(""), 0x01, std::pow(10.0, (-150 + 0.31) / 20)}, // reads as silence
    };
    for (const Row& r : rows) {
        start(r.config);
        enterSendMode();
        send(0).volume = r.from;
        turn(kCcG1, r.value);
        run();
        EXPECT_DOUBLE_EQ(send(0).volume, r.to) << r.config << " from " << r.from << " by " << int(r.value);
    }
}

TEST_F(EqTest, SendModeDoesNothingWithoutATrack) {
    start("0 31 0 0 0 0 10", -1);
    enterSendMode();
    turn(kCcQ1, 0x01);
    turn(kCcF1, 0x01);
    turn(kCcG1, 0x01);
    click(kNoteBandOn1);
    EXPECT_TRUE(step().empty());
}

TEST_F(EqTest, SendModeBandOnMutesAndItsLampShowsTheSendPlaying) {
    enterSendMode();
    clear();
    run(201);
    EXPECT_EQ(wire(), lampGroup({{0x70, true}}) + lampGroup({{0x72, true}}));
    clear();
    press(kNoteBandOn1);
    run();
    EXPECT_TRUE(send(0).mute);
    EXPECT_EQ(wire(), lampGroup({{0x70, false}}));
    clear();
    release(kNoteBandOn1);
    EXPECT_TRUE(step().empty());
    click(kNoteBandOn1);
    click(kNoteBandOn2);
    run();
    EXPECT_FALSE(send(0).mute);
    EXPECT_FALSE(send(1).mute);
    EXPECT_EQ(wire(), lampGroup({{0x70, true}}) + lampGroup({{0x71, true}}));
    click(kNoteBandOn4); // no fourth send
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(param(kBandOnParam).value, 0.0) << "the equaliser's band is left alone";
}

TEST_F(EqTest, NormalModeBandOnTogglesTheParameterAndThePollShowsIt) {
    press(kNoteBandOn1);
    EXPECT_EQ(step(), (Lines{"TrackFX_SetParam(track 2, 1, 16, 1.000000) -> true"}));
    EXPECT_TRUE(wire().empty()) << "the lamp waits for the poll";
    release(kNoteBandOn1);
    EXPECT_TRUE(step().empty());
    run(181); // 201 ms since the last poll
    EXPECT_EQ(wire(), lampGroup({{0x70, true}}));
    click(kNoteBandOn1);
    run();
    EXPECT_EQ(param(kBandOnParam).value, 0.0);
}

// ReaEQ's bands have no switch parameter: with no BandOn index the host's own band switch is used.
class ReaEqTest : public EqTest {
protected:
    static constexpr std::uint32_t kAllBandOn = kBitBandOn1 | kBitBandOn2 | kBitBandOn3 | kBitBandOn4;

    void SetUp() override {
        EqTest::SetUp();
        // Band 1 is found by its frequency, band 2 by its gain, band 3 by its Q; band 4 has nothing mapped.
        writeMap("c.eqmap", "ID=ReaEQ\nF1=0\nG2=4\nQ3=8\n");
        platform.files.push_back("c.eqmap");
        using namespace hostsim;
        trackAt(4).addReaEq("ReaEQ", {kEqLowShelf, kEqBand, kEqBand, kEqHighShelf});
        trackAt(1).addFx("ReaEQ", std::vector<FxParam>(16)); // the same name, but no ReaEQ to the host
        host.project().setLastTouchedParam(Project::TouchedParam{4, 0, 0}); // Lock would pin ReaEQ's Freq 1
    }
};

TEST_F(ReaEqTest, BandOnSwitchesTheHostsBandAndThePollShowsIt) {
    start("0 31 0 0 0 0 10", 4);
    EXPECT_EQ(surface->lamps() & kAllBandOn, kBitBandOn1 | kBitBandOn2 | kBitBandOn3);
    click(kNoteBandOn2);
    click(kNoteBandOn3);
    click(kNoteBandOn4);
    EXPECT_EQ(step(), (Lines{"TrackFX_SetEQBandEnabled(track 4, 0, 2, 0, false) -> true",
                             "TrackFX_SetEQBandEnabled(track 4, 0, 2, 1, false) -> true"}));
    EXPECT_TRUE(wire().empty()) << "the lamps wait for the poll";
    run(191); // 201 ms since the last poll
    EXPECT_EQ(wire(), lampGroup({{0x71, false}}) + lampGroup({{0x72, false}}));
    click(kNoteBandOn2);
    EXPECT_EQ(step(), (Lines{"TrackFX_SetEQBandEnabled(track 4, 0, 2, 0, true) -> true"}));

    bindTo(1);
    click(kNoteBandOn1);
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(surface->lamps() & kAllBandOn, 0u);

    trackAt(4).fx[0].eqBands[0].type = hostsim::kEqHighPass; // type 0 is a band like any other
    bindTo(4);
    click(kNoteBandOn1);
    EXPECT_EQ(step(), (Lines{"TrackFX_SetEQBandEnabled(track 4, 0, 0, 0, false) -> true"}));
}

// A host without one of the optional functions loses only the feature that needs it; without any of them
// (the last round) Lock and ReaEQ's Band On buttons do what they always did: nothing.
TEST_F(ReaEqTest, EachMissingOptionalFunctionSwitchesOffOnlyItsFeature) {
    const std::set<std::string> lock = {"GetLastTouchedFX", "GetTrack", "GetMasterTrack",
                                        "TrackFX_GetParamNormalized", "TrackFX_SetParamNormalized"};
    const std::set<std::string> reaEq = {"TrackFX_GetEQParam", "TrackFX_GetEQBandEnabled",
                                         "TrackFX_SetEQBandEnabled"};
    for (int i = 1; i <= host::kOptionalFunctionCount; ++i) {
        const bool all = i == host::kOptionalFunctionCount;
        const char* name = all ? "every one" : host::optionalFunctionName(i);
        for (int k = 0; k < host::kOptionalFunctionCount; ++k)
            if (all || k == i)
                host.withhold(host::optionalFunctionName(k));
        host::unbindFunctions();
        ASSERT_TRUE(host::bindFunctions(hostsim::getFunc));
        trackAt(4).fx[0].params[0].value = 0.2;
        trackAt(4).fx[0].eqBands[1].enabled = true;
        start("0 31 0 0 0 0 10", 4);
        click(kNoteLock);
        turn(kCcAiKnob, 0x01);
        click(kNoteBandOn2);
        Lines expected;
        if (!all && !lock.count(name))
            expected.push_back("TrackFX_SetParamNormalized(track 4, 0, 0, 0.210000) -> true");
        if (!all && !reaEq.count(name))
            expected.push_back("TrackFX_SetEQBandEnabled(track 4, 0, 2, 0, false) -> true");
        EXPECT_EQ(step(), expected) << name;
        if (!all)
            host.offerAgain(name);
    }
}

TEST_F(EqTest, LampPollShowsBypassAndBandsInNormalModeOnlyBypassInTypeMode) {
    param(16).value = 1.0;
    param(17).value = 0.0;
    param(18).value = 0.7;
    param(19).value = 0.5; // not above one half
    param(kBypassParam).value = 0.9;
    run(200);
    EXPECT_TRUE(wire().empty());
    run(1);
    EXPECT_EQ(wire(), lampGroup({{0x75, true}}) + lampGroup({{0x70, true}}) + lampGroup({{0x72, true}}));

    clear();
    enterTypeMode();
    run(201);
    EXPECT_EQ(wire(), lampGroup({{0x74, true}}) + lampGroup({{0x70, false}}) + lampGroup({{0x72, false}}));

    // A track without a mapped equaliser: every EQ lamp dark, in the type mode too.
    clear();
    bindTo(4);
    run(1);
    EXPECT_EQ(wire(), lampGroup({{0x75, false}}) + lampGroup({{0x74, false}}));
}

TEST_F(EqTest, SendModePollWithoutATrackKeepsTheLamps) {
    start("0 31 0 0 0 0 10", -1);
    enterSendMode();
    surface->SetLamp(kBitBandOn2, true);
    clear();
    run(201);
    EXPECT_TRUE(wire().empty());
    EXPECT_TRUE(surface->lamps() & kBitBandOn2);
}

TEST_F(EqTest, AllBypassTogglesTheBypassParameterAndItsLamp) {
    press(kNoteAllBypass);
    EXPECT_TRUE(step().empty()) << "acts on release";
    release(kNoteAllBypass);
    EXPECT_EQ(step(), (Lines{"TrackFX_SetParam(track 2, 1, 20, 1.000000) -> true"}));
    EXPECT_EQ(wire(), lampGroup({{0x75, true}}));
    clear();
    click(kNoteAllBypass);
    EXPECT_EQ(step(), (Lines{"TrackFX_SetParam(track 2, 1, 20, 0.000000) -> true"}));
    EXPECT_EQ(wire(), lampGroup({{0x75, false}}));
    EXPECT_EQ(surface->mode(), 0);
}

TEST_F(EqTest, AllBypassWithoutABypassIndexOnlyDarkensItsLamp) {
    for (int track : {3, 4}) { // Plain EQ without BP, and no equaliser at all
        bindTo(track);
        run(); // the new track's first poll
        surface->SetLamp(kBitAllBypass, true);
        clear();
        click(kNoteAllBypass);
        EXPECT_TRUE(step().empty()) << track;
        EXPECT_EQ(wire(), lampGroup({{0x75, false}})) << track;
        EXPECT_EQ(surface->mode(), 0);
    }
}

TEST_F(EqTest, SendModeBlinksEqTypeAndKeepsAllBypassDark) {
    param(kBypassParam).value = 1.0;
    run(201);
    ASSERT_TRUE(surface->lamps() & kBitAllBypass);
    enterSendMode(); // 211 ms after the start
    run(200);        // the poll shows the sends
    clear();
    run(90); // 501 ms after the last blink
    EXPECT_EQ(wire(), lampGroup({{0x75, false}}) + lampGroup({{0x74, true}}));
    clear();
    run(500);
    EXPECT_EQ(wire(), kHostReady);
    run(1);
    EXPECT_EQ(wire(), kHostReady + lampGroup({{0x74, false}}));
    clear();
    run(501);
    EXPECT_EQ(wire(), lampGroup({{0x74, true}}));

    // Back in the normal mode the poll restores the equaliser's lamps and EQ Type stops blinking.
    pair(kNoteEqType, kNoteAllBypass);
    run();
    clear();
    run(201);
    EXPECT_EQ(wire(), lampGroup({{0x75, true}}) + lampGroup({{0x74, false}}) + lampGroup({{0x70, false}}) +
                          lampGroup({{0x72, false}}));
    clear();
    run(501);
    EXPECT_TRUE(surface->lamps() & kBitAllBypass);
    EXPECT_FALSE(surface->lamps() & kBitEqType);
}

// --- Routing and FX windows
// ------------------------------------------------------------------------------------

class WindowTest : public SectionTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        start();
    }
    void openWindow(const std::string& title, bool visible = true) {
        platform.windows.push_back({title, visible, false});
    }
};

TEST_F(WindowTest, RoutingOpensTheTracksWindowOrClosesIt) {
    press(kNoteRouting);
    EXPECT_EQ(step(), (Lines{"Main_OnCommand(40293, 0)"}));
    EXPECT_EQ(platform.found.back(), "Routing for track 2 \"Track 2\"");
    release(kNoteRouting);
    EXPECT_TRUE(step().empty());

    openWindow("Routing for track 2 \"Track 2\"");
    press(kNoteRouting);
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(platform.closedTitles, (std::vector<std::string>{"Routing for track 2 \"Track 2\""}));

    bindTo(1); // the first track is a track, not the master
    press(kNoteRouting);
    EXPECT_EQ(step(), (Lines{"Main_OnCommand(40293, 0)"}));
}

TEST_F(WindowTest, RoutingOnTheMasterOnlyClosesItsOutputsWindow) {
    bindTo(0);
    press(kNoteRouting);
    EXPECT_TRUE(step().empty());
    EXPECT_TRUE(platform.closedTitles.empty());
    openWindow("Outputs for Master Track");
    press(kNoteRouting);
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(platform.closedTitles, (std::vector<std::string>{"Outputs for Master Track"}));
}

TEST_F(WindowTest, FxOpensTheChainOnReleaseOrClosesItWithItsBrowser) {
    press(kNoteFx);
    EXPECT_TRUE(step().empty()) << "FX acts on release";
    release(kNoteFx);
    EXPECT_EQ(step(), (Lines{"Main_OnCommand(40291, 0)"}));

    // A browser alone is not the chain: the chain is opened.
    openWindow("Add FX to: Track 2 \"Track 2\"");
    click(kNoteFx);
    EXPECT_EQ(step(), (Lines{"Main_OnCommand(40291, 0)"}));
    EXPECT_TRUE(platform.closedTitles.empty());

    openWindow("FX: Track 2 \"Track 2\"");
    click(kNoteFx);
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(platform.closedTitles,
              (std::vector<std::string>{"FX: Track 2 \"Track 2\"", "Add FX to: Track 2 \"Track 2\""}));

    platform.closedTitles.clear();
    openWindow("FX: Track 2 \"Track 2\"");
    click(kNoteFx);
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(platform.closedTitles, (std::vector<std::string>{"FX: Track 2 \"Track 2\""}));

    bindTo(1);
    click(kNoteFx);
    EXPECT_EQ(step(), (Lines{"Main_OnCommand(40291, 0)"}));
}

TEST_F(WindowTest, FxOnTheMasterOpensItsChainOrClosesBothWindows) {
    bindTo(0);
    click(kNoteFx);
    EXPECT_EQ(step(), (Lines{"Main_OnCommand(40846, 0)"}));
    openWindow("FX: Master Track");
    openWindow("Add FX to: Master Track");
    click(kNoteFx);
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(platform.closedTitles,
              (std::vector<std::string>{"FX: Master Track", "Add FX to: Master Track"}));
}

TEST_F(WindowTest, FolderTracksAreFoundNamedOrUnnamed) {
    trackAt(3).folderDepth = 1;
    bindTo(3);
    openWindow("FX: Track 3 \"Track 3\" (folder)");
    openWindow("Routing for track 3 \"Track 3\" (folder)");
    click(kNoteFx);
    click(kNoteRouting);
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(platform.closedTitles, (std::vector<std::string>{"FX: Track 3 \"Track 3\" (folder)",
                                                               "Routing for track 3 \"Track 3\" (folder)"}));

    platform.closedTitles.clear();
    trackAt(3).name = "";
    openWindow("FX: Track 3 (folder)");
    openWindow("Routing for track 3 \"\" (folder)");
    click(kNoteFx);
    click(kNoteRouting);
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(platform.closedTitles,
              (std::vector<std::string>{"FX: Track 3 (folder)", "Routing for track 3 \"\" (folder)"}));
}

TEST_F(WindowTest, InTheMixerViewTheButtonsUseTheTracksOwnNumber) {
    trackAt(2).visibleInMixer = false; // mixer id 2 is track 3
    start("0 31 0 0 0 1 10", -1);
    surface->OnTrackSelection(handleAt(3));
    openWindow("FX: Track 3 \"Track 3\"");
    openWindow("Routing for track 3 \"Track 3\"");
    run(201);
    EXPECT_EQ(surface->lamps() & (kBitFx | kBitRouting), kBitFx | kBitRouting);
    click(kNoteFx);
    click(kNoteRouting);
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(platform.closedTitles,
              (std::vector<std::string>{"FX: Track 3 \"Track 3\"", "Routing for track 3 \"Track 3\""}));
}

TEST_F(WindowTest, WithoutATrackTheButtonsDoNothing) {
    start("0 31 0 0 0 0 10", -1);
    platform.found.clear();
    openWindow("Outputs for Master Track");
    openWindow("FX: Master Track");
    click(kNoteRouting);
    click(kNoteFx);
    EXPECT_TRUE(step().empty());
    run(201);
    EXPECT_TRUE(platform.found.empty());
    EXPECT_TRUE(platform.closedTitles.empty());
    EXPECT_EQ(surface->lamps() & (kBitFx | kBitRouting), 0u);
}

TEST_F(WindowTest, LampsFollowVisibleWindowsEvery200msFxFirst) {
    openWindow("Routing for track 2 \"Track 2\"");
    openWindow("FX: Track 2 \"Track 2\"");
    run(200);
    EXPECT_TRUE(wire().empty());
    run(1);
    EXPECT_EQ(wire(), lampGroup({{0x79, true}}) + lampGroup({{0x33, true}}));

    clear();
    platform.windows[0].visible = false;
    platform.windows[1].closed = true;
    run(201);
    EXPECT_EQ(wire(), lampGroup({{0x79, false}}) + lampGroup({{0x33, false}}));

    // A hidden window is still there to close.
    click(kNoteRouting);
    EXPECT_TRUE(step().empty());
    EXPECT_EQ(platform.closedTitles, (std::vector<std::string>{"Routing for track 2 \"Track 2\""}));
}

TEST_F(WindowTest, LampsFollowANewTrackAtOnce) {
    openWindow("FX: Track 3 \"Track 3\"");
    openWindow("FX: Master Track");
    bindTo(3);
    run(1);
    EXPECT_EQ(wire(), lampGroup({{0x79, true}}));
    clear();
    bindTo(1);
    run(1);
    EXPECT_EQ(wire(), lampGroup({{0x79, false}}));
    clear();
    bindTo(0);
    run(1);
    EXPECT_EQ(wire(), lampGroup({{0x79, true}}));
}

} // namespace
