// The panel's Options and About dialogs, from their templates in this program's resources, run modally as
// the main window runs them and driven with real window messages. Creates windows: run it under xvfb-run.
//
// A thread timer, dispatched by the dialog's own modal loop, plays a script against the open dialog; the
// script ends it with a click, a key or a close as a user would. A watchdog ends a dialog that a script
// left open, and the test then fails.
#include "about_dialog_win32.h"
#include "dialog_test_support.h"
#include "dialogs_resource.h"
#include "kestro_version.h"
#include "port_names.h"
#include "setup_dialog_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <mmsystem.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using kestro::midi_port_lists;
using kestro::setup_values;

HINSTANCE resources() {
    return GetModuleHandleA(nullptr);
}

// --- Owner windows -----------------------------------------------------------------------------------------

// A top-level window standing in for the panel's main window. Never hidden once shown: under Wine without
// a window manager that waits for the X server.
class Owner {
public:
    Owner(RECT rect, int show) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = resources();
        wc.lpszClassName = "kestro_test_owner";
        RegisterClassA(&wc); // a second registration fails harmlessly
        m_hwnd = CreateWindowExA(0, wc.lpszClassName, "Owner", WS_OVERLAPPEDWINDOW, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        if (show != SW_HIDE) {
            ShowWindow(m_hwnd, show);
        }
    }
    ~Owner() { DestroyWindow(m_hwnd); }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    HWND hwnd() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
};

HWND mainOwner() {
    static Owner owner({60, 40, 560, 400}, SW_SHOWNORMAL);
    return owner.hwnd();
}

RECT workArea() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// --- Modal script ------------------------------------------------------------------------------------------

// Runs `step` once against the dialog captioned `title` that this thread has open.
class WhileOpen : public DialogScript {
public:
    WhileOpen(const char* title, Step step) : DialogScript(title, {std::move(step)}, {300, IDABORT}) {}
    // The script ran, and ended the dialog itself.
    static bool ranAndEnded() { return finished() && !timedOut(); }
};

// Runs the Options dialog with `ports` and the script; its result.
bool runSetup(setup_values& values, const midi_port_lists& ports, Step step, HWND owner = mainOwner()) {
    WhileOpen script("Options", std::move(step));
    const bool ok = kestro::run_setup_dialog(resources(), owner, values, ports);
    EXPECT_TRUE(WhileOpen::ranAndEnded());
    return ok;
}

void runAbout(Step step, HWND owner = mainOwner()) {
    WhileOpen script("About", std::move(step));
    kestro::run_about_dialog(resources(), owner);
    EXPECT_TRUE(WhileOpen::ranAndEnded());
}

// --- User input --------------------------------------------------------------------------------------------

void click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// A key press as the modal loop receives it: posted to the focus, so the dialog manager sees it first.
void pressKey(HWND target, WPARAM key) {
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

// Focuses the edit, selects all of it and types `text` over it (nothing: deletes it).
void typeInto(HWND dialog, int id, const char* text) {
    const HWND edit = GetDlgItem(dialog, id);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    if (*text == '\0') {
        SendMessageA(edit, WM_CHAR, VK_BACK, 1);
    }
    for (const char* c = text; *c != '\0'; ++c) {
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(*c)), 1);
    }
}

// Moves the keyboard focus to the check box, so that whatever had it loses it.
void leave(HWND dialog) {
    SetFocus(GetDlgItem(dialog, IDC_DEACTIVATE_SENSING));
}

std::string itemText(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}

struct Combo {
    std::vector<std::string> items;
    int selected = -1;
    bool enabled = false;
};

Combo combo(HWND dialog, int id) {
    const HWND list = GetDlgItem(dialog, id);
    Combo c;
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char name[600] = {};
        SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
        c.items.emplace_back(name);
    }
    c.selected = static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
    c.enabled = IsWindowEnabled(list) != FALSE;
    return c;
}

// As a user's choice: the list's selection changes and it tells the dialog.
void choose(HWND dialog, int id, int place) {
    const HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(place), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

int spinPos(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageA(dialog, IDC_SIMUL_CLICK_SPIN, UDM_GETPOS32, 0, 0));
}

// --- The templates -----------------------------------------------------------------------------------------

