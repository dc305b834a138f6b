// The map-file grammar and the parameter lookup.
#include "eq_map.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

// Parses from an exactly sized, unterminated heap copy, so that ASan reports any read past the end.
EqMap parse(const std::string& text) {
    std::vector<char> copy(text.begin(), text.end());
    return parseEqMap(copy.data(), copy.size());
}

struct LineCase {
    const char* name;
    std::string text;
    std::function<bool(const EqMap&)> holds;
};

class EqMapLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(EqMapLine, Reads) {
    const EqMap map = parse(GetParam().text);
    EXPECT_TRUE(GetParam().holds(map)) << "text: " << GetParam().text;
}

bool untouched(const EqMap& m) {
    return m == EqMap{};
}

const LineCase kLineCases[] = {
    {"Plain", "Q1=12",
     [](const EqMap& m) {
         return m.q[0] == 12;
     }},
    {"SpacesAroundEquals", "Q1 = 12",
     [](const EqMap& m) {
         return m.q[0] == 12;
     }},
    {"LetterBeforeEquals", "Q1x = 12",
     [](const EqMap& m) {
         return m.q[0] == 12;
     }},
    {"WordsBeforeEquals", "F2 of the low mid = 8",
     [](const EqMap& m) {
         return m.freq[1] == 8;
     }},
    {"LeadingSpaces", "   G3=5",
     [](const EqMap& m) {
         return m.gain[2] == 5;
     }},
    {"LeadingTabIsNoKey", "\tG3=5", untouched},
    {"FurtherEqualsAndSpaces", "T4== = =7",
     [](const EqMap& m) {
         return m.type[3] == 7;
     }},
    {"WhiteSpaceBeforeNumber", "B1=\t 9",
     [](const EqMap& m) {
         return m.bandOn[0] == 9;
     }},
    {"Negative", "B2= -4",
     [](const EqMap& m) {
         return m.bandOn[1] == -4;
     }},
    {"PlusSign", "B3=+6",
     [](const EqMap& m) {
         return m.bandOn[2] == 6;
     }},
    {"DigitsThenLetters", "Q1=12abc",
     [](const EqMap& m) {
         return m.q[0] == 12;
     }},
    {"NoDigits", "Q1=abc",
     [](const EqMap& m) {
         return m.q[0] == 0;
     }},
    {"EqualsOnly", "Q1=",
     [](const EqMap& m) {
         return m.q[0] == 0;
     }},
    {"NoEqualsGivesZero", "Q1 12",
     [](const EqMap& m) {
         return m.q[0] == 0;
     }},
    {"ScaleWithoutEquals", "QS",
     [](const EqMap& m) {
         return m.qScale == 0.0;
     }},
    {"ScaleWordsWithoutEquals", "QS is the Q scale",
     [](const EqMap& m) {
         return m.qScale == 0.0;
     }},
    {"ScaleIsWhole", "QS=2.5",
     [](const EqMap& m) {
         return m.qScale == 2.0;
     }},
    {"FreqScale", "FS=120",
     [](const EqMap& m) {
         return m.freqScale == 120.0;
     }},
    {"GainScale", "GS=-30",
     [](const EqMap& m) {
         return m.gainScale == -30.0;
     }},
    {"TypeScale", "TS=3",
     [](const EqMap& m) {
         return m.typeScale == 3.0;
     }},
    {"IndexSaturatesHigh", "BP=99999999999",
     [](const EqMap& m) {
         return m.bypass == INT_MAX;
     }},
    {"IndexSaturatesLow", "MX=-99999999999",
     [](const EqMap& m) {
         return m.mx == INT_MIN;
     }},
    {"ScaleSaturates", "GS=123456789012345",
     [](const EqMap& m) {
         return m.gainScale == double{INT_MAX};
     }},
    {"Bypass", "BP=20",
     [](const EqMap& m) {
         return m.bypass == 20;
     }},
    {"Mx", "MX=21",
     [](const EqMap& m) {
         return m.mx == 21;
     }},
    {"LowerCaseIsNoKey", "q1=5", untouched},
    {"BandZeroIsNoKey", "Q0=5", untouched},
    {"BandFiveIsNoKey", "Q5=5", untouched},
    {"CommentLine", "# Q1=5", untouched},
    {"SlashComment", "// ID=x", untouched},
    {"SingleCharacter", "Q", untouched},
    {"SpacesOnly", "    ", untouched},
    {"Id", "ID=ReaEQ (Cockos)",
     [](const EqMap& m) {
         return m.id == "ReaEQ (Cockos)";
     }},
    {"IdSpacedEquals", "ID = = ReaEQ",
     [](const EqMap& m) {
         return m.id == "ReaEQ";
     }},
    {"IdKeepsTrailingSpaces", "ID=My EQ  ",
     [](const EqMap& m) {
         return m.id == "My EQ  ";
     }},
    {"IdEndsAtCarriageReturn", "ID=My EQ\r",
     [](const EqMap& m) {
         return m.id == "My EQ";
     }},
    {"IdEndsAtTab", "ID=a\tb",
     [](const EqMap& m) {
         return m.id == "a";
     }},
    {"IdEndsAtDelete",
     "ID=ab\x7f"
     "cd",
     [](const EqMap& m) {
         return m.id == "ab";
     }},
    {"IdKeepsHighBytes", "ID=Caf\xe9 \x80\xff",
     [](const EqMap& m) {
         return m.id == "Caf\xe9 \x80\xff";
     }},
    {"IdWithoutEquals", "ID",
     [](const EqMap& m) {
         return m.id.empty();
     }},
    {"NumberStopsAtCarriageReturn", "Q2=7\r",
     [](const EqMap& m) {
         return m.q[1] == 7;
     }},
};

