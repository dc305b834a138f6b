// What each control of the controller makes the host do.
#include "cc121_controls.h"
#include "surface_fixture.h"

#include "cc121_scales.h"

#include <algorithm>
#include <climits>
#include <tuple>
#include <utility>

using namespace cc121;

namespace {

class InputTest : public SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        start();
    }
};

struct TransportCase {
    unsigned char note;
    const char* config;
    const char* call;
};

TEST_F(InputTest, TransportButtonsActOnPress) {
    const TransportCase cases[] = {
        {kNotePlay, "0", "CSurf_OnPlay()"},
        {kNoteStop, "0", "CSurf_OnStop()"},
        {kNoteRecord, "0", "CSurf_OnRecord()"},
        {kNoteCycle, "0", "Main_OnCommand(1068, 0)"},
        {kNoteToStart, "0", "Main_OnCommand(40172, 0)"},
        {kNoteToEnd, "0", "Main_OnCommand(40173, 0)"},
        {kNoteToStart, "1", "CSurf_GoStart()"},
        {kNoteToEnd, "1", "CSurf_GoEnd()"},
    };
    for (const auto& c : cases) {
        start((std::string(c.config) + " 31 0 0").c_str());
        press(c.note);
        EXPECT_EQ(step(), Lines{c.call}) << c.call;
        release(c.note);
        EXPECT_TRUE(step().empty()) << c.call;
    }
}

TEST_F(InputTest, MuteActsOnReleaseAlone) {
    press(kNoteMute);
    EXPECT_TRUE(step().empty());
    release(kNoteMute);
    EXPECT_EQ(step(), (Lines{"CSurf_OnMuteChange(track 2, -1) -> true"}));
    EXPECT_TRUE(trackAt(2).mute);
    EXPECT_TRUE(surface->lamps() & kBitMute);
}

TEST_F(InputTest, MuteThenMonitorWithin100msFlipsAndNeitherActs) {
    press(kNoteMute);
    run(10);
    press(kNoteMonitor);
    host.log().clear();
    run(80);
    EXPECT_TRUE(surface->flipped());
    // The host's full report puts the fader on the track's pan (centre) at once.
    EXPECT_EQ(surface->fader(), 8192);
    release(kNoteMute);
    release(kNoteMonitor);
    const Lines after = step();
    for (const auto& line : after)
        EXPECT_EQ(line.find("CSurf_OnMuteChange"), std::string::npos) << line;
    EXPECT_FALSE(trackAt(2).mute);
    EXPECT_EQ(trackAt(2).recMonitor, 0);
}

TEST_F(InputTest, LatePartnerPressIsIgnored) {
    press(kNoteMonitor);
    run(10);
    press(kNoteMute);
    run(150);
    EXPECT_FALSE(surface->flipped());
    release(kNoteMonitor);
    run(10);
    EXPECT_EQ(trackAt(2).recMonitor, 1);
    EXPECT_TRUE(surface->lamps() & kBitMonitor);
    release(kNoteMute);
    const Lines after = step();
    EXPECT_FALSE(trackAt(2).mute);
    for (const auto& line : after)
        EXPECT_EQ(line.find("CSurf_OnMuteChange"), std::string::npos) << line;
}

TEST_F(InputTest, APairNeedsThePartnersOwnPressWithin100ms) {
    for (const auto& [first, second] :
         {std::pair(kNoteMute, kNoteMonitor), std::pair(kNoteMonitor, kNoteMute)}) {
        start();
        press(first);
        run(10);
        press(kNoteChannelLeft); // another pair's press in between
        run(500);
        press(second);
        run(50);
        EXPECT_FALSE(surface->flipped()) << int(first);
        release(first);
        run();
        EXPECT_TRUE(first == kNoteMute ? trackAt(2).mute : trackAt(2).recMonitor == 1) << int(first);
    }
}

TEST_F(InputTest, MonitorCyclesThroughThreeStatesButNotOnMaster) {
    for (int expected : {1, 2, 0}) {
        press(kNoteMonitor);
        release(kNoteMonitor);
        run();
        EXPECT_EQ(trackAt(2).recMonitor, expected);
        EXPECT_EQ((surface->lamps() & kBitMonitor) != 0, expected != 0);
    }
    bindTo(0);
    press(kNoteMonitor);
    release(kNoteMonitor);
    run();
    EXPECT_EQ(host.project().master().recMonitor, 0);
}

