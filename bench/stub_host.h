#pragma once
// A host that only answers, with no bookkeeping of its own, for measuring what the surface itself costs:
// every host function returns zero or nothing, except the few a Run, a dispatched event or a poll needs
// something real from. MIDI devices hand over and swallow messages.

#include "host_api.h"
#include "reaper_abi.h"

#include <cstddef>
#include <vector>

namespace bench {

class StubList final : public MIDI_eventlist {
public:
    void AddItem(MIDI_event_t* e) override { events.push_back(*e); }
    MIDI_event_t* EnumItems(int* bpos) override {
        if (!bpos || *bpos < 0 || static_cast<std::size_t>(*bpos) >= events.size())
            return nullptr;
        return &events[static_cast<std::size_t>((*bpos)++)];
    }
    void DeleteItem(int) override {}
    int GetSize() override { return static_cast<int>(events.size()); }
    void Empty() override { events.clear(); }
    std::vector<MIDI_event_t> events;
};

class StubInput final : public midi_Input {
public:
    void start() override {}
    void stop() override {}
    void SwapBufs(unsigned int) override {
        read.events.swap(pending.events);
        pending.events.clear();
    }
    void RunPreNoteTracking(int) override {}
    MIDI_eventlist* GetReadBuf() override { return &read; }
    void SwapBufsPrecise(unsigned int coarse, double) override { SwapBufs(coarse); }
    void Destroy() override {}
    StubList pending, read;
};

class StubOutput final : public midi_Output {
public:
    void BeginBlock() override {}
    void EndBlock(int, double, double) override {}
    void SendMsg(MIDI_event_t*, int) override {}
    void Send(unsigned char, unsigned char, unsigned char, int) override {}
    void Destroy() override {}
};

inline StubInput g_input;
inline StubOutput g_output;
inline MediaTrack* const g_track = reinterpret_cast<MediaTrack*>(&g_input); // any non-null handle, id 1
inline double g_zero[2] = {0, 0}; // what any track or send value reads as

template <class R> R answerZero() {
    return R();
}

// Binds every host pointer to the stub.
inline void bindStubHost() {
#define TAMSEL_STUB_HOST(ret, name, params)                                                                  \
    host::name = [](auto...) {                                                                               \
        return answerZero<ret>();                                                                            \
    };
    TAMSEL_HOST_FUNCTIONS(TAMSEL_STUB_HOST)
    TAMSEL_OPTIONAL_HOST_FUNCTIONS(TAMSEL_STUB_HOST)
#undef TAMSEL_STUB_HOST
    host::CreateMIDIInput = [](int) -> midi_Input* {
        return &g_input;
    };
    host::CreateMIDIOutput = [](int, bool, int*) -> midi_Output* {
        return &g_output;
    };
    host::CSurf_NumTracks = [](bool) {
        return 8;
    };
    host::CSurf_TrackFromID = [](int id, bool) {
        return id == 1 ? g_track : nullptr;
    };
    host::CSurf_TrackToID = [](MediaTrack* t, bool) {
        return t == g_track ? 1 : -1;
    };
    host::CSurf_OnPanChange = [](MediaTrack*, double pan, bool) {
        return pan;
    };
    host::GetSetMediaTrackInfo = [](MediaTrack*, const char*, void*) -> void* {
        return g_zero;
    };
    host::GetTrackInfo = [](std::intptr_t index, int* flags) -> const char* {
        if (flags)
            *flags = 0;
        return index >= -1 && index < 8 ? "Stub" : nullptr;
    };
}

} // namespace bench