INSTANTIATE_TEST_SUITE_P(Grammar, EqMapLine, ::testing::ValuesIn(kLineCases),
                         [](const ::testing::TestParamInfo<LineCase>& param) { return param.param.name; });

const char* const kWholeMap = "ID=Test EQ\n"
                              "# bands\n"
                              "Q1=1\nQ2=2\nQ3=3\nQ4=4\n"
                              "F1=5\nF2=6\nF3=7\nF4=8\n"
                              "G1=9\nG2=10\nG3=11\nG4=12\n"
                              "T1=13\nT2=14\nT3=15\nT4=16\n"
                              "B1=17\nB2=18\nB3=19\nB4=20\n"
                              "\n"
                              "BP=21\nMX=22\nQS=100\nFS=200\nGS=300\nTS=4\n";

EqMap wholeMap() {
    EqMap m;
    m.id = "Test EQ";
    m.q = {1, 2, 3, 4};
    m.freq = {5, 6, 7, 8};
    m.gain = {9, 10, 11, 12};
    m.type = {13, 14, 15, 16};
    m.bandOn = {17, 18, 19, 20};
    m.bypass = 21;
    m.mx = 22;
    m.qScale = 100;
    m.freqScale = 200;
    m.gainScale = 300;
    m.typeScale = 4;
    return m;
}

std::string withCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

TEST(EqMapFile, DefaultsMatchTheFormat) {
    const EqMap m;
    EXPECT_TRUE(m.id.empty());
    for (int band = 0; band < kEqBandCount; ++band) {
        const auto b = static_cast<std::size_t>(band);
        EXPECT_EQ(m.q[b], -1);
        EXPECT_EQ(m.freq[b], -1);
        EXPECT_EQ(m.gain[b], -1);
        EXPECT_EQ(m.type[b], -1);
        EXPECT_EQ(m.bandOn[b], -1);
    }
    EXPECT_EQ(m.bypass, -1);
    EXPECT_EQ(m.mx, -1);
    EXPECT_EQ(m.qScale, 4000.0);
    EXPECT_EQ(m.freqScale, 6000.0);
    EXPECT_EQ(m.gainScale, 4000.0);
    EXPECT_EQ(m.typeScale, 1.0);
}

TEST(EqMapFile, EveryKeyReachesItsField) {
    EXPECT_EQ(parse(kWholeMap), wholeMap());
}

TEST(EqMapFile, CrLfLoadsLikeLf) {
    EXPECT_EQ(parse(withCrLf(kWholeMap)), wholeMap());
}