TEST_F(InputTest, RecArmAndSoloToggleOnPressAndLight) {
    press(kNoteRecArm);
    EXPECT_EQ(step(), (Lines{"CSurf_OnRecArmChange(track 2, -1) -> true"}));
    press(kNoteSolo);
    EXPECT_EQ(step(), (Lines{"CSurf_OnSoloChange(track 2, -1) -> true"}));
    EXPECT_EQ(surface->lamps() & (kBitRecArm | kBitSolo), kBitRecArm | kBitSolo);
}

TEST_F(InputTest, AutomationStepsOfReadAndWrite) {
    struct Case {
        unsigned char note;
        int from;
        int to;
    };
    const Case cases[] = {{kNoteRead, 0, 1},  {kNoteRead, 1, 0},  {kNoteRead, 2, 4},  {kNoteRead, 4, 2},
                          {kNoteRead, 3, 3},  {kNoteWrite, 0, 3}, {kNoteWrite, 1, 2}, {kNoteWrite, 2, 1},
                          {kNoteWrite, 3, 0}, {kNoteWrite, 4, 4}};
    for (const auto& c : cases) {
        trackAt(2).automationMode = c.from;
        press(c.note);
        release(c.note);
        const Lines calls = step(200);
        EXPECT_EQ(trackAt(2).automationMode, c.to) << int(c.note) << " from " << c.from;
        const bool changed = c.from != c.to;
        EXPECT_EQ(calls.size(), changed ? 2u : 1u) << int(c.note) << " from " << c.from;
        EXPECT_EQ(calls.back(), "CSurf_SetAutoMode(-1, null)");
    }
}

TEST_F(InputTest, WriteInLatchChangesNothingAndFxStillWorksAfter) {
    trackAt(2).automationMode = 4;
    press(kNoteWrite);
    release(kNoteWrite);
    run(200);
    EXPECT_EQ(surface->held() & kBitWrite, 0u);
    press(kNoteFx);
    run(200);
    release(kNoteFx);
    EXPECT_EQ(step(), (Lines{"Main_OnCommand(40291, 0)"}));
}

TEST_F(InputTest, RewindAndForwardRepeatWhileHeldAndSeekOnRelease) {
    press(kNoteForward);
    EXPECT_EQ(step(), (Lines{"CSurf_OnFwd(0)"}));
    EXPECT_EQ(step(), (Lines{"CSurf_OnFwd(0)"}));
    press(kNoteRewind); // ignored while Forward is held
    EXPECT_EQ(step(), (Lines{"CSurf_OnFwd(0)"}));
    release(kNoteRewind);
    EXPECT_EQ(step(), (Lines{"CSurf_OnFwd(0)"}));
    release(kNoteForward);
    const Lines calls = step();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].rfind("SetEditCurPos(", 0), 0u) << calls[0];
    EXPECT_NE(calls[0].find(", true, true)"), std::string::npos) << calls[0];
    EXPECT_TRUE(step().empty());
}

TEST_F(InputTest, ChannelRightSelectsInHostAndAlignsLastTouched) {
    host.userSelect(trackAt(1));
    bindTo(1);
    press(kNoteChannelRight);
    release(kNoteChannelRight);
    const Lines calls = step();
    EXPECT_EQ(surface->currentTrackId(), 2);
    EXPECT_TRUE(trackAt(2).selected);
    EXPECT_FALSE(trackAt(1).selected);
    EXPECT_EQ(host.project().lastTouched(), &trackAt(2));
    EXPECT_NE(std::find(calls.begin(), calls.end(), "Main_OnCommand(40285, 0)"), calls.end());
    EXPECT_EQ(calls.back(), "TrackList_UpdateAllExternalSurfaces()");
}

