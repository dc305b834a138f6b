// Choosing the map for a track's effect chain, and the EQ controls' rules and host calls.
#include "eq_map_track.h"
#include "host_api.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Call {
    std::string fn;
    int a = 0; // channel or fx
    int b = 0; // mcp flag, parameter or buffer size
    double value = 0.0;

    friend bool operator==(const Call& x, const Call& y) {
        return x.fn == y.fn && x.a == y.a && x.b == y.b && x.value == y.value;
    }
    friend std::ostream& operator<<(std::ostream& os, const Call& c) {
        return os << c.fn << "(" << c.a << ", " << c.b << ", " << c.value << ")";
    }
};

struct Param {
    double value, min, max;
};

struct Fx {
    Fx(const char* effectName, bool nameReadable = true) : name(effectName), nameOk(nameReadable) {}
    std::string name;
    bool nameOk;
    std::map<int, Param> params;
};

// One track on one channel with an effect chain; every host call the EQ code makes is logged.
struct FakeHost {
    int channel = 3;
    bool hasTrack = true;
    std::vector<Fx> chain;
    bool fillWholeNameBuffer = false;
    std::vector<Call> calls;

    MediaTrack* track() { return reinterpret_cast<MediaTrack*>(this); }
    std::vector<Call> writes() const {
        std::vector<Call> out;
        for (const Call& c : calls) {
            if (c.fn == "TrackFX_SetParam")
                out.push_back(c);
        }
        return out;
    }
};
FakeHost* g_host = nullptr;

MediaTrack* trackFromId(int idx, bool mcp) {
    g_host->calls.push_back({"CSurf_TrackFromID", idx, mcp ? 1 : 0});
    return g_host->hasTrack && idx == g_host->channel ? g_host->track() : nullptr;
}

int fxCount(MediaTrack* tr) {
    EXPECT_EQ(tr, g_host->track());
    g_host->calls.push_back({"TrackFX_GetCount"});
    return static_cast<int>(g_host->chain.size());
}

bool fxName(MediaTrack* tr, int fx, char* buf, int size) {
    EXPECT_EQ(tr, g_host->track());
    g_host->calls.push_back({"TrackFX_GetFXName", fx, size});
    const Fx& f = g_host->chain.at(static_cast<std::size_t>(fx));
    if (g_host->fillWholeNameBuffer) {
        for (int i = 0; i < size; ++i)
            buf[i] = 'N';
        return true;
    }
    if (!f.nameOk)
        return false;
    std::snprintf(buf, static_cast<std::size_t>(size), "%s", f.name.c_str());
    return true;
}

double getParam(MediaTrack* tr, int fx, int param, double* minOut, double* maxOut) {
    EXPECT_EQ(tr, g_host->track());
    g_host->calls.push_back({"TrackFX_GetParam", fx, param});
    const Param& p = g_host->chain.at(static_cast<std::size_t>(fx)).params.at(param);
    *minOut = p.min;
    *maxOut = p.max;
    return p.value;
}

bool setParam(MediaTrack* tr, int fx, int param, double value) {
    EXPECT_EQ(tr, g_host->track());
    g_host->calls.push_back({"TrackFX_SetParam", fx, param, value});
    g_host->chain.at(static_cast<std::size_t>(fx)).params.at(param).value = value;
    return true;
}

class EqHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_host = &m_host;
        host::unbindFunctions();
        host::CSurf_TrackFromID = trackFromId;
        host::TrackFX_GetCount = fxCount;
        host::TrackFX_GetFXName = fxName;
        host::TrackFX_GetParam = getParam;
        host::TrackFX_SetParam = setParam;
    }
    void TearDown() override {
        host::unbindFunctions();
        g_host = nullptr;
    }
    static EqMap named(const std::string& id, int q1 = -1) {
        EqMap m;
        m.id = id;
        m.q[0] = q1;
        return m;
    }
    std::optional<EqMapMatch> find(const EqMapList& maps, bool mcp = false) {
        return FindEqMapForTrack(maps, m_host.channel, mcp);
    }

    FakeHost m_host;
};

// --- Choosing the map -----------------------------------------------------------------------------------

using FindEqMap = EqHostTest;

TEST_F(FindEqMap, TheFirstEffectWithAMapWins) {
    m_host.chain = {{"JS: Volume"}, {"VST: Comp"}, {"VST: ReaEQ (Cockos)"}, {"VST: Other EQ"}};
    const EqMapList maps = {named("VST: Other EQ"), named("VST: ReaEQ (Cockos)")};
    const auto match = find(maps);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->fx, 2);
    EXPECT_EQ(match->map, &maps[1]) << "chain order decides, not list order";
    EXPECT_EQ(match->track, m_host.track());
    const std::vector<Call> expected = {{"CSurf_TrackFromID", 3, 0},
                                        {"TrackFX_GetCount"},
                                        {"TrackFX_GetFXName", 0, 256},
                                        {"TrackFX_GetFXName", 1, 256},
                                        {"TrackFX_GetFXName", 2, 256}};
    EXPECT_EQ(m_host.calls, expected);
}

