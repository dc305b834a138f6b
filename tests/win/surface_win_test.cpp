// The real plug-in DLL driven the way REAPER drives it: entry point, surface created through the registration
// record, host MIDI objects in the MSVC layout, every surface call made by raw MSVC slot index.
#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

using EntryProc = int (*)(HINSTANCE, reaper_plugin_info_t*);
using Lines = std::vector<std::string>;

reaper_csurf_reg_t g_registration{};
int registerCallback(const char* name, void* info) {
    if (std::string(name) == "csurf")
        g_registration = *static_cast<reaper_csurf_reg_t*>(info);
    return 1;
}

template <typename Fn> Fn slot(void* object, int index) {
    void* const* vtable = *static_cast<void* const* const*>(object);
    return reinterpret_cast<Fn>(vtable[index]);
}

class SurfaceThroughSlots : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = LoadLibraryA(TAMSEL_PLUGIN_FILE);
        ASSERT_NE(m_module, nullptr);
        auto entry = reinterpret_cast<EntryProc>(
            reinterpret_cast<void*>(GetProcAddress(m_module, "ReaperPluginEntry")));
        ASSERT_NE(entry, nullptr);
        host.midi().addInput("CC121 In");
        host.midi().addOutput("CC121 Out");
        host.project().addTrack("Drums");
        host.project().addTrack("Bass");
        reaper_plugin_info_t info{};
        info.caller_version = 0x20E;
        info.Register = registerCallback;
        info.GetFunc = hostsim::getFunc;
        ASSERT_EQ(entry(reinterpret_cast<HINSTANCE>(m_module), &info), 1);
        ASSERT_NE(g_registration.create, nullptr);
    }
    void TearDown() override {
        if (m_module)
            FreeLibrary(m_module);
    }

    void* create(const char* config, int* errors) { return g_registration.create("CC121", config, errors); }
    // Run through its slot, then wait for the surface's output worker: a worker between two messages is
    // never quiet for longer than one 5 ms gap, so 50 quiet milliseconds mean it has finished.
    void run(void* surface) {
        slot<void (*)(void*)>(surface, 5)(surface);
        std::size_t seen = static_cast<std::size_t>(-1);
        for (int quiet = 0; quiet < 10; Sleep(5)) {
            const std::size_t now = host.midi().fake()->sentSoFar(0).size();
            quiet = now == seen ? quiet + 1 : 0;
            seen = now;
        }
    }
    Lines wire() {
        Lines out;
        for (const auto& m : host.midi().fake()->sentSoFar(0)) {
            std::string line;
            for (unsigned char b : m.bytes) {
                char hex[4];
                std::snprintf(hex, sizeof hex, "%s%02X", line.empty() ? "" : " ", b);
                line += hex;
            }
            out.push_back(line);
        }
        return out;
    }

    // The last lamp message sent for `note`, or empty.
    std::string lastLamp(int note) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "90 %02X ", note);
        std::string last;
        for (const auto& line : wire())
            if (line.rfind(prefix, 0) == 0)
                last = line;
        return last;
    }

    hostsim::Host host;
    hostsim::CurrentHost current{host};
    HMODULE m_module = nullptr;
};

TEST_F(SurfaceThroughSlots, PlayPressReachesTheHostAndItsLampComesBack) {
    int errors = 0;
    void* surface = create("0 31 0 0 0 0 10", &errors);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(errors, 0);
    auto* asSurface = static_cast<IReaperControlSurface*>(surface);
    host.surfaces().add(asSurface); // the host's feedback reaches it by slot, through our declaration

    EXPECT_STREQ(slot<const char* (*)(void*)>(surface, 1)(surface), "CC121");
    EXPECT_STREQ(slot<const char* (*)(void*)>(surface, 2)(surface), "Steinberg CC121 (CC121 In, CC121 Out)");
    EXPECT_STREQ(slot<const char* (*)(void*)>(surface, 3)(surface),
                 "0 31 0 0 0 0 10 2 12 5 40364 4 1011 4 1012 5 40112 5 40111 4 1013");

    run(surface); // first run: host-ready message and the full resend
    const Lines first = wire();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.front(), "F0 43 10 3E 15 00 01 F7");

    host.midi().fake()->clearSent();
    host.log().clear();
    host.midi().fake()->input(0)->inject({0x90, 0x5E, 0x7F});
    run(surface);
    EXPECT_EQ(host.log().actions(), Lines{"CSurf_OnPlay()"});
    EXPECT_EQ(wire(), (Lines{"90 5E 7F", "80 5E 00"}));

    // Slot 16 GetTouchState, slot 20 IsKeyDown, slot 21 Extended: plain answers through raw slots.
    EXPECT_FALSE((slot<bool (*)(void*, MediaTrack*, int)>(surface, 16)(surface, nullptr, 0)));
    EXPECT_FALSE((slot<bool (*)(void*, int)>(surface, 20)(surface, 17)));
    EXPECT_EQ(
        (slot<int (*)(void*, int, void*, void*, void*)>(surface, 21)(surface, 1, nullptr, nullptr, nullptr)),
        0);

    host.surfaces().remove(asSurface);
    host.midi().fake()->clearSent();
    host.log().clear();
    void* result = slot<void* (*)(void*, unsigned int)>(surface, 0)(surface, 1); // REAPER's delete
    EXPECT_EQ(result, surface);
    EXPECT_EQ(wire(), (Lines{"90 5E 00", "80 5E 00"})) << "the lit Play lamp is turned off";
    EXPECT_EQ(host.log().actions(), (Lines{"midi_Output(0)->Destroy()", "midi_Input(0)->Destroy()"}));
    EXPECT_EQ(host.midi().liveDevices(), 0);
    EXPECT_EQ(host.midi().deletedWithoutDestroy(), 0);
}

