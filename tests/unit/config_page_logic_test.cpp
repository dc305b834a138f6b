// What the configuration page shows and takes back: edit corrections, device lists, the host's result.
#include "config_page_logic.h"
#include "host_api.h"
#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"
#include "surface_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

// --- Number edits ------------------------------------------------------------------------------------------

struct EditCase {
    const char* rule;
    const char* text;
    std::optional<std::string> shownAfterLeaving; // nothing: the text stays as typed
    std::optional<int> taken;                     // nothing: the field keeps its value
};

const NumberEditRule& ruleNamed(const std::string& name) {
    return name == "speed" ? kEncoderSpeedRule : kAccelerationRule;
}

class NumberEdits : public ::testing::TestWithParam<EditCase> {};

TEST_P(NumberEdits, CorrectOnLeavingAndClampWhenTaken) {
    const EditCase& c = GetParam();
    EXPECT_EQ(correctedEditText(c.text, ruleNamed(c.rule)), c.shownAfterLeaving);
    EXPECT_EQ(editValue(c.text, ruleNamed(c.rule)), c.taken);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumberEdits,
    ::testing::Values(EditCase{"speed", "", "31", std::nullopt}, EditCase{"speed", "0", "1", 1},
                      EditCase{"speed", "150", "99", 99}, EditCase{"speed", "-7", "1", 1},
                      EditCase{"speed", "1", std::nullopt, 1}, EditCase{"speed", "99", std::nullopt, 99},
                      EditCase{"speed", "100", "99", 99}, EditCase{"speed", "007", std::nullopt, 7},
                      EditCase{"speed", "12abc", std::nullopt, 12}, EditCase{"speed", "abc", "1", 1},
                      EditCase{"speed", " ", "1", 1}, EditCase{"speed", "99999999999999", "99", 99},
                      EditCase{"acceleration", "", "10", std::nullopt},
                      EditCase{"acceleration", "250", "200", 200},
                      EditCase{"acceleration", "150", std::nullopt, 150},
                      EditCase{"acceleration", "200", std::nullopt, 200},
                      EditCase{"acceleration", "201", "200", 200}, EditCase{"acceleration", "0", "1", 1},
                      EditCase{"acceleration", "-99999999999999", "1", 1}));

// --- Device lists ------------------------------------------------------------------------------------------

std::set<int> g_unnamed;
bool (*g_hostInputName)(int, char*, int) = nullptr;

// The host's answer, except for devices it gives no name for.
bool inputNameWithGaps(int dev, char* buffer, int size) {
    if (g_unnamed.count(dev)) {
        if (size > 0)
            buffer[0] = '\0';
        return false;
    }
    return g_hostInputName(dev, buffer, size);
}

// A host that fills the whole buffer and writes no terminator.
bool fillingName(int, char* buffer, int size) {
    std::memset(buffer, 'N', static_cast<std::size_t>(size));
    return true;
}
int oneDevice() {
    return 1;
}
int negativeCount() {
    return -3;
}

std::vector<std::string> namesOf(const std::vector<MidiDeviceEntry>& devices) {
    std::vector<std::string> names;
    for (const auto& d : devices)
        names.push_back(std::to_string(d.index) + ":" + d.name);
    return names;
}

class DeviceLists : public ::testing::Test {
protected:
    DeviceLists() {
        host::bindFunctions(hostsim::getFunc);
        model.midi().addInput("In A");
        model.midi().addInput("In B");
        model.midi().addInput("In C");
        model.midi().addOutput("Out A");
        model.midi().addOutput("Out B");
    }
    ~DeviceLists() override {
        host::unbindFunctions();
        g_unnamed.clear();
    }

    hostsim::Host model;
    hostsim::CurrentHost current{model};
};

TEST_F(DeviceLists, ListEveryNamedDeviceWithItsIndexInHostOrder) {
    model.log().recordQueries(true);
    EXPECT_EQ(namesOf(listMidiInputs()), (std::vector<std::string>{"0:In A", "1:In B", "2:In C"}));
    EXPECT_EQ(namesOf(listMidiOutputs()), (std::vector<std::string>{"0:Out A", "1:Out B"}));
    const std::vector<std::string> expected = {
        "GetNumMIDIInputs() -> 3",          "GetMIDIInputName(0, 512) -> true",
        "GetMIDIInputName(1, 512) -> true", "GetMIDIInputName(2, 512) -> true",
        "GetNumMIDIOutputs() -> 2",         "GetMIDIOutputName(0, 512) -> true",
        "GetMIDIOutputName(1, 512) -> true"};
    EXPECT_EQ(model.log().lines(), expected);
}

TEST_F(DeviceLists, LeaveOutDevicesTheHostGivesNoNameFor) {
    g_hostInputName = host::GetMIDIInputName;
    host::GetMIDIInputName = inputNameWithGaps;
    g_unnamed = {0, 2};
    EXPECT_EQ(namesOf(listMidiInputs()), std::vector<std::string>{"1:In B"});
    g_unnamed = {0, 1, 2};
    EXPECT_TRUE(listMidiInputs().empty());
}

