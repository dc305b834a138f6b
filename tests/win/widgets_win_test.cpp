// The skin widget windows, created from the panel's real skins (widgets_win_test.rc) as children of a test
// parent and driven by real mouse messages: the WM_COMMAND notifications posted to the parent, the fields,
// the mouse capture, and the pixels read back from the windows. Creates windows: run it under xvfb-run.
//
// KESTRO_WIDGETS_PREVIEW_MS=n keeps the whole-panel preview on screen for n ms, for a screenshot.
#include "skin_button.h"
#include "skin_fader.h"
#include "skin_led.h"
#include "skin_rotary.h"
#include "skins.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using gravo::pixel_t;
using gravo::surface_t;
using namespace orvel;
namespace skins = kestro::skins;

constexpr pixel_t rgb_mask = 0x00FFFFFF;

// ---- notifications ---------------------------------------------------------------------------------------

struct note_t {
    int id;
    int code;
    HWND sender;
    bool operator==(const note_t& o) const { return id == o.id && code == o.code && sender == o.sender; }
};

std::ostream& operator<<(std::ostream& os, const note_t& n) {
    return os << "{id " << n.id << ", code " << n.code << ", sender " << static_cast<const void*>(n.sender)
              << "}";
}

using notes_t = std::vector<note_t>;

// ---- the parent ------------------------------------------------------------------------------------------

// A top-level window at the screen's top-left corner, as large as the face, painting the face when given
// one. It is a CWindowImpl too, as the panel's main window is.
class CTestParent
    : public CWindowImpl<CTestParent, CWindow, CWinTraits<WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN>> {
public:
    const surface_t* face = nullptr;

    static const CWndClassInfo& GetWndClassInfo() noexcept {
        static const CWndClassInfo info{"widgets_test::Parent", CS_HREDRAW | CS_VREDRAW,
                                        reinterpret_cast<HBRUSH>(COLOR_3DDKSHADOW + 1), IDC_ARROW};
        return info;
    }

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        if (msg != WM_PAINT || face == nullptr) {
            return false;
        }
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        face->blit_to_dc(dc, 0, 0, 0, 0, face->width, face->height, SRCCOPY);
        EndPaint(hwnd, &ps);
        result = 0;
        return true;
    }
};

// Runs everything queued for this thread (paints included) and returns the notifications posted to the
// parent, in order; they are collected, not dispatched.
notes_t pump(HWND parent) {
    notes_t notes;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_COMMAND && msg.hwnd == parent) {
            notes.push_back({LOWORD(msg.wParam), HIWORD(msg.wParam), reinterpret_cast<HWND>(msg.lParam)});
        } else {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return notes;
}

LRESULT mouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys = 0) {
    return SendMessageA(hwnd, msg, keys, MAKELPARAM(WORD(x), WORD(y)));
}

bool has_update_region(HWND hwnd) {
    return GetUpdateRect(hwnd, nullptr, FALSE) != FALSE;
}

// ---- pixels ----------------------------------------------------------------------------------------------

// The client area of hwnd as it is on screen, 0x00RRGGBB per pixel, read through a 32-bit DIB section.
class screen_copy_t {
public:
    explicit screen_copy_t(HWND hwnd) {
        RECT client{};
        GetClientRect(hwnd, &client);
        width = client.right;
        height = client.bottom;
        HDC window_dc = GetDC(hwnd);
        HDC memory_dc = CreateCompatibleDC(window_dc);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(window_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory_dc, bitmap);
        BitBlt(memory_dc, 0, 0, width, height, window_dc, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const pixel_t*>(bits);
        pixels.assign(p, p + std::size_t(width) * std::size_t(height));
        for (pixel_t& px : pixels) {
            px &= rgb_mask;
        }
        SelectObject(memory_dc, old);
        DeleteObject(bitmap);
        DeleteDC(memory_dc);
        ReleaseDC(hwnd, window_dc);
    }
    pixel_t at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }

    int width = 0;
    int height = 0;
    std::vector<pixel_t> pixels;
};

void load_skin(surface_t& s, int id) {
    EXPECT_TRUE(s.load_png_resource(GetModuleHandleA(nullptr), id)) << id;
}

