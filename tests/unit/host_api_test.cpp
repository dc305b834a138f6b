// Binding the plug-in's host function table, against the simulated host.
#include "host_api.h"

#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// The bound pointer at table position `index`, as an address.
void* boundPointer(int index) {
    const void* const pointers[] = {
#define TAMSEL_POINTER_ADDRESS(ret, name, params) reinterpret_cast<void*>(host::name),
        TAMSEL_HOST_FUNCTIONS(TAMSEL_POINTER_ADDRESS)
#undef TAMSEL_POINTER_ADDRESS
    };
    return const_cast<void*>(pointers[index]);
}

Lines firstNames(int count) {
    Lines names;
    for (int i = 0; i < count; ++i)
        names.emplace_back(host::functionName(i));
    return names;
}

class HostBinding : public ::testing::Test {
protected:
    ~HostBinding() override { host::unbindFunctions(); }

    hostsim::Host model;
    hostsim::CurrentHost current{model};
};

TEST_F(HostBinding, BindsEveryFunctionToTheModelInTableOrder) {
    ASSERT_TRUE(host::bindFunctions(hostsim::getFunc));
    Lines expected = firstNames(host::kFunctionCount);
    for (int i = 0; i < host::kOptionalFunctionCount; ++i)
        expected.emplace_back(host::optionalFunctionName(i));
    EXPECT_EQ(model.lookups(), expected) << "the optional functions after the 50";
    EXPECT_NE(host::GetResourcePath, nullptr);
    for (int i = 0; i < host::kFunctionCount; ++i) {
        SCOPED_TRACE(host::functionName(i));
        EXPECT_NE(boundPointer(i), nullptr);
        EXPECT_EQ(boundPointer(i), hostsim::getFunc(host::functionName(i)));
    }
}

TEST(HostBindingWithheld, EachMissingFunctionFailsTheBindAndEndsTheLookups) {
    for (int missing = 0; missing < host::kFunctionCount; ++missing) {
        SCOPED_TRACE(host::functionName(missing));
        hostsim::Host model;
        hostsim::CurrentHost current(model);
        model.withhold(host::functionName(missing));
        EXPECT_FALSE(host::bindFunctions(hostsim::getFunc));
        EXPECT_EQ(model.lookups(), firstNames(missing + 1));
        for (int i = 0; i < host::kFunctionCount; ++i)
            EXPECT_EQ(boundPointer(i) != nullptr, i < missing) << host::functionName(i);
        host::unbindFunctions();
    }
}

TEST(HostBindingTable, FunctionNamesFollowTheLookupOrder) {
    struct Case {
        int index;
        const char* name;
    };
    for (const Case& c : {Case{0, "DB2SLIDER"}, Case{4, "CreateMIDIInput"}, Case{8, "CSurf_TrackToID"},
                          Case{29, "TrackList_UpdateAllExternalSurfaces"}, Case{34, "TrackFX_GetNumParams"},
                          Case{37, "TrackFX_GetParamName"}, Case{40, "GetTrackInfo"},
                          Case{46, "GetPlayPosition"}, Case{49, "GetExePath"}})
        EXPECT_STREQ(host::functionName(c.index), c.name) << c.index;
    EXPECT_EQ(host::functionName(-1), nullptr);
    EXPECT_EQ(host::functionName(host::kFunctionCount), nullptr);
}

TEST(HostBindingTable, ANullLookupBindsNothing) {
    EXPECT_FALSE(host::bindFunctions(nullptr));
    for (int i = 0; i < host::kFunctionCount; ++i)
        EXPECT_EQ(boundPointer(i), nullptr) << host::functionName(i);
}

TEST_F(HostBinding, LookupsOfUnknownNamesAnswerNull) {
    EXPECT_EQ(hostsim::getFunc("CSurf_OnPause"), nullptr);
    EXPECT_EQ(hostsim::getFunc("db2slider"), nullptr);
    EXPECT_EQ(hostsim::getFunc(""), nullptr);
    EXPECT_EQ(hostsim::getFunc(nullptr), nullptr);
    EXPECT_EQ(model.lookups(), (Lines{"CSurf_OnPause", "db2slider", "", "(null)"}));
}

TEST_F(HostBinding, AWithheldNameIsOnlyMissingFromItsOwnHost) {
    model.withhold("GetExePath");
    EXPECT_EQ(hostsim::getFunc("GetExePath"), nullptr);
    hostsim::Host other;
    hostsim::CurrentHost scope(other);
    EXPECT_NE(hostsim::getFunc("GetExePath"), nullptr);
}

