// The panel's main window as the program makes it: class, style, size, the 52 widgets, arming with its red
// outlines, the panel-function buttons, and the settings it reads at start-up and writes at close.
#include "dialog_test_support.h"
#include "main_window_win32.h"
#include "panel_controls.h"
#include "skins.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr char kKey[] = "Software\\Brackwell\\kestro";

void pump(DWORD ms = 150) {
    const DWORD end = GetTickCount() + ms;
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (GetTickCount() < end);
}

void setValue(const char* name, const char* value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(std::strlen(value) + 1));
    RegCloseKey(key);
}

std::string readValue(const char* name) {
    char buffer[260] = "";
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return "(missing)";
    return buffer;
}

void clickButton(HWND button, UINT down, UINT up) {
    SendMessageA(button, down, 0, MAKELPARAM(10, 10));
    SendMessageA(button, up, 0, MAKELPARAM(10, 10));
    pump(100);
}

COLORREF pixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kKey); // a first run
        orvel::init_module(GetModuleHandleA(nullptr));
    }
    void TearDown() override {
        if (window && window->m_hWnd)
            window->DestroyWindow();
        window.reset();
        pump(50);
        RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    }
    void open() {
        window = std::make_unique<kestro::CMainWindow>();
        ASSERT_TRUE(window->start(SW_SHOWNORMAL));
        pump(300);
    }
    HWND hwnd() const { return window->m_hWnd; }

    std::unique_ptr<kestro::CMainWindow> window;
};

TEST_F(MainWindowTest, IsTheFixedSizeKestroWindowCentredOnAFirstRun) {
    open();
    char name[64] = "";
    GetClassNameA(hwnd(), name, sizeof name);
    EXPECT_STREQ(name, "kestro::MainWindow");
    char title[64] = "";
    GetWindowTextA(hwnd(), title, sizeof title);
    EXPECT_STREQ(title, "Kestro");
    const LONG style = GetWindowLongA(hwnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN | WS_CLIPSIBLINGS),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << "neither resizable nor maximisable";
    const LONG ex = GetWindowLongA(hwnd(), GWL_EXSTYLE);
    EXPECT_EQ(ex & (WS_EX_APPWINDOW | WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES),
              WS_EX_APPWINDOW | WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES);
    RECT client{};
    GetClientRect(hwnd(), &client);
    EXPECT_EQ(client.right, 750);
    EXPECT_EQ(client.bottom, 480);

    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    const int w = outer.right - outer.left;
    const int h = outer.bottom - outer.top;
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - w) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
}