// Compares the w x h rectangle at (x, y) of shown with (sx, sy) of expected; reports the first mismatch.
::testing::AssertionResult same_pixels(const screen_copy_t& shown, int x, int y, const surface_t& expected,
                                       int sx, int sy, int w, int h) {
    if (!expected.is_valid()) {
        return ::testing::AssertionFailure() << "no expected picture";
    }
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const pixel_t want = expected.rows[sy + row][sx + col] & rgb_mask;
            const pixel_t got = shown.at(x + col, y + row);
            if (want != got) {
                return ::testing::AssertionFailure() << "at (" << col << ", " << row << "): shown "
                                                     << std::hex << got << ", expected " << want;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// The window shows frame `frame` of a strip of w x h frames.
::testing::AssertionResult shows_frame(HWND hwnd, const surface_t& strip, int frame) {
    UpdateWindow(hwnd);
    const screen_copy_t shown(hwnd);
    return same_pixels(shown, 0, 0, strip, frame * shown.width, 0, shown.width, shown.height);
}

::testing::AssertionResult shows_colour(HWND hwnd, pixel_t colour) {
    UpdateWindow(hwnd);
    const screen_copy_t shown(hwnd);
    for (pixel_t px : shown.pixels) {
        if (px != colour) {
            return ::testing::AssertionFailure() << std::hex << px << " instead of " << colour;
        }
    }
    return ::testing::AssertionSuccess();
}

pixel_t window_colour() {
    const COLORREF c = GetSysColor(COLOR_WINDOW); // 0x00BBGGRR
    return pixel_t(GetRValue(c)) << 16 | pixel_t(GetGValue(c)) << 8 | GetBValue(c);
}

// ---- fixture ---------------------------------------------------------------------------------------------

// One parent for the whole program: Wine without a window manager spends two seconds taking a top-level
// window off the screen, so it is created once and outlives every test.
CTestParent& the_parent() {
    static CTestParent* parent = [] {
        auto* p = new CTestParent;
        p->Create(nullptr, RECT{0, 0, skins::face_width, skins::face_height});
        return p;
    }();
    return *parent;
}

class Widgets : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(parent.m_hWnd, nullptr);
        pump(parent); // whatever an earlier test left queued
    }
    void TearDown() override {
        ReleaseCapture();
        set_resource_instance(nullptr);
        parent.face = nullptr;
        parent.Invalidate();
    }
    notes_t notes() { return pump(parent); }
    note_t note(HWND sender, int code) const { return {GetDlgCtrlID(sender), code, sender}; }

    CTestParent& parent = the_parent();
};

constexpr int play_id = 0x0F5E;
constexpr int play_image = 129;
constexpr int pan_id = 0x0E10;

// ---- the framework ---------------------------------------------------------------------------------------

class CProbe : public CWindowImpl<CProbe, CWindow, CWinTraits<WS_POPUP, WS_EX_TOOLWINDOW>> {
public:
    static const CWndClassInfo& GetWndClassInfo() noexcept {
        static const CWndClassInfo info{"widgets_test::Probe", CS_DBLCLKS, nullptr, nullptr};
        return info;
    }
    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        messages.push_back(msg);
        if (msg == WM_NCCREATE) {
            bound_at_nccreate = m_hWnd == hwnd;
        }
        if (msg == WM_APP) {
            result = 42;
            return true;
        }
        return false;
    }
    void OnFinalMessage(HWND hwnd) override {
        final_hwnd = hwnd;
        unbound_at_final = m_hWnd == nullptr;
        last_before_final = messages.back();
    }

    std::vector<UINT> messages;
    bool bound_at_nccreate = false;
    HWND final_hwnd = nullptr;
    bool unbound_at_final = false;
    UINT last_before_final = 0;
};

TEST(WindowImpl, BindsRoutesFallsBackAndUnbinds) {
    CProbe probe;
    const HWND hwnd = probe.Create(nullptr, RECT{10, 20, 110, 70}, "probe");
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(probe.m_hWnd, hwnd);
    ASSERT_FALSE(probe.messages.empty());
    EXPECT_EQ(probe.messages.front(), UINT(WM_NCCREATE)); // earlier messages went to DefWindowProcA
    EXPECT_TRUE(probe.bound_at_nccreate);
    EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & WS_POPUP, LONG(WS_POPUP));
    EXPECT_EQ(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, LONG(WS_EX_TOOLWINDOW));
    EXPECT_EQ(GetClassLongA(hwnd, GCL_STYLE), DWORD(CS_DBLCLKS));
    EXPECT_EQ(GetWindowLongA(hwnd, GWL_ID), 0); // top-level: no control id substituted

    EXPECT_EQ(SendMessageA(hwnd, WM_APP, 0, 0), 42);
    // Unhandled: the default procedure keeps the text.
    EXPECT_TRUE(SetWindowTextA(hwnd, "renamed"));
    char text[16] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    EXPECT_STREQ(text, "renamed");

    EXPECT_EQ(probe.Create(nullptr, RECT{0, 0, 10, 10}), nullptr) << "one window per object";
    CProbe second; // the class is registered once and reused
    ASSERT_NE(second.Create(nullptr, RECT{0, 0, 10, 10}), nullptr);
    EXPECT_EQ(GetClassLongPtrA(second, GCW_ATOM), GetClassLongPtrA(hwnd, GCW_ATOM));

    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(probe.final_hwnd, hwnd);
    EXPECT_TRUE(probe.unbound_at_final);
    EXPECT_EQ(probe.last_before_final, UINT(WM_NCDESTROY));
    EXPECT_EQ(probe.m_hWnd, nullptr);
}

