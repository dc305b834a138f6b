// The simulated host's semantics that the surface tests build on.
#include "hostsim/model/builtin_commands.h"
#include "hostsim/model/host.h"
#include "hostsim/model/msvc_slot.h"
#include "hostsim/model/slider_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

using hostsim::Host;
using hostsim::Track;
using Lines = std::vector<std::string>;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Writes every host callback it receives as a line, with tracks named as the call log names them.
class RecordingSurface final : public IReaperControlSurface {
public:
    explicit RecordingSurface(Host& host) : m_host(host) {}
    ~RecordingSurface() = default;
    RecordingSurface(const RecordingSurface&) = delete;
    RecordingSurface& operator=(const RecordingSurface&) = delete;

    Lines calls;

    const char* GetTypeString() override { return "REC"; }
    const char* GetDescString() override { return "Recording surface"; }
    const char* GetConfigString() override { return ""; }
    void SetTrackListChange() override { calls.push_back("SetTrackListChange()"); }
    void SetSurfaceVolume(MediaTrack* t, double v) override {
        add("SetSurfaceVolume", t, hostsim::fmt::value(v));
    }
    void SetSurfacePan(MediaTrack* t, double p) override { add("SetSurfacePan", t, hostsim::fmt::value(p)); }
    void SetSurfaceMute(MediaTrack* t, bool on) override {
        add("SetSurfaceMute", t, hostsim::fmt::value(on));
    }
    void SetSurfaceSelected(MediaTrack* t, bool on) override {
        add("SetSurfaceSelected", t, hostsim::fmt::value(on));
    }
    void SetSurfaceSolo(MediaTrack* t, bool on) override {
        add("SetSurfaceSolo", t, hostsim::fmt::value(on));
    }
    void SetSurfaceRecArm(MediaTrack* t, bool on) override {
        add("SetSurfaceRecArm", t, hostsim::fmt::value(on));
    }
    void SetPlayState(bool play, bool pause, bool rec) override {
        calls.push_back(
            hostsim::fmt::call("SetPlayState", {hostsim::fmt::value(play), hostsim::fmt::value(pause),
                                                hostsim::fmt::value(rec)}));
    }
    void SetRepeatState(bool on) override {
        calls.push_back("SetRepeatState(" + hostsim::fmt::value(on) + ")");
    }
    void SetTrackTitle(MediaTrack* t, const char* title) override { add("SetTrackTitle", t, title); }
    void SetAutoMode(int mode) override { calls.push_back("SetAutoMode(" + std::to_string(mode) + ")"); }
    void OnTrackSelection(MediaTrack* t) override { calls.push_back("OnTrackSelection(" + name(t) + ")"); }
    HOSTSIM_MSVC_DELETING_DESTRUCTOR(RecordingSurface)

private:
    std::string name(MediaTrack* t) const {
        const int id = m_host.project().toId(m_host.project().find(t), false);
        return id == 0 ? "master" : "track " + std::to_string(id);
    }
    void add(const char* method, MediaTrack* t, const std::string& value) {
        calls.push_back(hostsim::fmt::call(method, {name(t), value}));
    }

    Host& m_host;
};

// master; 1 Drums (folder); 2 Kick; 3 Snare (hidden in the mixer); 4 Bass.
class Model : public ::testing::Test {
protected:
    Model() {
        drums.folderDepth = 1;
        snare.visibleInMixer = false;
        bass.folderDepth = -1;
    }

    MediaTrack* h(const Track& t) { return host.handle(t); }

    Host host;
    Track& drums = host.project().addTrack("Drums");
    Track& kick = host.project().addTrack("Kick");
    Track& snare = host.project().addTrack("Snare");
    Track& bass = host.project().addTrack("Bass");
};

// --- Track ids ------------------------------------------------------------------------------------------

TEST_F(Model, TrackFromIdCountsMasterFirstAndSkipsMixerHiddenTracksInTheMixerView) {
    struct Case {
        int id;
        bool mcp;
        const Track* expected;
    };
    const Case cases[] = {
        {0, false, &host.project().master()},
        {1, false, &drums},
        {3, false, &snare},
        {4, false, &bass},
        {5, false, nullptr},
        {-1, false, nullptr},
        {0, true, &host.project().master()},
        {2, true, &kick},
        {3, true, &bass},
        {4, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + (c.mcp ? " mcp" : " tcp"));
        EXPECT_EQ(host.CSurf_TrackFromID(c.id, c.mcp), c.expected ? h(*c.expected) : nullptr);
    }
}

TEST_F(Model, TrackToIdIsTheInverseAndMinusOneForWhatHasNoId) {
    struct Case {
        MediaTrack* track;
        int tcp;
        int mcp;
    };
    Track& gone = host.project().addTrack("Gone");
    MediaTrack* goneHandle = h(gone);
    ASSERT_TRUE(host.project().removeTrack(gone));
    int unrelated = 0;
    const Case cases[] = {
        {h(host.project().master()), 0, 0},
        {h(drums), 1, 1},
        {h(kick), 2, 2},
        {h(snare), 3, -1},
        {h(bass), 4, 3},
        {nullptr, -1, -1},
        {goneHandle, -1, -1},
        {reinterpret_cast<MediaTrack*>(&unrelated), -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(host.CSurf_TrackToID(c.track, false), c.tcp);
        EXPECT_EQ(host.CSurf_TrackToID(c.track, true), c.mcp);
    }
    EXPECT_EQ(host.CSurf_NumTracks(false), 4);
    EXPECT_EQ(host.CSurf_NumTracks(true), 3);
}

// --- Volume and pan -------------------------------------------------------------------------------------

TEST_F(Model, VolumeChangesClampToSilenceAndPlusTwelveDecibels) {
    struct Case {
        double start;
        double value;
        bool relative;
        double expected;
    };
    const Case cases[] = {
        {1.0, 0.5, false, 0.5},
        {1.0, -1.0, false, 0.0},
        {1.0, 10.0, false, hostsim::kMaxVolume},
        {0.7, kNaN, false, 0.7},
        {1.0, 6.0, true, std::pow(10.0, 6.0 / 20.0)},
        {0.5, -3.0, true, 0.5 * std::pow(10.0, -3.0 / 20.0)},
        {1.0, -150.0, true, 0.0},
        {1.0, -200.0, true, 0.0},
        {0.0, 3.0, true, std::pow(10.0, -147.0 / 20.0)},
        {3.0, 10.0, true, hostsim::kMaxVolume},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + (c.relative ? " + " : " = ") + std::to_string(c.value));
        kick.volume = c.start;
        EXPECT_NEAR(host.CSurf_OnVolumeChange(h(kick), c.value, c.relative), c.expected, 1e-12);
        EXPECT_NEAR(kick.volume, c.expected, 1e-12);
    }
}

