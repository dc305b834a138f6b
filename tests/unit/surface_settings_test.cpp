#include "surface_settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const kDefaultsText = "0 31 -1 -1 0 0 10 2 12 5 40364 4 1011 4 1012 5 40112 5 40111 4 1013";

std::string format(const SurfaceSettings& settings, std::size_t size = kSurfaceConfigBufferSize) {
    std::vector<char> buffer(size, '#');
    const std::size_t length = FormatSurfaceSettings(settings, buffer.data(), buffer.size());
    EXPECT_LT(length, size);
    EXPECT_EQ(buffer[length], '\0');
    return std::string(buffer.data(), length);
}

// Parses from an exactly sized heap copy, so that ASan reports any read past the terminator.
SurfaceSettings parse(const std::string& text) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    return ParseSurfaceSettings(copy.data());
}

SurfaceSettings sample() {
    SurfaceSettings s;
    s.skipMarkers = true;
    s.encoderSpeed = 55;
    s.midiInputIndex = 3;
    s.midiOutputIndex = 4;
    s.wrapChannels = true;
    s.useMcpForChannels = true;
    s.acceleration = 150;
    s.actions = {"a b", "", "40364x", "_CMD", "7", "x", "99"};
    return s;
}

// Copies field `index` (0..13, in text order) of `from` into `to`.
void copyField(SurfaceSettings& to, const SurfaceSettings& from, std::size_t index) {
    switch (index) {
    case 0:
        to.skipMarkers = from.skipMarkers;
        break;
    case 1:
        to.encoderSpeed = from.encoderSpeed;
        break;
    case 2:
        to.midiInputIndex = from.midiInputIndex;
        break;
    case 3:
        to.midiOutputIndex = from.midiOutputIndex;
        break;
    case 4:
        to.wrapChannels = from.wrapChannels;
        break;
    case 5:
        to.useMcpForChannels = from.useMcpForChannels;
        break;
    case 6:
        to.acceleration = from.acceleration;
        break;
    default:
        to.actions[index - 7] = from.actions[index - 7];
        break;
    }
}

// --- Writing ---------------------------------------------------------------------------------------------

TEST(FormatSettings, DefaultsAreTheTwentyOneTokens) {
    EXPECT_EQ(format(SurfaceSettings{}), kDefaultsText);
    EXPECT_EQ(format(SurfaceSettings{}, kConfigBufferSize), kDefaultsText);
}

TEST(FormatSettings, BooleansAreWrittenAsOneAndEmptyTextAsDash) {
    SurfaceSettings s = parse("5 31 -1 -1 7 -2");
    EXPECT_TRUE(s.skipMarkers);
    EXPECT_TRUE(s.wrapChannels);
    EXPECT_TRUE(s.useMcpForChannels);
    s.actions[kSlotFootSwitch].clear();
    const std::string text = format(s);
    EXPECT_EQ(text, "1 31 -1 -1 1 1 10 2 12 5 40364 4 1011 4 1012 5 40112 5 40111 0 -");
    EXPECT_EQ(parse(text).actions[kSlotFootSwitch], "");
    EXPECT_EQ(parse(text), s);
}

TEST(FormatSettings, TextsThatCannotTravelAreCleanedNotShifted) {
    SurfaceSettings s;
    s.actions[kSlotValueButton] = "  _LEADING";
    s.actions[kSlotFunction1] = std::string("ab\0cd", 5);
    s.actions[kSlotFunction2] = "   ";
    const std::string text = format(s);
    EXPECT_EQ(text, "0 31 -1 -1 0 0 10 2 12 8 _LEADING 2 ab 0 - 5 40112 5 40111 4 1013");
    const SurfaceSettings back = parse(text);
    EXPECT_EQ(back.actions[kSlotValueButton], "_LEADING");
    EXPECT_EQ(back.actions[kSlotFunction1], "ab");
    EXPECT_EQ(back.actions[kSlotFunction2], "");
    EXPECT_EQ(back.actions[kSlotFunction3], "40112");
    EXPECT_EQ(back.actions[kSlotFootSwitch], "1013");
}

TEST(FormatSettings, RoundTrips) {
    std::vector<SurfaceSettings> records(5);
    records[1] = sample();
    records[2].encoderSpeed = INT_MIN;
    records[2].midiInputIndex = INT_MAX;
    records[2].acceleration = INT_MIN;
    records[2].actions = {"", "", "", "", "", "", ""};
    records[3].actions = {"x y z", "trailing  ", "-", "0", "-5 x", "a\tb", "\xE9t\xE9"};
    records[4].actions[kSlotValueEncoder] = "a b c";
    for (const SurfaceSettings& record : records) {
        EXPECT_EQ(parse(format(record)), record) << format(record);
    }
}