TEST_F(FindEqMap, BetweenMapsOfTheSameIdTheEarlierWins) {
    m_host.chain = {{"EQ"}};
    const EqMapList maps = {named("Other"), named("EQ", 1), named("EQ", 2)};
    const auto match = find(maps);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->map, &maps[1]);
}

TEST_F(FindEqMap, PassesTheMixerViewFlag) {
    m_host.chain = {{"EQ"}};
    ASSERT_TRUE(find({named("EQ")}, true));
    EXPECT_EQ(m_host.calls.front(), (Call{"CSurf_TrackFromID", 3, 1}));
}

TEST_F(FindEqMap, SkipsEffectsWhoseNameCannotBeRead) {
    m_host.chain = {{"EQ", false}, {"EQ"}};
    const auto match = find({named("EQ")});
    ASSERT_TRUE(match);
    EXPECT_EQ(match->fx, 1);
}

TEST_F(FindEqMap, NamesMatchByteForByte) {
    struct Row {
        const char* effect;
        const char* id;
        bool matches;
    };
    const Row rows[] = {
        {"ReaEQ", "ReaEQ", true},
        {"ReaEQ", "ReaEQ ", false},
        {"ReaEQ ", "ReaEQ", false},
        {"ReaEQ", "reaeq", false},
        {"Caf\xe9 EQ", "Caf\xe9 EQ", true},
        {"Caf\xe9 EQ", "Cafe EQ", false},
        {"", "", true},
        {"ReaEQ", "", false},
        {"", "ReaEQ", false},
    };
    for (const Row& row : rows) {
        m_host.chain = {{row.effect}};
        EXPECT_EQ(find({named(row.id)}).has_value(), row.matches) << row.effect << " / " << row.id;
    }
}

TEST_F(FindEqMap, NothingWithoutTrackOrEffects) {
    m_host.hasTrack = false;
    m_host.chain = {{"EQ"}};
    EXPECT_FALSE(find({named("EQ")}));
    EXPECT_EQ(m_host.calls, std::vector<Call>{(Call{"CSurf_TrackFromID", 3, 0})});

    m_host.hasTrack = true;
    m_host.chain.clear();
    EXPECT_FALSE(find({named("EQ")}));
    m_host.chain = {{"Comp"}, {"Delay"}};
    EXPECT_FALSE(find({named("EQ"), EqMap{}}));
}

TEST_F(FindEqMap, AWholeNameBufferIsReadNoFurther) {
    m_host.chain = {{"x"}};
    m_host.fillWholeNameBuffer = true;
    // The host wrote 256 bytes and no terminator: the name is taken as its first 255.
    EXPECT_FALSE(find({named(std::string(256, 'N'))}));
    EXPECT_TRUE(find({named(std::string(255, 'N'))}));
}

TEST_F(FindEqMap, WithoutHostFunctionsFindsNothing) {
    m_host.chain = {{"EQ"}};
    host::unbindFunctions();
    EXPECT_FALSE(find({named("EQ")}));
}

// --- The rules ------------------------------------------------------------------------------------------

TEST(EqRules, StepIsHeldToTheRange) {
    struct Row {
        double value, min, max, step, expected;
    };
    const Row rows[] = {
        {0.5, 0, 1, 0.25, 0.75}, {0.5, 0, 1, -0.25, 0.25}, {0.9, 0, 1, 0.25, 1}, {0.1, 0, 1, -0.25, 0},
        {0.5, 0, 1, kInf, 1},    {0.5, 0, 1, -kInf, 0},    {5, -10, 10, 3, 8},   {-9, -10, 10, -3, -10},
        {0.5, 0, 1, 0, 0.5},     {2, 1, 3, 10, 3},
    };
    for (const Row& r : rows)
        EXPECT_DOUBLE_EQ(eqStepTarget(r.value, r.min, r.max, r.step), r.expected)
            << r.value << " + " << r.step;
    EXPECT_EQ(eqStepTarget(0.4, 0, 1, std::nan("")), 0.4);
}