TEST_F(Model, PanChangesClampToTheFullRange) {
    struct Case {
        double start;
        double value;
        bool relative;
        double expected;
    };
    const Case cases[] = {
        {0.0, 0.3, false, 0.3}, {0.0, 2.0, false, 1.0},    {0.0, -5.0, false, -1.0},
        {0.8, 0.5, true, 1.0},  {0.0, -0.25, true, -0.25}, {-0.9, -0.5, true, -1.0},
    };
    for (const Case& c : cases) {
        kick.pan = c.start;
        EXPECT_DOUBLE_EQ(host.CSurf_OnPanChange(h(kick), c.value, c.relative), c.expected);
        EXPECT_DOUBLE_EQ(kick.pan, c.expected);
    }
}

TEST_F(Model, VolumeAndPanChangesAreLoggedWithTheirResult) {
    host.CSurf_OnVolumeChange(h(kick), 0.5, false);
    host.CSurf_OnPanChange(h(bass), -0.1, true);
    EXPECT_EQ(host.CSurf_OnVolumeChange(nullptr, 0.5, false), 0.0);
    EXPECT_EQ(host.log().actions(), (Lines{"CSurf_OnVolumeChange(track 2, 0.500000, abs) -> 0.500000",
                                           "CSurf_OnPanChange(track 4, -0.100000, rel) -> -0.100000",
                                           "CSurf_OnVolumeChange(null, 0.500000, abs) -> 0.000000"}));
}

// --- Mute, solo, arm, selection -------------------------------------------------------------------------

TEST_F(Model, FlagChangesToggleOrSetAndAreReportedOnlyWhenTheyChange) {
    struct Kind {
        const char* callback;
        bool (Host::*change)(MediaTrack*, int);
        bool Track::*flag;
    };
    const Kind kinds[] = {
        {"SetSurfaceMute", &Host::CSurf_OnMuteChange, &Track::mute},
        {"SetSurfaceSolo", &Host::CSurf_OnSoloChange, &Track::solo},
        {"SetSurfaceRecArm", &Host::CSurf_OnRecArmChange, &Track::recArm},
        {"SetSurfaceSelected", &Host::CSurf_OnSelectedChange, &Track::selected},
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.callback);
        RecordingSurface surface(host);
        host.surfaces().add(&surface);
        const int requests[] = {-1, -1, 1, 1, 0, 0};
        const bool results[] = {true, false, true, true, false, false};
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ((host.*k.change)(h(kick), requests[i]), results[i]) << "request " << i;
            EXPECT_EQ(kick.*k.flag, results[i]);
        }
        const std::string on = std::string(k.callback) + "(track 2, true)";
        const std::string off = std::string(k.callback) + "(track 2, false)";
        EXPECT_EQ(surface.calls, (Lines{on, off, on, off}));
        EXPECT_FALSE((host.*k.change)(nullptr, 1));
        host.surfaces().remove(&surface);
    }
}

TEST_F(Model, SetTrackSelectedReportsChangesAndAutomationModeStaysInRange) {
    RecordingSurface surface(host);
    host.surfaces().add(&surface);
    host.SetTrackSelected(h(bass), true);
    host.SetTrackSelected(h(bass), true);
    host.SetTrackSelected(h(bass), false);
    EXPECT_EQ(surface.calls,
              (Lines{"SetSurfaceSelected(track 4, true)", "SetSurfaceSelected(track 4, false)"}));

    host.SetTrackAutomationMode(h(bass), hostsim::kAutoLatch);
    host.SetTrackAutomationMode(h(bass), 5);
    host.SetTrackAutomationMode(h(bass), -1);
    EXPECT_EQ(host.GetTrackAutomationMode(h(bass)), hostsim::kAutoLatch);
    EXPECT_EQ(host.GetTrackAutomationMode(nullptr), -1);
}

// --- GetTrackInfo ---------------------------------------------------------------------------------------

TEST_F(Model, GetTrackInfoTakesIndexesFromMinusOneOrHandlesAndEndsWithNull) {
    kick.selected = kick.mute = kick.solo = kick.recArm = true;
    bass.addFx("ReaEQ");
    bass.recMonitor = 2;
    snare.recMonitor = 1;
    host.project().addTrack("");
    struct Case {
        std::intptr_t track;
        const char* name;
        int flags;
    };
    const Case cases[] = {
        {-1, "MASTER", 0},
        {0, "Drums", 1},
        {1, "Kick", 2 | 8 | 16 | 64},
        {2, "Snare", 128 | 1024},
        {3, "Bass", 4 | 256},
        {4, "", 0},
        {5, nullptr, 0},
        {-2, nullptr, 0},
        {reinterpret_cast<std::intptr_t>(h(kick)), "Kick", 2 | 8 | 16 | 64},
        {reinterpret_cast<std::intptr_t>(h(host.project().master())), "MASTER", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.track);
        int flags = -7;
        const char* name = host.GetTrackInfo(c.track, &flags);
        if (c.name)
            EXPECT_STREQ(name, c.name);
        else
            EXPECT_EQ(name, nullptr);
        EXPECT_EQ(flags, c.flags);
    }
    EXPECT_STREQ(host.GetTrackInfo(0, nullptr), "Drums");
    bass.fxEnabled = false;
    int flags = 0;
    host.GetTrackInfo(3, &flags);
    EXPECT_EQ(flags, 256) << "a bypassed chain clears the FX flag";
}

// --- Track and send values ------------------------------------------------------------------------------

