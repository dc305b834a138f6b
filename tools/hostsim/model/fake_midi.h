#pragma once
// In-memory MIDI devices for the simulated host. Tests inject what a controller would send into an input
// and read back every message the plug-in sent to an output, byte for byte with its frame offset.

#include "hostsim/model/midi_event_list.h"
#include "hostsim/model/midi_factory.h"
#include "hostsim/model/msvc_slot.h"

#include <iosfwd>
#include <map>
#include <mutex>
#include <vector>

namespace hostsim {

struct WireMessage {
    int frameOffset = 0;
    std::vector<unsigned char> bytes;
};

bool operator==(const WireMessage& a, const WireMessage& b);
bool operator!=(const WireMessage& a, const WireMessage& b);
// "-1: 90 5E 7F", so test failures show the bytes.
std::ostream& operator<<(std::ostream& out, const WireMessage& message);

class FakeMidi;

class FakeMidiInput final : public midi_Input {
public:
    FakeMidiInput(int dev, FakeMidi& owner, MidiDeviceObserver& observer);
    ~FakeMidiInput();
    FakeMidiInput(const FakeMidiInput&) = delete;
    FakeMidiInput& operator=(const FakeMidiInput&) = delete;

    // Queues a message as if the device had received it, for the next SwapBufs. Like a real port, a
    // device that is not started drops it (false).
    bool inject(const std::vector<unsigned char>& bytes, int frameOffset = 0);
    int device() const { return m_dev; }
    bool started() const { return m_started; }
    int swapCount() const { return m_swaps; }
    unsigned int lastSwapTime() const { return m_lastSwapTime; }
    int pendingCount() const { return m_incoming.count(); }

    void start() override;
    void stop() override;
    // The events injected since the previous swap become the read buffer.
    void SwapBufs(unsigned int timestamp_ms) override;
    void RunPreNoteTracking(int) override {}
    MIDI_eventlist* GetReadBuf() override { return &m_readBuf; }
    void SwapBufsPrecise(unsigned int coarse_ms, double) override { SwapBufs(coarse_ms); }
    // Recorded by the host; frees the object.
    void Destroy() override;
    HOSTSIM_MSVC_DELETING_DESTRUCTOR(FakeMidiInput)

private:
    friend class FakeMidi;
    void detach();

    int m_dev;
    FakeMidi* m_owner;
    MidiDeviceObserver* m_observer;
    MidiEventList m_incoming;
    MidiEventList m_readBuf;
    bool m_started = false;
    bool m_destroying = false;
    int m_swaps = 0;
    unsigned int m_lastSwapTime = 0;
};

class FakeMidiOutput final : public midi_Output {
public:
    FakeMidiOutput(int dev, FakeMidi& owner, MidiDeviceObserver& observer);
    ~FakeMidiOutput();
    FakeMidiOutput(const FakeMidiOutput&) = delete;
    FakeMidiOutput& operator=(const FakeMidiOutput&) = delete;

    int device() const { return m_dev; }

    void BeginBlock() override {}
    void EndBlock(int, double, double) override {}
    // Records `size` bytes of the event with the given frame offset.
    void SendMsg(MIDI_event_t* msg, int frame_offset) override;
    // Records the three bytes with the given frame offset.
    void Send(unsigned char status, unsigned char d1, unsigned char d2, int frame_offset) override;
    void Destroy() override;
    HOSTSIM_MSVC_DELETING_DESTRUCTOR(FakeMidiOutput)

private:
    friend class FakeMidi;
    void detach();

    int m_dev;
    FakeMidi* m_owner;
    MidiDeviceObserver* m_observer;
    bool m_destroying = false;
};

class FakeMidi final : public MidiDeviceFactory {
public:
    FakeMidi() = default;
    ~FakeMidi() override;
    FakeMidi(const FakeMidi&) = delete;
    FakeMidi& operator=(const FakeMidi&) = delete;

    midi_Input* createInput(int dev, const MidiPortInfo& port, MidiDeviceObserver& observer) override;
    midi_Output* createOutput(int dev, const MidiPortInfo& port, MidiDeviceObserver& observer) override;

    // The live object most recently opened on the device, or null.
    FakeMidiInput* input(int dev) const;
    FakeMidiOutput* output(int dev) const;
    // Everything sent to output `dev` by any of its objects, in order; kept after they are destroyed. A
    // plug-in may send from its own thread: read this only while nothing is sending.
    const std::vector<WireMessage>& sent(int dev) const;
    // A copy of the same, safe while a plug-in's thread is sending.
    std::vector<WireMessage> sentSoFar(int dev) const;
    void clearSent() {
        std::lock_guard<std::mutex> lock(m_sentMutex);
        m_sent.clear();
    }

private:
    friend class FakeMidiInput;
    friend class FakeMidiOutput;
    void forget(const FakeMidiInput* input);
    void forget(const FakeMidiOutput* output);
    void record(int dev, WireMessage message);

    std::vector<FakeMidiInput*> m_inputs;
    std::vector<FakeMidiOutput*> m_outputs;
    mutable std::mutex m_sentMutex; // record() runs on the sender's thread
    std::map<int, std::vector<WireMessage>> m_sent;
};

} // namespace hostsim