struct Control {
    int id;
    const char* cls; // "Button", "Edit", "Static", "ComboBox" or "msctls_updown32"
    const char* text;
    int x, y, w, h;
    DWORD kind; // the style bits that make the control what it is
    DWORD typeMask;
};

const DWORD kPortList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
const DWORD kSpin = UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS;

const Control kSetupControls[] = {
    {-1, "Button", "MIDI Devices", 6, 6, 246, 66, BS_GROUPBOX, BS_TYPEMASK},
    {-1, "Static", "MIDI Input:", 18, 28, 36, 8, SS_LEFT, SS_TYPEMASK},
    {IDC_MIDI_IN, "ComboBox", "", 78, 24, 162, 216, kPortList, CBS_DROPDOWNLIST | CBS_SORT},
    {-1, "Static", "MIDI Output:", 18, 52, 42, 8, SS_LEFT, SS_TYPEMASK},
    {IDC_MIDI_OUT, "ComboBox", "", 78, 48, 162, 216, kPortList, CBS_DROPDOWNLIST | CBS_SORT},
    {-1, "Button", "Options", 6, 84, 246, 66, BS_GROUPBOX, BS_TYPEMASK},
    {IDC_DEACTIVATE_SENSING, "Button", "Disable client detection (Always 'Ready')", 24, 102, 143, 10,
     BS_AUTOCHECKBOX | WS_TABSTOP, BS_TYPEMASK},
    {-1, "Static", "Simultaneous click time:", 24, 126, 76, 8, SS_LEFT, SS_TYPEMASK},
    {IDC_SIMUL_CLICK_TIME, "Edit", "", 115, 121, 40, 14, ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
     0},
    // Beside its edit: no alignment to it, no wrapping, vertical.
    {IDC_SIMUL_CLICK_SPIN, "msctls_updown32", "", 155, 121, 11, 14, kSpin,
     kSpin | UDS_ALIGNLEFT | UDS_ALIGNRIGHT | UDS_WRAP | UDS_HORZ},
    {IDOK, "Button", "OK", 258, 6, 50, 16, BS_DEFPUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
    {IDCANCEL, "Button", "Abbrechen", 258, 25, 50, 16, BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
};

const Control kAboutControls[] = {
    {-1, "Button", "", 6, 0, 138, 69, BS_GROUPBOX, BS_TYPEMASK},
    {-1, "Static", "KESTRO - Kestro MIDI Controller", 12, 12, 124, 8, SS_CENTER, SS_TYPEMASK},
    {-1, "Static", KESTRO_VERSION_LINE, 12, 30, 126, 8, SS_CENTER, SS_TYPEMASK},
    {-1, "Static", KESTRO_DESCRIPTION, 12, 48, 126, 8, SS_CENTER, SS_TYPEMASK},
    {IDOK, "Button", "OK", 48, 78, 50, 16, BS_DEFPUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
};

struct Dialog {
    int id;
    const char* title;
    int w, h;
    const Control* controls;
    std::size_t count;
};

const Dialog kSetup = {IDD_SETUP, "Options", 316, 154, kSetupControls, std::size(kSetupControls)};
const Dialog kAbout = {IDD_ABOUT, "About", 148, 101, kAboutControls, std::size(kAboutControls)};

void PrintTo(const Dialog& d, std::ostream* os) {
    *os << d.title;
}

class Templates : public ::testing::TestWithParam<Dialog> {};

TEST_P(Templates, AreModalPopUpsInMsSansSerif8WithTheTabulatedControls) {
    const Dialog& d = GetParam();
    const HRSRC found = FindResourceA(resources(), MAKEINTRESOURCEA(d.id), MAKEINTRESOURCEA(5)); // RT_DIALOG
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(resources(), found)));
    ASSERT_NE(bytes, nullptr);
    TemplateReader r(bytes);
    EXPECT_EQ(r.word(), 1);      // version
    EXPECT_EQ(r.word(), 0xFFFF); // extended template
    r.dword();                   // help id
    EXPECT_EQ(r.dword(), 0u);    // extended style
    EXPECT_EQ(r.dword(), DWORD(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU));
    const WORD count = r.word();
    EXPECT_EQ(count, d.count);
    EXPECT_EQ(r.coord(), 0);
    EXPECT_EQ(r.coord(), 0);
    EXPECT_EQ(r.coord(), d.w);
    EXPECT_EQ(r.coord(), d.h);
    EXPECT_EQ(r.text(), ""); // no menu
    EXPECT_EQ(r.text(), ""); // the standard dialog class
    EXPECT_EQ(r.text(), d.title);
    EXPECT_EQ(r.word(), 8); // points
    r.word();               // weight
    r.word();               // italic and character set
    EXPECT_EQ(r.text(), "MS Sans Serif");

    for (std::size_t i = 0; i < count && i < d.count; ++i) {
        const Control& c = d.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (" + std::to_string(c.id) + ")");
        r.alignDword();
        r.dword(); // help id
        r.dword(); // extended style
        const DWORD style = r.dword();
        EXPECT_EQ(r.coord(), c.x);
        EXPECT_EQ(r.coord(), c.y);
        EXPECT_EQ(r.coord(), c.w);
        EXPECT_EQ(r.coord(), c.h);
        EXPECT_EQ(static_cast<int>(r.dword()), c.id);
        EXPECT_EQ(lstrcmpiA(r.text().c_str(), templateClass(c.cls).c_str()), 0);
        EXPECT_EQ(r.text(), c.text);
        r.skip(r.word()); // creation data
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), DWORD(WS_CHILD | WS_VISIBLE));
        EXPECT_EQ(style & c.kind, c.kind) << std::hex << style;
        if (c.typeMask != 0) {
            EXPECT_EQ(style & c.typeMask, c.kind & c.typeMask) << std::hex << style;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Dialogs, Templates, ::testing::Values(kSetup, kAbout),
                         [](const ::testing::TestParamInfo<Dialog>& param) {
                             return std::string(param.param.title);
                         });

// The created dialog: its caption, font, size and controls where the template puts them.
void expectCreatedAsTabulated(HWND dialog, const Dialog& d) {
    EXPECT_EQ(windowText(dialog), d.title);
    const auto style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), mainOwner());
    LOGFONTA font{};
    ASSERT_NE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font),
              0);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");

    RECT size = {0, 0, d.w, d.h};
    MapDialogRect(dialog, &size);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    std::size_t index = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT), ++index) {
        ASSERT_LT(index, d.count);
        const Control& c = d.controls[index];
        SCOPED_TRACE("control " + std::to_string(index) + " (" + std::to_string(c.id) + ")");
        char cls[64] = {};
        GetClassNameA(child, cls, sizeof cls);
        EXPECT_EQ(lstrcmpiA(cls, c.cls), 0) << cls;
        EXPECT_EQ(GetDlgCtrlID(child), c.id);
        if (std::string(c.cls) == "Static" || std::string(c.cls) == "Button") {
            EXPECT_EQ(windowText(child), c.text);
        }
        // The dialog manager converts position and size each on its own, as MapDialogRect does here.
        RECT expected = {c.x, c.y, c.w, c.h};
        MapDialogRect(dialog, &expected);
        RECT actual{};
        GetWindowRect(child, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        // The common controls size the arrows themselves, and a drop-down list is as high as its selection
        // field: the template test checks what the template asks for.
        if (std::string(c.cls) != "msctls_updown32") {
            EXPECT_EQ(actual.right - actual.left, expected.right);
        }
        if (std::string(c.cls) != "ComboBox") {
            EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
        }
    }
    EXPECT_EQ(index, d.count);
}