TEST_F(MainWindowTest, CarriesThe52WidgetsInLayoutOrder) {
    open();
    std::vector<HWND> children;
    for (HWND c = GetWindow(hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    ASSERT_EQ(children.size(), kestro::skins::widgets.size());
    // Z order lists the first created child first.
    for (std::size_t i = 0; i < children.size(); ++i) {
        const auto& w = kestro::skins::widgets[i];
        char name[64] = "";
        GetClassNameA(children[i], name, sizeof name);
        const char* expected = w.kind == kestro::skins::widget_kind::light    ? "Orvel::SkinnedLED"
                               : w.kind == kestro::skins::widget_kind::button ? "Orvel::DumbButton"
                               : w.kind == kestro::skins::widget_kind::fader  ? "Orvel::Fader"
                                                                              : "Orvel::DumbRotary";
        EXPECT_STREQ(name, expected) << i;
        if (w.control_id != 0) {
            EXPECT_EQ(GetDlgCtrlID(children[i]), w.control_id) << i;
        }
        RECT r{};
        GetWindowRect(children[i], &r);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, w.x) << i;
        EXPECT_EQ(r.top, w.y) << i;
        EXPECT_EQ(r.right - r.left, w.width) << i;
        EXPECT_EQ(r.bottom - r.top, w.height) << i;
    }
}

TEST_F(MainWindowTest, RightClickArmsWithTwoRedRingsAndAgainDisarms) {
    open();
    auto* mute = window->button(kestro::kButtonIdBase + cc121::kNoteMute);
    ASSERT_NE(mute, nullptr);
    RECT r = mute->GetClientRect();
    MapWindowPoints(mute->m_hWnd, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    const COLORREF faceInner = pixel(hwnd(), r.left - 1, r.top + 5);
    const COLORREF faceOuter = pixel(hwnd(), r.left - 2, r.top + 5);

    clickButton(mute->m_hWnd, WM_RBUTTONDOWN, WM_RBUTTONUP);
    UpdateWindow(hwnd());
    pump(100);
    EXPECT_EQ(window->midi().armed(), std::vector<int>{kestro::kButtonIdBase + cc121::kNoteMute});
    EXPECT_EQ(pixel(hwnd(), r.left - 1, r.top + 5), RGB(255, 0, 0));
    EXPECT_EQ(pixel(hwnd(), r.right, r.bottom - 5), RGB(255, 0, 0));
    EXPECT_EQ(pixel(hwnd(), r.left - 2, r.top + 5), RGB(255, 128, 128));
    EXPECT_EQ(pixel(hwnd(), r.right + 1, r.bottom + 1), RGB(255, 128, 128));

    clickButton(mute->m_hWnd, WM_RBUTTONDOWN, WM_RBUTTONUP);
    UpdateWindow(hwnd());
    pump(100);
    EXPECT_TRUE(window->midi().armed().empty());
    EXPECT_EQ(pixel(hwnd(), r.left - 1, r.top + 5), faceInner);
    EXPECT_EQ(pixel(hwnd(), r.left - 2, r.top + 5), faceOuter);
}

TEST_F(MainWindowTest, PanelButtonsDoNotArmAndActOnReleaseOnly) {
    open();
    auto* pin = window->button(kestro::kAlwaysOnTopId);
    ASSERT_NE(pin, nullptr);
    clickButton(pin->m_hWnd, WM_RBUTTONDOWN, WM_RBUTTONUP);
    EXPECT_TRUE(window->midi().armed().empty());

    SendMessageA(pin->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    pump(100);
    EXPECT_FALSE(GetWindowLongA(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) << "nothing on press";
    SendMessageA(pin->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    pump(100);
    EXPECT_TRUE(GetWindowLongA(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(pin->lit);

    clickButton(pin->m_hWnd, WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_FALSE(GetWindowLongA(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(pin->lit);
}

TEST_F(MainWindowTest, ClosingWritesAllSevenSettings) {
    open();
    auto* pin = window->button(kestro::kAlwaysOnTopId);
    clickButton(pin->m_hWnd, WM_LBUTTONDOWN, WM_LBUTTONUP);
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    SendMessageA(hwnd(), WM_CLOSE, 0, 0);
    pump(100);
    EXPECT_EQ(readValue("x"), std::to_string(outer.left));
    EXPECT_EQ(readValue("y"), std::to_string(outer.top));
    EXPECT_EQ(readValue("midi_in"), "");
    EXPECT_EQ(readValue("midi_out"), "");
    EXPECT_EQ(readValue("always_on_top"), "1");
    EXPECT_EQ(readValue("deactivate_sensing"), "0");
    EXPECT_EQ(readValue("simul_click_time"), "50");
}

TEST_F(MainWindowTest, StartsAtTheSavedPlaceWithANegativeYReadAsZero) {
    setValue("x", "-20");
    setValue("y", "-20");
    setValue("always_on_top", "2");
    setValue("deactivate_sensing", "1");
    open();
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    EXPECT_EQ(outer.left, -20);
    EXPECT_EQ(outer.top, 0);
    EXPECT_TRUE(GetWindowLongA(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) << "\"2\" reads as on";
    EXPECT_TRUE(window->listener_light().lit) << "detection disabled lights Listener Ready";
}

TEST_F(MainWindowTest, TheEndOfTheSessionSavesTheSettingsOnce) {
    open();
    auto* pin = window->button(kestro::kAlwaysOnTopId);
    clickButton(pin->m_hWnd, WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_EQ(SendMessageA(hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(readValue("always_on_top"), "1");
    EXPECT_EQ(readValue("simul_click_time"), "50");
    setValue("simul_click_time", "77"); // shows a second write
    SendMessageA(hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    SendMessageA(hwnd(), WM_CLOSE, 0, 0);
    pump(100);
    EXPECT_EQ(readValue("simul_click_time"), "77") << "saved once";
}

TEST_F(MainWindowTest, ASavedPlaceOnNoMonitorComesOntoTheNearestWorkArea) {
    setValue("x", "5000");
    setValue("y", "4000");
    open();
    RECT outer{}, work{};
    GetWindowRect(hwnd(), &outer);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(outer.right, work.right);
    EXPECT_EQ(outer.bottom, work.bottom);
}

// The engine owns the light: after Cancel it shows the detection flag, and the running host's next ready
// message lights it again.
TEST_F(MainWindowTest, ListenerReadyIsLitAgainByTheHostAfterOptionsCancelled) {
    static constexpr std::uint8_t kHostReady[] = {0xF0, 0x43, 0x10, 0x3E, 0x15, 0x00, 0x01, 0xF7};
    open();
    std::atomic<bool> host_runs{true};
    std::thread host([this, &host_runs] {
        while (host_runs) {
            window->midi().inputHandler(kHostReady, sizeof kHostReady);
            Sleep(200);
        }
    });
    {
        DialogScript cancel("Options", {[](HWND dialog) {
                                SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                            }},
                            {300, IDCANCEL});
        clickButton(window->button(kestro::kSetupId)->m_hWnd, WM_LBUTTONDOWN, WM_LBUTTONUP);
        EXPECT_TRUE(DialogScript::finished());
    }
    pump(1000);
    host_runs = false;
    host.join();
    EXPECT_TRUE(window->listener_light().lit);
}

} // namespace