TEST_F(SurfaceThroughSlots, FailedPortsAreReportedInTheErrorFlags) {
    host.midi().addInput("Busy", true);
    host.midi().addOutput("Busy", true);
    int errors = 0;
    void* surface = create("0 31 1 1 0 0 10", &errors);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(errors, 3);
    EXPECT_STREQ(slot<const char* (*)(void*)>(surface, 2)(surface), "Steinberg CC121 (No Input, No Output)");
    slot<void* (*)(void*, unsigned int)>(surface, 0)(surface, 1);
}

TEST_F(SurfaceThroughSlots, CloseNoResetReleasesDevicesWithoutSending) {
    void* surface = create("0 31 0 0 0 0 10", nullptr);
    ASSERT_NE(surface, nullptr);
    host.log().clear();
    slot<void (*)(void*)>(surface, 4)(surface);
    EXPECT_EQ(host.log().actions(), (Lines{"midi_Output(0)->Destroy()", "midi_Input(0)->Destroy()"}));
    slot<void* (*)(void*, unsigned int)>(surface, 0)(surface, 1);
    EXPECT_TRUE(wire().empty());
}

// A top-level window of the dialog class with the given title that closes itself on WM_CLOSE, as the host's
// routing and FX windows do.
class HostDialog {
public:
    HostDialog(const char* title, bool visible) {
        struct {
            DLGTEMPLATE tmpl;
            WORD menu, windowClass, caption;
        } t{};
        t.tmpl.style = WS_POPUP | WS_CAPTION | (visible ? WS_VISIBLE : 0);
        m_hwnd = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &t.tmpl, nullptr, proc,
                                            reinterpret_cast<LPARAM>(this));
        SetWindowTextA(m_hwnd, title);
    }
    ~HostDialog() {
        if (IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
    }
    HostDialog(const HostDialog&) = delete;
    HostDialog& operator=(const HostDialog&) = delete;
    bool open() const { return IsWindow(m_hwnd) != FALSE; }
    int closes = 0;

private:
    static INT_PTR CALLBACK proc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
        if (msg == WM_INITDIALOG) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
            return TRUE;
        }
        if (msg == WM_CLOSE) {
            ++reinterpret_cast<HostDialog*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))->closes;
            DestroyWindow(hwnd);
            return TRUE;
        }
        return FALSE;
    }
    HWND m_hwnd = nullptr;
};

TEST_F(SurfaceThroughSlots, WindowLampsFollowRealDialogWindowsAndTheButtonsCloseThem) {
    void* surface = create("0 31 0 0 0 0 10", nullptr);
    ASSERT_NE(surface, nullptr);
    auto* asSurface = static_cast<IReaperControlSurface*>(surface);
    host.surfaces().add(asSurface);
    host.userSelect(*host.project().track(0)); // binds the surface to track 1, "Drums"
    run(surface);

    HostDialog fx("FX: Track 1 \"Drums\"", true);
    HostDialog browser("Add FX to: Track 1 \"Drums\"", true);
    HostDialog routing("Routing for track 1 \"Drums\"", false); // exists but hidden
    ASSERT_TRUE(fx.open() && browser.open() && routing.open());

    // Window creation under Wine can take seconds, so lamps are judged by the last message for each note
    // rather than by an exact transcript (a long gap brings the full resend with it).
    Sleep(250); // past the 200 ms window polls
    run(surface);
    EXPECT_EQ(lastLamp(0x79), "90 79 7F") << "FX lit";
    EXPECT_EQ(lastLamp(0x33), "") << "Routing stays dark while its window is hidden";

    host.midi().fake()->clearSent();
    host.log().clear();
    host.midi().fake()->input(0)->inject({0x90, 0x79, 0x7F});
    host.midi().fake()->input(0)->inject({0x80, 0x79, 0x00});
    host.midi().fake()->input(0)->inject({0x90, 0x33, 0x7F});
    run(surface);
    EXPECT_EQ(fx.closes, 1);
    EXPECT_EQ(browser.closes, 1);
    EXPECT_EQ(routing.closes, 1) << "a hidden routing window is still closed";
    EXPECT_FALSE(fx.open());
    EXPECT_TRUE(host.log().actions().empty()) << "nothing opened while closing";

    Sleep(250);
    run(surface);
    EXPECT_EQ(lastLamp(0x79), "90 79 00");

    host.log().clear();
    host.midi().fake()->input(0)->inject({0x90, 0x79, 0x7F});
    host.midi().fake()->input(0)->inject({0x80, 0x79, 0x00});
    host.midi().fake()->input(0)->inject({0x90, 0x33, 0x7F});
    run(surface);
    EXPECT_EQ(host.log().actions(), (Lines{"Main_OnCommand(40291, 0)", "Main_OnCommand(40293, 0)"}));

    host.surfaces().remove(asSurface);
    slot<void* (*)(void*, unsigned int)>(surface, 0)(surface, 1);
}

} // namespace