TEST_F(Model, TrackInfoReadsReturnTheLiveValueAndWritesSetIt) {
    auto* volume = static_cast<double*>(host.GetSetMediaTrackInfo(h(kick), "D_VOL", nullptr));
    ASSERT_NE(volume, nullptr);
    host.CSurf_OnVolumeChange(h(kick), 0.25, false);
    EXPECT_EQ(*volume, 0.25);

    int recmon = 2, compact = 1, depth = -2;
    double vol = 0.125, pan = -0.5;
    host.GetSetMediaTrackInfo(h(drums), "I_RECMON", &recmon);
    host.GetSetMediaTrackInfo(h(drums), "I_FOLDERCOMPACT", &compact);
    host.GetSetMediaTrackInfo(h(drums), "I_FOLDERDEPTH", &depth);
    host.GetSetMediaTrackInfo(h(drums), "D_VOL", &vol);
    host.GetSetMediaTrackInfo(h(drums), "D_PAN", &pan);
    EXPECT_EQ(drums.recMonitor, 2);
    EXPECT_EQ(drums.folderCompact, 1);
    EXPECT_EQ(drums.folderDepth, -2);
    EXPECT_EQ(drums.volume, 0.125);
    EXPECT_EQ(drums.pan, -0.5);
    EXPECT_EQ(*static_cast<int*>(host.GetSetMediaTrackInfo(h(drums), "I_RECMON", nullptr)), 2);

    EXPECT_EQ(host.GetSetMediaTrackInfo(h(drums), "B_NOSUCH", nullptr), nullptr);
    EXPECT_EQ(host.GetSetMediaTrackInfo(h(drums), "B_NOSUCH", &recmon), nullptr);
    EXPECT_EQ(host.GetSetMediaTrackInfo(h(drums), nullptr, nullptr), nullptr);
    EXPECT_EQ(host.GetSetMediaTrackInfo(nullptr, "D_VOL", nullptr), nullptr);

    // Reads are queries; writes are actions.
    EXPECT_EQ(host.log().actions(), (Lines{"CSurf_OnVolumeChange(track 2, 0.250000, abs) -> 0.250000",
                                           "GetSetMediaTrackInfo(track 1, \"I_RECMON\", 2)",
                                           "GetSetMediaTrackInfo(track 1, \"I_FOLDERCOMPACT\", 1)",
                                           "GetSetMediaTrackInfo(track 1, \"I_FOLDERDEPTH\", -2)",
                                           "GetSetMediaTrackInfo(track 1, \"D_VOL\", 0.125000)",
                                           "GetSetMediaTrackInfo(track 1, \"D_PAN\", -0.500000)",
                                           "GetSetMediaTrackInfo(track 1, \"B_NOSUCH\", ?) -> null"}));
}

TEST_F(Model, SendInfoReachesExistingSendsAndIsNullForAnyOther) {
    kick.addSend(bass, 0.5, true);
    kick.addSend(host.project().master());
    EXPECT_EQ(host.GetSetTrackSendInfo(h(kick), 0, 0, "P_DESTTRACK", nullptr), h(bass));
    EXPECT_EQ(host.GetSetTrackSendInfo(h(kick), 0, 1, "P_DESTTRACK", nullptr), h(host.project().master()));
    EXPECT_EQ(*static_cast<bool*>(host.GetSetTrackSendInfo(h(kick), 0, 0, "B_MUTE", nullptr)), true);
    EXPECT_EQ(*static_cast<double*>(host.GetSetTrackSendInfo(h(kick), 0, 0, "D_VOL", nullptr)), 0.5);

    bool unmute = false;
    double volume = 0.75;
    host.GetSetTrackSendInfo(h(kick), 0, 0, "B_MUTE", &unmute);
    host.GetSetTrackSendInfo(h(kick), 0, 1, "D_VOL", &volume);
    EXPECT_FALSE(kick.sends[0].mute);
    EXPECT_EQ(kick.sends[1].volume, 0.75);
    // The destination cannot be changed.
    EXPECT_EQ(host.GetSetTrackSendInfo(h(kick), 0, 0, "P_DESTTRACK", h(drums)), h(bass));
    EXPECT_EQ(kick.sends[0].destination, &bass);

    for (const char* name : {"P_DESTTRACK", "B_MUTE", "D_VOL"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(host.GetSetTrackSendInfo(h(kick), 0, 2, name, nullptr), nullptr);
        EXPECT_EQ(host.GetSetTrackSendInfo(h(kick), 0, -1, name, nullptr), nullptr);
        EXPECT_EQ(host.GetSetTrackSendInfo(h(kick), -1, 0, name, nullptr), nullptr) << "receives";
        EXPECT_EQ(host.GetSetTrackSendInfo(h(kick), 1, 0, name, nullptr), nullptr) << "hardware outputs";
        EXPECT_EQ(host.GetSetTrackSendInfo(h(snare), 0, 0, name, nullptr), nullptr);
        EXPECT_EQ(host.GetSetTrackSendInfo(nullptr, 0, 0, name, nullptr), nullptr);
    }
    EXPECT_EQ(host.GetSetTrackSendInfo(h(kick), 0, 0, "I_NOSUCH", nullptr), nullptr);

    // Removing the destination removes the send.
    host.project().removeTrack(bass);
    EXPECT_EQ(host.GetSetTrackSendInfo(h(kick), 0, 0, "P_DESTTRACK", nullptr), h(host.project().master()));
}

// --- Effects --------------------------------------------------------------------------------------------

TEST_F(Model, FxParametersReportTheirRangeAndSetsClampIntoIt) {
    bass.addFx("ReaComp");
    bass.addFx("ReaEQ", {{"Gain", 0.0, -24.0, 24.0}, {"Freq", 0.5, 0.0, 1.0}});
    EXPECT_EQ(host.TrackFX_GetCount(h(bass)), 2);
    EXPECT_EQ(host.TrackFX_GetCount(h(kick)), 0);
    EXPECT_EQ(host.TrackFX_GetNumParams(h(bass), 1), 2);
    EXPECT_EQ(host.TrackFX_GetNumParams(h(bass), 2), 0);

    double min = 9, max = 9;
    EXPECT_EQ(host.TrackFX_GetParam(h(bass), 1, 1, &min, &max), 0.5);
    EXPECT_EQ(min, 0.0);
    EXPECT_EQ(max, 1.0);
    EXPECT_EQ(host.TrackFX_GetParam(h(bass), 1, 0, nullptr, nullptr), 0.0);

    struct Case {
        double request;
        double stored;
    };
    for (const Case& c : {Case{12.5, 12.5}, Case{30.0, 24.0}, Case{-99.0, -24.0}}) {
        EXPECT_TRUE(host.TrackFX_SetParam(h(bass), 1, 0, c.request));
        EXPECT_EQ(host.TrackFX_GetParam(h(bass), 1, 0, &min, &max), c.stored);
    }
    EXPECT_FALSE(host.TrackFX_SetParam(h(bass), 1, 0, kNaN));
    EXPECT_EQ(bass.fx[1].params[0].value, -24.0);

    const std::pair<int, int> badIndexes[] = {{0, 0}, {1, 2}, {1, -1}, {2, 0}, {-1, 0}};
    for (auto [fx, param] : badIndexes) {
        SCOPED_TRACE(std::to_string(fx) + "/" + std::to_string(param));
        min = max = 9;
        EXPECT_EQ(host.TrackFX_GetParam(h(bass), fx, param, &min, &max), 0.0);
        EXPECT_EQ(min, 0.0);
        EXPECT_EQ(max, 0.0);
        EXPECT_FALSE(host.TrackFX_SetParam(h(bass), fx, param, 0.5));
    }
    EXPECT_EQ(host.log().actions(), (Lines{"TrackFX_SetParam(track 4, 1, 0, 12.500000) -> true",
                                           "TrackFX_SetParam(track 4, 1, 0, 30.000000) -> true",
                                           "TrackFX_SetParam(track 4, 1, 0, -99.000000) -> true",
                                           "TrackFX_SetParam(track 4, 1, 0, nan) -> false",
                                           "TrackFX_SetParam(track 4, 0, 0, 0.500000) -> false",
                                           "TrackFX_SetParam(track 4, 1, 2, 0.500000) -> false",
                                           "TrackFX_SetParam(track 4, 1, -1, 0.500000) -> false",
                                           "TrackFX_SetParam(track 4, 2, 0, 0.500000) -> false",
                                           "TrackFX_SetParam(track 4, -1, 0, 0.500000) -> false"}));
}

// Every function that writes a name into the caller's buffer, reading "ReaEQ" (index 0) and failing for 9.
TEST_F(Model, NameBuffersAreNeverOverrunAndAlwaysTerminated) {
    bass.addFx("ReaEQ", {{"ReaEQ"}});
    host.midi().addInput("ReaEQ");
    host.midi().addOutput("ReaEQ");
    using Writer = bool (*)(Host&, MediaTrack*, int index, char*, int);
    const std::pair<const char*, Writer> writers[] = {
        {"TrackFX_GetFXName",
         [](Host& m, MediaTrack* t, int i, char* b, int n) {
             return m.TrackFX_GetFXName(t, i, b, n);
         }},
        {"TrackFX_GetParamName",
         [](Host& m, MediaTrack* t, int i, char* b, int n) {
             return m.TrackFX_GetParamName(t, 0, i, b, n);
         }},
        {"GetMIDIInputName",
         [](Host& m, MediaTrack*, int i, char* b, int n) {
             return m.GetMIDIInputName(i, b, n);
         }},
        {"GetMIDIOutputName",
         [](Host& m, MediaTrack*, int i, char* b, int n) {
             return m.GetMIDIOutputName(i, b, n);
         }},
    };
    struct Case {
        int index;
        int size;
        bool result;
        std::string written; // then '#' up to the end of the 8-byte buffer
    };
    const Case cases[] = {
        {0, 0, true, ""},
        {0, 1, true, std::string(1, '\0')},
        {0, 4, true, std::string("Rea\0", 4)},
        {0, 6, true, std::string("ReaEQ\0", 6)},
        {0, 8, true, std::string("ReaEQ\0", 6)},
        {9, 0, false, ""},
        {9, 8, false, std::string(1, '\0')},
        {-1, 8, false, std::string(1, '\0')},
    };
    for (const auto& [name, write] : writers) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(name) + " index " + std::to_string(c.index) + " size " +
                         std::to_string(c.size));
            std::string buffer(8, '#');
            EXPECT_EQ(write(host, h(bass), c.index, buffer.data(), c.size), c.result);
            EXPECT_EQ(buffer.substr(0, c.written.size()), c.written);
            EXPECT_EQ(buffer.substr(c.written.size()), std::string(8 - c.written.size(), '#'));
        }
        EXPECT_TRUE(write(host, h(bass), 0, nullptr, 8)) << "a null buffer is not written";
    }
}

