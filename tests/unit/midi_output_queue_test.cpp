// The output queue on its own, against a fake output and a pause the test can hold, stretch or hang.
#include "cc121_controls.h"
#include "midi_output_queue.h"
#include "platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

// Allocation on this thread fails while set: a host short of memory.
namespace {
thread_local bool t_noMemory = false;
}
void* operator new(std::size_t size) {
    void* p = t_noMemory ? nullptr : std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace cc121;
using Lines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

// One transcript of messages and pauses. It lives for the whole program: a worker the queue left behind may
// still be inside a pause when its test ends.
class Wire final : public tamsel::Platform {
public:
    enum class Pause { Instant, Real, Hold };

    std::uint32_t nowMs() override { return 0; }
    void pauseMs(std::uint32_t ms) override {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_lines.push_back("pause " + std::to_string(ms));
        if (mode == Pause::Hold) {
            ++m_held;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return mode != Pause::Hold; });
        } else if (mode == Pause::Real) {
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            lock.lock();
        }
        ++m_returned;
        m_changed.notify_all();
    }
    std::vector<std::string> listFiles(const std::string&) override { return {}; }
    void turnMouseWheel(int) override {}
    void* findDialogWindow(const char*) override { return nullptr; }
    bool isWindowVisible(void*) override { return false; }
    void closeWindow(void*) override {}

    void record(const unsigned char* bytes, int size) {
        std::string line;
        for (int i = 0; i < size; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%s%02X", i ? " " : "", bytes[i]);
            line += hex;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.push_back(line);
    }
    void reset(Pause m) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.clear();
        mode = m;
        m_held = m_returned = 0;
    }
    void waitHeld() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_held > 0; });
    }
    // Lets every held pause go and waits until they have returned.
    void release() {
        std::unique_lock<std::mutex> lock(m_mutex);
        mode = Pause::Instant;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_returned >= m_held; });
    }
    Lines lines() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lines;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    Pause mode = Pause::Instant;
    Lines m_lines;
    int m_held = 0;
    int m_returned = 0;
};

Wire g_wire;

class FakeOutput final : public midi_Output {
public:
    void BeginBlock() override {}
    void EndBlock(int, double, double) override {}
    void SendMsg(MIDI_event_t* msg, int) override { g_wire.record(msg->midi_message, msg->size); }
    void Send(unsigned char status, unsigned char d1, unsigned char d2, int) override {
        const unsigned char bytes[] = {status, d1, d2};
        g_wire.record(bytes, 3);
    }
    void Destroy() override {}
};

class OutputQueueTest : public ::testing::Test {
protected:
    void SetUp() override { m_previous = tamsel::setPlatform(&g_wire); }
    void TearDown() override {
        queue.reset();
        g_wire.release();
        tamsel::setPlatform(m_previous);
    }
    void start(Wire::Pause mode) {
        g_wire.reset(mode);
        queue = std::make_unique<MidiOutputQueue>(output.get());
    }

    std::unique_ptr<FakeOutput> output = std::make_unique<FakeOutput>();
    std::unique_ptr<MidiOutputQueue> queue;

private:
    tamsel::Platform* m_previous = nullptr;
};

const std::string kReady = "F0 43 10 3E 15 00 01 F7";

// Lamps lit after the transcript, replayed from its Note Ons.
std::uint32_t litAfter(const Lines& wire) {
    std::uint32_t lit = 0;
    for (const std::string& line : wire) {
        unsigned status = 0, note = 0, value = 0;
        if (std::sscanf(line.c_str(), "%X %X %X", &status, &note, &value) == 3 && status == 0x90)
            lit = value ? lit | findButton(static_cast<std::uint8_t>(note))->bit
                        : lit & ~findButton(static_cast<std::uint8_t>(note))->bit;
    }
    return lit;
}

