// The EQ maps we ship load with our own reader, name the effect as REAPER reports it, and point only at
// parameters the effect has.
#include "eq_map.h"
#include "eq_map_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Shipped {
    const char* file;
    const char* id;
    int parameterCount; // the effect's own parameters plus REAPER's Bypass, Wet and Delta
    bool hasBypass;
};

const Shipped kShipped[] = {
    {"reaeq.eqmap", "VST: ReaEQ (Cockos)", 15 + 3, true},
    {"js-3-band-eq.eqmap", "JS: 3-Band EQ", 6 + 3, true},
    {"pro-q-3.eqmap", "VST3: Pro-Q 3 (FabFilter)", 13 * 24, false},
};

std::vector<int> allIndices(const EqMap& m) {
    std::vector<int> out{m.bypass, m.mx};
    for (int b = 0; b < kEqBandCount; ++b)
        for (int index : {m.q[b], m.freq[b], m.gain[b], m.type[b], m.bandOn[b]})
            out.push_back(index);
    return out;
}

TEST(ShippedEqMaps, LoadAndStayInsideTheEffect) {
    for (const Shipped& s : kShipped) {
        EqMap map;
        const std::string path = std::string(EQMAPS_DIR) + "/" + s.file;
        ASSERT_TRUE(LoadEqMapFile(path.c_str(), map)) << path;
        EXPECT_EQ(map.id, s.id) << s.file;
        int used = 0;
        for (int index : allIndices(map)) {
            EXPECT_LT(index, s.parameterCount) << s.file;
            used += index >= 0;
        }
        EXPECT_GE(used, 5) << s.file << " drives at least the gains and frequencies";
        EXPECT_EQ(map.bypass >= 0, s.hasBypass) << s.file;
        for (double scale : {map.qScale, map.freqScale, map.gainScale, map.typeScale})
            EXPECT_GT(scale, 0.0) << s.file << ": a zero scale would slam parameters to their ends";
    }
}

TEST(ShippedEqMaps, ReaEqBandsFollowItsParameterOrder) {
    EqMap map;
    ASSERT_TRUE(LoadEqMapFile((std::string(EQMAPS_DIR) + "/reaeq.eqmap").c_str(), map));
    for (int b = 0; b < kEqBandCount; ++b) {
        EXPECT_EQ(map.freq[b], 3 * b);
        EXPECT_EQ(map.gain[b], 3 * b + 1);
        EXPECT_EQ(map.q[b], 3 * b + 2);
        EXPECT_EQ(map.bandOn[b], -1);
        EXPECT_EQ(map.type[b], -1);
    }
    EXPECT_EQ(map.bypass, 16);
}

} // namespace