// --- Fader scale ----------------------------------------------------------------------------------------

TEST(SliderCurve, SliderAndDecibelsAreInversesOverTheWholeRange) {
    for (double db = -150.0; db <= 12.0; db += 0.125)
        ASSERT_NEAR(hostsim::sliderToDb(hostsim::dbToSlider(db)), db, 1e-9) << db;
    const double floorSlider = hostsim::dbToSlider(-150.0);
    for (double s = floorSlider; s <= 1000.0; s += 0.5)
        ASSERT_NEAR(hostsim::dbToSlider(hostsim::sliderToDb(s)), s, 1e-9) << s;
}

TEST(SliderCurve, BothDirectionsAreMonotonic) {
    double previous = -1.0;
    for (double db = -150.0; db <= 12.0; db += 0.01) {
        const double s = hostsim::dbToSlider(db);
        ASSERT_GT(s, previous) << db;
        previous = s;
    }
    previous = -1000.0;
    for (double s = 0.0; s <= 1000.0; s += 0.25) {
        const double db = hostsim::sliderToDb(s);
        ASSERT_GE(db, previous) << s;
        if (s > hostsim::dbToSlider(-150.0)) {
            ASSERT_GT(db, previous) << s;
        }
        previous = db;
    }
}

TEST(SliderCurve, EndsAndOutOfRangeInputs) {
    struct Case {
        double in;
        double out;
    };
    for (const Case& c :
         {Case{12.0, 1000.0}, Case{24.0, 1000.0}, Case{0.0, 707.9457843841379},
          Case{-1000.0, hostsim::dbToSlider(-150.0)}, Case{kNaN, hostsim::dbToSlider(-150.0)}})
        EXPECT_NEAR(hostsim::dbToSlider(c.in), c.out, 1e-9) << c.in;
    for (const Case& c : {Case{1000.0, 12.0}, Case{2000.0, 12.0}, Case{0.0, -150.0}, Case{-5.0, -150.0},
                          Case{1.0, -150.0}, Case{kNaN, -150.0}})
        EXPECT_NEAR(hostsim::sliderToDb(c.in), c.out, 1e-9) << c.in;
}

// --- Feedback to surfaces -------------------------------------------------------------------------------

class Feedback : public Model {
protected:
    Feedback() {
        host.surfaces().add(&a);
        host.surfaces().add(&b);
    }
    RecordingSurface a{host};
    RecordingSurface b{host};
};