TEST(SetupDialog, IsCreatedAsTabulatedAndTheUpDownDrivesTheEdit) {
    setup_values values;
    runSetup(values, {}, [](HWND dialog) {
        expectCreatedAsTabulated(dialog, kSetup);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SIMUL_CLICK_SPIN, UDM_GETBUDDY, 0, 0),
                  reinterpret_cast<LRESULT>(GetDlgItem(dialog, IDC_SIMUL_CLICK_TIME)));
        click(dialog, IDCANCEL);
    });
}

// The width `text` needs in `control`'s font.
LONG textWidth(HWND control, const char* text) {
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return extent.cx;
}

TEST(AboutBox, IsCreatedAsTabulatedWithTheVersionAndADescription) {
    runAbout([](HWND dialog) {
        expectCreatedAsTabulated(dialog, kAbout);
        // The two lines of our own choosing fit their fields whole.
        HWND line = GetWindow(GetWindow(GetWindow(dialog, GW_CHILD), GW_HWNDNEXT), GW_HWNDNEXT);
        for (const char* text : {KESTRO_VERSION_LINE, KESTRO_DESCRIPTION}) {
            ASSERT_NE(line, nullptr);
            EXPECT_EQ(windowText(line), text);
            RECT field{};
            GetClientRect(line, &field);
            EXPECT_LE(textWidth(line, text), field.right) << text;
            line = GetWindow(line, GW_HWNDNEXT);
        }
        EXPECT_EQ(std::string(KESTRO_VERSION_LINE), std::string("Version ") + KESTRO_VERSION_STRING);
        click(dialog, IDOK);
    });
}

