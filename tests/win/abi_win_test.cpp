// Checks our host-interface declarations against the MSVC object layout REAPER uses: objects built as plain
// C function tables in MSVC slot order are called through our declarations, and an object derived from our
// surface declaration is called by raw MSVC slot index, as REAPER calls it.
#include "reaper_abi.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

static_assert(TAMSEL_MSVC_VTABLE == 1, "the Windows build must use the MSVC layout");
static_assert(offsetof(reaper_csurf_reg_t, desc_string) == 8, "desc_string at 8");
static_assert(offsetof(reaper_csurf_reg_t, create) == 16, "create at 16");
static_assert(offsetof(reaper_csurf_reg_t, ShowConfig) == 24, "ShowConfig at 24");
static_assert(offsetof(MIDI_event_t, size) == 4 && offsetof(MIDI_event_t, midi_message) == 8, "event");
static_assert(sizeof(IReaperControlSurface) == sizeof(void*), "interfaces hold only the vtable pointer");
static_assert(sizeof(midi_Output) == sizeof(void*) && sizeof(midi_Input) == sizeof(void*), "no data");

namespace {

// --- host objects as C tables: each slot records its index and arguments -------------------------------

struct CallLog {
    std::vector<std::string> calls;
    void add(std::string s) { calls.push_back(std::move(s)); }
};
CallLog g_log;

struct CTableObject {
    void* const* vtable;
};

void* slotDestructor(void*, unsigned int flags) {
    g_log.add("slot0 " + std::to_string(flags));
    return nullptr;
}

// midi_Output in MSVC order: 0 dtor, 1 BeginBlock, 2 EndBlock, 3 SendMsg, 4 Send, 5 Destroy.
void outBeginBlock(void*) {
    g_log.add("out1 BeginBlock");
}
void outEndBlock(void*, int length, double srate, double tempo) {
    g_log.add("out2 EndBlock " + std::to_string(length) + " " + std::to_string(srate) + " " +
              std::to_string(tempo));
}
void outSendMsg(void*, MIDI_event_t* msg, int frameOffset) {
    std::string bytes;
    for (int i = 0; i < msg->size; ++i)
        bytes += " " + std::to_string(msg->midi_message[i]);
    g_log.add("out3 SendMsg" + bytes + " @" + std::to_string(frameOffset));
}
void outSend(void*, unsigned char status, unsigned char d1, unsigned char d2, int frameOffset) {
    g_log.add("out4 Send " + std::to_string(status) + " " + std::to_string(d1) + " " + std::to_string(d2) +
              " @" + std::to_string(frameOffset));
}
void outDestroy(void*) {
    g_log.add("out5 Destroy");
}

void* const kOutputTable[] = {
    reinterpret_cast<void*>(&slotDestructor), reinterpret_cast<void*>(&outBeginBlock),
    reinterpret_cast<void*>(&outEndBlock),    reinterpret_cast<void*>(&outSendMsg),
    reinterpret_cast<void*>(&outSend),        reinterpret_cast<void*>(&outDestroy),
};

// MIDI_eventlist: 0 AddItem, 1 EnumItems, 2 DeleteItem, 3 GetSize, 4 Empty, 5 dtor.
MIDI_event_t g_events[2] = {{0, 3, {0x90, 0x5E, 0x7F, 0}}, {7, 3, {0xB0, 0x10, 0x41, 0}}};
void listAddItem(void*, MIDI_event_t*) {
    g_log.add("list0 AddItem");
}
MIDI_event_t* listEnumItems(void*, int* bpos) {
    g_log.add("list1 EnumItems " + std::to_string(*bpos));
    if (*bpos < 0 || *bpos >= 2)
        return nullptr;
    return &g_events[(*bpos)++];
}
void listDeleteItem(void*, int) {
    g_log.add("list2 DeleteItem");
}
int listGetSize(void*) {
    g_log.add("list3 GetSize");
    return 24;
}
void listEmpty(void*) {
    g_log.add("list4 Empty");
}

void* const kListTable[] = {
    reinterpret_cast<void*>(&listAddItem),    reinterpret_cast<void*>(&listEnumItems),
    reinterpret_cast<void*>(&listDeleteItem), reinterpret_cast<void*>(&listGetSize),
    reinterpret_cast<void*>(&listEmpty),      reinterpret_cast<void*>(&slotDestructor),
};
CTableObject g_list{kListTable};

// midi_Input: 0 dtor, 1 start, 2 stop, 3 SwapBufs, 4 RunPreNoteTracking, 5 GetReadBuf, 6 SwapBufsPrecise,
// 7 Destroy.
void inStart(void*) {
    g_log.add("in1 start");
}
void inStop(void*) {
    g_log.add("in2 stop");
}
void inSwapBufs(void*, unsigned int ms) {
    g_log.add("in3 SwapBufs " + std::to_string(ms));
}
void inRunPre(void*, int accum) {
    g_log.add("in4 RunPreNoteTracking " + std::to_string(accum));
}
void* inGetReadBuf(void*) {
    g_log.add("in5 GetReadBuf");
    return &g_list;
}
void inSwapPrecise(void*, unsigned int ms, double precise) {
    g_log.add("in6 SwapBufsPrecise " + std::to_string(ms) + " " + std::to_string(precise));
}
void inDestroy(void*) {
    g_log.add("in7 Destroy");
}

void* const kInputTable[] = {
    reinterpret_cast<void*>(&slotDestructor), reinterpret_cast<void*>(&inStart),
    reinterpret_cast<void*>(&inStop),         reinterpret_cast<void*>(&inSwapBufs),
    reinterpret_cast<void*>(&inRunPre),       reinterpret_cast<void*>(&inGetReadBuf),
    reinterpret_cast<void*>(&inSwapPrecise),  reinterpret_cast<void*>(&inDestroy),
};

using Calls = std::vector<std::string>;

TEST(HostObjectSlots, OutputCalledThroughOurDeclarationHitsMsvcSlots) {
    g_log = {};
    CTableObject raw{kOutputTable};
    midi_Output* out = reinterpret_cast<midi_Output*>(&raw);
    out->BeginBlock();
    out->EndBlock(64, 48000.0, 120.0);
    out->Send(0x90, 0x5E, 0x7F, -1);
    MIDI_event_t evt{0, 3, {0xE0, 0x00, 0x40, 0}};
    out->SendMsg(&evt, -1);
    out->Destroy();
    EXPECT_EQ(g_log.calls, (Calls{"out1 BeginBlock", "out2 EndBlock 64 48000.000000 120.000000",
                                  "out4 Send 144 94 127 @-1", "out3 SendMsg 224 0 64 @-1", "out5 Destroy"}));
}

TEST(HostObjectSlots, InputAndEventListCalledThroughOurDeclarationHitMsvcSlots) {
    g_log = {};
    CTableObject raw{kInputTable};
    midi_Input* in = reinterpret_cast<midi_Input*>(&raw);
    in->start();
    in->SwapBufs(123456u);
    in->RunPreNoteTracking(1);
    in->SwapBufsPrecise(77u, 0.5);
    MIDI_eventlist* list = in->GetReadBuf();
    ASSERT_EQ(reinterpret_cast<void*>(list), reinterpret_cast<void*>(&g_list));
    int pos = 0;
    std::vector<int> offsets;
    while (MIDI_event_t* e = list->EnumItems(&pos))
        offsets.push_back(e->frame_offset);
    EXPECT_EQ(offsets, (std::vector<int>{0, 7}));
    EXPECT_EQ(list->GetSize(), 24);
    list->Empty();
    in->stop();
    in->Destroy();
    EXPECT_EQ(g_log.calls, (Calls{"in1 start", "in3 SwapBufs 123456", "in4 RunPreNoteTracking 1",
                                  "in6 SwapBufsPrecise 77 0.500000", "in5 GetReadBuf", "list1 EnumItems 0",
                                  "list1 EnumItems 1", "list1 EnumItems 2", "list3 GetSize", "list4 Empty",
                                  "in2 stop", "in7 Destroy"}));
}

// --- a surface derived from our declaration, called by MSVC slot index ------------------------------------

int g_destroyed = 0;
int g_freed = 0;

class SlotSurface final : public IReaperControlSurface {
public:
    static void* operator new(std::size_t size) { return std::malloc(size); }
    static void operator delete(void* p) {
        ++g_freed;
        std::free(p);
    }
    ~SlotSurface() { ++g_destroyed; }