TEST(WindowImpl, AnObjectDestroysTheWindowItStillHas) {
    HWND hwnd = nullptr;
    {
        CProbe probe;
        hwnd = probe.Create(nullptr, RECT{0, 0, 10, 10});
        ASSERT_NE(hwnd, nullptr);
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

// ---- all four classes ------------------------------------------------------------------------------------

TEST_F(Widgets, ClassesStylesPlacesAndIds) {
    CSkinDumbButtonWindow button;
    CSkinDumbRotaryWindow encoder;
    CSkinFaderWindow fader;
    CSkinLEDWindow light;
    const struct {
        HWND hwnd;
        const char* class_name;
        RECT rect;
        int id;
    } cases[] = {
        {button.create(parent, 378, 387, 48, 38, play_id, play_image),
         "Orvel::DumbButton",
         {378, 387, 426, 425},
         play_id},
        {encoder.create(parent, 115, 108, 42, 42, pan_id, 125),
         "Orvel::DumbRotary",
         {115, 108, 157, 150},
         pan_id},
        {fader.create(parent), "Orvel::Fader", {39, 68, 98, 428}, 3944},
        {light.create(parent), "Orvel::SkinnedLED", {663, 53, 683, 73}, int(kDefaultChildId)},
    };
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.class_name);
        ASSERT_NE(c.hwnd, nullptr);
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        ASSERT_TRUE(GetClassInfoExA(module_instance(), c.class_name, &wc));
        EXPECT_EQ(wc.style, UINT(CS_HREDRAW | CS_VREDRAW));
        EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        EXPECT_EQ(wc.hCursor, arrow);
        char name[64] = {};
        GetClassNameA(c.hwnd, name, sizeof name);
        EXPECT_STREQ(name, c.class_name);
        EXPECT_EQ(DWORD(GetWindowLongA(c.hwnd, GWL_STYLE)), 0x56000000u);
        EXPECT_EQ(GetWindowLongA(c.hwnd, GWL_EXSTYLE), 0);
        EXPECT_EQ(GetWindowTextLengthA(c.hwnd), 0);
        EXPECT_EQ(GetParent(c.hwnd), parent.m_hWnd);
        EXPECT_EQ(GetDlgCtrlID(c.hwnd), c.id);
        RECT r{};
        GetWindowRect(c.hwnd, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, c.rect.left);
        EXPECT_EQ(r.top, c.rect.top);
        EXPECT_EQ(r.right, c.rect.right);
        EXPECT_EQ(r.bottom, c.rect.bottom);
    }
    // A second widget of a class reuses its registration.
    CSkinDumbButtonWindow another;
    EXPECT_NE(another.create(parent, 0, 0, 48, 38, 0x0F5D, 126), nullptr);
    EXPECT_TRUE(notes().empty()) << "creation notifies nothing";
}

// ---- button ----------------------------------------------------------------------------------------------

class Button : public Widgets {
protected:
    void SetUp() override {
        Widgets::SetUp();
        ASSERT_NE(button.create(parent, 378, 387, 48, 38, play_id, play_image), nullptr);
        load_skin(strip, play_image);
        pump(parent);
    }
    CSkinDumbButtonWindow button;
    surface_t strip;
};

TEST_F(Button, PressAndReleasePostCodesZeroAndOneAndShowThePressedFrame) {
    EXPECT_TRUE(shows_frame(button, strip, 0));
    EXPECT_EQ(mouse(button, WM_LBUTTONDOWN, 10, 10, MK_LBUTTON), 0);
    EXPECT_TRUE(button.pressed);
    EXPECT_EQ(GetCapture(), button.m_hWnd);
    EXPECT_EQ(notes(), notes_t{note(button, 0)});
    EXPECT_TRUE(shows_frame(button, strip, 1));

    EXPECT_EQ(mouse(button, WM_LBUTTONUP, 10, 10), 0);
    EXPECT_FALSE(button.pressed);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(notes(), notes_t{note(button, 1)});
    EXPECT_TRUE(shows_frame(button, strip, 0));
    EXPECT_EQ(note(button, 1).id, play_id);
}

TEST_F(Button, LitFramesFollowThePressToo) {
    button.set_lit(true);
    EXPECT_TRUE(shows_frame(button, strip, 2));
    mouse(button, WM_LBUTTONDOWN, 1, 1, MK_LBUTTON);
    EXPECT_TRUE(shows_frame(button, strip, 3));
    mouse(button, WM_LBUTTONUP, 1, 1);
    EXPECT_TRUE(shows_frame(button, strip, 2));
    EXPECT_TRUE(button.lit) << "only the parent changes the lamp";
    EXPECT_EQ(notes(), (notes_t{note(button, 0), note(button, 1)}));
}

TEST_F(Button, ARightClickPostsOnlyCodeTwoAndChangesNothingOnScreen) {
    ASSERT_TRUE(shows_frame(button, strip, 0));
    mouse(button, WM_RBUTTONDOWN, 5, 5, MK_RBUTTON);
    mouse(button, WM_RBUTTONUP, 5, 5);
    EXPECT_FALSE(has_update_region(button));
    EXPECT_FALSE(button.pressed);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(notes(), notes_t{note(button, 2)});
}