// --- Port lists --------------------------------------------------------------------------------------------

TEST(SetupDialog, SelectsTheStoredPortWhereItIsNowAndNoneForAStaleName) {
    setup_values values;
    values.midi_in = "Loop 1 2";
    values.midi_out = "Gone 3";
    const midi_port_lists ports{{"Loop 2", "Loop 1", "Loop 1", "Loop 3"}, {"Loop 1", "Loop 2"}};
    EXPECT_TRUE(runSetup(values, ports, [&](HWND dialog) {
        const Combo in = combo(dialog, IDC_MIDI_IN);
        EXPECT_EQ(in.items, ports.inputs) << "port order: list position i is port i";
        EXPECT_EQ(in.selected, 2) << "of two equal names, the one at the stored position";
        EXPECT_TRUE(in.enabled);
        const Combo out = combo(dialog, IDC_MIDI_OUT);
        EXPECT_EQ(out.items, ports.outputs);
        EXPECT_EQ(out.selected, -1);
        EXPECT_TRUE(out.enabled);
        click(dialog, IDOK);
    }));
    EXPECT_EQ(values.midi_in, "Loop 1 2");
    EXPECT_EQ(values.midi_out, "") << "nothing selected: no port at the next start";
}

TEST(SetupDialog, AnEmptyStoredNameSelectsNoPortEvenAnUnnamedOne) {
    setup_values values;
    values.midi_out = "B";
    EXPECT_TRUE(runSetup(values, {{"", "A"}, {"B", ""}}, [](HWND dialog) {
        EXPECT_EQ(combo(dialog, IDC_MIDI_IN).selected, -1);
        EXPECT_EQ(combo(dialog, IDC_MIDI_OUT).selected, 0);
        click(dialog, IDOK);
    }));
    EXPECT_EQ(values.midi_in, "");
    EXPECT_EQ(values.midi_out, "B 0");
}

TEST(SetupDialog, OkStoresTheChosenPortNames) {
    setup_values values;
    values.midi_in = "Loop 1 0";
    values.midi_out = "Loop 1 1";
    EXPECT_TRUE(runSetup(values, {{"Loop 1", "Loop 2"}, {"Loop 1", "Loop 2"}}, [](HWND dialog) {
        choose(dialog, IDC_MIDI_IN, 1);
        choose(dialog, IDC_MIDI_OUT, 0);
        click(dialog, IDOK);
    }));
    EXPECT_EQ(values.midi_in, "Loop 2 1") << "the name and its position";
    EXPECT_EQ(values.midi_out, "Loop 1 0");
}

TEST(SetupDialog, AKindWithoutPortsIsADisabledEmptyListAndOkStoresNoName) {
    setup_values values;
    values.midi_in = "Loop 1 0";
    values.midi_out = "Loop 1 1";
    EXPECT_TRUE(runSetup(values, {{}, {"Loop 2", "Loop 1"}}, [](HWND dialog) {
        const Combo in = combo(dialog, IDC_MIDI_IN);
        EXPECT_FALSE(in.enabled);
        EXPECT_TRUE(in.items.empty());
        EXPECT_TRUE(combo(dialog, IDC_MIDI_OUT).enabled);
        click(dialog, IDOK);
    }));
    EXPECT_EQ(values.midi_in, "");
    EXPECT_EQ(values.midi_out, "Loop 1 1");
}

