// The loop-back MIDI driver (tools/wine-midi-loop) through the calls applications make: winmm's midiIn*
// and midiOut* functions and RtMidi. It needs the driver installed in the prefix (install.sh). Some cases
// re-launch this program as a child process (testkit/child_process_win32.h) to send, receive, stall or die
// at a bad moment.
#include "child_process_win32.h"
#include "loop_names.h"
#include "messages.h"
#include "midi_clients_win32.h"
#include "waiting_win32.h"

#include <RtMidi.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <mmsystem.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using namespace wineloop::testkit;
using Messages = std::vector<std::uint32_t>;

// Every case needs the ports; without the driver there is nothing to test.
class Loop : public ::testing::Test {
protected:
    void SetUp() override {
        if (midiOutGetNumDevs() == 0)
            GTEST_SKIP() << "no MIDI ports in this Wine prefix: install the loop-back driver with "
                            "tools/wine-midi-loop/install.sh PREFIX wineloop.drv";
    }
};

// --- ports ------------------------------------------------------------------------------------------------

TEST_F(Loop, OffersTwoPairsNamedLoop1AndLoop2) {
    ASSERT_EQ(midiOutGetNumDevs(), 2u);
    ASSERT_EQ(midiInGetNumDevs(), 2u);
    for (UINT i = 0; i < 2; ++i) {
        const std::wstring name = L"Loop " + std::to_wstring(i + 1);
        MIDIOUTCAPSW out{};
        ASSERT_EQ(midiOutGetDevCapsW(i, &out, sizeof out), MMSYSERR_NOERROR);
        EXPECT_EQ(std::wstring(out.szPname), name);
        EXPECT_EQ(out.wTechnology, MOD_MIDIPORT);
        EXPECT_EQ(out.wChannelMask, 0xFFFF);
        MIDIINCAPSW in{};
        ASSERT_EQ(midiInGetDevCapsW(i, &in, sizeof in), MMSYSERR_NOERROR);
        EXPECT_EQ(std::wstring(in.szPname), name);
        MIDIOUTCAPSA narrow{};
        ASSERT_EQ(midiOutGetDevCapsA(i, &narrow, sizeof narrow), MMSYSERR_NOERROR);
        EXPECT_STREQ(narrow.szPname, ("Loop " + std::to_string(i + 1)).c_str());
    }
}

TEST_F(Loop, EachPortDeliversOnlyToItsOwnInput) {
    Receiver loop1(L"Loop 1"), loop2(L"Loop 2");
    Sender out1(L"Loop 1"), out2(L"Loop 2");
    ASSERT_TRUE(loop1.ok() && loop2.ok() && out1.ok() && out2.ok());
    loop1.start();
    loop2.start();
    // A message sent to the wrong input would arrive there before the one sent after it.
    ASSERT_EQ(out2.send(0x000102B0), MMSYSERR_NOERROR);
    ASSERT_EQ(out1.send(0x000201B1), MMSYSERR_NOERROR);
    ASSERT_EQ(out2.send(0x000302B2), MMSYSERR_NOERROR);
    ASSERT_EQ(out1.send(0x000401B3), MMSYSERR_NOERROR);
    ASSERT_TRUE(loop1.waitForData(2));
    ASSERT_TRUE(loop2.waitForData(2));
    EXPECT_EQ(loop1.shortMessages(), (Messages{0x000201B1, 0x000401B3}));
    EXPECT_EQ(loop2.shortMessages(), (Messages{0x000102B0, 0x000302B2}));
}

// --- short messages ---------------------------------------------------------------------------------------

