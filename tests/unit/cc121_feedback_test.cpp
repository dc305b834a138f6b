// What the controller is told: lamp and fader messages, the host's callbacks, the host-ready message with
// its full resend, the monitor poll, blinking and the fader pairs.
#include "cc121_controls.h"
#include "surface_fixture.h"

#include "cc121_scales.h"

#include <functional>
#include <initializer_list>

using namespace cc121;

namespace {

std::string bend(int position) {
    char text[16];
    std::snprintf(text, sizeof text, "E0 %02X %02X", position & 0x7F, (position >> 7) & 0x7F);
    return text;
}

std::string hex(unsigned char b) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", b);
    return text;
}

class FeedbackTest : public SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        start();
    }
    void pressPair(unsigned char a, unsigned char b) {
        press(a);
        press(b);
        run();
        release(a);
        release(b);
        run();
    }
    void setFlip(bool on) {
        if (surface->flipped() != on)
            pressPair(kNoteMute, kNoteMonitor);
        ASSERT_EQ(surface->flipped(), on);
    }
    void setTouched(bool on) {
        if (on)
            press(kNoteFaderTouch);
        else
            release(kNoteFaderTouch);
        run();
        ASSERT_EQ(surface->touched(), on);
    }
    int volumePosition(double volume) { return volumeToFader(volume, host::DB2SLIDER); }
    std::size_t hostReadyCount() {
        std::size_t n = 0;
        for (const auto& m : sent())
            n += m.bytes.size() == 8 && m.bytes[0] == 0xF0;
        return n;
    }
};

TEST_F(FeedbackTest, LampsGoOutAsNoteOnsPauseNoteOffsInTableOrderAfterTheFader) {
    ASSERT_EQ(surface->lamps(), 0u);
    surface->UpdateLampsAndFader(kBitFx | kBitRecArm | kBitPlay, 1000);
    EXPECT_EQ(wire(), Lines{"E0 68 07"} + lampGroup({{0x00, true}, {0x5E, true}, {0x79, true}}));
    for (const auto& m : sent())
        EXPECT_EQ(m.frameOffset, -1) << m;
    EXPECT_EQ(surface->lamps(), kBitFx | kBitRecArm | kBitPlay);
    EXPECT_EQ(surface->fader(), 1000);

    // Only the lamps that change, on or off; the fader only when it moves.
    clear();
    surface->UpdateLampsAndFader(kBitFx | kBitRecArm | kBitSolo, 1000);
    EXPECT_EQ(wire(), lampGroup({{0x08, true}, {0x5E, false}}));
    clear();
    surface->UpdateLampsAndFader(kBitFx | kBitRecArm | kBitSolo, 1000);
    EXPECT_TRUE(wire().empty());
    surface->UpdateLampsAndFader(kBitFx | kBitRecArm | kBitSolo, 16383);
    EXPECT_EQ(wire(), (Lines{"E0 7F 7F"}));
    clear();
    surface->SetLamp(kBitSolo, false);
    surface->SetLamp(kBitSolo, false);
    EXPECT_EQ(wire(), lampGroup({{0x08, false}}));
    EXPECT_EQ(surface->fader(), 16383);
}

TEST_F(FeedbackTest, EveryLampInTableOrderAndNoneForButtonsWithoutOne) {
    surface->UpdateLampsAndFader(0xFFFFFFFFu, surface->fader());
    EXPECT_EQ(wire(),
              lampGroup({{0x00, true}, {0x08, true}, {0x10, true}, {0x33, true}, {0x36, true}, {0x37, true},
                         {0x38, true}, {0x39, true}, {0x4A, true}, {0x4B, true}, {0x56, true}, {0x5E, true},
                         {0x5F, true}, {0x70, true}, {0x71, true}, {0x72, true}, {0x73, true}, {0x74, true},
                         {0x75, true}, {0x76, true}, {0x77, true}, {0x78, true}, {0x79, true}}));
}