// Every function called once through the plug-in's pointers, with arguments only the right forwarding
// turns into these results.
TEST_F(HostBinding, EveryBoundFunctionReachesTheCurrentModel) {
    hostsim::Project& p = model.project();
    hostsim::Track& kick = p.addTrack("Kick");
    hostsim::Track& bass = p.addTrack("Bass");
    bass.addFx("ReaEQ", {{"Gain", 1.0, -24.0, 24.0}});
    kick.addSend(bass, 0.5, true);
    p.transport().setLength(100.0);
    model.midi().addInput("In A");
    model.midi().addOutput("Out A");
    model.midi().addOutput("Out B");
    model.commands().defineName("_XYZ", 55555);
    int ran = 0;
    model.commands().define(55555,
                            [&](const hostsim::CommandCall& c) { ran += c.fromKeyboard ? c.value : 1; });
    MediaTrack* k = model.handle(kick);
    MediaTrack* b = model.handle(bass);
    ASSERT_TRUE(host::bindFunctions(hostsim::getFunc));

    EXPECT_NEAR(host::DB2SLIDER(0.0), 707.9457843841379, 1e-9);
    EXPECT_NEAR(host::SLIDER2DB(1000.0), 12.0, 1e-9);
    EXPECT_EQ(host::GetNumMIDIInputs(), 1);
    EXPECT_EQ(host::GetNumMIDIOutputs(), 2);
    char name[16];
    EXPECT_TRUE(host::GetMIDIOutputName(1, name, sizeof name));
    EXPECT_STREQ(name, "Out B");
    EXPECT_TRUE(host::GetMIDIInputName(0, name, sizeof name));
    EXPECT_STREQ(name, "In A");
    midi_Input* in = host::CreateMIDIInput(0);
    midi_Output* out = host::CreateMIDIOutput(1, false, nullptr);
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    in->Destroy();
    out->Destroy();

    EXPECT_EQ(host::CSurf_TrackToID(b, false), 2);
    EXPECT_EQ(host::CSurf_TrackFromID(1, false), k);
    EXPECT_EQ(host::CSurf_NumTracks(false), 2);
    host::CSurf_SetSurfaceVolume(k, 0.5, nullptr);
    host::CSurf_SetSurfacePan(k, 0.5, nullptr);
    EXPECT_DOUBLE_EQ(host::CSurf_OnVolumeChange(k, 0.25, false), 0.25);
    EXPECT_DOUBLE_EQ(host::CSurf_OnPanChange(k, -0.5, true), -0.5);
    EXPECT_TRUE(host::CSurf_OnMuteChange(k, -1));
    EXPECT_TRUE(host::CSurf_OnRecArmChange(b, 1));
    host::CSurf_OnPlay();
    host::CSurf_OnStop();
    host::CSurf_OnFwd(0);
    host::CSurf_OnRew(0);
    host::CSurf_OnRecord();
    host::CSurf_GoStart();
    host::CSurf_GoEnd();
    EXPECT_TRUE(host::CSurf_OnSoloChange(b, -1));
    host::CSurf_SetAutoMode(-1, nullptr);
    host::CSurf_ScrubAmt(-2.0);
    host::CSurf_SetSurfaceSelected(b, true, nullptr);
    EXPECT_TRUE(host::CSurf_OnSelectedChange(b, 1));
    host::TrackList_UpdateAllExternalSurfaces();
    host::SetTrackAutomationMode(k, hostsim::kAutoWrite);
    EXPECT_EQ(host::GetTrackAutomationMode(k), hostsim::kAutoWrite);
    host::SetTrackSelected(b, false);
    EXPECT_EQ(host::TrackFX_GetCount(b), 1);
    EXPECT_EQ(host::TrackFX_GetNumParams(b, 0), 1);
    double min = 0, max = 0;
    EXPECT_EQ(host::TrackFX_GetParam(b, 0, 0, &min, &max), 1.0);
    EXPECT_EQ(min, -24.0);
    EXPECT_EQ(max, 24.0);
    EXPECT_TRUE(host::TrackFX_SetParam(b, 0, 0, 6.0));
    EXPECT_TRUE(host::TrackFX_GetParamName(b, 0, 0, name, sizeof name));
    EXPECT_STREQ(name, "Gain");
    EXPECT_TRUE(host::TrackFX_GetFXName(b, 0, name, sizeof name));
    EXPECT_STREQ(name, "ReaEQ");
    int recmon = 1;
    host::GetSetMediaTrackInfo(k, "I_RECMON", &recmon);
    EXPECT_EQ(*static_cast<int*>(host::GetSetMediaTrackInfo(k, "I_RECMON", nullptr)), 1);
    int flags = 0;
    EXPECT_STREQ(host::GetTrackInfo(1, &flags), "Bass");
    EXPECT_EQ(flags, 4 | 16 | 64);
    EXPECT_EQ(host::GetLastTouchedTrack(), nullptr);
    host::Main_OnCommand(55555, 0);
    EXPECT_EQ(host::GetSetTrackSendInfo(k, 0, 0, "P_DESTTRACK", nullptr), b);
    EXPECT_NEAR(host::GetCursorPosition(), 99.9, 1e-9) << "the end, scrubbed back";
    host::SetEditCurPos(42.0, true, true);
    EXPECT_EQ(host::GetPlayPosition(), 42.0);
    EXPECT_EQ(host::KBD_OnMainActionEx(55555, 7, -1, 1, nullptr, nullptr), 1);
    EXPECT_EQ(host::NamedCommandLookup("_XYZ"), 55555);
    EXPECT_STREQ(host::GetExePath(), "C:\\Program Files\\REAPER (x64)");

    EXPECT_EQ(ran, 8);
    EXPECT_EQ(model.log().actions(), (Lines{"CreateMIDIInput(0) -> device",
                                            "CreateMIDIOutput(1, false, null) -> device",
                                            "midi_Input(0)->Destroy()",
                                            "midi_Output(1)->Destroy()",
                                            "CSurf_SetSurfaceVolume(track 1, 0.500000, null)",
                                            "CSurf_SetSurfacePan(track 1, 0.500000, null)",
                                            "CSurf_OnVolumeChange(track 1, 0.250000, abs) -> 0.250000",
                                            "CSurf_OnPanChange(track 1, -0.500000, rel) -> -0.500000",
                                            "CSurf_OnMuteChange(track 1, -1) -> true",
                                            "CSurf_OnRecArmChange(track 2, 1) -> true",
                                            "CSurf_OnPlay()",
                                            "CSurf_OnStop()",
                                            "CSurf_OnFwd(0)",
                                            "CSurf_OnRew(0)",
                                            "CSurf_OnRecord()",
                                            "CSurf_GoStart()",
                                            "CSurf_GoEnd()",
                                            "CSurf_OnSoloChange(track 2, -1) -> true",
                                            "CSurf_SetAutoMode(-1, null)",
                                            "CSurf_ScrubAmt(-2.000000)",
                                            "CSurf_SetSurfaceSelected(track 2, true, null)",
                                            "CSurf_OnSelectedChange(track 2, 1) -> true",
                                            "TrackList_UpdateAllExternalSurfaces()",
                                            "SetTrackAutomationMode(track 1, 3)",
                                            "SetTrackSelected(track 2, false)",
                                            "TrackFX_SetParam(track 2, 0, 0, 6.000000) -> true",
                                            "GetSetMediaTrackInfo(track 1, \"I_RECMON\", 1)",
                                            "Main_OnCommand(55555, 0)",
                                            "SetEditCurPos(42.000000, true, true)",
                                            "KBD_OnMainActionEx(55555, 7, -1, 1, null, null) -> 1"}));
}

