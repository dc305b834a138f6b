#pragma once
// The device objects the host hands out, in front of the real ones (in-memory fakes or the system's MIDI).
// They let a device go away and come back while the host runs, as a USB controller does when unplugged or
// when the computer sleeps: an object opened before the device went away stays dead for good, delivering
// nothing and sending nothing, however often the device comes back; only a new object works again.

#include "hostsim/model/midi_event_list.h"
#include "hostsim/model/msvc_slot.h"

#include <atomic>
#include <memory>

namespace hostsim {

// Bumped each time the device goes away; an object is alive while it still reads the value it opened with.
using DeviceGeneration = std::shared_ptr<std::atomic<unsigned>>;

class GatedInput final : public midi_Input {
public:
    GatedInput(midi_Input* inner, DeviceGeneration generation);
    ~GatedInput();
    GatedInput(const GatedInput&) = delete;
    GatedInput& operator=(const GatedInput&) = delete;

    void start() override { m_inner->start(); }
    void stop() override { m_inner->stop(); }
    void SwapBufs(unsigned int timestamp_ms) override { m_inner->SwapBufs(timestamp_ms); }
    void RunPreNoteTracking(int isAccum) override { m_inner->RunPreNoteTracking(isAccum); }
    MIDI_eventlist* GetReadBuf() override;
    void SwapBufsPrecise(unsigned int coarse_ms, double precise) override {
        m_inner->SwapBufsPrecise(coarse_ms, precise);
    }
    void Destroy() override;
    HOSTSIM_MSVC_DELETING_DESTRUCTOR(GatedInput)

private:
    midi_Input* m_inner;
    DeviceGeneration m_generation;
    unsigned m_opened;
    bool m_destroying = false;
    MidiEventList m_nothing;
};

class GatedOutput final : public midi_Output {
public:
    GatedOutput(midi_Output* inner, DeviceGeneration generation);
    ~GatedOutput();
    GatedOutput(const GatedOutput&) = delete;
    GatedOutput& operator=(const GatedOutput&) = delete;

    void BeginBlock() override { m_inner->BeginBlock(); }
    void EndBlock(int length, double srate, double curtempo) override {
        m_inner->EndBlock(length, srate, curtempo);
    }
    void SendMsg(MIDI_event_t* msg, int frame_offset) override;
    void Send(unsigned char status, unsigned char d1, unsigned char d2, int frame_offset) override;
    void Destroy() override;
    HOSTSIM_MSVC_DELETING_DESTRUCTOR(GatedOutput)

private:
    bool alive() const { return m_generation->load() == m_opened; }

    midi_Output* m_inner;
    DeviceGeneration m_generation;
    unsigned m_opened;
    bool m_destroying = false;
};

} // namespace hostsim