TEST_F(FeedbackTest, SilencedFaderSendsNoPitchBendButItsPositionFollows) {
    pressPair(kNoteWrite, kNoteFx);
    ASSERT_TRUE(surface->faderSilenced());
    clear();
    surface->UpdateLampsAndFader(surface->lamps(), 5000);
    EXPECT_TRUE(wire().empty());
    EXPECT_EQ(surface->fader(), 5000);
    surface->UpdateLampsAndFader(surface->lamps() | kBitCycle, 6000);
    EXPECT_EQ(wire(), lampGroup({{0x56, true}}));
    EXPECT_EQ(surface->fader(), 6000);
    clear();
    surface->SetSurfaceVolume(handleAt(2), 0.5);
    EXPECT_TRUE(wire().empty());
    EXPECT_EQ(surface->fader(), volumePosition(0.5));
}

TEST_F(FeedbackTest, WithoutAnOutputLampStateStillFollowsTheHost) {
    start("0 31 0 -1 0 0 10", 2);
    surface->SetPlayState(true, false, true);
    surface->SetSurfaceMute(handleAt(2), true);
    surface->SetSurfaceSolo(handleAt(3), true); // not the current track
    surface->SetRepeatState(true);
    surface->UpdateLampsAndFader(surface->lamps() | kBitJog, 4000);
    EXPECT_EQ(surface->lamps(), kBitPlay | kBitRecord | kBitMute | kBitCycle | kBitJog);
    EXPECT_EQ(surface->fader(), 4000);
    // Volume, pan and automation mode wait for an output: they are read afresh when they are next reported.
    surface->SetSurfaceVolume(handleAt(2), 0.5);
    EXPECT_EQ(surface->fader(), 4000);
    trackAt(2).automationMode = 1;
    surface->SetAutoMode(1);
    EXPECT_FALSE(surface->lamps() & kBitRead);
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(platform.pauses.empty());
}

TEST_F(FeedbackTest, TrackLampsFollowOnlyTheCurrentTrack) {
    struct Case {
        const char* name;
        std::function<void(CC121&, MediaTrack*, bool)> report;
        unsigned char note;
    };
    const Case cases[] = {
        {"mute", [](CC121& s, MediaTrack* t, bool on) { s.SetSurfaceMute(t, on); }, 0x10},
        {"solo", [](CC121& s, MediaTrack* t, bool on) { s.SetSurfaceSolo(t, on); }, 0x08},
        {"rec arm", [](CC121& s, MediaTrack* t, bool on) { s.SetSurfaceRecArm(t, on); }, 0x00},
    };
    for (const auto& c : cases) {
        clear();
        c.report(*surface, handleAt(3), true);
        c.report(*surface, handleAt(0), true);
        EXPECT_TRUE(wire().empty()) << c.name;
        c.report(*surface, handleAt(2), true);
        EXPECT_EQ(wire(), lampGroup({{c.note, true}})) << c.name;
        clear();
        c.report(*surface, handleAt(2), true);
        EXPECT_TRUE(wire().empty()) << c.name;
        c.report(*surface, handleAt(2), false);
        EXPECT_EQ(wire(), lampGroup({{c.note, false}})) << c.name;
    }
}

TEST_F(FeedbackTest, VolumeMovesTheFaderOnlyForTheCurrentTrackUntouchedAndUnflipped) {
    const int quarter = volumePosition(0.25);
    const int half = volumePosition(0.5);
    ASSERT_NE(quarter, half);
    surface->SetSurfaceVolume(handleAt(3), 0.25);
    EXPECT_TRUE(wire().empty());
    surface->SetSurfaceVolume(handleAt(2), 0.25);
    EXPECT_EQ(wire(), (Lines{bend(quarter)}));
    EXPECT_EQ(surface->fader(), quarter);
    clear();
    surface->SetSurfaceVolume(handleAt(2), 0.25);
    EXPECT_TRUE(wire().empty()) << "an unchanged position is not resent";

    setTouched(true);
    clear();
    surface->SetSurfaceVolume(handleAt(2), 0.5);
    EXPECT_TRUE(wire().empty());
    EXPECT_EQ(surface->fader(), quarter);
    setTouched(false);
    clear();
    surface->SetSurfaceVolume(handleAt(2), 0.5);
    EXPECT_EQ(wire(), (Lines{bend(half)}));

    setFlip(true);
    clear();
    surface->SetSurfaceVolume(handleAt(2), 0.25);
    EXPECT_TRUE(wire().empty());
}