TEST_F(Feedback, SetSurfaceCallsReachEverySurfaceButTheIgnoredOne) {
    struct Call {
        const char* expected;
        void (*make)(Host&, MediaTrack*, IReaperControlSurface*);
    };
    const Call calls[] = {
        {"SetSurfaceVolume(track 2, 0.500000)",
         [](Host& m, MediaTrack* t, IReaperControlSurface* i) {
             m.CSurf_SetSurfaceVolume(t, 0.5, i);
         }},
        {"SetSurfacePan(track 2, -0.250000)",
         [](Host& m, MediaTrack* t, IReaperControlSurface* i) {
             m.CSurf_SetSurfacePan(t, -0.25, i);
         }},
        {"SetSurfaceSelected(track 2, true)",
         [](Host& m, MediaTrack* t, IReaperControlSurface* i) {
             m.CSurf_SetSurfaceSelected(t, true, i);
         }},
        {"SetAutoMode(-1)",
         [](Host& m, MediaTrack*, IReaperControlSurface* i) {
             m.CSurf_SetAutoMode(-1, i);
         }},
    };
    for (const Call& c : calls) {
        SCOPED_TRACE(c.expected);
        for (IReaperControlSurface* ignore :
             {static_cast<IReaperControlSurface*>(nullptr), static_cast<IReaperControlSurface*>(&a),
              static_cast<IReaperControlSurface*>(&b)}) {
            a.calls.clear();
            b.calls.clear();
            c.make(host, h(kick), ignore);
            EXPECT_EQ(a.calls, ignore == &a ? Lines{} : Lines{c.expected});
            EXPECT_EQ(b.calls, ignore == &b ? Lines{} : Lines{c.expected});
        }
    }
    EXPECT_EQ(host.log().actions()[0], "CSurf_SetSurfaceVolume(track 2, 0.500000, null)");
    EXPECT_EQ(host.log().actions()[1], "CSurf_SetSurfaceVolume(track 2, 0.500000, surface 0)");
    EXPECT_EQ(kick.volume, 1.0) << "passing a value on does not change the track";
    a.calls.clear();
    host.CSurf_SetSurfaceVolume(nullptr, 0.5, nullptr);
    EXPECT_EQ(a.calls, Lines{}) << "no callback for a track the host does not know";
}

TEST_F(Feedback, TransportAndRepeatChangesAreReportedOnce) {
    host.CSurf_OnPlay();
    host.CSurf_OnPlay();
    host.Main_OnCommand(hostsim::command::kPause, 0);
    host.CSurf_OnPlay();
    host.CSurf_OnRecord();
    host.CSurf_OnStop();
    host.CSurf_OnStop();
    host.Main_OnCommand(hostsim::command::kToggleRepeat, 0);
    const Lines expected = {"SetPlayState(true, false, false)",  "SetPlayState(false, true, false)",
                            "SetPlayState(true, false, false)",  "SetPlayState(true, false, true)",
                            "SetPlayState(false, false, false)", "SetRepeatState(true)"};
    EXPECT_EQ(a.calls, expected);
    EXPECT_EQ(b.calls, expected);
    EXPECT_TRUE(host.project().transport().repeat());
}

TEST_F(Feedback, TrackListUpdateResendsEveryTrackThenTransportAndAutomation) {
    host.project().removeTrack(drums);
    host.project().removeTrack(snare);
    host.project().removeTrack(bass);
    kick.volume = 0.5;
    kick.pan = 0.25;
    kick.mute = kick.selected = true;
    kick.automationMode = hostsim::kAutoWrite;
    host.project().transport().setRepeat(true);
    host.surfaces().remove(&b);

    host.TrackList_UpdateAllExternalSurfaces();
    EXPECT_EQ(a.calls, (Lines{"SetTrackListChange()", "SetTrackTitle(master, MASTER)",
                              "SetSurfaceVolume(master, 1.000000)", "SetSurfacePan(master, 0.000000)",
                              "SetSurfaceMute(master, false)", "SetSurfaceSolo(master, false)",
                              "SetSurfaceRecArm(master, false)", "SetSurfaceSelected(master, false)",
                              "SetTrackTitle(track 1, Kick)", "SetSurfaceVolume(track 1, 0.500000)",
                              "SetSurfacePan(track 1, 0.250000)", "SetSurfaceMute(track 1, true)",
                              "SetSurfaceSolo(track 1, false)", "SetSurfaceRecArm(track 1, false)",
                              "SetSurfaceSelected(track 1, true)", "SetPlayState(false, false, false)",
                              "SetRepeatState(true)", "SetAutoMode(3)"}));
    EXPECT_EQ(host.log().actions(), Lines{"TrackList_UpdateAllExternalSurfaces()"});
}

TEST_F(Feedback, UserSelectionSelectsExclusivelyAndSendsOnTrackSelection) {
    drums.selected = true;
    host.userSelect(bass);
    const Lines expected = {"SetSurfaceSelected(track 1, false)", "SetSurfaceSelected(track 4, true)",
                            "OnTrackSelection(track 4)"};
    EXPECT_EQ(a.calls, expected);
    EXPECT_EQ(b.calls, expected);
    EXPECT_EQ(host.GetLastTouchedTrack(), h(bass));
}

TEST_F(Feedback, ASurfaceRemovedDuringABroadcastIsNotCalledAfterwards) {
    // The first surface removes b from inside its own callback; b must then miss this broadcast.
    host.surfaces().remove(&a);
    host.surfaces().remove(&b);
    class Removing final : public IReaperControlSurface {
    public:
        Removing(Host& m, IReaperControlSurface& victim) : m_host(m), m_victim(victim) {}
        const char* GetTypeString() override { return ""; }
        const char* GetDescString() override { return ""; }
        const char* GetConfigString() override { return ""; }
        void SetRepeatState(bool) override { m_host.surfaces().remove(&m_victim); }
        HOSTSIM_MSVC_DELETING_DESTRUCTOR(Removing)

    private:
        Host& m_host;
        IReaperControlSurface& m_victim;
    } remover(host, b);
    host.surfaces().add(&remover);
    host.surfaces().add(&b);
    host.userToggleRepeat();
    EXPECT_EQ(b.calls, Lines{});
}

// --- Transport and edit cursor --------------------------------------------------------------------------