TEST_F(Loop, ShortMessagesArriveAsACableCarriesThem) {
    Receiver in(L"Loop 1");
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    in.start();
    EXPECT_EQ(out.send(0x00643C90), MMSYSERR_NOERROR); // note on
    EXPECT_EQ(out.send(0x000107B0), MMSYSERR_NOERROR); // control change
    EXPECT_EQ(out.send(0x00AA05C0), MMSYSERR_NOERROR); // program change: the unused byte is not sent
    EXPECT_EQ(out.send(0x0000403E), MMSYSERR_NOERROR); // running status: another program change
    EXPECT_EQ(out.send(0x00403C80), MMSYSERR_NOERROR); // note off
    EXPECT_EQ(out.send(0x000000F8), MMSYSERR_NOERROR); // clock: real-time keeps running status
    EXPECT_EQ(out.send(0x00007F3D), MMSYSERR_NOERROR); // running status: note off
    EXPECT_EQ(out.send(0x00FF3412), MMSYSERR_NOERROR); // running status again
    EXPECT_EQ(out.send(0x003412F2), MMSYSERR_NOERROR); // song position: system common ends running status
    EXPECT_EQ(out.send(0x00000042), MMSYSERR_INVALPARAM);
    EXPECT_EQ(out.send(0x000000F0), MMSYSERR_INVALPARAM); // System Exclusive goes as a long message
    EXPECT_EQ(out.send(0x00C0FFFE), MMSYSERR_NOERROR);    // active sensing: one byte
    ASSERT_TRUE(in.waitForData(10));
    EXPECT_EQ(in.shortMessages(), (Messages{0x00643C90, 0x000107B0, 0x000005C0, 0x00003EC0, 0x00403C80,
                                            0x000000F8, 0x007F3D80, 0x00341280, 0x003412F2, 0x000000FE}));
}

TEST_F(Loop, TimeStampsCountMillisecondsFromStart) {
    Receiver in(L"Loop 1");
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    const DWORD beforeStart = timeGetTime();
    in.start();
    Sleep(150);
    ASSERT_EQ(out.send(0x00010190), MMSYSERR_NOERROR);
    const DWORD afterFirst = timeGetTime();
    ASSERT_EQ(out.send(0x00020190), MMSYSERR_NOERROR);
    ASSERT_TRUE(in.waitForData(2));
    std::vector<InputEvent> events = in.events();
    ASSERT_EQ(events.back().message, MIM_DATA);
    const DWORD_PTR first = events[events.size() - 2].param2;
    const DWORD_PTR second = events.back().param2;
    EXPECT_GE(first, 145u);
    EXPECT_LE(first, afterFirst - beforeStart);
    EXPECT_GE(second, first);

    // A new start counts from zero again.
    ASSERT_EQ(midiInStop(in.handle()), MMSYSERR_NOERROR);
    const DWORD beforeRestart = timeGetTime();
    ASSERT_EQ(midiInStart(in.handle()), MMSYSERR_NOERROR);
    ASSERT_EQ(out.send(0x00030190), MMSYSERR_NOERROR);
    const DWORD afterThird = timeGetTime();
    ASSERT_TRUE(in.waitForData(3));
    EXPECT_LE(in.events().back().param2, afterThird - beforeRestart);
}

TEST_F(Loop, NothingArrivesBeforeStartOrAfterStop) {
    Receiver in(L"Loop 1");
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    ASSERT_EQ(out.send(0x000001B0), MMSYSERR_NOERROR);
    in.start();
    ASSERT_EQ(out.send(0x000002B0), MMSYSERR_NOERROR);
    ASSERT_TRUE(in.waitForData(1));
    ASSERT_EQ(midiInStop(in.handle()), MMSYSERR_NOERROR);
    ASSERT_EQ(out.send(0x000003B0), MMSYSERR_NOERROR);
    ASSERT_EQ(out.sendLong(sysEx(8, 1)), MMSYSERR_NOERROR);
    ASSERT_EQ(midiInStart(in.handle()), MMSYSERR_NOERROR);
    ASSERT_EQ(out.send(0x000004B0), MMSYSERR_NOERROR);
    ASSERT_TRUE(in.waitForData(2));
    EXPECT_EQ(in.shortMessages(), (Messages{0x000002B0, 0x000004B0}));
    EXPECT_TRUE(in.longData().empty());
}

// --- long messages ----------------------------------------------------------------------------------------