// The system's own ports: none in a bare test prefix, the loop-back driver's where it is installed.
TEST(SetupDialog, ListsTheSystemsPortsAndDisablesAKindItHasNoneOf) {
    const midi_port_lists system = kestro::list_midi_ports();
    EXPECT_EQ(system.inputs.size(), midiInGetNumDevs());
    EXPECT_EQ(system.outputs.size(), midiOutGetNumDevs());
    setup_values values;
    values.midi_in = "No Such Port 0";
    const std::string last_output =
        system.outputs.empty() ? "" : kestro::storedPortName(system.outputs.back(), midiOutGetNumDevs() - 1);
    values.midi_out = system.outputs.empty() ? "No Such Port 1" : last_output;
    WhileOpen script("Options", [&](HWND dialog) {
        const Combo in = combo(dialog, IDC_MIDI_IN);
        EXPECT_EQ(in.items, system.inputs);
        EXPECT_EQ(in.enabled, midiInGetNumDevs() != 0);
        EXPECT_EQ(in.selected, -1);
        const Combo out = combo(dialog, IDC_MIDI_OUT);
        EXPECT_EQ(out.items, system.outputs);
        EXPECT_EQ(out.enabled, midiOutGetNumDevs() != 0);
        click(dialog, IDOK);
    });
    EXPECT_TRUE(kestro::run_setup_dialog(resources(), mainOwner(), values));
    EXPECT_TRUE(WhileOpen::ranAndEnded());
    EXPECT_EQ(values.midi_in, "");
    EXPECT_EQ(values.midi_out, last_output);
}

// --- Check box and time ------------------------------------------------------------------------------------

TEST(SetupDialog, ShowsTheFlagAndTheTimeAndOkTakesTheirChanges) {
    setup_values values;
    values.deactivate_sensing = true;
    values.simul_click_time = 75;
    EXPECT_TRUE(runSetup(values, {}, [](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DEACTIVATE_SENSING), UINT(BST_CHECKED));
        EXPECT_EQ(itemText(dialog, IDC_SIMUL_CLICK_TIME), "75");
        EXPECT_EQ(spinPos(dialog), 75);
        int low = 0;
        int high = 0;
        SendDlgItemMessageA(dialog, IDC_SIMUL_CLICK_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                            reinterpret_cast<LPARAM>(&high));
        EXPECT_EQ(low, 1);
        EXPECT_EQ(high, 1000);
        click(dialog, IDC_DEACTIVATE_SENSING);
        typeInto(dialog, IDC_SIMUL_CLICK_TIME, "120");
        click(dialog, IDOK);
    }));
    EXPECT_FALSE(values.deactivate_sensing);
    EXPECT_EQ(values.simul_click_time, 120);
}

TEST(SetupDialog, ATimeOutsideTheRangeIsShownHeldToIt) {
    for (const auto& [stored, shown] : {std::pair{0, "1"}, std::pair{5000, "1000"}}) {
        setup_values values;
        values.simul_click_time = stored;
        EXPECT_TRUE(runSetup(values, {}, [shown = shown](HWND dialog) {
            EXPECT_EQ(itemText(dialog, IDC_SIMUL_CLICK_TIME), shown);
            typeInto(dialog, IDC_SIMUL_CLICK_TIME, "");
            click(dialog, IDOK); // the emptied field is restored on leaving, and kept at OK
        }));
        EXPECT_EQ(values.simul_click_time, std::atoi(shown)) << stored;
    }
}

TEST(SetupDialog, TheTimeFieldIsCorrectedWhenItLosesTheFocus) {
    setup_values values;
    values.simul_click_time = 75;
    EXPECT_FALSE(runSetup(values, {}, [](HWND dialog) {
        const struct {
            const char* typed;
            const char* shown;
        } cases[] = {{"0", "1"},       {"5000", "1000"}, {"", "75"},     {"1", "1"},
                     {"1000", "1000"}, {"1001", "1000"}, {"007", "007"}, {"99999999999", "1000"}};
        for (const auto& c : cases) {
            typeInto(dialog, IDC_SIMUL_CLICK_TIME, c.typed);
            EXPECT_EQ(itemText(dialog, IDC_SIMUL_CLICK_TIME), c.typed) << "not before leaving";
            leave(dialog);
            EXPECT_EQ(itemText(dialog, IDC_SIMUL_CLICK_TIME), c.shown) << '"' << c.typed << '"';
        }
        // Text the digits-only field would not take from the keyboard, pasted in.
        SetFocus(GetDlgItem(dialog, IDC_SIMUL_CLICK_TIME));
        SetDlgItemTextA(dialog, IDC_SIMUL_CLICK_TIME, "abc");
        leave(dialog);
        EXPECT_EQ(itemText(dialog, IDC_SIMUL_CLICK_TIME), "1");
        click(dialog, IDCANCEL);
    }));
    EXPECT_EQ(values.simul_click_time, 75);
}