    void* msvcDeletingDestructor(unsigned int flags) override {
        this->~SlotSurface();
        if (flags & 1)
            operator delete(this);
        return this;
    }
    const char* GetTypeString() override { return "CC121"; }
    const char* GetDescString() override { return "desc"; }
    const char* GetConfigString() override { return "config"; }
    void CloseNoReset() override { log += "CloseNoReset;"; }
    void Run() override { log += "Run;"; }
    void SetTrackListChange() override { log += "SetTrackListChange;"; }
    void SetSurfaceVolume(MediaTrack* t, double v) override { log += "Volume " + track(t) + num(v) + ";"; }
    void SetSurfacePan(MediaTrack* t, double p) override { log += "Pan " + track(t) + num(p) + ";"; }
    void SetSurfaceMute(MediaTrack* t, bool b) override { log += "Mute " + track(t) + flag(b) + ";"; }
    void SetSurfaceSelected(MediaTrack* t, bool b) override { log += "Selected " + track(t) + flag(b) + ";"; }
    void SetSurfaceSolo(MediaTrack* t, bool b) override { log += "Solo " + track(t) + flag(b) + ";"; }
    void SetSurfaceRecArm(MediaTrack* t, bool b) override { log += "RecArm " + track(t) + flag(b) + ";"; }
    void SetPlayState(bool p, bool pa, bool r) override {
        log += "Play " + flag(p) + " " + flag(pa) + " " + flag(r) + ";";
    }
    void SetRepeatState(bool r) override { log += "Repeat " + flag(r) + ";"; }
    void SetTrackTitle(MediaTrack* t, const char* title) override {
        log += "Title " + track(t) + title + ";";
    }
    bool GetTouchState(MediaTrack*, int isPan) override { return isPan == 1; }
    void SetAutoMode(int mode) override { log += "AutoMode " + std::to_string(mode) + ";"; }
    void ResetCachedVolPanStates() override { log += "Reset;"; }
    void OnTrackSelection(MediaTrack* t) override { log += "OnTrackSelection " + track(t) + ";"; }
    bool IsKeyDown(int key) override { return key == 17; }
    int Extended(int call, void* a, void*, void* c) override {
        return call * 1000 + (a ? 10 : 0) + (c ? 1 : 0);
    }