TEST_F(FeedbackTest, PanMovesTheFaderOnlyWhenFlippedForTheCurrentTrackUntouched) {
    surface->SetSurfacePan(handleAt(2), 0.25);
    EXPECT_TRUE(wire().empty()) << "not flipped";
    setFlip(true);
    clear();
    surface->SetSurfacePan(handleAt(3), 0.25);
    EXPECT_TRUE(wire().empty());
    surface->SetSurfacePan(handleAt(2), 0.25); // (1 - 0.25) x 16383 / 2 = 6143.6 -> 6144
    EXPECT_EQ(wire(), (Lines{"E0 00 30"}));
    clear();
    setTouched(true);
    surface->SetSurfacePan(handleAt(2), -1.0);
    EXPECT_TRUE(wire().empty());
    EXPECT_EQ(surface->fader(), 6144);
    setTouched(false);
    clear();
    surface->SetSurfacePan(handleAt(2), -1.0);
    EXPECT_EQ(wire(), (Lines{"E0 7F 7F"}));
    clear();
    surface->SetSurfacePan(handleAt(2), 1.0);
    EXPECT_EQ(wire(), (Lines{"E0 00 00"}));
}

TEST_F(FeedbackTest, SelectionReportBindsOnlyAnUnboundSurface) {
    start("0 31 0 0 0 0 10", -1);
    surface->SetSurfaceSelected(handleAt(3), false);
    EXPECT_EQ(surface->currentTrackId(), -1);
    surface->SetSurfaceSelected(handleAt(3), true);
    EXPECT_EQ(surface->currentTrackId(), 3);
    surface->SetSurfaceSelected(handleAt(1), true);
    EXPECT_EQ(surface->currentTrackId(), 3);
    EXPECT_TRUE(wire().empty());
    EXPECT_TRUE(actions().empty());
}

TEST_F(FeedbackTest, TrackWithoutAnIdIsNeverTheCurrentOne) {
    // In the mixer view a track hidden there has no id (-1), which must not pass for "no track bound yet".
    trackAt(4).visibleInMixer = false;
    start("0 31 0 0 0 1 10", -1);
    ASSERT_EQ(surface->currentTrackId(), -1);
    setTouched(true);
    clear();
    surface->SetSurfaceMute(handleAt(4), true);
    surface->SetSurfaceSolo(handleAt(4), true);
    surface->SetSurfaceRecArm(handleAt(4), true);
    surface->SetSurfaceSelected(handleAt(4), true);
    surface->OnTrackSelection(handleAt(4));
    EXPECT_FALSE(surface->GetTouchState(handleAt(4), 0));
    setTouched(false);
    clear();
    surface->SetSurfaceVolume(handleAt(4), 0.25);
    EXPECT_TRUE(wire().empty());
    EXPECT_TRUE(actions().empty());
    EXPECT_EQ(surface->lamps(), 0u);
    EXPECT_EQ(surface->currentTrackId(), -1);
}

TEST_F(FeedbackTest, PlayStateLightsPlayAndRecordOneUpdateEach) {
    surface->SetPlayState(true, false, true);
    EXPECT_EQ(wire(), lampGroup({{0x5E, true}}) + lampGroup({{0x5F, true}}));
    clear();
    surface->SetPlayState(false, true, false); // paused still lights Play
    EXPECT_EQ(wire(), lampGroup({{0x5F, false}}));
    clear();
    surface->SetPlayState(false, false, false);
    EXPECT_EQ(wire(), lampGroup({{0x5E, false}}));
    clear();
    surface->SetRepeatState(true);
    surface->SetRepeatState(true);
    EXPECT_EQ(wire(), lampGroup({{0x56, true}}));
    clear();
    surface->SetRepeatState(false);
    EXPECT_EQ(wire(), lampGroup({{0x56, false}}));
}