TEST_F(Loop, SysExArrivesWholeInAQueuedBuffer) {
    Receiver in(L"Loop 1");
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    in.start();
    const Bytes message{0xF0, 0x43, 0x10, 0x3E, 0x7F, 0x01, 0xF7};
    ASSERT_EQ(out.sendLong(message), MMSYSERR_NOERROR);
    // The output buffer is back, done, before midiOutLongMsg returns, and the callback says so.
    EXPECT_EQ(out.lastLongFlags() & (MHDR_DONE | MHDR_INQUEUE), static_cast<DWORD>(MHDR_DONE));
    EXPECT_EQ(out.doneHeaders(), std::vector<DWORD_PTR>{out.lastLongHeader()});
    ASSERT_TRUE(in.waitForData(1));
    const std::vector<InputEvent> chunks = in.longData();
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].bytes, message);
    EXPECT_EQ(chunks[0].param1, reinterpret_cast<DWORD_PTR>(&in.buffer(0)));
    EXPECT_EQ(chunks[0].headerFlags & (MHDR_DONE | MHDR_INQUEUE | MHDR_PREPARED),
              static_cast<DWORD>(MHDR_DONE | MHDR_PREPARED));
}

TEST_F(Loop, LongSysExFillsBufferAfterBuffer) {
    Receiver in(L"Loop 1");
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    in.start();
    const Bytes small = sysEx(2500, 3);
    const Bytes large = sysEx(10000, 5); // more than a chunk of the driver's queue
    ASSERT_EQ(out.sendLong(small), MMSYSERR_NOERROR);
    ASSERT_EQ(out.sendLong(large), MMSYSERR_NOERROR);
    ASSERT_TRUE(in.waitForData(3 + 10));
    std::vector<std::size_t> sizes;
    for (const InputEvent& chunk : in.longData())
        sizes.push_back(chunk.bytes.size());
    EXPECT_EQ(sizes, (std::vector<std::size_t>{1024, 1024, 452, 1024, 1024, 1024, 1024, 1024, 1024, 1024,
                                               1024, 1024, 784}));
    Bytes both = small;
    both.insert(both.end(), large.begin(), large.end());
    EXPECT_EQ(in.longBytes(), both);
}

TEST_F(Loop, EachSysExInALongMessageComesBackInABufferOfItsOwn) {
    Receiver in(L"Loop 1");
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    in.start();
    ASSERT_EQ(out.sendLong({0xF0, 0x01, 0xF7, 0xF0, 0x02, 0x03, 0xF7}), MMSYSERR_NOERROR);
    ASSERT_TRUE(in.waitForData(2));
    const std::vector<InputEvent> chunks = in.longData();
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0].bytes, (Bytes{0xF0, 0x01, 0xF7}));
    EXPECT_EQ(chunks[1].bytes, (Bytes{0xF0, 0x02, 0x03, 0xF7}));
}

TEST_F(Loop, SysExSentInPiecesFillsOneBufferUntilItsEnd) {
    Receiver in(L"Loop 1");
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    in.start();
    ASSERT_EQ(out.sendLong({0xF0, 0x7D, 0x01}), MMSYSERR_NOERROR);
    ASSERT_EQ(out.sendLong({0x02, 0x03}), MMSYSERR_NOERROR);
    ASSERT_EQ(out.sendLong({0x04, 0xF7}), MMSYSERR_NOERROR);
    // Long data that is not System Exclusive comes back as it was sent.
    ASSERT_EQ(out.sendLong({0x90, 0x3C, 0x64}), MMSYSERR_NOERROR);
    ASSERT_TRUE(in.waitForData(2));
    const std::vector<InputEvent> chunks = in.longData();
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0].bytes, (Bytes{0xF0, 0x7D, 0x01, 0x02, 0x03, 0x04, 0xF7}));
    EXPECT_EQ(chunks[1].bytes, (Bytes{0x90, 0x3C, 0x64}));
}

TEST_F(Loop, ShortAndLongMessagesKeepTheirOrder) {
    Receiver in(L"Loop 1");
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    in.start();
    ASSERT_EQ(out.send(0x00010190), MMSYSERR_NOERROR);
    ASSERT_EQ(out.sendLong(sysEx(20, 7)), MMSYSERR_NOERROR);
    ASSERT_EQ(out.send(0x00020190), MMSYSERR_NOERROR);
    ASSERT_TRUE(in.waitForData(3));
    std::vector<UINT> kinds;
    for (const InputEvent& event : in.events())
        kinds.push_back(event.message);
    EXPECT_EQ(kinds, (std::vector<UINT>{MIM_OPEN, MIM_DATA, MIM_LONGDATA, MIM_DATA}));
}