TEST_F(Model, CursorMovesByFixedStepsMarkersAndLimits) {
    hostsim::Transport& t = host.project().transport();
    t.setLength(60.0);
    t.setMarkers({30.0, 5.0, 12.0});
    struct Step {
        void (*act)(Host&);
        double cursor;
    };
    const Step steps[] = {
        {[](Host& m) { m.SetEditCurPos(10.0, true, true); }, 10.0},
        {[](Host& m) { m.CSurf_OnFwd(0); }, 10.1},
        {[](Host& m) { m.CSurf_OnRew(0); }, 10.0},
        {[](Host& m) { m.CSurf_ScrubAmt(-4.0); }, 9.8},
        {[](Host& m) { m.Main_OnCommand(hostsim::command::kNextMarker, 0); }, 12.0},
        {[](Host& m) { m.Main_OnCommand(hostsim::command::kNextMarker, 0); }, 30.0},
        {[](Host& m) { m.Main_OnCommand(hostsim::command::kNextMarker, 0); }, 60.0},
        {[](Host& m) { m.Main_OnCommand(hostsim::command::kPreviousMarker, 0); }, 30.0},
        {[](Host& m) { m.SetEditCurPos(5.0, true, true); }, 5.0},
        {[](Host& m) { m.Main_OnCommand(hostsim::command::kPreviousMarker, 0); }, 0.0},
        {[](Host& m) { m.CSurf_OnRew(1); }, 0.0},
        {[](Host& m) { m.CSurf_GoEnd(); }, 60.0},
        {[](Host& m) { m.CSurf_GoStart(); }, 0.0},
        {[](Host& m) { m.SetEditCurPos(-3.0, false, false); }, 0.0},
    };
    int i = 0;
    for (const Step& s : steps) {
        s.act(host);
        EXPECT_NEAR(host.GetCursorPosition(), s.cursor, 1e-12) << "step " << i++;
    }
}

TEST_F(Model, PlayPositionFollowsTheCursorOnlyWhenSeeking) {
    host.SetEditCurPos(4.0, true, false);
    EXPECT_EQ(host.GetPlayPosition(), 4.0) << "stopped: the edit cursor";
    host.CSurf_OnPlay();
    host.SetEditCurPos(8.0, true, false);
    EXPECT_EQ(host.GetPlayPosition(), 4.0);
    host.CSurf_OnFwd(1);
    EXPECT_NEAR(host.GetPlayPosition(), 8.1, 1e-12);
    host.CSurf_OnStop();
    EXPECT_NEAR(host.GetPlayPosition(), 8.1, 1e-12);
    EXPECT_EQ(host.log().actions(),
              (Lines{"SetEditCurPos(4.000000, true, false)", "CSurf_OnPlay()",
                     "SetEditCurPos(8.000000, true, false)", "CSurf_OnFwd(1)", "CSurf_OnStop()"}));
}

// --- Actions --------------------------------------------------------------------------------------------

TEST_F(Model, NamedCommandsAreLookedUpByExactName) {
    host.commands().defineName("_SWS_ABOUT", 53000);
    host.commands().defineName("_XYZ", 53001);
    struct Case {
        const char* name;
        int command;
    };
    for (const Case& c : {Case{"_SWS_ABOUT", 53000}, Case{"_XYZ", 53001}, Case{"_sws_about", 0},
                          Case{"SWS_ABOUT", 0}, Case{"40364", 0}, Case{"", 0}, Case{nullptr, 0}})
        EXPECT_EQ(host.NamedCommandLookup(c.name), c.command) << (c.name ? c.name : "null");
}

// "Control surface: Refresh all surfaces" (41743): every surface the host made goes, then each comes back
// from its type and the configuration string it gave last.
Lines g_made;
int g_gone = 0;
class ConfiguredSurface final : public IReaperControlSurface {
public:
    explicit ConfiguredSurface(const char* config) : m_config(config) { g_made.push_back(m_config); }
    ~ConfiguredSurface() { ++g_gone; }
    const char* GetTypeString() override { return "CFG"; }
    const char* GetDescString() override { return "configured"; }
    const char* GetConfigString() override { return m_config.c_str(); }
    HOSTSIM_MSVC_DELETING_DESTRUCTOR(ConfiguredSurface)

private:
    std::string m_config;
};

TEST_F(Model, RefreshAllSurfacesMakesEachAgainFromItsConfigurationString) {
    reaper_csurf_reg_t type{"CFG", "Configured",
                            [](const char*, const char* config, int*) -> IReaperControlSurface* {
                                return new ConfiguredSurface(config);
                            },
                            nullptr};
    EXPECT_EQ(host.registerThrough("csurf", &type), 1);
    host.createSurface("CFG", "a 1");
    host.createSurface("CFG", "b 2");
    EXPECT_EQ(host.createSurface("NONE", "c"), nullptr);
    g_made.clear();
    host.Main_OnCommand(41743, 0);
    EXPECT_EQ(g_gone, 2);
    EXPECT_EQ(g_made, (Lines{"a 1", "b 2"}));
    EXPECT_EQ(host.surfaces().size(), 2);
    host.destroyAllSurfaces();
    EXPECT_EQ(g_gone, 4);
}

TEST_F(Model, CommandsRunTheirHandlersWithHowTheyWereCalled) {
    std::vector<hostsim::CommandCall> seen;
    host.commands().define(40364, [&](const hostsim::CommandCall& c) { seen.push_back(c); });
    host.Main_OnCommand(40364, 0);
    EXPECT_EQ(host.KBD_OnMainActionEx(40364, -32, -1, 1, nullptr, nullptr), 1);
    EXPECT_EQ(host.KBD_OnMainActionEx(777, 8, -1, 1, nullptr, nullptr), 0);
    host.Main_OnCommand(777, 0);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(seen[0].fromKeyboard);
    EXPECT_TRUE(seen[1].fromKeyboard);
    EXPECT_EQ(seen[1].value, -32);
    EXPECT_EQ(seen[1].valueHw, -1);
    EXPECT_EQ(seen[1].relMode, 1);
    EXPECT_EQ(host.log().actions(),
              (Lines{"Main_OnCommand(40364, 0)", "KBD_OnMainActionEx(40364, -32, -1, 1, null, null) -> 1",
                     "KBD_OnMainActionEx(777, 8, -1, 1, null, null) -> 0", "Main_OnCommand(777, 0)"}));
}