TEST_F(FeedbackTest, AutomationModeOfTheCurrentTrackLightsReadAndWrite) {
    struct Case {
        int mode;
        bool read;
        bool write;
    };
    const Case cases[] = {{1, true, false}, {0, false, false}, {2, true, true},
                          {3, false, true}, {4, true, true},   {0, false, false}};
    for (const auto& c : cases) {
        trackAt(2).automationMode = c.mode;
        surface->SetAutoMode(0); // the track's own mode wins over the argument
        EXPECT_EQ((surface->lamps() & kBitRead) != 0, c.read) << c.mode;
        EXPECT_EQ((surface->lamps() & kBitWrite) != 0, c.write) << c.mode;
    }
    clear();
    trackAt(2).automationMode = 2;
    surface->SetAutoMode(0);
    EXPECT_EQ(wire(), lampGroup({{0x4A, true}}) + lampGroup({{0x4B, true}}));
    clear();
    trackAt(2).automationMode = 7; // a mode this surface does not know changes nothing
    surface->SetAutoMode(0);
    EXPECT_TRUE(wire().empty());
    EXPECT_EQ(surface->lamps() & (kBitRead | kBitWrite), kBitRead | kBitWrite);

    // The track list change resets through the same path.
    trackAt(2).automationMode = 1;
    surface->SetTrackListChange();
    EXPECT_EQ(surface->lamps() & (kBitRead | kBitWrite), kBitRead);
}

TEST_F(FeedbackTest, AutomationModeWithoutATrackTakesTheArgument) {
    start("0 31 0 0 0 0 10", -1);
    surface->SetAutoMode(3);
    EXPECT_EQ(surface->lamps() & (kBitRead | kBitWrite), kBitWrite);
    surface->SetAutoMode(-1);
    EXPECT_EQ(surface->lamps() & (kBitRead | kBitWrite), kBitWrite);
    surface->SetTrackListChange();
    EXPECT_EQ(surface->lamps() & (kBitRead | kBitWrite), 0u);
}

TEST_F(FeedbackTest, TouchStateOnlyForTheCurrentTrackAndTheParameterTheFaderDrives) {
    for (bool flip : {false, true}) {
        setFlip(flip);
        for (bool touched : {false, true}) {
            setTouched(touched);
            for (int id : {2, 3, 0}) {
                for (int isPan : {0, 1}) {
                    const bool expected = id == 2 && (isPan != 0) == flip && touched;
                    EXPECT_EQ(surface->GetTouchState(handleAt(id), isPan), expected)
                        << "flip " << flip << " touched " << touched << " track " << id << " pan " << isPan;
                }
            }
        }
    }
}

TEST_F(FeedbackTest, ResetCachedVolPanMakesTheNextPositionGoOut) {
    const int position = volumePosition(1.0);
    ASSERT_EQ(surface->fader(), position);
    surface->ResetCachedVolPanStates();
    EXPECT_EQ(surface->fader(), 12800);
    EXPECT_TRUE(wire().empty());
    surface->SetSurfaceVolume(handleAt(2), 1.0);
    EXPECT_EQ(wire(), (Lines{bend(position)}));
}

TEST_F(FeedbackTest, HostTrackSelectionMovesTheSurfaceWithoutSelectingInTheHost) {
    surface->OnTrackSelection(handleAt(2));
    EXPECT_TRUE(actions().empty());
    trackAt(3).recMonitor = 1;
    surface->OnTrackSelection(handleAt(3));
    EXPECT_EQ(surface->currentTrackId(), 3);
    EXPECT_EQ(actions(), (Lines{"TrackList_UpdateAllExternalSurfaces()"}));
    EXPECT_FALSE(trackAt(3).selected);
    // The polls start over for the new track: monitoring shows at the very next Run.
    clear();
    run(1);
    EXPECT_EQ(wire(), lampGroup({{0x78, true}}));
    surface->OnTrackSelection(handleAt(0));
    EXPECT_EQ(surface->currentTrackId(), 0);
}