TEST_F(Loop, UnpreparedBuffersAreRefused) {
    Receiver in(L"Loop 1", 0);
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    char data[16] = {};
    MIDIHDR header{};
    header.lpData = data;
    header.dwBufferLength = sizeof data;
    EXPECT_EQ(midiOutLongMsg(out.handle(), &header, sizeof header), MIDIERR_UNPREPARED);
    EXPECT_EQ(midiInAddBuffer(in.handle(), &header, sizeof header), MIDIERR_UNPREPARED);
}

// --- buffers: stop, reset, close --------------------------------------------------------------------------

TEST_F(Loop, ResetHandsBackEveryQueuedBufferInOrder) {
    Receiver in(L"Loop 1", 4, 256, false);
    ASSERT_TRUE(in.ok());
    in.start();
    EXPECT_EQ(midiInUnprepareHeader(in.handle(), &in.buffer(0), sizeof(MIDIHDR)), MIDIERR_STILLPLAYING);
    ASSERT_EQ(midiInReset(in.handle()), MMSYSERR_NOERROR);
    const std::vector<InputEvent> returned = in.longData();
    ASSERT_EQ(returned.size(), 4u);
    for (std::size_t i = 0; i < returned.size(); ++i) {
        EXPECT_EQ(returned[i].param1, reinterpret_cast<DWORD_PTR>(&in.buffer(i)));
        EXPECT_TRUE(returned[i].bytes.empty());
        EXPECT_EQ(returned[i].headerFlags & (MHDR_DONE | MHDR_INQUEUE), static_cast<DWORD>(MHDR_DONE));
        EXPECT_EQ(midiInUnprepareHeader(in.handle(), &in.buffer(i), sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    }
}

TEST_F(Loop, StopKeepsEmptyBuffersForTheNextStart) {
    Receiver in(L"Loop 1", 2, 256, false);
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    in.start();
    ASSERT_EQ(midiInStop(in.handle()), MMSYSERR_NOERROR);
    EXPECT_TRUE(in.longData().empty());
    EXPECT_EQ(midiInUnprepareHeader(in.handle(), &in.buffer(0), sizeof(MIDIHDR)), MIDIERR_STILLPLAYING);
    ASSERT_EQ(midiInStart(in.handle()), MMSYSERR_NOERROR);
    const Bytes message = sysEx(12, 9);
    ASSERT_EQ(out.sendLong(message), MMSYSERR_NOERROR);
    ASSERT_TRUE(in.waitForData(1));
    ASSERT_EQ(in.longData().size(), 1u);
    EXPECT_EQ(in.longData()[0].param1, reinterpret_cast<DWORD_PTR>(&in.buffer(0)));
    EXPECT_EQ(in.longData()[0].bytes, message);
}

TEST_F(Loop, CloseHandsBackQueuedBuffersAndSaysClosed) {
    auto in = std::make_unique<Receiver>(L"Loop 1", 3, 128, false);
    ASSERT_TRUE(in->ok());
    in->start();
    // Straight to close, no reset: Wine forgets the handle whatever the driver answers.
    ASSERT_EQ(in->closeOnly(), MMSYSERR_NOERROR);
    const std::vector<InputEvent> events = in->events();
    ASSERT_EQ(events.size(), 1u + 3u + 1u);
    EXPECT_EQ(events.front().message, MIM_OPEN);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(events[1 + i].message, MIM_LONGDATA);
        EXPECT_EQ(in->buffer(i).dwFlags & (MHDR_DONE | MHDR_INQUEUE), static_cast<DWORD>(MHDR_DONE));
    }
    EXPECT_EQ(events.back().message, MIM_CLOSE);
}

// --- bursts -----------------------------------------------------------------------------------------------

TEST_F(Loop, ABurstOfAThousandArrivesWholeAndInOrder) {
    Receiver in(L"Loop 1");
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    in.start();
    const Messages burst = sequence(0, 1000);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(out.sendAll(burst));
    ASSERT_TRUE(in.waitForData(burst.size()));
    const auto elapsed =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(in.shortMessages(), burst);
    std::printf("burst of 1000 short messages: %.1f ms (%.3f ms a message)\n", elapsed, elapsed / 1000);
    RecordProperty("burst_1000_ms", static_cast<int>(elapsed));
}

TEST_F(Loop, MoreThanAQueueHoldsMakesTheSenderWaitNotDrop) {
    Receiver in(L"Loop 1");
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    in.start();
    const Messages burst = sequence(0, 8000); // a queue holds about 5,400 short messages
    ASSERT_TRUE(out.sendAll(burst));
    ASSERT_TRUE(in.waitForData(burst.size()));
    EXPECT_EQ(in.shortMessages(), burst);
}

TEST_F(Loop, TwoReceiversOfOnePortBothGetEverything) {
    Receiver first(L"Loop 1"), second(L"Loop 1");
    Sender out(L"Loop 1");
    ASSERT_TRUE(first.ok() && second.ok() && out.ok());
    first.start();
    second.start();
    const Messages burst = sequence(100, 1000);
    ASSERT_TRUE(out.sendAll(burst));
    const Bytes message = sysEx(100, 11);
    ASSERT_EQ(out.sendLong(message), MMSYSERR_NOERROR);
    ASSERT_TRUE(first.waitForData(burst.size() + 1));
    ASSERT_TRUE(second.waitForData(burst.size() + 1));
    EXPECT_EQ(first.shortMessages(), burst);
    EXPECT_EQ(second.shortMessages(), burst);
    EXPECT_EQ(first.longBytes(), message);
    EXPECT_EQ(second.longBytes(), message);
}

// --- open and close ---------------------------------------------------------------------------------------

TEST_F(Loop, OpeningAndClosingAgainAndAgainKeepsWorking) {
    for (std::uint32_t round = 0; round < 40; ++round) {
        Receiver in(L"Loop 2");
        Sender out(L"Loop 2");
        ASSERT_TRUE(in.ok() && out.ok()) << "round " << round << ": " << in.openResult();
        in.start();
        ASSERT_EQ(out.send(sequenceMessage(round)), MMSYSERR_NOERROR);
        ASSERT_TRUE(in.waitForData(1)) << "round " << round;
        EXPECT_EQ(in.shortMessages(), Messages{sequenceMessage(round)});
        EXPECT_EQ(in.close(), MMSYSERR_NOERROR);
        EXPECT_EQ(out.close(), MMSYSERR_NOERROR);
        EXPECT_EQ(out.messagesSeen(), (std::vector<UINT>{MOM_OPEN, MOM_CLOSE}));
    }
}

TEST_F(Loop, EightInputsPerPortAndAClosedOneIsFreeAgain) {
    std::vector<std::unique_ptr<Receiver>> inputs;
    for (int i = 0; i < 8; ++i) {
        inputs.push_back(std::make_unique<Receiver>(L"Loop 2", 0));
        ASSERT_TRUE(inputs.back()->ok()) << "input " << i << ": " << inputs.back()->openResult();
    }
    Receiver ninth(L"Loop 2", 0);
    EXPECT_EQ(ninth.openResult(), MMSYSERR_ALLOCATED);
    inputs[3].reset();
    Receiver again(L"Loop 2", 0);
    EXPECT_EQ(again.openResult(), MMSYSERR_NOERROR);
}

// --- callback kinds ---------------------------------------------------------------------------------------

TEST_F(Loop, EventCallbackIsSetForEachMessage) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HMIDIIN in = nullptr;
    ASSERT_EQ(midiInOpen(&in, findInput(L"Loop 1"), reinterpret_cast<DWORD_PTR>(event), 0, CALLBACK_EVENT),
              MMSYSERR_NOERROR);
    EXPECT_EQ(WaitForSingleObject(event, kWaitMs), WAIT_OBJECT_0); // MIM_OPEN
    ASSERT_EQ(midiInStart(in), MMSYSERR_NOERROR);
    Sender out(L"Loop 1");
    ASSERT_EQ(out.send(0x00000FB0), MMSYSERR_NOERROR);
    EXPECT_EQ(WaitForSingleObject(event, kWaitMs), WAIT_OBJECT_0);
    EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
    CloseHandle(event);
}