TEST_F(InputTest, ChannelSelectionStopsOrWrapsAtTheEnds) {
    struct Case {
        const char* config;
        int from;
        unsigned char note;
        int to;
    };
    const Case cases[] = {{"0 31 0 0 0", 4, kNoteChannelRight, 4},
                          {"0 31 0 0 1", 4, kNoteChannelRight, 0},
                          {"0 31 0 0 0", 0, kNoteChannelLeft, 0},
                          {"0 31 0 0 1", 0, kNoteChannelLeft, 4},
                          {"0 31 0 0 0", -1, kNoteChannelRight, 0}};
    for (const auto& c : cases) {
        for (int id = 0; id <= kTracks; ++id)
            trackAt(id).selected = false; // a selected track would bind a fresh surface at once
        start(c.config, c.from);
        press(c.note);
        release(c.note);
        run();
        EXPECT_EQ(surface->currentTrackId(), c.to) << c.config << " from " << c.from;
    }
}

TEST_F(InputTest, ChannelPairCyclesTheFolderState) {
    trackAt(2).folderDepth = 1;
    press(kNoteChannelLeft);
    run(10);
    press(kNoteChannelRight);
    run(10);
    EXPECT_EQ(trackAt(2).folderCompact, 1);
    release(kNoteChannelLeft);
    release(kNoteChannelRight);
    run(10);
    EXPECT_EQ(surface->currentTrackId(), 2) << "the pair does not move the selection";
}

TEST_F(InputTest, InTheMixerViewChannelButtonsAddressTheTrackTheMixerIdNames) {
    // Mixer ids 1, 2 and 3 are tracks 1, 3 and 4: track 2 is hidden in the mixer.
    trackAt(2).visibleInMixer = false;
    trackAt(3).folderDepth = 1;
    start("0 31 0 0 0 1 10", -1);
    surface->OnTrackSelection(handleAt(3));
    ASSERT_EQ(surface->currentTrackId(), 2);
    press(kNoteChannelLeft);
    press(kNoteChannelRight);
    release(kNoteChannelLeft);
    release(kNoteChannelRight);
    run();
    EXPECT_EQ(trackAt(3).folderCompact, 1);

    // The last touched track is the target already: only the deselection acts.
    host.project().setLastTouched(&trackAt(1));
    for (int id : {2, 3, 4})
        trackAt(id).selected = true;
    press(kNoteChannelLeft);
    release(kNoteChannelLeft);
    run();
    for (int id = 1; id <= kTracks; ++id)
        EXPECT_EQ(trackAt(id).selected, id == 1) << id;

    // Next track walks the track list: two steps from track 1 to track 3.
    press(kNoteChannelRight);
    release(kNoteChannelRight);
    run();
    EXPECT_EQ(host.project().lastTouched(), &trackAt(3));
}

TEST_F(InputTest, HostValuesAtTheIntLimitsStepWithoutOverflow) {
    trackAt(2).folderDepth = 1;
    const std::pair<int, int> cycles[] = {{INT_MAX, 2}, {-5, 2}, {-1, 0}};
    for (const auto& [from, to] : cycles) {
        trackAt(2).recMonitor = trackAt(2).folderCompact = from;
        press(kNoteMonitor);
        release(kNoteMonitor);
        press(kNoteChannelLeft);
        press(kNoteChannelRight);
        run(200);
        EXPECT_EQ(trackAt(2).recMonitor, to) << from;
        EXPECT_EQ(trackAt(2).folderCompact, to) << from;
    }
    // An unbound surface told of an id at the top of the range stops at the last track.
    start("0 31 0 0 0 0 10", -1);
    host::CSurf_TrackToID = [](MediaTrack*, bool) {
        return INT_MAX;
    };
    surface->OnTrackSelection(handleAt(1));
    EXPECT_EQ(surface->currentTrackId(), kTracks);
}

TEST_F(InputTest, FaderSetsVolumeOrPanWhenFlipped) {
    inject({0xE0, 0x00, 0x40}); // position 8192
    const Lines calls = step();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].rfind("CSurf_OnVolumeChange(track 2, ", 0), 0u) << calls[0];
    EXPECT_EQ(calls[1].rfind("CSurf_SetSurfaceVolume(track 2, ", 0), 0u) << calls[1];
    EXPECT_NEAR(trackAt(2).volume, faderToVolume(8192, host::SLIDER2DB), 1e-12);

    press(kNoteMute);
    press(kNoteMonitor);
    run();
    ASSERT_TRUE(surface->flipped());
    inject({0xE0, 0x00, 0x00}); // bottom = pan +1
    run();
    EXPECT_DOUBLE_EQ(trackAt(2).pan, 1.0);
}