TEST(HostBindingNoHost, FunctionsWithoutACurrentHostDoNothingAndAnswerZero) {
    ASSERT_EQ(hostsim::Host::current(), nullptr);
    ASSERT_TRUE(host::bindFunctions(hostsim::getFunc)) << "the addresses do not depend on a host";
    host::CSurf_OnPlay();
    EXPECT_EQ(host::CSurf_NumTracks(false), 0);
    EXPECT_EQ(host::CSurf_TrackFromID(0, false), nullptr);
    EXPECT_EQ(host::GetExePath(), nullptr);
    EXPECT_EQ(host::CreateMIDIInput(0), nullptr);
    host::unbindFunctions();
}

TEST_F(HostBinding, ExceptionsNeverLeaveAHostFunction) {
    model.commands().define(1,
                            [](const hostsim::CommandCall&) { throw std::runtime_error("handler failed"); });
    ASSERT_TRUE(host::bindFunctions(hostsim::getFunc));
    EXPECT_NO_THROW(host::Main_OnCommand(1, 0));
    EXPECT_EQ(host::KBD_OnMainActionEx(1, 0, -1, 1, nullptr, nullptr), 0);
}

TEST(CurrentHost, ScopesNestAndRestoreThePreviousHost) {
    hostsim::Host outer;
    hostsim::Host inner;
    {
        hostsim::CurrentHost a(outer);
        {
            hostsim::CurrentHost b(inner);
            EXPECT_EQ(hostsim::Host::current(), &inner);
        }
        EXPECT_EQ(hostsim::Host::current(), &outer);
    }
    EXPECT_EQ(hostsim::Host::current(), nullptr);
}

} // namespace