TEST_F(Loop, ThreadCallbackGetsPostedMessages) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // gives this thread a queue
    HMIDIIN in = nullptr;
    ASSERT_EQ(midiInOpen(&in, findInput(L"Loop 1"), GetCurrentThreadId(), 0, CALLBACK_THREAD),
              MMSYSERR_NOERROR);
    ASSERT_EQ(midiInStart(in), MMSYSERR_NOERROR);
    Sender out(L"Loop 1");
    ASSERT_EQ(out.send(0x00107FB3), MMSYSERR_NOERROR);
    std::vector<UINT> seen;
    LPARAM data = 0;
    WPARAM device = 0;
    EXPECT_TRUE(pumpUntil(
        [&](const MSG& m) {
            if (m.hwnd == nullptr && m.message >= MM_MIM_OPEN && m.message <= MM_MIM_LONGERROR)
                seen.push_back(m.message);
            if (m.message == MM_MIM_DATA) {
                data = m.lParam;
                device = m.wParam;
            }
            return m.message == MM_MIM_DATA;
        },
        kWaitMs));
    EXPECT_EQ(seen, (std::vector<UINT>{MM_MIM_OPEN, MM_MIM_DATA}));
    EXPECT_EQ(data, 0x00107FB3);
    EXPECT_EQ(device, reinterpret_cast<WPARAM>(in));
    EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
}