TEST(FormatSettings, SevenLongestTextsFitTheSurfaceBuffer) {
    SurfaceSettings s;
    s.encoderSpeed = s.midiInputIndex = s.midiOutputIndex = s.acceleration = INT_MIN;
    for (std::size_t i = 0; i < kActionSlotCount; ++i) {
        s.actions[i] = std::string(kMaxActionTextLength, static_cast<char>('a' + i));
    }
    EXPECT_EQ(parse(format(s)), s);

    // The host's 1024 bytes hold the numbers and the first three items; the rest fall back to defaults.
    const std::string shortened = format(s, kConfigBufferSize);
    SurfaceSettings expected;
    for (std::size_t field = 0; field < 10; ++field) {
        copyField(expected, s, field);
    }
    EXPECT_EQ(parse(shortened), expected);
}

TEST(FormatSettings, SmallBuffersGetWholeItemsOnly) {
    const SurfaceSettings record = sample();
    const std::vector<std::string> pieces = {"1",       " 55",  " 3",     " 4",   " 1",
                                             " 1",      " 150", " 3 a b", " 0 -", " 6 40364x",
                                             " 4 _CMD", " 1 7", " 1 x",   " 2 99"};
    std::string full;
    for (const std::string& piece : pieces) {
        full += piece;
    }
    ASSERT_EQ(format(record), full);

    constexpr std::size_t kGuard = 16;
    for (std::size_t size = 0; size <= full.size() + 2; ++size) {
        std::vector<char> buffer(size + kGuard, '#');
        const std::size_t length = FormatSurfaceSettings(record, buffer.data(), size);
        for (std::size_t i = size; i < buffer.size(); ++i) {
            ASSERT_EQ(buffer[i], '#') << "write past the buffer at size " << size;
        }
        if (size == 0) {
            EXPECT_EQ(length, 0u);
            continue;
        }
        std::string expectedText;
        SurfaceSettings expected;
        for (std::size_t k = 0; k < pieces.size() && expectedText.size() + pieces[k].size() < size; ++k) {
            expectedText += pieces[k];
            copyField(expected, record, k);
        }
        ASSERT_EQ(buffer[length], '\0') << size;
        const std::string text(buffer.data(), length);
        EXPECT_EQ(text, expectedText) << "size " << size;
        EXPECT_EQ(parse(text), expected) << "size " << size;
    }
    EXPECT_EQ(FormatSurfaceSettings(record, nullptr, 64), 0u);
}

// --- Reading ---------------------------------------------------------------------------------------------

TEST(ParseSettings, NullEmptyAndBlankGiveDefaults) {
    EXPECT_EQ(ParseSurfaceSettings(nullptr), SurfaceSettings{});
    EXPECT_EQ(parse(""), SurfaceSettings{});
    EXPECT_EQ(parse("     "), SurfaceSettings{});
    EXPECT_EQ(parse(kDefaultsText), SurfaceSettings{});
    const SurfaceSettings d;
    EXPECT_FALSE(d.skipMarkers);
    EXPECT_EQ(d.encoderSpeed, 31);
    EXPECT_EQ(d.midiInputIndex, -1);
    EXPECT_EQ(d.midiOutputIndex, -1);
    EXPECT_FALSE(d.wrapChannels);
    EXPECT_FALSE(d.useMcpForChannels);
    EXPECT_EQ(d.acceleration, 10);
    EXPECT_EQ(d.actions,
              (std::array<std::string, 7>{"12", "40364", "1011", "1012", "40112", "40111", "1013"}));
}

struct MalformedCase {
    const char* text;
    void (*expect)(SurfaceSettings&);
};

class ParseMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(ParseMalformed, FallsBackFieldByField) {
    SurfaceSettings expected;
    GetParam().expect(expected);
    EXPECT_EQ(parse(GetParam().text), expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ParseMalformed,
    ::testing::Values(MalformedCase{"1 50",
                                    [](SurfaceSettings& s) {
                                        s.skipMarkers = true, s.encoderSpeed = 50;
                                    }},
                      MalformedCase{"   1     50    ",
                                    [](SurfaceSettings& s) {
                                        s.skipMarkers = true, s.encoderSpeed = 50;
                                    }},
                      MalformedCase{"x 50 abc",
                                    [](SurfaceSettings& s) {
                                        s.encoderSpeed = 50, s.midiInputIndex = 0;
                                    }},
                      MalformedCase{"+5 7",
                                    [](SurfaceSettings& s) {
                                        s.encoderSpeed = 7;
                                    }},
                      MalformedCase{"1-2 12abc - -x",
                                    [](SurfaceSettings& s) {
                                        s.skipMarkers = true, s.encoderSpeed = 12, s.midiInputIndex = 0,
                                        s.midiOutputIndex = 0;
                                    }},
                      MalformedCase{"1\t50",
                                    [](SurfaceSettings& s) {
                                        s.skipMarkers = true;
                                    }},
                      MalformedCase{"0 31 -1 -1 0 0 1",
                                    [](SurfaceSettings& s) {
                                        s.acceleration = 1;
                                    }},
                      MalformedCase{"99999999999 -99999999999 2147483648 -2147483649",
                                    [](SurfaceSettings& s) {
                                        s.skipMarkers = true, s.encoderSpeed = INT_MIN,
                                        s.midiInputIndex = INT_MAX, s.midiOutputIndex = INT_MIN;
                                    }},
                      MalformedCase{"0 31 -1 -1 0 0 10 -3 abcdef 5 hello",
                                    [](SurfaceSettings& s) {
                                        s.actions[0] = "abc", s.actions[1] = "hello";
                                    }},
                      MalformedCase{"0 31 -1 -1 0 0 10 2 12345 5 hello",
                                    [](SurfaceSettings& s) {
                                        s.actions[0] = "12", s.actions[1] = "hello";
                                    }},
                      MalformedCase{"0 31 -1 -1 0 0 10 0 abc 5 40364 2 xy",
                                    [](SurfaceSettings& s) {
                                        s.actions[0] = "", s.actions[2] = "xy";
                                    }},
                      MalformedCase{"0 31 -1 -1 0 0 10 x abc 3 def",
                                    [](SurfaceSettings& s) {
                                        s.actions[0] = "", s.actions[1] = "def";
                                    }},
                      MalformedCase{"0 31 -1 -1 0 0 10 50 abc def",
                                    [](SurfaceSettings& s) {
                                        s.actions[0] = "abc def";
                                    }},
                      MalformedCase{"0 31 -1 -1 0 0 10 -2147483648 abc",
                                    [](SurfaceSettings& s) {
                                        s.actions[0] = "abc";
                                    }},
                      MalformedCase{"0 31 -1 -1 0 0 10 99999999999 ab",
                                    [](SurfaceSettings& s) {
                                        s.actions[0] = "ab";
                                    }},
                      MalformedCase{"0 31 -1 -1 0 0 10 2 1",
                                    [](SurfaceSettings& s) {
                                        s.actions[0] = "1";
                                    }},
                      MalformedCase{"0 31 -1 -1 0 0 10 2",
                                    [](SurfaceSettings&) {
                                    }},
                      MalformedCase{"0 31 -1 -1 0 0 10 3    ab",
                                    [](SurfaceSettings& s) {
                                        s.actions[0] = "ab";
                                    }},
                      MalformedCase{
                          "0 31 -1 -1 0 0 10 2 12 5 40364 4 1011 4 1012 5 40112 5 40111 4 1013 7 8 9 0 z",
                          [](SurfaceSettings&) {
                          }},
                      MalformedCase{"0 31 -1 -1 0 0 10 2 12 5 40364 4 1011 4 1012 5 40112 5 40111 2 99xyz 1",
                                    [](SurfaceSettings& s) {
                                        s.actions[6] = "99";
                                    }}));

TEST(ParseSettings, ActionTextWithSpacesKeepsLaterItems) {
    SurfaceSettings s;
    s.actions[kSlotFunction2] = "a b";
    const std::string text = format(s);
    EXPECT_EQ(text, "0 31 -1 -1 0 0 10 2 12 5 40364 4 1011 3 a b 5 40112 5 40111 4 1013");
    EXPECT_EQ(parse(text), s);
}

TEST(ParseSettings, RandomBytesNeverReadPastTheEnd) {
    std::mt19937 random(20240611u);
    const std::string alphabet = "0123456789---     abc";
    for (int iteration = 0; iteration < 5000; ++iteration) {
        const std::size_t length = random() % 97;
        std::string text;
        for (std::size_t i = 0; i < length; ++i) {
            const bool structured = random() % 10 < 7;
            const char c =
                structured ? alphabet[random() % alphabet.size()] : static_cast<char>(1 + random() % 255);
            text.push_back(c);
        }
        const SurfaceSettings parsed = parse(text);
        // What the parser keeps always survives a write and a read.
        ASSERT_EQ(parse(format(parsed)), parsed) << text;
    }
}

} // namespace