TEST_F(Model, CallsMadeInsideACallAreLoggedAfterIt) {
    host.commands().define(1, [this](const hostsim::CommandCall&) {
        host.CSurf_OnPlay();
        host.CSurf_NumTracks(false);
    });
    host.log().recordQueries(true);
    host.KBD_OnMainActionEx(1, 0, -1, 1, nullptr, nullptr);
    host.GetExePath();
    EXPECT_EQ(host.log().lines(),
              (Lines{"KBD_OnMainActionEx(1, 0, -1, 1, null, null) -> 1", "CSurf_OnPlay()",
                     "CSurf_NumTracks(false) -> 4", "GetExePath() -> \"C:\\Program Files\\REAPER (x64)\""}));
    EXPECT_EQ(host.log().actions(),
              (Lines{"KBD_OnMainActionEx(1, 0, -1, 1, null, null) -> 1", "CSurf_OnPlay()"}));
    host.log().clear();
    host.log().recordQueries(false);
    host.CSurf_NumTracks(false);
    EXPECT_EQ(host.log().lines(), Lines{});
}

TEST_F(Model, GoToNextAndPreviousTrackWalkFromTheMasterAndStopAtTheEnds) {
    RecordingSurface surface(host);
    host.surfaces().add(&surface);
    const int steps[] = {hostsim::command::kNextTrack, hostsim::command::kNextTrack,
                         hostsim::command::kPreviousTrack, hostsim::command::kPreviousTrack,
                         hostsim::command::kPreviousTrack};
    const Track* touched[] = {&host.project().master(), &drums, &host.project().master(),
                              &host.project().master(), &host.project().master()};
    for (int i = 0; i < 5; ++i) {
        host.Main_OnCommand(steps[i], 0);
        EXPECT_EQ(host.project().lastTouched(), touched[i]) << "step " << i;
    }
    EXPECT_EQ(surface.calls, (Lines{"SetSurfaceSelected(master, true)", "SetSurfaceSelected(master, false)",
                                    "SetSurfaceSelected(track 1, true)", "SetSurfaceSelected(master, true)",
                                    "SetSurfaceSelected(track 1, false)"}))
        << "selection moves along, and no OnTrackSelection";
    host.userSelect(bass);
    host.Main_OnCommand(hostsim::command::kNextTrack, 0);
    EXPECT_EQ(host.project().lastTouched(), &bass);
    EXPECT_TRUE(bass.selected);
}

// --- MIDI devices ---------------------------------------------------------------------------------------

class Midi : public ::testing::Test {
protected:
    Midi() {
        host.midi().addInput("CC121 In");
        host.midi().addInput("Busy In", true);
        host.midi().addOutput("CC121 Out");
    }
    Host host;
};

std::vector<unsigned char> bytesOf(const MIDI_event_t& e) {
    const unsigned char* b = hostsim::eventBytes(e);
    return std::vector<unsigned char>(b, b + e.size);
}

TEST_F(Midi, DevicesOpenOnlyForExistingPortsThatCanOpen) {
    EXPECT_EQ(host.GetNumMIDIInputs(), 2);
    EXPECT_EQ(host.GetNumMIDIOutputs(), 1);
    EXPECT_EQ(host.CreateMIDIInput(1), nullptr);
    EXPECT_EQ(host.CreateMIDIInput(2), nullptr);
    EXPECT_EQ(host.CreateMIDIInput(-1), nullptr);
    EXPECT_EQ(host.CreateMIDIOutput(1, false, nullptr), nullptr);
    EXPECT_EQ(host.midi().liveDevices(), 0);
    EXPECT_EQ(host.log().actions(),
              (Lines{"CreateMIDIInput(1) -> null", "CreateMIDIInput(2) -> null",
                     "CreateMIDIInput(-1) -> null", "CreateMIDIOutput(1, false, null) -> null"}));
}

TEST_F(Midi, InputDeliversWhatWasInjectedSinceTheLastSwapIncludingSystemExclusive) {
    midi_Input* in = host.CreateMIDIInput(0);
    ASSERT_NE(in, nullptr);
    hostsim::FakeMidiInput* fake = host.midi().fake()->input(0);
    ASSERT_NE(fake, nullptr);
    EXPECT_FALSE(fake->inject({0x90, 0x5E, 0x7F})) << "a port not started drops what it receives";
    in->start();

    const std::vector<unsigned char> sysex = {0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7};
    EXPECT_TRUE(fake->inject({0x90, 0x5E, 0x7F}));
    EXPECT_TRUE(fake->inject(sysex, 3));
    EXPECT_TRUE(fake->inject({0xE0, 0x00, 0x64}));
    in->SwapBufs(1234);
    EXPECT_TRUE(fake->inject({0x80, 0x5E, 0x00})) << "arrives after the swap";

    MIDI_eventlist* list = in->GetReadBuf();
    ASSERT_NE(list, nullptr);
    int pos = 0;
    const std::vector<std::vector<unsigned char>> expected = {{0x90, 0x5E, 0x7F}, sysex, {0xE0, 0x00, 0x64}};
    for (const auto& bytes : expected) {
        MIDI_event_t* e = list->EnumItems(&pos);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(bytesOf(*e), bytes);
    }
    EXPECT_EQ(list->EnumItems(&pos), nullptr);
    EXPECT_EQ(list->EnumItems(&pos), nullptr);
    pos = 1;
    EXPECT_EQ(list->EnumItems(&pos)->frame_offset, 3);

    in->SwapBufs(1300);
    pos = 0;
    MIDI_event_t* late = in->GetReadBuf()->EnumItems(&pos);
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(bytesOf(*late), (std::vector<unsigned char>{0x80, 0x5E, 0x00}));
    EXPECT_EQ(in->GetReadBuf()->EnumItems(&pos), nullptr);
    in->SwapBufs(1400);
    pos = 0;
    EXPECT_EQ(in->GetReadBuf()->EnumItems(&pos), nullptr) << "nothing new, nothing read";
    EXPECT_EQ(fake->swapCount(), 3);
    EXPECT_EQ(fake->lastSwapTime(), 1400u);
    in->Destroy();
}