TEST(EqMapFile, LastLineNeedsNoLineFeed) {
    EXPECT_EQ(parse("Q1=1\nQ2=2").q[1], 2);
    EXPECT_EQ(parse("Q1=1\r\nID=Last").id, "Last");
}

TEST(EqMapFile, RepeatedKeyTakesTheLastValue) {
    const EqMap m = parse("Q1=1\nID=First\nQ1=2\nID=Second\nQS=7\nQS\n");
    EXPECT_EQ(m.q[0], 2);
    EXPECT_EQ(m.id, "Second");
    EXPECT_EQ(m.qScale, 0.0);
}

TEST(EqMapFile, EmptyTextKeepsDefaults) {
    EXPECT_EQ(parseEqMap(nullptr, 0), EqMap{});
    EXPECT_EQ(parse(""), EqMap{});
    EXPECT_EQ(parse("\n\n\r\n"), EqMap{});
}

TEST(EqMapFile, ReadsNothingPastTheGivenSize) {
    const std::string text = "Q1=12345\nQ2=9";
    EXPECT_EQ(parseEqMap(text.data(), 5).q[0], 12);
    EXPECT_EQ(parseEqMap(text.data(), 5).q[1], -1);
}

TEST(EqMapFile, ZeroByteEndsOnlyItsValue) {
    const char raw[] = "Q1=5\0"
                       "7\nID=A\0B\nQ2=6";
    const std::string text(raw, sizeof raw - 1);
    const EqMap m = parse(text);
    EXPECT_EQ(m.q[0], 5);
    EXPECT_EQ(m.id, "A");
    EXPECT_EQ(m.q[1], 6);
}

TEST(EqMapFile, ApplyKeepsWhatTheTextLacks) {
    EqMap m = wholeMap();
    const std::string text = "Q1=40\n";
    applyEqMapText(m, text.data(), text.size());
    EqMap expected = wholeMap();
    expected.q[0] = 40;
    EXPECT_EQ(m, expected);
}

TEST(EqMapParamLookup, EveryKindAndBand) {
    const EqMap m = wholeMap();
    struct Row {
        EqControlKind kind;
        std::array<int, kEqBandCount> indices;
        double scale; // 0: no scale is given
    };
    const Row rows[] = {{kEqQ, m.q, 100},
                        {kEqFreq, m.freq, 200},
                        {kEqGain, m.gain, 300},
                        {kEqType, m.type, 4},
                        {kEqBandOn, m.bandOn, 0}};
    for (const Row& row : rows) {
        for (int band = 0; band < kEqBandCount; ++band) {
            double scale = -123.0;
            EXPECT_EQ(EqMapParam(m, row.kind, band, &scale), row.indices[static_cast<std::size_t>(band)])
                << row.kind << " band " << band;
            EXPECT_EQ(scale, row.scale == 0 ? -123.0 : row.scale) << row.kind;
            EXPECT_EQ(EqMapParam(m, row.kind, band), row.indices[static_cast<std::size_t>(band)]);
        }
    }
}

TEST(EqMapParamLookup, BypassAndMxIgnoreBandAndScale) {
    const EqMap m = wholeMap();
    for (int band : {-5, 0, 3, 4, 1000}) {
        double scale = -1.0;
        EXPECT_EQ(EqMapParam(m, kEqBypass, band, &scale), 21);
        EXPECT_EQ(EqMapParam(m, kEqMx, band, &scale), 22);
        EXPECT_EQ(scale, -1.0);
    }
}

TEST(EqMapParamLookup, BandOutsideTheSectionFindsNothing) {
    const EqMap m = wholeMap();
    for (EqControlKind kind : {kEqQ, kEqFreq, kEqGain, kEqType, kEqBandOn}) {
        for (int band : {-1, 4, INT_MIN, INT_MAX}) {
            double scale = -1.0;
            EXPECT_EQ(EqMapParam(m, kind, band, &scale), -1);
            EXPECT_EQ(scale, -1.0);
        }
    }
}

TEST(EqMapParamLookup, UnknownKindFindsNothing) {
    EXPECT_EQ(EqMapParam(wholeMap(), static_cast<EqControlKind>(7), 0), -1);
}

} // namespace