TEST_F(FeedbackTest, HostReadyGoesOutOnceMoreThan900msHavePassed) {
    run(900);
    EXPECT_TRUE(wire().empty());
    run(1);
    EXPECT_EQ(wire(), kHostReady);
    const auto& wired = sent();
    ASSERT_EQ(wired.size(), 1u);
    EXPECT_EQ(wired[0].frameOffset, -1);
    EXPECT_TRUE(actions().empty()) << "no full resend after less than 1.5 s";

    // A steady run every 10 ms: one message each 910 ms, never a resend.
    clear();
    for (int i = 0; i < 300; ++i)
        run(10);
    EXPECT_EQ(hostReadyCount(), 3u);
    EXPECT_TRUE(actions().empty());
}

TEST_F(FeedbackTest, GapOfMoreThan1500msResendsLampsAndFaderFromTheTrack) {
    trackAt(2).mute = true;
    trackAt(2).solo = true;
    surface->SetSurfaceMute(handleAt(2), true);
    surface->SetSurfaceSolo(handleAt(2), true);
    trackAt(2).volume = 0.5; // unreported: the resend reads it
    clear();
    run(1500);
    EXPECT_EQ(wire(), kHostReady) << "1500 ms is no gap yet";
    clear();
    run(1501);
    EXPECT_EQ(wire(),
              kHostReady + Lines{bend(volumePosition(0.5))} + lampGroup({{0x08, true}, {0x10, true}}));
    EXPECT_EQ(actions(), (Lines{"TrackList_UpdateAllExternalSurfaces()"}));
    EXPECT_EQ(surface->lamps(), kBitSolo | kBitMute);
}