std::vector<MSG> g_windowMessages;
LRESULT CALLBACK recordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= MM_MIM_OPEN && message <= MM_MIM_LONGERROR)
        g_windowMessages.push_back(MSG{window, message, wParam, lParam, 0, {}});
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(Loop, WindowCallbackGetsPostedMessages) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = recordingWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"wineloop-test-window";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    g_windowMessages.clear();
    HMIDIIN in = nullptr;
    ASSERT_EQ(midiInOpen(&in, findInput(L"Loop 1"), reinterpret_cast<DWORD_PTR>(window), 0, CALLBACK_WINDOW),
              MMSYSERR_NOERROR);
    ASSERT_EQ(midiInStart(in), MMSYSERR_NOERROR);
    Sender out(L"Loop 1");
    ASSERT_EQ(out.send(0x00207FB4), MMSYSERR_NOERROR);
    EXPECT_TRUE(pumpUntil([](const MSG& m) { return m.message == MM_MIM_DATA; }, kWaitMs));
    ASSERT_EQ(g_windowMessages.size(), 2u);
    EXPECT_EQ(g_windowMessages[0].message, static_cast<UINT>(MM_MIM_OPEN));
    EXPECT_EQ(g_windowMessages[1].message, static_cast<UINT>(MM_MIM_DATA));
    EXPECT_EQ(g_windowMessages[1].wParam, reinterpret_cast<WPARAM>(in));
    EXPECT_EQ(g_windowMessages[1].lParam, 0x00207FB4);
    EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
    DestroyWindow(window);
}

// --- other processes --------------------------------------------------------------------------------------

TEST_F(Loop, AnotherProcessReceivesAndSendsBack) {
    Receiver back(L"Loop 2");
    Sender out(L"Loop 1");
    ASSERT_TRUE(back.ok() && out.ok());
    back.start();
    ChildProcess echo(L"echo");
    ASSERT_TRUE(echo.waitReady());
    const Messages burst = sequence(0, 1000);
    const Bytes message = sysEx(3000, 13);
    ASSERT_TRUE(out.sendAll(burst));
    ASSERT_EQ(out.sendLong(message), MMSYSERR_NOERROR);
    ASSERT_EQ(out.send(0x000000F4), MMSYSERR_NOERROR); // tells the child to finish
    ASSERT_TRUE(back.waitForData(burst.size() + 3));
    EXPECT_EQ(back.shortMessages(), burst);
    EXPECT_EQ(back.longBytes(), message);
    EXPECT_EQ(echo.waitExit(), 0u);
}