// Unplugged: the host stops listing the device and cannot open it, and what was opened before stays dead
// even once the device is back; only a new object works.
TEST_F(Midi, ADeviceThatWentAwayIsNotListedCannotOpenAndItsOldObjectsStayDead) {
    midi_Input* in = host.CreateMIDIInput(0);
    midi_Output* out = host.CreateMIDIOutput(0, false, nullptr);
    in->start();
    ASSERT_TRUE(host.midi().setAwayByName("CC121 In", true) && host.midi().setAwayByName("CC121 Out", true));
    char name[32];
    EXPECT_FALSE(host.GetMIDIInputName(0, name, sizeof name));
    EXPECT_FALSE(host.GetMIDIOutputName(0, name, sizeof name));
    EXPECT_EQ(host.CreateMIDIInput(0), nullptr);
    host.midi().setAwayByName("CC121 In", false);
    host.midi().setAwayByName("CC121 Out", false);
    EXPECT_TRUE(host.GetMIDIInputName(0, name, sizeof name));
    host.midi().fake()->input(0)->inject({0x90, 0x5E, 0x7F});
    in->SwapBufs(1);
    EXPECT_EQ(in->GetReadBuf()->GetSize(), 0);
    out->Send(0x90, 0x5E, 0x7F, -1);
    EXPECT_TRUE(host.midi().fake()->sent(0).empty());
    midi_Output* fresh = host.CreateMIDIOutput(0, false, nullptr);
    fresh->Send(0x90, 0x5E, 0x7F, -1);
    EXPECT_EQ(host.midi().fake()->sent(0).size(), 1u);
    for (midi_Output* o : {out, fresh})
        o->Destroy();
    in->Destroy();
    EXPECT_EQ(host.midi().liveDevices(), 0);
}

TEST_F(Midi, EventListAddItemCopiesSystemExclusiveBytesPastTheHeader) {
    hostsim::MidiEventList list;
    // Built the way a host lays a long message out: the bytes run on past midi_message.
    alignas(MIDI_event_t) unsigned char raw[32] = {};
    auto* e = new (raw) MIDI_event_t{-1, 12, {}};
    for (int i = 0; i < 12; ++i)
        raw[offsetof(MIDI_event_t, midi_message) + static_cast<std::size_t>(i)] =
            static_cast<unsigned char>(0xA0 + i);
    list.AddItem(e);
    raw[offsetof(MIDI_event_t, midi_message) + 11] = 0;
    int pos = 0;
    MIDI_event_t* copy = list.EnumItems(&pos);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->size, 12);
    EXPECT_EQ(bytesOf(*copy).back(), 0xAB) << "a copy, not the caller's bytes";
    list.DeleteItem(0);
    EXPECT_EQ(list.GetSize(), 0);
}

TEST_F(Midi, OutputRecordsExactBytesAndOffsetsBeyondItsLife) {
    midi_Output* out = host.CreateMIDIOutput(0, false, nullptr);
    ASSERT_NE(out, nullptr);
    out->Send(0x90, 0x5E, 0x7F, -1);
    alignas(MIDI_event_t) unsigned char raw[24] = {};
    auto* sysex = new (raw) MIDI_event_t{0, 8, {}};
    const unsigned char ready[] = {0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7};
    std::memcpy(raw + offsetof(MIDI_event_t, midi_message), ready, sizeof ready);
    out->SendMsg(sysex, -1);
    out->Send(0x80, 0x5E, 0x00, 5);
    out->Destroy();
    const std::vector<hostsim::WireMessage> expected = {
        {-1, {0x90, 0x5E, 0x7F}},
        {-1, {0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7}},
        {5, {0x80, 0x5E, 0x00}}};
    EXPECT_EQ(host.midi().fake()->sent(0), expected);
    EXPECT_EQ(host.midi().fake()->output(0), nullptr);
}

TEST_F(Midi, DestroyIsRecordedAndReleasesTheDevice) {
    midi_Input* in = host.CreateMIDIInput(0);
    midi_Output* out = host.CreateMIDIOutput(0, false, nullptr);
    EXPECT_EQ(host.midi().liveDevices(), 2);
    in->start();
    out->Destroy();
    in->Destroy();
    EXPECT_EQ(host.midi().liveDevices(), 0);
    EXPECT_EQ(host.midi().deletedWithoutDestroy(), 0);
    EXPECT_EQ(host.midi().fake()->input(0), nullptr);
    EXPECT_EQ(host.log().actions(),
              (Lines{"CreateMIDIInput(0) -> device", "CreateMIDIOutput(0, false, null) -> device",
                     "midi_Input(0)->start()", "midi_Output(0)->Destroy()", "midi_Input(0)->Destroy()"}));
}

// What a plug-in does when it deletes a host object: a plain delete, or under the MSVC layout a call of slot
// 0.
void releaseWithoutDestroy(midi_Output* out) {
#if TAMSEL_MSVC_VTABLE
    out->msvcDeletingDestructor(1);
#else
    delete out;
#endif
}

TEST_F(Midi, DeletingADeviceInsteadOfDestroyingItIsCaught) {
    releaseWithoutDestroy(host.CreateMIDIOutput(0, false, nullptr));
    EXPECT_EQ(host.midi().deletedWithoutDestroy(), 1);
    EXPECT_EQ(host.midi().liveDevices(), 0);
    EXPECT_EQ(host.log().actions().back(), "midi_Output(0) deleted without Destroy()");
}

TEST(MidiLifetime, DevicesOutlivingTheirHostStillWorkAndReportNothing) {
    auto host = std::make_unique<Host>();
    host->midi().addInput("In");
    host->midi().addOutput("Out");
    midi_Input* in = host->CreateMIDIInput(0);
    midi_Output* out = host->CreateMIDIOutput(0, false, nullptr);
    host.reset();
    out->Send(0x90, 1, 2, -1);
    in->start();
    in->SwapBufs(0);
    out->Destroy();
    in->Destroy();
}

// --- Top-level windows ----------------------------------------------------------------------------------

TEST(TopWindows, FoundByExactTitleOnly) {
    hostsim::TopWindows windows;
    windows.add("FX: Track 3 \"Bass\"");
    windows.add("Routing for track 1 \"Kick\"", false);
    EXPECT_NE(windows.find("FX: Track 3 \"Bass\""), nullptr);
    EXPECT_EQ(windows.find("FX: Track 3"), nullptr);
    EXPECT_FALSE(windows.find("Routing for track 1 \"Kick\"")->visible);
    EXPECT_TRUE(windows.remove("FX: Track 3 \"Bass\""));
    EXPECT_FALSE(windows.remove("FX: Track 3 \"Bass\""));
    EXPECT_EQ(windows.count(), 1);
}

} // namespace