// A reset is a reconnect: nothing held on a controller that went away goes on acting, both ports open again,
// and every lamp goes out, on and off, with the fader, whatever the controller showed before.
TEST_F(FeedbackTest, ExtendedResetForgetsHeldControlsReopensThePortsAndResendsEveryLamp) {
    trackAt(2).mute = true;
    surface->SetSurfaceMute(handleAt(2), true);
    trackAt(2).volume = 0.5;
    press(kNoteForward);
    setTouched(true);
    clear();
    EXPECT_EQ(surface->Extended(CSURF_EXT_RESET, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(actions(),
              (Lines{"midi_Output(0)->Destroy()", "midi_Input(0)->Destroy()", "CreateMIDIInput(0) -> device",
                     "CreateMIDIOutput(0, false, null) -> device", "midi_Input(0)->start()"}));
    EXPECT_FALSE(surface->GetTouchState(handleAt(2), 0));
    clear();
    run(1);
    Lines ons, offs;
    for (const ButtonInfo& b : kButtons)
        if (b.hasLamp) {
            ons.push_back("90 " + hex(b.note) + (b.note == kNoteMute ? " 7F" : " 00"));
            offs.push_back("80 " + hex(b.note) + " 00");
        }
    EXPECT_EQ(wire(), kHostReady + Lines{bend(volumePosition(0.5))} + ons + Lines{"pause 5"} + offs);
    EXPECT_EQ(actions(), (Lines{"TrackList_UpdateAllExternalSurfaces()"})) << "no CSurf_OnFwd";
    clear();
    run(1);
    EXPECT_TRUE(wire().empty()) << "once";
    EXPECT_TRUE(actions().empty());
}

TEST_F(FeedbackTest, ResendTakesPanWhenFlippedAndZeroWhenSilencedOrUnbound) {
    setFlip(true);
    trackAt(2).pan = 0.25;
    clear();
    run(1501);
    EXPECT_EQ(wire(), kHostReady + Lines{"E0 00 30"});

    pressPair(kNoteWrite, kNoteFx);
    ASSERT_TRUE(surface->faderSilenced());
    host.userToggleRepeat(); // the host's own state, so its report after the resend agrees
    clear();
    run(1501);
    EXPECT_EQ(wire(), kHostReady + lampGroup({{0x56, true}}));
    // The host's report that follows puts the position back on the track.
    EXPECT_EQ(surface->fader(), panToFader(0.25));
    setTouched(true); // now the report leaves the resend's own position in place
    run(1501);
    EXPECT_EQ(surface->fader(), 0);
    setTouched(false);

    host.userToggleRepeat();
    start("0 31 0 0 0 0 10", -1);
    run(1501);
    EXPECT_EQ(wire(), kHostReady + Lines{"E0 00 00"});
}

TEST_F(FeedbackTest, MonitorPollEvery100msAndHeldBackAfterTheButton) {
    trackAt(2).recMonitor = 1;
    run(100);
    EXPECT_TRUE(wire().empty());
    run(1);
    EXPECT_EQ(wire(), lampGroup({{0x78, true}}));

    // The button's own change (monitor 1 -> 2, still lit) restarts the wait, whatever the host says next.
    clear();
    run(50);
    press(kNoteMonitor);
    release(kNoteMonitor);
    run(40);
    ASSERT_EQ(trackAt(2).recMonitor, 2);
    trackAt(2).recMonitor = 0;
    run(61); // 161 ms after the last poll, but only 61 after the button
    EXPECT_TRUE(wire().empty());
    run(40); // 101 ms after the button
    EXPECT_EQ(wire(), lampGroup({{0x78, false}}));
}

TEST_F(FeedbackTest, PlayBlinksWhilePaused) {
    surface->SetPlayState(false, true, false);
    clear();
    run(500);
    EXPECT_TRUE(wire().empty());
    run(1);
    EXPECT_EQ(wire(), lampGroup({{0x5E, false}}));
    clear();
    run(500); // the host-ready message is due here too
    EXPECT_EQ(wire(), kHostReady);
    run(1);
    EXPECT_EQ(wire(), kHostReady + lampGroup({{0x5E, true}}));
    clear();
    run(501);
    EXPECT_EQ(wire(), lampGroup({{0x5E, false}}));
    // Playing again: lit and steady.
    surface->SetPlayState(true, false, false);
    clear();
    run(501);
    run(501);
    EXPECT_EQ(wire(), kHostReady);
    EXPECT_TRUE(surface->lamps() & kBitPlay);
}

TEST_F(FeedbackTest, FlipPairPutsTheFaderOnPanAndBack) {
    trackAt(2).pan = 0.25;
    press(kNoteMute);
    press(kNoteMonitor);
    run();
    EXPECT_TRUE(surface->flipped());
    EXPECT_EQ(wire(), (Lines{"E0 00 30"}));
    EXPECT_EQ(actions(), (Lines{"TrackList_UpdateAllExternalSurfaces()"}));
    clear();
    release(kNoteMute);
    release(kNoteMonitor);
    run();
    EXPECT_TRUE(actions().empty());
    EXPECT_TRUE(wire().empty());

    press(kNoteMonitor);
    press(kNoteMute);
    run();
    EXPECT_FALSE(surface->flipped());
    EXPECT_EQ(wire(), (Lines{bend(volumePosition(1.0))}));
}

TEST_F(FeedbackTest, FaderOffPairSilencesAndItsReleaseResends) {
    trackAt(2).pan = 0.25;
    press(kNoteWrite);
    press(kNoteFx);
    run();
    EXPECT_TRUE(surface->faderSilenced());
    release(kNoteWrite);
    release(kNoteFx);
    run();
    EXPECT_TRUE(actions().empty()) << "neither Write nor FX acts alone after the pair";
    EXPECT_TRUE(wire().empty());
    const int before = surface->fader();

    // Flipping while silenced asks the host for nothing.
    pressPair(kNoteMute, kNoteMonitor);
    EXPECT_TRUE(surface->flipped());
    EXPECT_TRUE(actions().empty());
    EXPECT_EQ(surface->fader(), before);

    press(kNoteFx);
    press(kNoteWrite);
    run();
    EXPECT_FALSE(surface->faderSilenced());
    EXPECT_EQ(actions(), (Lines{"TrackList_UpdateAllExternalSurfaces()"}));
    EXPECT_EQ(wire(), (Lines{"E0 00 30"}));
}

} // namespace