// A flooded queue folds what waits: one host-ready first, every lamp any group changed with its final state,
// the fader's last position, the longest pause; what comes after the fold follows it.
TEST_F(OutputQueueTest, AFloodIsMergedIntoReadyThenTheFinalLampsThenTheLongestPause) {
    start(Wire::Pause::Hold);
    queue->pushHostReady();
    g_wire.waitHeld();                         // the worker is in the host-ready message's gap
    queue->pushLamps(kBitPlay, kBitPlay, 100); // changed only here
    queue->pushHostReady();
    queue->pushPause(20);
    queue->pushLamps(kBitPlay | kBitRecord, kBitRecord, -1);
    queue->pushPause(40);
    queue->pushLamps(kBitPlay, kBitRecord, 200); // Record ends dark
    for (std::size_t i = 6; i < MidiOutputQueue::kMaxWaiting; ++i)
        queue->pushLamps(i % 2 ? kBitPlay : kBitPlay | kBitCycle, kBitCycle, -1); // Cycle ends dark
    queue->pushLamps(kBitPlay | kBitJog, kBitJog, -1);                            // past the limit
    g_wire.release();
    queue->waitIdle();
    EXPECT_EQ(g_wire.lines(), (Lines{kReady, "pause 5", kReady, "pause 5", "E0 48 01", "90 56 00", "90 5E 7F",
                                     "90 5F 00", "pause 5", "80 56 00", "80 5E 00", "80 5F 00", "pause 40",
                                     "90 76 7F", "pause 5", "80 76 00"}));
}

// The final lamps-off goes out within the bound however much wire still waits before it.
TEST_F(OutputQueueTest, FinishSendsTheFinalLampsFirstWhateverWaits) {
    start(Wire::Pause::Real);
    const std::uint32_t bits[] = {kBitRecArm, kBitSolo, kBitMute, kBitRead, kBitCycle, kBitPlay, kBitJog};
    std::uint32_t lit = 0;
    for (int i = 0; i < 60; ++i) { // 300 ms of wire
        lit ^= bits[i % 7];
        queue->pushLamps(lit, bits[i % 7], -1);
    }
    queue->pushLamps(0, lit, -1);
    EXPECT_TRUE(queue->finishAndStop(250));
    const Lines wire = g_wire.lines();
    EXPECT_EQ(litAfter(wire), 0u);
    EXPECT_EQ(wire.back(), "pause 5");
}

// A host short of memory loses no group: the queue's room was taken when it started.
TEST_F(OutputQueueTest, QueueingWithoutMemoryLosesNothing) {
    start(Wire::Pause::Hold);
    queue->pushHostReady();
    g_wire.waitHeld();
    std::uint32_t lit = 0;
    t_noMemory = true;
    for (int i = 0; i < 50; ++i) {
        lit ^= kButtons[i % 3].bit; // Rec Arm, Solo, Mute
        queue->pushLamps(lit, kButtons[i % 3].bit, -1);
    }
    t_noMemory = false;
    g_wire.release();
    queue->waitIdle();
    const Lines wire = g_wire.lines();
    EXPECT_EQ(std::count(wire.begin(), wire.end(), "pause 5"), 51);
    EXPECT_EQ(litAfter(wire), lit);
}

// A pause that never ends holds neither stop past its bound; what the worker had begun stops at the message
// it was on, nothing that waited goes out, and the output may go at once: the worker never touches it again.
TEST_F(OutputQueueTest, AHangingPauseHoldsNeitherStopAndTheWorkerLeavesTheOutputAlone) {
    for (const bool finish : {true, false}) {
        SCOPED_TRACE(finish ? "finish" : "discard");
        start(Wire::Pause::Hold);
        queue->pushLamps(kBitSolo, kBitSolo, -1);
        g_wire.waitHeld();
        queue->pushLamps(kBitSolo | kBitMute, kBitMute, -1);
        queue->pushHostReady();
        const auto begin = Clock::now();
        if (finish)
            EXPECT_FALSE(queue->finishAndStop(250));
        else
            queue->discardAndStop();
        EXPECT_LT(Clock::now() - begin, std::chrono::seconds(2));
        output.reset();
        g_wire.release(); // the worker comes back from its pause to an output that is gone
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(g_wire.lines(), (Lines{"90 08 7F", "pause 5"}));
        output = std::make_unique<FakeOutput>();
    }
}

} // namespace