TEST(EqRules, StepSize) {
    struct Row {
        EqControlKind kind;
        double amount;
        int speed;
        double scale, expected;
    };
    const Row rows[] = {
        {kEqQ, 1, 31, 4000, 31.0 / 4000},
        {kEqFreq, -2, 31, 6000, -62.0 / 6000},
        {kEqGain, 8, 10, 4000, 0.02},
        {kEqType, 2, 31, 1, 2},
        {kEqType, -3, 99, 2, -1.5},
        {kEqQ, 1, 31, 0, kInf},
        {kEqQ, -1, 31, 0, -kInf},
        {kEqQ, 0, 31, 0, 0},
        {kEqType, 1, 31, 0, kInf},
        {kEqGain, 1, 31, -31, -1},
        {kEqQ, 1, 0, 0, 0},
        {kEqQ, DBL_MAX, 99, 1, kInf},
    };
    for (const Row& r : rows)
        EXPECT_DOUBLE_EQ(eqStepSize(r.kind, r.amount, r.speed, r.scale), r.expected)
            << r.kind << " " << r.amount << " " << r.speed << " " << r.scale;
}

TEST(EqRules, BandOnToggleSwitchesAboutTheMiddleOfTheRange) {
    struct Row {
        double value, min, max, expected;
    };
    const Row rows[] = {
        {0, 0, 1, 1}, {0.49, 0, 1, 1}, {0.5, 0, 1, 0}, {1, 0, 1, 0},   {1, 1, 3, 3}, {1.9, 1, 3, 3},
        {2, 1, 3, 1}, {3, 1, 3, 1},    {-1, -1, 1, 1}, {1, -1, 1, -1}, {0, 0, 0, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(eqBandOnTarget(r.value, r.min, r.max), r.expected)
            << r.value << " in " << r.min << ".." << r.max;
}

TEST(EqRules, BypassFlipsAndLampsShowAboveOneHalf) {
    EXPECT_EQ(eqBypassTarget(0), 1);
    EXPECT_EQ(eqBypassTarget(1), 0);
    EXPECT_EQ(eqBypassTarget(0.25), 0.75);
    EXPECT_FALSE(eqLampLit(0));
    EXPECT_FALSE(eqLampLit(0.5));
    EXPECT_TRUE(eqLampLit(0.5000001));
    EXPECT_TRUE(eqLampLit(1));
    // Other ranges switch and light about their middle, as Band On toggles.
    EXPECT_EQ(eqBypassTarget(1, 1, 3), 3);
    EXPECT_EQ(eqBypassTarget(2, 1, 3), 1);
    EXPECT_EQ(eqBypassTarget(0, 0, 2), 2);
    EXPECT_FALSE(eqLampLit(1.5, 1, 3));
    EXPECT_TRUE(eqLampLit(0.4, -1, 1));
}

// --- What the controls make the host do ------------------------------------------------------------------

class EqControls : public EqHostTest {
protected:
    void SetUp() override {
        EqHostTest::SetUp();
        m_map.id = "EQ";
        m_map.q = {10, 11, -1, 13};
        m_map.gain = {20, 21, 22, 23};
        m_map.type = {30, 31, 32, 33};
        m_map.bandOn = {40, 41, -1, 43};
        m_map.bypass = 50;
        Fx eq{"EQ"};
        eq.params = {{10, {0.5, 0, 1}},   {11, {0.5, 0, 1}}, {13, {0.5, 0, 1}}, {20, {0, -24, 24}},
                     {23, {23, -24, 24}}, {30, {2, 0, 5}},   {40, {0, 0, 1}},   {41, {1, 0, 1}},
                     {43, {1, 1, 3}},     {50, {0.25, 0, 1}}};
        m_host.chain = {{"Comp"}, eq};
        m_match = EqMapMatch{&m_map, m_host.track(), 1};
    }
    double value(int param) const { return m_host.chain[1].params.at(param).value; }

    EqMap m_map;
    EqMapMatch m_match;
};

TEST_F(EqControls, EncoderStepReadsThenWrites) {
    m_map.qScale = 4000;
    EXPECT_TRUE(eqStepParam(m_match, kEqQ, 1, 2, 31));
    const std::vector<Call> expected = {{"TrackFX_GetParam", 1, 11},
                                        {"TrackFX_SetParam", 1, 11, 0.5 + 62.0 / 4000}};
    EXPECT_EQ(m_host.calls, expected);
}

TEST_F(EqControls, EncoderStepIsHeldToTheParameterRange) {
    m_map.gainScale = 1;
    EXPECT_TRUE(eqStepParam(m_match, kEqGain, 3, 1, 31));
    EXPECT_EQ(value(23), 24);
    EXPECT_TRUE(eqStepParam(m_match, kEqGain, 0, -1, 99));
    EXPECT_EQ(value(20), -24);
}

TEST_F(EqControls, ZeroScaleGoesStraightToTheEnds) {
    m_map.qScale = 0;
    EXPECT_TRUE(eqStepParam(m_match, kEqQ, 0, 1, 31));
    EXPECT_EQ(value(10), 1);
    EXPECT_TRUE(eqStepParam(m_match, kEqQ, 0, -1, 31));
    EXPECT_EQ(value(10), 0);
    m_host.calls.clear();
    EXPECT_TRUE(eqStepParam(m_match, kEqQ, 3, 0, 31)) << "no step: the value is written back unchanged";
    EXPECT_EQ(m_host.writes(), std::vector<Call>{(Call{"TrackFX_SetParam", 1, 13, 0.5})});
}

TEST_F(EqControls, TypeStepHasNoSpeedFactor) {
    m_map.typeScale = 1;
    EXPECT_TRUE(eqStepParam(m_match, kEqType, 0, 1, 31));
    EXPECT_EQ(value(30), 3);
}

TEST_F(EqControls, AMissingIndexDoesNothing) {
    EXPECT_FALSE(eqStepParam(m_match, kEqQ, 2, 1, 31));
    EXPECT_FALSE(eqStepParam(m_match, kEqFreq, 0, 1, 31));
    EXPECT_FALSE(eqToggleBandOn(m_match, 2));
    EXPECT_FALSE(eqStepParam(m_match, kEqQ, 4, 1, 31)) << "no fifth band";
    EXPECT_FALSE(eqStepParam(m_match, kEqBandOn, 0, 1, 31)) << "buttons are not stepped";
    EXPECT_FALSE(eqStepParam(m_match, kEqBypass, 0, 1, 31));
    m_map.bypass = -1;
    EXPECT_FALSE(eqToggleBypass(m_match));
    EXPECT_FALSE(eqParamLit(m_match, kEqBypass, 0));
    EXPECT_FALSE(eqParamLit(m_match, kEqBandOn, 2));
    EXPECT_FALSE(eqStepParam(EqMapMatch{}, kEqQ, 0, 1, 31));
    EXPECT_TRUE(m_host.calls.empty());
}

TEST_F(EqControls, BandOnToggles) {
    EXPECT_TRUE(eqToggleBandOn(m_match, 0));
    EXPECT_TRUE(eqToggleBandOn(m_match, 1));
    EXPECT_TRUE(eqToggleBandOn(m_match, 3));
    const std::vector<Call> expected = {
        {"TrackFX_SetParam", 1, 40, 1}, {"TrackFX_SetParam", 1, 41, 0}, {"TrackFX_SetParam", 1, 43, 3}};
    EXPECT_EQ(m_host.writes(), expected);
}

TEST_F(EqControls, BypassTogglesAndReportsItsLamp) {
    EXPECT_TRUE(eqToggleBypass(m_match));
    EXPECT_EQ(value(50), 0.75);
    EXPECT_FALSE(eqToggleBypass(m_match));
    EXPECT_EQ(value(50), 0.25);
    const std::vector<Call> expected = {{"TrackFX_GetParam", 1, 50},
                                        {"TrackFX_SetParam", 1, 50, 0.75},
                                        {"TrackFX_GetParam", 1, 50},
                                        {"TrackFX_SetParam", 1, 50, 0.25}};
    EXPECT_EQ(m_host.calls, expected);

    m_host.chain[1].params.at(50).value = 0.5; // stays 0.5, and the lamp agrees with the next poll
    EXPECT_FALSE(eqToggleBypass(m_match));
    EXPECT_FALSE(eqParamLit(m_match, kEqBypass, 0));

    m_host.chain[1].params.at(50) = {1, 1, 3}; // a switch of 1..3 goes to its ends
    EXPECT_TRUE(eqToggleBypass(m_match));
    EXPECT_EQ(value(50), 3);
    EXPECT_TRUE(eqParamLit(m_match, kEqBypass, 0));
}

TEST_F(EqControls, LampsReadWithoutWriting) {
    EXPECT_FALSE(eqParamLit(m_match, kEqBypass, 0));
    EXPECT_FALSE(eqParamLit(m_match, kEqBandOn, 0));
    EXPECT_TRUE(eqParamLit(m_match, kEqBandOn, 1));
    EXPECT_FALSE(eqParamLit(m_match, kEqBandOn, 3)) << "1 is the bottom of 1..3";
    EXPECT_FALSE(eqParamLit(m_match, kEqQ, 0)) << "only switches have lamps";
    EXPECT_TRUE(m_host.writes().empty());
}

TEST_F(EqControls, FoundMapDrivesTheFoundEffect) {
    const EqMapList maps = {m_map};
    const auto match = find(maps);
    ASSERT_TRUE(match);
    m_host.calls.clear();
    EXPECT_TRUE(eqToggleBandOn(*match, 0));
    EXPECT_EQ(m_host.writes(), std::vector<Call>{(Call{"TrackFX_SetParam", 1, 40, 1})});
}

} // namespace