TEST_F(Loop, ASenderKilledMidBurstWedgesNobody) {
    Receiver in(L"Loop 2");
    ASSERT_TRUE(in.ok());
    in.start();
    for (int round = 0; round < 3; ++round) {
        in.clear();
        ChildProcess flood(L"flood");
        ASSERT_TRUE(flood.waitReady()) << "round " << round << ", start error " << flood.startError();
        ASSERT_TRUE(in.waitForData(2000)) << "round " << round;
        flood.kill();
        ASSERT_TRUE(in.waitQuiet(500)) << "round " << round; // what the child sent before it died is through
        // What came before the kill came whole and in order.
        const Messages received = in.shortMessages();
        EXPECT_EQ(received, sequence(0, static_cast<std::uint32_t>(received.size()))) << "round " << round;
    }
    Sender out(L"Loop 2");
    ASSERT_TRUE(out.ok());
    in.clear();
    const Messages burst = sequence(7, 1000);
    bool sent = false;
    mustFinishWithin(30000, "the burst", [&] { sent = out.sendAll(burst); });
    ASSERT_TRUE(sent);
    ASSERT_TRUE(in.waitForData(burst.size()));
    EXPECT_EQ(in.shortMessages(), burst);
}

TEST_F(Loop, ALockHolderThatDiesLeavesTheLockUsable) {
    Receiver in(L"Loop 1");
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    in.start();
    ChildProcess holder(L"hold-lock");
    ASSERT_TRUE(holder.waitReady());
    holder.kill();
    MMRESULT result = MMSYSERR_ERROR;
    mustFinishWithin(30000, "a send after the lock holder died", [&] { result = out.send(0x00000190); });
    ASSERT_EQ(result, MMSYSERR_NOERROR);
    ASSERT_TRUE(in.waitForData(1));
    EXPECT_EQ(in.shortMessages(), Messages{0x00000190});
}

TEST_F(Loop, DeadAndStuckReadersHoldUpNobody) {
    ChildProcess listener(L"listen");
    ChildProcess stuck(L"stall");
    ASSERT_TRUE(listener.waitReady());
    ASSERT_TRUE(stuck.waitReady());
    listener.kill();
    Receiver in(L"Loop 1");
    Sender out(L"Loop 1");
    ASSERT_TRUE(in.ok() && out.ok());
    in.start();
    // Far more than the dead and the stuck reader's queues hold: the sender must neither block for good
    // nor lose anything for the live reader.
    const Messages burst = sequence(0, 8000);
    bool sent = false;
    mustFinishWithin(30000, "the burst", [&] { sent = out.sendAll(burst); });
    ASSERT_TRUE(sent);
    ASSERT_TRUE(in.waitForData(burst.size()));
    EXPECT_EQ(in.shortMessages(), burst);
    stuck.kill();
    in.close();
    // Both children's slots are free again.
    std::vector<std::unique_ptr<Receiver>> inputs;
    for (int i = 0; i < 8; ++i) {
        inputs.push_back(std::make_unique<Receiver>(L"Loop 1", 0));
        EXPECT_TRUE(inputs.back()->ok()) << "input " << i << ": " << inputs.back()->openResult();
    }
}

// --- RtMidi -----------------------------------------------------------------------------------------------

TEST_F(Loop, RtMidiListsThePortsWithTheirIndex) {
    RtMidiIn in;
    RtMidiOut out;
    ASSERT_EQ(in.getPortCount(), 2u);
    ASSERT_EQ(out.getPortCount(), 2u);
    EXPECT_EQ(in.getPortName(0), "Loop 1 0");
    EXPECT_EQ(in.getPortName(1), "Loop 2 1");
    EXPECT_EQ(out.getPortName(0), "Loop 1 0");
    EXPECT_EQ(out.getPortName(1), "Loop 2 1");
}

struct RtMidiInbox {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Bytes> messages;

    static void callback(double, std::vector<unsigned char>* message, void* self) {
        auto* inbox = static_cast<RtMidiInbox*>(self);
        std::lock_guard<std::mutex> lock(inbox->mutex);
        inbox->messages.emplace_back(message->begin(), message->end());
        inbox->changed.notify_all();
    }
    bool waitFor(std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(kWaitMs),
                                [&] { return messages.size() >= count; });
    }
};