TEST_F(InputTest, PanEncoderStepsPanOrWholeDecibelsWhenFlipped) {
    turn(kCcPan, 0x02); // +2 steps, amount 4 at acceleration 10
    run();
    EXPECT_NEAR(trackAt(2).pan, 31 / 1000.0 * 4, 1e-12);
    press(kNoteMute);
    press(kNoteMonitor);
    run();
    turn(kCcPan, 0x41); // -1 step: (int)(-3) dB
    const Lines calls = step();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0], "CSurf_OnVolumeChange(track 2, -3.000000, rel) -> 0.707946");
}

TEST_F(InputTest, AiKnobTurnsTheMouseWheelOrScrubs) {
    turn(kCcAiKnob, 0x42); // -2 steps, amount -4
    run();
    EXPECT_EQ(platform.wheel, (std::vector<int>{-480}));
    press(kNoteJog);
    run();
    EXPECT_TRUE(surface->scrubbing());
    EXPECT_TRUE(surface->lamps() & kBitJog);
    turn(kCcAiKnob, 0x01);
    EXPECT_EQ(step(), (Lines{"CSurf_ScrubAmt(0.500000)"}));
}

// --- Lock: the AI knob pinned to the host's last-touched effect parameter

void touch(hostsim::Host& host, int track, int fx, int param) {
    host.project().setLastTouchedParam(hostsim::Project::TouchedParam{track, fx, param});
}

TEST_F(InputTest, LockPinsOnlyAnExistingParameterOfATracksChain) {
    trackAt(3).addFx("Comp", {{"Threshold", 0.5, 0.0, 1.0}, {"Ratio", 0.5, 0.0, 1.0}});
    host.project().master().addFx("Limiter", {{"Ceiling", 0.5, 0.0, 1.0}});
    // Track, effect and parameter numbers, and the knob's step once pinned (null: it wheels, the lamp dark).
    const std::tuple<int, int, int, const char*> cases[] = {
        {-1, 0, 0, nullptr}, // nothing touched yet
        {3, 0, 1, "TrackFX_SetParamNormalized(track 3, 0, 1, 0.510000) -> true"},
        {0, 0, 0, "TrackFX_SetParamNormalized(master, 0, 0, 0.510000) -> true"},
        {3 | 0x10000, 0, 1, nullptr}, // an item's effect
        {3, 0x1000000, 1, nullptr},   // a record-input effect
        {5, 0, 0, nullptr},           // no such track,
        {3, 1, 0, nullptr},           // effect
        {3, 0, 2, nullptr},           // or parameter
    };
    for (const auto& [track, fx, param, pinned] : cases) {
        start();
        platform.wheel.clear();
        if (track >= 0)
            touch(host, track, fx, param);
        press(kNoteLock);
        turn(kCcAiKnob, 0x01);
        EXPECT_EQ(step(), pinned ? Lines{pinned} : Lines{}) << track << "/" << fx << "/" << param;
        EXPECT_EQ(wire(), pinned ? lampGroup({{0x77, true}}) : Lines{});
        EXPECT_EQ(platform.wheel.size(), pinned ? 0u : 1u);
    }
}

TEST_F(InputTest, PinnedKnobStepsTheNormalizedValueWithinItsRangeUntilUnlocked) {
    trackAt(3).addFx("Comp", {{"Threshold", -30.0, -60.0, 0.0}});
    start("0 62 0 0 0 0 10"); // twice the default speed: 2% a plain step
    touch(host, 3, 0, 0);
    press(kNoteLock);
    press(kNoteJog); // the scrub mode switches for later; the pinned knob goes on stepping
    const std::pair<unsigned char, const char*> steps[] = {
        {0x01, "0.520000"}, {0x43, "0.340000"}, {0x0A, "1.000000"}, {0x01, nullptr}, {0x4A, "0.000000"}};
    for (const auto& [value, normalized] : steps) {
        turn(kCcAiKnob, value);
        EXPECT_EQ(step(), normalized ? Lines{std::string("TrackFX_SetParamNormalized(track 3, 0, 0, ") +
                                             normalized + ") -> true"}
                                     : Lines{})
            << int(value);
    }
    EXPECT_EQ(trackAt(3).fx[0].params[0].value, -60.0);
    clear();
    press(kNoteLock);
    turn(kCcAiKnob, 0x01);
    EXPECT_EQ(step(), (Lines{"CSurf_ScrubAmt(0.500000)"}));
    EXPECT_EQ(wire(), lampGroup({{0x77, false}}));
}