TEST_F(Button, ADoubleClickIsTwoPressesAndReleases) {
    // Without CS_DBLCLKS the system turns the second click into WM_LBUTTONDOWN; a stray double-click
    // message is left to the default procedure and notifies nothing.
    for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}) {
        mouse(button, msg, 3, 3);
    }
    mouse(button, WM_LBUTTONDBLCLK, 3, 3, MK_LBUTTON);
    EXPECT_EQ(notes(), (notes_t{note(button, 0), note(button, 1), note(button, 0), note(button, 1)}));
    EXPECT_FALSE(button.pressed);
    EXPECT_EQ(GetClassLongA(button, GCL_STYLE) & CS_DBLCLKS, 0u);
}

TEST_F(Button, ACapturedReleaseAnywhereEndsThePress) {
    mouse(button, WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    mouse(button, WM_MOUSEMOVE, -200, 300, MK_LBUTTON); // captured moves outside change nothing
    EXPECT_TRUE(button.pressed);
    mouse(button, WM_LBUTTONUP, -200, 300);
    EXPECT_FALSE(button.pressed);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(notes(), (notes_t{note(button, 0), note(button, 1)}));
}

TEST_F(Button, AReleaseWithoutItsPressDoesNothingAndLeavesTheOtherCapture) {
    SetCapture(parent); // the press began on the bare face
    mouse(button, WM_LBUTTONUP, 10, 10);
    EXPECT_TRUE(notes().empty()) << "no Note Off without its Note On, no armed chord";
    EXPECT_EQ(GetCapture(), parent.m_hWnd);
}

TEST_F(Button, ADisabledButtonIgnoresTheMouse) {
    EnableWindow(button, FALSE);
    for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP}) {
        mouse(button, msg, 3, 3);
    }
    EXPECT_FALSE(button.pressed);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(notes().empty());
}