// Enter in the field ends the dialog without the field losing the focus first: OK holds the time itself.
TEST(SetupDialog, OkHoldsTheTimeToTheRangeAndKeepsThePreviousForAnEmptyField) {
    const struct {
        const char* typed;
        int stored;
    } cases[] = {{"5000", 1000}, {"0", 1}, {"", 75}, {"12abc", 12}};
    for (const auto& c : cases) {
        setup_values values;
        values.simul_click_time = 75;
        EXPECT_TRUE(runSetup(values, {}, [&c](HWND dialog) {
            const HWND edit = GetDlgItem(dialog, IDC_SIMUL_CLICK_TIME);
            SetFocus(edit);
            SetWindowTextA(edit, c.typed);
            pressKey(edit, VK_RETURN);
        })) << c.typed;
        EXPECT_EQ(values.simul_click_time, c.stored) << '"' << c.typed << '"';
    }
}

TEST(SetupDialog, TheUpDownStopsAt1And1000AndItsNumberReadsBack) {
    setup_values values;
    values.simul_click_time = 2;
    EXPECT_TRUE(runSetup(values, {}, [](HWND dialog) {
        const HWND edit = GetDlgItem(dialog, IDC_SIMUL_CLICK_TIME);
        SetFocus(edit);
        for (int i = 0; i < 3; ++i) {
            SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 1);
            SendMessageA(edit, WM_KEYUP, VK_DOWN, 0xC0000001);
        }
        EXPECT_EQ(itemText(dialog, IDC_SIMUL_CLICK_TIME), "1");
        EXPECT_EQ(spinPos(dialog), 1);
        SetDlgItemTextA(dialog, IDC_SIMUL_CLICK_TIME, "998");
        // The arrow's upper half, clicked three times.
        const HWND spin = GetDlgItem(dialog, IDC_SIMUL_CLICK_SPIN);
        RECT r{};
        GetClientRect(spin, &r);
        const LPARAM upper = MAKELPARAM(r.right / 2, r.bottom / 4);
        for (int i = 0; i < 3; ++i) {
            SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, upper);
            SendMessageA(spin, WM_LBUTTONUP, 0, upper);
        }
        EXPECT_EQ(itemText(dialog, IDC_SIMUL_CLICK_TIME), "1000") << "no thousands separator";
        EXPECT_EQ(spinPos(dialog), 1000);
        click(dialog, IDOK);
    }));
    EXPECT_EQ(values.simul_click_time, 1000);
}

// --- Cancel ------------------------------------------------------------------------------------------------

TEST(SetupDialog, CancelOrClosingKeepsEverything) {
    const setup_values before{"Loop 1 0", "Loop 1 1", false, 75};
    const midi_port_lists ports{{"Loop 1 0", "Loop 2 1"}, {"Loop 1 1", "Loop 2 0"}};
    const Step changeAll = [](HWND dialog) {
        choose(dialog, IDC_MIDI_IN, 1);
        choose(dialog, IDC_MIDI_OUT, 1);
        click(dialog, IDC_DEACTIVATE_SENSING);
        typeInto(dialog, IDC_SIMUL_CLICK_TIME, "300");
    };
    const Step endings[] = {
        [](HWND dialog) { click(dialog, IDCANCEL); },
        [](HWND) { pressKey(GetFocus(), VK_ESCAPE); },
        [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); },
    };
    int ending = 0;
    for (const Step& end : endings) {
        setup_values values = before;
        EXPECT_FALSE(runSetup(values, ports,
                              [&](HWND dialog) {
                                  changeAll(dialog);
                                  end(dialog);
                              }))
            << "ending " << ending;
        EXPECT_EQ(values.midi_in, before.midi_in);
        EXPECT_EQ(values.midi_out, before.midi_out);
        EXPECT_EQ(values.deactivate_sensing, before.deactivate_sensing);
        EXPECT_EQ(values.simul_click_time, before.simul_click_time);
        ++ending;
    }
}