TEST_F(InputTest, PinIsDroppedWhenItsEffectOrTrackGoesAndTheResendShowsIt) {
    trackAt(3).addFx("Comp", {{"Threshold", 0.5, 0.0, 1.0}});
    trackAt(4).addFx("Comp", {{"Threshold", 0.5, 0.0, 1.0}});
    touch(host, 3, 0, 0);
    press(kNoteLock);
    run();
    clear();
    run(1501);
    EXPECT_EQ(wire().back(), "80 77 00") << "the full resend shows the lamp";
    trackAt(3).fx.clear();
    clear();
    turn(kCcAiKnob, 0x01); // found gone on use: the turn goes nowhere
    EXPECT_TRUE(step(1).empty());
    EXPECT_EQ(wire(), lampGroup({{0x77, false}}));

    touch(host, 4, 0, 0);
    press(kNoteLock);
    run();
    host.project().removeTrack(trackAt(4)); // the poll notices without the knob
    clear();
    run(201);
    EXPECT_EQ(wire(), lampGroup({{0x77, false}}));
}

// The pin follows its track and effect instance wherever they move, never the number they left behind; it
// lets go when the instance leaves the chain, and on any change when the host cannot name instances.
TEST_F(InputTest, PinFollowsItsEffectInstanceOrLetsGo) {
    for (int id : {3, 4}) {
        trackAt(id).addFx("EQ", {{"Gain", 0.5, 0.0, 1.0}});
        trackAt(id).addFx("Comp", {{"Threshold", 0.5, 0.0, 1.0}});
    }
    touch(host, 3, 1, 0);
    press(kNoteLock);
    run();
    host.project().removeTrack(trackAt(1)); // track 3 is number 2 now, another's Comp is number 3
    std::swap(trackAt(2).fx[0], trackAt(2).fx[1]);
    surface->SetTrackListChange();
    turn(kCcAiKnob, 0x01);
    EXPECT_EQ(step(), (Lines{"TrackFX_SetParamNormalized(track 2, 0, 0, 0.510000) -> true"}));
    trackAt(2).fx.erase(trackAt(2).fx.begin());
    clear();
    surface->Extended(CSURF_EXT_SETFXCHANGE, handleAt(2), nullptr, nullptr);
    EXPECT_EQ(wire(), lampGroup({{0x77, false}}));

    host.withhold("TrackFX_GetFXGUID");
    host::unbindFunctions();
    ASSERT_TRUE(host::bindFunctions(hostsim::getFunc));
    touch(host, 3, 1, 0);
    press(kNoteLock);
    run();
    clear();
    surface->SetTrackListChange();
    EXPECT_EQ(wire(), lampGroup({{0x77, false}}));
}

TEST_F(InputTest, UserFunctionsRunTheirActionsOnPress) {
    press(kNoteFunction1);
    EXPECT_EQ(step(), (Lines{"Main_OnCommand(1011, 0)"}));
    release(kNoteFunction1);
    EXPECT_TRUE(step().empty());
    press(kNoteFootSwitch);
    EXPECT_EQ(step(), (Lines{"Main_OnCommand(1013, 0)"}));
    EXPECT_TRUE(surface->held() & kBitFootSwitch);
    release(kNoteFootSwitch);
    run();
    EXPECT_FALSE(surface->held() & kBitFootSwitch);
    turn(kCcValue, 0x41);
    EXPECT_EQ(step(), (Lines{"KBD_OnMainActionEx(12, -8, -1, 1, null, null) -> 0"}));
}

TEST_F(InputTest, OtherChannelsAndUnknownMessagesDoNothing) {
    inject({0x91, kNotePlay, 0x7F});
    inject({0x90, 0x7A, 0x7F});
    inject({0xB0, 0x11, 0x01});
    inject({0xA0, 0x10, 0x01});
    inject({0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7});
    EXPECT_TRUE(step().empty());
}

} // namespace