TEST_F(Button, LosingTheMouseEndsAPressAsAReleaseWould) {
    // Disabling a pressed button takes its capture away (WM_CANCELMODE).
    mouse(button, WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    EnableWindow(button, FALSE);
    EXPECT_FALSE(button.pressed);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(notes(), (notes_t{note(button, 0), note(button, 1)}));
    mouse(button, WM_LBUTTONUP, 3, 3);
    EXPECT_TRUE(notes().empty());

    // Another window taking the capture does the same.
    EnableWindow(button, TRUE);
    mouse(button, WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    SetCapture(parent);
    EXPECT_FALSE(button.pressed);
    EXPECT_EQ(notes(), (notes_t{note(button, 0), note(button, 1)}));
    EXPECT_TRUE(shows_frame(button, strip, 0));
}

TEST_F(Button, SetLitRepaintsOnlyAChangeOfAShownButton) {
    ASSERT_FALSE(has_update_region(button));
    button.set_lit(false);
    EXPECT_FALSE(has_update_region(button));
    button.set_lit(true);
    EXPECT_TRUE(has_update_region(button));
    EXPECT_TRUE(shows_frame(button, strip, 2));
    button.set_lit(true);
    EXPECT_FALSE(has_update_region(button));

    ShowWindow(button, SW_HIDE);
    pump(parent);
    button.set_lit(false);
    EXPECT_FALSE(button.lit);
    EXPECT_FALSE(has_update_region(button));
    ShowWindow(button, SW_SHOW);
    EXPECT_TRUE(shows_frame(button, strip, 0));
    EXPECT_TRUE(notes().empty());
}

// ---- encoder ---------------------------------------------------------------------------------------------

class Encoder : public Widgets {
protected:
    void SetUp() override {
        Widgets::SetUp();
        ASSERT_NE(encoder.create(parent, 115, 108, 42, 42, pan_id, 125), nullptr);
        load_skin(knob, 125);
        pump(parent);
    }
    CSkinDumbRotaryWindow encoder;
    surface_t knob;
};

TEST_F(Encoder, ADragPostsOneStepPerChangedY) {
    encoder.last_step = 9;
    mouse(encoder, WM_LBUTTONDOWN, 20, 30, MK_LBUTTON);
    EXPECT_TRUE(encoder.dragging);
    EXPECT_EQ(encoder.angle, 0.0);
    EXPECT_EQ(encoder.last_y, 30);
    EXPECT_EQ(encoder.last_step, 9) << "a press keeps the last step";
    EXPECT_EQ(GetCapture(), encoder.m_hWnd);

    mouse(encoder, WM_MOUSEMOVE, 20, 10, MK_LBUTTON);
    EXPECT_EQ(encoder.last_step, 20);
    EXPECT_EQ(encoder.angle, 100.0);
    mouse(encoder, WM_MOUSEMOVE, 35, 10, MK_LBUTTON);  // x alone is no step
    mouse(encoder, WM_MOUSEMOVE, 20, -15, MK_LBUTTON); // above the window, captured
    EXPECT_EQ(encoder.last_step, 25);
    EXPECT_EQ(encoder.angle, 225.0);
    EXPECT_EQ(notes(), (notes_t{note(encoder, 0), note(encoder, 2), note(encoder, 2)}));

    mouse(encoder, WM_LBUTTONUP, 20, -15);
    EXPECT_FALSE(encoder.dragging);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(notes(), notes_t{note(encoder, 1)});

    // The next press starts the indicator from the top again; moving down 1 pixel is 355 degrees.
    mouse(encoder, WM_LBUTTONDOWN, 0, 5, MK_LBUTTON);
    mouse(encoder, WM_MOUSEMOVE, 0, 6, MK_LBUTTON);
    EXPECT_EQ(encoder.angle, 355.0);
    EXPECT_EQ(encoder.last_step, -1);
    mouse(encoder, WM_LBUTTONUP, 0, 6);
    EXPECT_EQ(notes(), (notes_t{note(encoder, 0), note(encoder, 2), note(encoder, 1)}));
}

TEST_F(Encoder, OutsideADragMovesAndReleasesAreConsumedQuietly) {
    EXPECT_EQ(mouse(encoder, WM_MOUSEMOVE, 1, 1), 0);
    EXPECT_EQ(mouse(encoder, WM_LBUTTONUP, 1, 1), 0);
    EXPECT_EQ(mouse(encoder, WM_RBUTTONUP, 1, 1), 0);
    EXPECT_EQ(encoder.last_y, 0);
    EXPECT_FALSE(has_update_region(encoder));
    EXPECT_TRUE(notes().empty());

    EnableWindow(encoder, FALSE);
    mouse(encoder, WM_LBUTTONDOWN, 1, 1, MK_LBUTTON);
    EXPECT_FALSE(encoder.dragging);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(notes().empty());
}

TEST_F(Encoder, TheIndicatorShowsOnlyDuringADrag) {
    EXPECT_TRUE(shows_frame(encoder, knob, 0));
    mouse(encoder, WM_LBUTTONDOWN, 20, 30, MK_LBUTTON);
    mouse(encoder, WM_MOUSEMOVE, 20, 12, MK_LBUTTON); // 18 pixels up: 90 degrees, pointing right
    ASSERT_EQ(encoder.angle, 90.0);
    UpdateWindow(encoder);
    {
        const screen_copy_t shown(encoder);
        for (int x = 20; x < 40; ++x) {
            EXPECT_EQ(shown.at(x, 20), 0x00FFFFFFu) << x;
        }
        for (auto [x, y] : {std::pair{40, 20}, std::pair{20, 0}, std::pair{0, 20}, std::pair{20, 40}}) {
            EXPECT_EQ(shown.at(x, y), 0x008F8F8Fu) << x << ", " << y;
        }
        EXPECT_EQ(shown.at(20, 10), knob.rows[10][20] & rgb_mask);
    }
    mouse(encoder, WM_LBUTTONUP, 20, 12);
    EXPECT_TRUE(shows_frame(encoder, knob, 0));
}

TEST_F(Encoder, LosingTheMouseEndsTheDrag) {
    mouse(encoder, WM_LBUTTONDOWN, 20, 30, MK_LBUTTON);
    SetCapture(parent);
    EXPECT_FALSE(encoder.dragging);
    mouse(encoder, WM_MOUSEMOVE, 20, 0);
    EXPECT_EQ(encoder.angle, 0.0);
    EXPECT_EQ(notes(), (notes_t{note(encoder, 0), note(encoder, 1)}));
    EXPECT_TRUE(shows_frame(encoder, knob, 0));
}

// ---- fader -----------------------------------------------------------------------------------------------

class Fader : public Widgets {
protected:
    void SetUp() override {
        Widgets::SetUp();
        ASSERT_NE(fader.create(parent), nullptr);
        load_skin(track, skins::fader_track_id);
        load_skin(cap, skins::fader_cap_id);
        pump(parent);
    }

    // The track with the cap at top, checked where the cap is fully opaque or fully clear.
    ::testing::AssertionResult shows_cap_at(int top) {
        UpdateWindow(fader);
        const screen_copy_t shown(fader);
        int checked = 0;
        for (int y = 0; y < track.height; ++y) {
            for (int x = 0; x < track.width; ++x) {
                const bool on_cap = y >= top && y < top + cap.height;
                const pixel_t t = on_cap ? cap.rows[y - top][x] >> 24 : 255;
                const pixel_t want = t == 255 ? track.rows[y][x] : t == 0 ? cap.rows[y - top][x] : 1;
                if (want == 1) {
                    continue;
                }
                ++checked;
                if (shown.at(x, y) != (want & rgb_mask)) {
                    return ::testing::AssertionFailure()
                           << "at (" << x << ", " << y << "): " << std::hex << shown.at(x, y);
                }
            }
        }
        return ::testing::AssertionSuccess() << checked << " pixels";
    }

    CSkinFaderWindow fader;
    surface_t track, cap;
};

TEST_F(Fader, ADragMovesRelativeToTheMouse) {
    EXPECT_EQ(fader.value, 0.5);
    EXPECT_TRUE(shows_cap_at(132));
    mouse(fader, WM_LBUTTONDOWN, 30, 300, MK_LBUTTON); // far below the cap: it does not jump
    EXPECT_TRUE(fader.dragging);
    EXPECT_EQ(fader.value, 0.5);
    EXPECT_EQ(GetCapture(), fader.m_hWnd);
    mouse(fader, WM_MOUSEMOVE, 30, 290, MK_LBUTTON);
    EXPECT_DOUBLE_EQ(fader.value, 0.5 + 10.0 / 265.0);
    mouse(fader, WM_MOUSEMOVE, 500, 290, MK_LBUTTON); // x is ignored
    mouse(fader, WM_MOUSEMOVE, 30, 220, MK_LBUTTON);
    EXPECT_DOUBLE_EQ(fader.value, 0.5 + 80.0 / 265.0);
    EXPECT_TRUE(shows_cap_at(52));
    EXPECT_EQ(notes(), (notes_t{note(fader, 0), note(fader, 2), note(fader, 2)}));

    // Beyond the top, captured: negative y, value held at 1.0, a step for every changed y.
    mouse(fader, WM_MOUSEMOVE, 30, -40, MK_LBUTTON);
    EXPECT_EQ(fader.value, 1.0);
    mouse(fader, WM_MOUSEMOVE, 30, -90, MK_LBUTTON);
    EXPECT_EQ(fader.value, 1.0);
    EXPECT_EQ(fader.last_y, -90);
    EXPECT_EQ(notes(), (notes_t{note(fader, 2), note(fader, 2)}));
    EXPECT_TRUE(shows_cap_at(0));

    mouse(fader, WM_LBUTTONUP, 30, -90);
    EXPECT_FALSE(fader.dragging);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(notes(), notes_t{note(fader, 1)});
    EXPECT_EQ(note(fader, 1).id, 3944);
}

TEST_F(Fader, SetValueClampsRepaintsAndWaitsForTheDragToEnd) {
    fader.set_value(2.0);
    EXPECT_EQ(fader.value, 1.0);
    EXPECT_TRUE(shows_cap_at(0));
    fader.set_value(0.0);
    EXPECT_TRUE(shows_cap_at(265));
    fader.set_value(0.0);
    EXPECT_TRUE(has_update_region(fader)) << "repainted even when unchanged";
    UpdateWindow(fader);

    mouse(fader, WM_LBUTTONDOWN, 0, 100, MK_LBUTTON);
    fader.set_value(0.75);
    EXPECT_EQ(fader.value, 0.0);
    mouse(fader, WM_LBUTTONUP, 0, 100);
    fader.set_value(0.75);
    EXPECT_EQ(fader.value, 0.75);
    EXPECT_TRUE(shows_cap_at(66));
    EXPECT_EQ(notes(), (notes_t{note(fader, 0), note(fader, 1)}));
}

TEST_F(Fader, OutsideADragNothingMovesAndADisabledFaderIgnoresPresses) {
    EXPECT_EQ(mouse(fader, WM_MOUSEMOVE, 0, 10), 0);
    EXPECT_EQ(mouse(fader, WM_LBUTTONUP, 0, 10), 0);
    EnableWindow(fader, FALSE);
    mouse(fader, WM_LBUTTONDOWN, 0, 10, MK_LBUTTON);
    mouse(fader, WM_MOUSEMOVE, 0, 0, MK_LBUTTON);
    EXPECT_FALSE(fader.dragging);
    EXPECT_EQ(fader.value, 0.5);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(notes().empty());
}

TEST_F(Fader, DisablingADragEndsItAndReleasesTheMouse) {
    mouse(fader, WM_LBUTTONDOWN, 0, 100, MK_LBUTTON);
    mouse(fader, WM_MOUSEMOVE, 0, 90, MK_LBUTTON);
    EnableWindow(fader, FALSE);
    EXPECT_FALSE(fader.dragging);
    EXPECT_EQ(GetCapture(), nullptr);
    mouse(fader, WM_MOUSEMOVE, 0, 0);
    EXPECT_DOUBLE_EQ(fader.value, 0.5 + 10.0 / 265.0);
    EXPECT_EQ(notes(), (notes_t{note(fader, 0), note(fader, 2), note(fader, 1)}));
}

// ---- light -----------------------------------------------------------------------------------------------

TEST_F(Widgets, TheLightShowsItsTwoFramesAndPostsNothing) {
    CSkinLEDWindow light;
    ASSERT_NE(light.create(parent), nullptr);
    surface_t strip;
    load_skin(strip, skins::light_id);
    EXPECT_TRUE(shows_frame(light, strip, 0));
    light.set_lit(true);
    EXPECT_TRUE(has_update_region(light));
    EXPECT_TRUE(shows_frame(light, strip, 1));
    light.set_lit(true);
    EXPECT_FALSE(has_update_region(light));
    for (UINT msg : {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP}) {
        mouse(light, msg, 5, 5);
    }
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(notes().empty());
    // The parent's blink writes the flag directly and invalidates.
    light.lit = false;
    light.Invalidate();
    EXPECT_TRUE(shows_frame(light, strip, 0));
}

// ---- missing images --------------------------------------------------------------------------------------

TEST_F(Widgets, AWidgetWithoutItsImageIsAWindowColouredRectangleThatStillWorks) {
    set_resource_instance(GetModuleHandleA("kernel32.dll")); // a module with no PNG resources
    CSkinDumbButtonWindow button;
    CSkinDumbRotaryWindow encoder;
    CSkinFaderWindow fader;
    CSkinLEDWindow light;
    ASSERT_NE(button.create(parent, 378, 387, 48, 38, play_id, play_image), nullptr);
    ASSERT_NE(encoder.create(parent, 115, 108, 42, 42, pan_id, 125), nullptr);
    ASSERT_NE(fader.create(parent), nullptr);
    ASSERT_NE(light.create(parent), nullptr);
    EXPECT_FALSE(encoder.back.is_valid());
    EXPECT_FALSE(fader.back.is_valid());
    pump(parent);
    for (HWND hwnd : {button.m_hWnd, encoder.m_hWnd, fader.m_hWnd, light.m_hWnd}) {
        EXPECT_TRUE(shows_colour(hwnd, window_colour()));
    }

    mouse(button, WM_LBUTTONDOWN, 1, 1, MK_LBUTTON);
    mouse(button, WM_LBUTTONUP, 1, 1);
    mouse(fader, WM_LBUTTONDOWN, 1, 200, MK_LBUTTON);
    mouse(fader, WM_MOUSEMOVE, 1, 164, MK_LBUTTON); // no images: the window's height is the travel
    mouse(fader, WM_LBUTTONUP, 1, 164);
    EXPECT_DOUBLE_EQ(fader.value, 0.6);
    EXPECT_EQ(notes(),
              (notes_t{note(button, 0), note(button, 1), note(fader, 0), note(fader, 2), note(fader, 1)}));
    EXPECT_TRUE(shows_colour(fader, window_colour()));
}

// ---- real input ------------------------------------------------------------------------------------------

// Mouse input through SendInput, so that the system picks the receiving window, applies the capture and
// decides what a double click is.
void real_mouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

void real_click_at(int x, int y) {
    SetCursorPos(x, y);
    real_mouse(MOUSEEVENTF_LEFTDOWN);
    real_mouse(MOUSEEVENTF_LEFTUP);
}

TEST_F(Widgets, RealMouseInputReachesTheWidgets) {
    CSkinDumbButtonWindow button;
    CSkinFaderWindow fader;
    ASSERT_NE(button.create(parent, 378, 387, 48, 38, play_id, play_image), nullptr);
    ASSERT_NE(fader.create(parent), nullptr);
    SetForegroundWindow(parent);
    pump(parent);

    // A quick double click: two presses and two releases, no double-click message.
    real_click_at(400, 400);
    real_click_at(400, 400);
    Sleep(50);
    EXPECT_EQ(notes(), (notes_t{note(button, 0), note(button, 1), note(button, 0), note(button, 1)}));

    // A fader drag that leaves the window upwards keeps the mouse, reads negative y, and ends wherever
    // the button is released.
    SetCursorPos(68, 68 + 100);
    real_mouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(20);
    notes_t drag = notes();
    SetCursorPos(68, 68 - 20);
    real_mouse(MOUSEEVENTF_MOVE);
    Sleep(20);
    for (const note_t& n : notes()) {
        drag.push_back(n);
    }
    EXPECT_TRUE(fader.dragging);
    EXPECT_EQ(fader.last_y, -20);
    EXPECT_DOUBLE_EQ(fader.value, 0.5 + 120.0 / 265.0);
    SetCursorPos(300, 10);
    real_mouse(MOUSEEVENTF_LEFTUP);
    Sleep(20);
    for (const note_t& n : notes()) {
        drag.push_back(n);
    }
    // Moves may be coalesced: at least one step between the press and the release.
    ASSERT_GE(drag.size(), 3u);
    EXPECT_EQ(drag.front(), note(fader, 0));
    EXPECT_EQ(drag[1], note(fader, 2));
    EXPECT_EQ(drag.back(), note(fader, 1));
    EXPECT_FALSE(fader.dragging);
    EXPECT_EQ(GetCapture(), nullptr);
}

// ---- the whole panel -------------------------------------------------------------------------------------

// All 52 widgets over the face at their places, some lit, pressed or turning, compared with the skins.
TEST_F(Widgets, ThePanelPreview) {
    surface_t face;
    load_skin(face, skins::face_id);
    parent.face = &face;
    parent.Invalidate();

    CSkinLEDWindow light;
    std::vector<std::unique_ptr<CSkinDumbButtonWindow>> buttons;
    CSkinFaderWindow fader;
    std::vector<std::unique_ptr<CSkinDumbRotaryWindow>> encoders;
    std::vector<HWND> windows;
    for (const skins::widget_t& w : skins::widgets) {
        HWND hwnd = nullptr;
        switch (w.kind) {
        case skins::widget_kind::light:
            hwnd = light.create(parent);
            break;
        case skins::widget_kind::button:
            buttons.push_back(std::make_unique<CSkinDumbButtonWindow>());
            hwnd = buttons.back()->create(parent, w.x, w.y, w.width, w.height, w.control_id, w.image);
            break;
        case skins::widget_kind::fader:
            hwnd = fader.create(parent);
            break;
        case skins::widget_kind::encoder:
            encoders.push_back(std::make_unique<CSkinDumbRotaryWindow>());
            hwnd = encoders.back()->create(parent, w.x, w.y, w.width, w.height, w.control_id, w.image);
            break;
        }
        ASSERT_NE(hwnd, nullptr) << w.control_id;
        windows.push_back(hwnd);
    }
    ASSERT_EQ(buttons.size(), 35u);
    ASSERT_EQ(encoders.size(), 15u);

    light.set_lit(true);
    const std::vector<int> lit_ids = {0x0F10, 0x0F4A, 0x0F70, 0x0F72, 0x0F5E, 0x0F37, 0x0F76, 0x0FF0};
    for (int id : lit_ids) {
        for (auto& b : buttons) {
            if (b->GetDlgCtrlID() == id) {
                b->set_lit(true);
            }
        }
    }
    // Only one widget can hold the mouse: the held-down look of Record is set directly.
    CSkinDumbButtonWindow& record = *buttons[24]; // row 26
    ASSERT_EQ(record.GetDlgCtrlID(), 0x0F5F);
    record.pressed = true;
    record.Invalidate();
    fader.set_value(0.75);
    CSkinDumbRotaryWindow& ai_knob = *encoders.back(); // turning: its indicator shows
    mouse(ai_knob, WM_LBUTTONDOWN, 35, 35, MK_LBUTTON);
    mouse(ai_knob, WM_MOUSEMOVE, 35, 26, MK_LBUTTON); // 9 pixels up: 45 degrees
    ASSERT_TRUE(ai_knob.dragging);
    pump(parent);
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    const screen_copy_t shown(parent);
    // The face wherever no widget sits.
    std::vector<bool> covered(std::size_t(face.width) * std::size_t(face.height), false);
    for (const skins::widget_t& w : skins::widgets) {
        for (int y = w.y; y < w.y + w.height; ++y) {
            for (int x = w.x; x < w.x + w.width; ++x) {
                covered[std::size_t(y) * std::size_t(face.width) + std::size_t(x)] = true;
            }
        }
    }
    int face_mismatches = 0;
    for (int y = 0; y < face.height; ++y) {
        for (int x = 0; x < face.width; ++x) {
            if (!covered[std::size_t(y) * std::size_t(face.width) + std::size_t(x)] &&
                shown.at(x, y) != (face.rows[y][x] & rgb_mask)) {
                ++face_mismatches;
            }
        }
    }
    EXPECT_EQ(face_mismatches, 0);
    // Every button and the light show the frame of their state: lit 2, held 1, the others idle.
    for (const auto& b : buttons) {
        RECT r{};
        GetWindowRect(*b, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        const int w = r.right - r.left;
        const int id = b->GetDlgCtrlID();
        const int frame = b.get() == &record                                    ? 1
                          : std::count(lit_ids.begin(), lit_ids.end(), id) != 0 ? 2
                                                                                : 0;
        EXPECT_TRUE(same_pixels(shown, r.left, r.top, b->image, w * frame, 0, w, r.bottom - r.top)) << id;
    }
    EXPECT_TRUE(same_pixels(shown, light_x, light_y, light.image, light_size, 0, light_size, light_size));
    for (const auto& e : encoders) {
        if (e.get() != &ai_knob) {
            RECT r{};
            GetWindowRect(*e, &r);
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_TRUE(same_pixels(shown, r.left, r.top, e->image, 0, 0, e->image.width, e->image.height));
        }
    }
    EXPECT_TRUE(same_pixels(shown, fader_x, fader_y, fader.back, 0, 0, fader_width, fader_height));
    EXPECT_EQ(shown.at(594 + 34 + 10, 263 + 34 - 10), 0x00FFFFFFu) << "the AI knob's indicator";

    if (const char* hold = std::getenv("KESTRO_WIDGETS_PREVIEW_MS")) {
        const DWORD until = GetTickCount() + DWORD(std::atoi(hold));
        while (LONG(until - GetTickCount()) > 0) {
            pump(parent);
            Sleep(20);
        }
    }
    mouse(ai_knob, WM_LBUTTONUP, 35, 26);
}

} // namespace