TEST_F(Loop, RtMidiOutReachesRtMidiIn) {
    RtMidiInbox inbox;
    RtMidiIn in;
    in.openPort(0);
    in.ignoreTypes(false, true, true);
    in.setCallback(&RtMidiInbox::callback, &inbox);
    RtMidiOut out;
    out.openPort(0);
    const Bytes note{0x90, 60, 100};
    const Bytes identity{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    const Bytes large = sysEx(3000, 17); // spans RtMidi's 1024-byte buffers, re-queued in its callback
    const Bytes control{0xB0, 0x07, 0x40};
    for (const Bytes* message : {&note, &identity, &large, &control}) {
        std::vector<unsigned char> bytes(message->begin(), message->end());
        out.sendMessage(&bytes);
    }
    // RtMidi's Windows back end reports each filled buffer as a message of its own.
    const Bytes first(large.begin(), large.begin() + 1024);
    const Bytes second(large.begin() + 1024, large.begin() + 2048);
    const Bytes third(large.begin() + 2048, large.end());
    ASSERT_TRUE(inbox.waitFor(6));
    EXPECT_EQ(inbox.messages, (std::vector<Bytes>{note, identity, first, second, third, control}));
    in.closePort();
    out.closePort();
}

// --- child modes ------------------------------------------------------------------------------------------

// Sends back on Loop 2 whatever arrives on Loop 1, until an F4 arrives.
int echoChild(const ChildArguments& arguments) {
    Receiver in(L"Loop 1");
    Sender out(L"Loop 2");
    if (!in.ok() || !out.ok())
        return 2;
    in.start();
    signalReady(arguments);
    Bytes pending;
    for (;;) {
        if (!in.waitForData(1, 30000))
            return 3;
        for (const InputEvent& event : in.takeEvents()) {
            if (event.message == MIM_DATA) {
                if (event.param1 == 0xF4)
                    return 0;
                if (out.send(static_cast<std::uint32_t>(event.param1)) != MMSYSERR_NOERROR)
                    return 4;
            } else if (event.message == MIM_LONGDATA) {
                pending.insert(pending.end(), event.bytes.begin(), event.bytes.end());
                if (pending.empty() || pending.back() != 0xF7)
                    continue;
                if (out.sendLong(pending) != MMSYSERR_NOERROR)
                    return 5;
                pending.clear();
            }
        }
    }
}

// Sends numbered messages on Loop 2 as fast as it can, until killed.
int floodChild(const ChildArguments& arguments) {
    Sender out(L"Loop 2");
    if (!out.ok())
        return 2;
    signalReady(arguments);
    for (std::uint32_t i = 0;; ++i) {
        if (out.send(sequenceMessage(i)) != MMSYSERR_NOERROR)
            return 3;
    }
}

// Never returns from its first callback, so nothing more is taken out of its queue.
void CALLBACK stallingCallback(HMIDIIN, UINT message, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    if (message == MIM_DATA)
        Sleep(INFINITE);
}

int stallChild(const ChildArguments& arguments) {
    HMIDIIN in = nullptr;
    if (midiInOpen(&in, findInput(L"Loop 1"), reinterpret_cast<DWORD_PTR>(&stallingCallback), 0,
                   CALLBACK_FUNCTION) != MMSYSERR_NOERROR)
        return 2;
    midiInStart(in);
    signalReady(arguments);
    Sleep(INFINITE);
    return 0;
}

// Listens on Loop 1 until killed.
int listenChild(const ChildArguments& arguments) {
    Receiver in(L"Loop 1");
    if (!in.ok())
        return 2;
    in.start();
    signalReady(arguments);
    Sleep(INFINITE);
    return 0;
}

// Takes the driver's shared lock and keeps it until killed.
int holdLockChild(const ChildArguments& arguments) {
    Sender out(L"Loop 1"); // the driver's shared objects exist once a port is open
    HANDLE lock = OpenMutexW(SYNCHRONIZE, FALSE, wineloop::kMutexName);
    if (!out.ok() || !lock || WaitForSingleObject(lock, kWaitMs) != WAIT_OBJECT_0)
        return 2;
    signalReady(arguments);
    Sleep(INFINITE);
    return 0;
}

int runChild(const ChildArguments& arguments) {
    if (arguments.mode == L"echo")
        return echoChild(arguments);
    if (arguments.mode == L"flood")
        return floodChild(arguments);
    if (arguments.mode == L"stall")
        return stallChild(arguments);
    if (arguments.mode == L"listen")
        return listenChild(arguments);
    if (arguments.mode == L"hold-lock")
        return holdLockChild(arguments);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    ChildArguments child;
    if (startedAsChild(child))
        return runChild(child);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