TEST_F(DeviceLists, AreEmptyWithoutDevicesOrHostFunctions) {
    model.midi().inputs().clear();
    EXPECT_TRUE(listMidiInputs().empty());
    host::GetNumMIDIInputs = negativeCount;
    EXPECT_TRUE(listMidiInputs().empty());
    host::GetNumMIDIOutputs = nullptr;
    EXPECT_TRUE(listMidiOutputs().empty());
    host::unbindFunctions();
    EXPECT_TRUE(listMidiInputs().empty());
}

TEST_F(DeviceLists, ANameFillingTheWholeBufferIsCutToIt) {
    host::GetNumMIDIInputs = oneDevice;
    host::GetMIDIInputName = fillingName;
    const auto devices = listMidiInputs();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].name, std::string(kDeviceNameBufferSize - 1, 'N'));
}

// --- The host's result -------------------------------------------------------------------------------------

class ResultRequest : public ::testing::Test {
protected:
    ResultRequest() {
        stored.encoderSpeed = 40;
        stored.midiInputIndex = 2;
        stored.midiOutputIndex = 3;
        stored.acceleration = 20;
        stored.skipMarkers = true;
        fields.skipMarkers = true;
        fields.encoderSpeedText = "40";
        fields.midiInputIndex = 2;
        fields.midiOutputIndex = 3;
        fields.accelerationText = "20";
    }
    std::string answer(std::size_t size) {
        std::vector<char> buffer(size + 8, '#');
        const std::size_t length = answerResultRequest(stored, fields, buffer.data(), size);
        for (std::size_t i = size; i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], '#') << "byte " << i << " past a buffer of " << size;
        if (size == 0)
            return {};
        EXPECT_EQ(std::strlen(buffer.data()), length);
        return buffer.data();
    }

    SurfaceSettings stored;
    ConfigPageFields fields;
};

TEST_F(ResultRequest, TakesEveryControlAndWritesTheRecord) {
    fields.skipMarkers = false;
    fields.encoderSpeedText = "150";
    fields.midiInputIndex = -1;
    fields.midiOutputIndex = 0;
    fields.wrapChannels = true;
    fields.useMcpForChannels = true;
    fields.accelerationText = "150";
    EXPECT_EQ(answer(1024), "0 99 -1 0 1 1 150 2 12 5 40364 4 1011 4 1012 5 40112 5 40111 4 1013");
    EXPECT_EQ(stored.encoderSpeed, 99);
    EXPECT_EQ(stored.acceleration, 150);
    EXPECT_EQ(stored.midiInputIndex, -1);
    // Each box alone lands in its own field.
    fields.useMcpForChannels = false;
    EXPECT_EQ(answer(1024).substr(0, 13), "0 99 -1 0 1 0");
    fields.wrapChannels = false;
    fields.useMcpForChannels = true;
    EXPECT_EQ(answer(1024).substr(0, 13), "0 99 -1 0 0 1");
}

TEST_F(ResultRequest, EmptyEditsAndNoSelectionKeepTheFields) {
    fields.encoderSpeedText.clear();
    fields.accelerationText.clear();
    fields.midiInputIndex.reset();
    fields.midiOutputIndex.reset();
    EXPECT_EQ(answer(1024), "1 40 2 3 0 0 20 2 12 5 40364 4 1011 4 1012 5 40112 5 40111 4 1013");
}

TEST_F(ResultRequest, BuffersTooSmallToAnswerChangeNothing) {
    fields.encoderSpeedText = "5";
    const SurfaceSettings before = stored;
    for (std::size_t size : {0u, 1u}) {
        std::vector<char> buffer(8, '#');
        EXPECT_EQ(answerResultRequest(stored, fields, buffer.data(), size), 0u) << size;
        EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "########") << size;
    }
    EXPECT_EQ(answerResultRequest(stored, fields, nullptr, 1024), 0u);
    EXPECT_EQ(stored, before);
}

TEST_F(ResultRequest, ShortBuffersGetWholeItemsOnly) {
    EXPECT_EQ(answer(2), "1");
    EXPECT_EQ(answer(4), "1");
    EXPECT_EQ(answer(5), "1 40");
    EXPECT_EQ(answer(20), "1 40 2 3 0 0 20");
    stored.actions[kSlotFootSwitch] = std::string(1000, 'F');
    const std::string shortened = answer(1024);
    EXPECT_EQ(shortened, "1 40 2 3 0 0 20 2 12 5 40364 4 1011 4 1012 5 40112 5 40111");
    // What the host stores still parses: the numbers and the items that fitted survive.
    SurfaceSettings reread = ParseSurfaceSettings(shortened.c_str());
    EXPECT_EQ(reread.encoderSpeed, 40);
    EXPECT_EQ(reread.actions[kSlotFunction4], "40111");
    EXPECT_EQ(reread.actions[kSlotFootSwitch], "1013");
}

} // namespace