    std::string log;

private:
    static std::string track(MediaTrack* t) {
        return std::to_string(reinterpret_cast<std::uintptr_t>(t)) + " ";
    }
    static std::string num(double v) { return std::to_string(v); }
    static std::string flag(bool b) { return b ? "1" : "0"; }
};

template <typename Fn> Fn slot(IReaperControlSurface* s, int index) {
    void* const* vtable = *reinterpret_cast<void* const* const*>(s);
    return reinterpret_cast<Fn>(vtable[index]);
}

MediaTrack* fakeTrack(std::uintptr_t n) {
    return reinterpret_cast<MediaTrack*>(n);
}

TEST(SurfaceSlots, HostCallsReachTheRightMethods) {
    auto* obj = new SlotSurface;
    IReaperControlSurface* s = obj;
    using Str = const char* (*)(void*);
    EXPECT_STREQ(slot<Str>(s, 1)(s), "CC121");
    EXPECT_STREQ(slot<Str>(s, 2)(s), "desc");
    EXPECT_STREQ(slot<Str>(s, 3)(s), "config");
    slot<void (*)(void*)>(s, 4)(s);
    slot<void (*)(void*)>(s, 5)(s);
    slot<void (*)(void*)>(s, 6)(s);
    slot<void (*)(void*, MediaTrack*, double)>(s, 7)(s, fakeTrack(16), 0.25);
    slot<void (*)(void*, MediaTrack*, double)>(s, 8)(s, fakeTrack(32), -0.5);
    slot<void (*)(void*, MediaTrack*, bool)>(s, 9)(s, fakeTrack(48), true);
    slot<void (*)(void*, MediaTrack*, bool)>(s, 10)(s, fakeTrack(64), false);
    slot<void (*)(void*, MediaTrack*, bool)>(s, 11)(s, fakeTrack(80), true);
    slot<void (*)(void*, MediaTrack*, bool)>(s, 12)(s, fakeTrack(96), true);
    slot<void (*)(void*, bool, bool, bool)>(s, 13)(s, true, false, true);
    slot<void (*)(void*, bool)>(s, 14)(s, true);
    slot<void (*)(void*, MediaTrack*, const char*)>(s, 15)(s, fakeTrack(112), "Drums");
    EXPECT_TRUE((slot<bool (*)(void*, MediaTrack*, int)>(s, 16)(s, nullptr, 1)));
    EXPECT_FALSE((slot<bool (*)(void*, MediaTrack*, int)>(s, 16)(s, nullptr, 0)));
    slot<void (*)(void*, int)>(s, 17)(s, 4);
    slot<void (*)(void*)>(s, 18)(s);
    slot<void (*)(void*, MediaTrack*)>(s, 19)(s, fakeTrack(128));
    EXPECT_TRUE((slot<bool (*)(void*, int)>(s, 20)(s, 17)));
    int dummy = 0;
    EXPECT_EQ((slot<int (*)(void*, int, void*, void*, void*)>(s, 21)(s, 7, &dummy, nullptr, &dummy)), 7011);

    EXPECT_EQ(obj->log, "CloseNoReset;Run;SetTrackListChange;Volume 16 0.250000;Pan 32 -0.500000;Mute 48 1;"
                        "Selected 64 0;Solo 80 1;RecArm 96 1;Play 1 0 1;Repeat 1;Title 112 Drums;AutoMode 4;"
                        "Reset;OnTrackSelection 128 ;");

    g_destroyed = g_freed = 0;
    using Dtor = void* (*)(void*, unsigned int);
    void* result = slot<Dtor>(s, 0)(s, 1);
    EXPECT_EQ(result, static_cast<void*>(obj));
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(g_freed, 1);
}

TEST(SurfaceSlots, DeletingDestructorWithoutFlagKeepsTheMemory) {
    void* memory = SlotSurface::operator new(sizeof(SlotSurface));
    IReaperControlSurface* s = ::new (memory) SlotSurface;
    g_destroyed = g_freed = 0;
    using Dtor = void* (*)(void*, unsigned int);
    EXPECT_EQ(slot<Dtor>(s, 0)(s, 0), memory);
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(g_freed, 0);
    SlotSurface::operator delete(memory);
    EXPECT_EQ(g_freed, 1);
}

} // namespace