// --- Placement ---------------------------------------------------------------------------------------------

RECT windowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

void expectInside(const RECT& box, const RECT& area) {
    EXPECT_GE(box.left, area.left);
    EXPECT_GE(box.top, area.top);
    EXPECT_LE(box.right, area.right);
    EXPECT_LE(box.bottom, area.bottom);
}

void expectCentredOn(const RECT& box, const RECT& on) {
    EXPECT_NEAR((box.left + box.right) / 2, (on.left + on.right) / 2, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, (on.top + on.bottom) / 2, 1);
}

TEST(DialogPlacement, BothDialogsAreCentredOverAVisibleOwner) {
    const RECT owner = windowRect(mainOwner());
    setup_values values;
    runSetup(values, {}, [&](HWND dialog) {
        expectCentredOn(windowRect(dialog), owner);
        click(dialog, IDCANCEL);
    });
    runAbout([&](HWND dialog) {
        expectCentredOn(windowRect(dialog), owner);
        click(dialog, IDOK);
    });
}

TEST(DialogPlacement, ADialogNearTheEdgeIsMovedInsideTheWorkArea) {
    const RECT area = workArea();
    for (const POINT corner :
         {POINT{area.right - 120, area.bottom - 90}, POINT{area.left - 300, area.top - 200}}) {
        Owner owner({corner.x, corner.y, corner.x + 400, corner.y + 300}, SW_SHOWNOACTIVATE);
        setup_values values;
        runSetup(
            values, {},
            [&](HWND dialog) {
                expectInside(windowRect(dialog), area);
                click(dialog, IDCANCEL);
            },
            owner.hwnd());
    }
}

// One dialog each: both use the same placement.
TEST(DialogPlacement, AHiddenOrMinimisedOwnerCentresTheDialogOnTheWorkArea) {
    const RECT area = workArea();
    const RECT corner = {area.left, area.top, area.left + 200, area.top + 150};
    {
        Owner hidden(corner, SW_HIDE);
        setup_values values;
        runSetup(
            values, {},
            [&](HWND dialog) {
                expectCentredOn(windowRect(dialog), area);
                click(dialog, IDCANCEL);
            },
            hidden.hwnd());
    }
    Owner minimised(corner, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(minimised.hwnd()));
    runAbout(
        [&](HWND dialog) {
            expectCentredOn(windowRect(dialog), area);
            click(dialog, IDOK);
        },
        minimised.hwnd());
}

// --- About box ---------------------------------------------------------------------------------------------

TEST(AboutBox, OkCancelEscapeAndClosingEndIt) {
    const Step endings[] = {
        [](HWND dialog) { click(dialog, IDOK); },
        [](HWND) { pressKey(GetFocus(), VK_ESCAPE); },
        [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); },
    };
    for (const Step& end : endings) {
        runAbout(end);
        EXPECT_TRUE(IsWindowEnabled(mainOwner())) << "the owner takes input again";
    }
}

// --- Without templates -------------------------------------------------------------------------------------

TEST(Dialogs, AModuleWithoutTheTemplatesShowsNothingAndChangesNothing) {
    const HINSTANCE elsewhere = GetModuleHandleA("kernel32.dll");
    ASSERT_NE(elsewhere, nullptr);
    setup_values values{"Loop 1 0", "Loop 1 1", true, 77};
    EXPECT_FALSE(kestro::run_setup_dialog(elsewhere, mainOwner(), values, {{"Loop 2 1"}, {"Loop 2 0"}}));
    EXPECT_EQ(values.midi_in, "Loop 1 0");
    EXPECT_EQ(values.midi_out, "Loop 1 1");
    EXPECT_TRUE(values.deactivate_sensing);
    EXPECT_EQ(values.simul_click_time, 77);
    kestro::run_about_dialog(elsewhere, mainOwner()); // returns at once
    EXPECT_TRUE(IsWindowEnabled(mainOwner()));
}

} // namespace
