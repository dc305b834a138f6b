// The configuration page, created from the template inside the real plug-in DLL, inside a top-level window
// of the test as the host's preferences window, with the host's MIDI devices from the simulated host.
// Driven by real window messages. Needs a display (Xvfb under Wine).
//
// The Assign Actions dialog runs modally inside the page's button handler. A thread timer, dispatched by
// that dialog's own modal loop, plays a script against the open dialog: the script runs while the dialog
// is up exactly as a user's input would, without hooks into the dialog manager and without depending on
// which window the loop reports its idle time to. A watchdog ends the dialog if a script never does.
#include "config_page_dialog.h"
#include "config_page_resource.h"
#include "dialog_test_support.h"
#include "host_api.h"
#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"
#include "reaper_abi.h"
#include "surface_settings.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const kDefaults = "0 31 -1 -1 0 0 10 2 12 5 40364 4 1011 4 1012 5 40112 5 40111 4 1013";

// --- Host side ---------------------------------------------------------------------------------------------

std::set<int> g_unnamedInputs;
bool (*g_hostInputName)(int, char*, int) = nullptr;

bool inputNameWithGaps(int dev, char* buffer, int size) {
    if (g_unnamedInputs.count(dev))
        return false;
    return g_hostInputName(dev, buffer, size);
}

LRESULT CALLBACK hostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The host's preferences window the pages live in. One for the whole program: under Wine without a window
// manager, hiding a shown top-level window waits two seconds for the X server.
class HostWindow {
public:
    HostWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = hostWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "tamsel_test_preferences";
        RegisterClassA(&wc); // a second registration fails harmlessly
        m_hwnd = CreateWindowExA(0, wc.lpszClassName, "Preferences", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 700, 400, nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(m_hwnd);
        SetActiveWindow(m_hwnd);
    }
    ~HostWindow() { DestroyWindow(m_hwnd); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND hwnd() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
};

HWND hostWindow() {
    static HostWindow window;
    return window.hwnd();
}

// --- Modal script ------------------------------------------------------------------------------------------

// Runs `step` once against the Assign Actions dialog this thread has open; one left open is cancelled.
class WhileAssignActionsOpen : public DialogScript {
public:
    explicit WhileAssignActionsOpen(Step step)
        : DialogScript("Assign Actions", {std::move(step)}, {300, IDCANCEL}) {}
    static bool ran() { return finished(); }
};

// --- Fixture -----------------------------------------------------------------------------------------------

struct Combo {
    std::vector<std::string> items;
    std::vector<LRESULT> data;
    std::string selected; // "(none)" without a selection
};

class ConfigPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS}; // as the host does
        ASSERT_TRUE(InitCommonControlsEx(&controls));
        m_dll = LoadLibraryA(TAMSEL_PLUGIN_FILE);
        ASSERT_NE(m_dll, nullptr) << TAMSEL_PLUGIN_FILE " beside the test program";
        ASSERT_TRUE(host::bindFunctions(hostsim::getFunc));
        m_model.midi().addInput("In A");
        m_model.midi().addInput("In B");
        m_model.midi().addInput("In C");
        m_model.midi().addOutput("Out A");
        m_model.midi().addOutput("Out B");
    }
    void TearDown() override {
        if (m_page && IsWindow(m_page))
            DestroyWindow(m_page);
        host::unbindFunctions();
        g_unnamedInputs.clear();
        if (m_dll)
            FreeLibrary(m_dll);
    }

    HWND open(const char* config) {
        m_page = createConfigPage(m_dll, hostWindow(), config);
        if (m_page)
            ShowWindow(m_page, SW_SHOW);
        return m_page;
    }
    HWND item(int id) const { return GetDlgItem(m_page, id); }
    std::string text(int id) const { return windowText(item(id)); }
    bool checked(int id) const { return IsDlgButtonChecked(m_page, id) == BST_CHECKED; }
    const SurfaceSettings& record() const {
        return *reinterpret_cast<const SurfaceSettings*>(GetWindowLongPtrA(m_page, GWLP_USERDATA));
    }

    Combo combo(int id) const {
        Combo c;
        const LRESULT count = SendMessageA(item(id), CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char name[600] = {};
            SendMessageA(item(id), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
            c.items.emplace_back(name);
            c.data.push_back(SendMessageA(item(id), CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        }
        const LRESULT selected = SendMessageA(item(id), CB_GETCURSEL, 0, 0);
        c.selected = selected < 0 ? "(none)" : c.items.at(static_cast<std::size_t>(selected));
        return c;
    }
    // As a user's choice: the list changes its selection and tells the page.
    void choose(int id, WPARAM place) {
        SendMessageA(item(id), CB_SETCURSEL, place, 0);
        SendMessageA(m_page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(item(id)));
    }
    // Types into an edit and moves the keyboard focus on, so that the edit reports losing it.
    void typeAndLeave(int id, const char* typed) {
        SetFocus(item(id));
        SetWindowTextA(item(id), typed);
        SetFocus(item(IDC_SKIP_MARKERS));
    }
    void click(int id) { SendMessageA(item(id), BM_CLICK, 0, 0); }

    // The host's request, in a buffer with guard bytes behind the size it reports.
    std::string result(std::size_t size) {
        std::vector<char> buffer(size + 16, '#');
        SendMessageA(m_page, kConfigResultMessage, size, reinterpret_cast<LPARAM>(buffer.data()));
        bool intact = true;
        for (std::size_t i = size; i < buffer.size(); ++i)
            intact = intact && buffer[i] == '#';
        EXPECT_TRUE(intact) << "written past a buffer of " << size;
        if (size == 0)
            return {};
        return std::string(buffer.data(), strnlen(buffer.data(), size));
    }
    std::string result() { return result(4096); }

    hostsim::Host m_model;
    hostsim::CurrentHost m_current{m_model};
    HMODULE m_dll = nullptr;
    HWND m_page = nullptr;
};

// --- The template ------------------------------------------------------------------------------------------

struct Control {
    int id;
    const char* cls; // "Button", "Edit", "Static", "ComboBox" or "msctls_updown32"
    const char* text;
    int x, y, w, h;
    DWORD kind; // the style bits that make the control what the table says
};

const DWORD kCheckBox = BS_AUTOCHECKBOX | WS_TABSTOP;
const DWORD kDigitsEdit = ES_NUMBER | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
const DWORD kDeviceList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
const DWORD kSpin = UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ARROWKEYS;

const Control kControls[] = {
    {-1, "Static", "MIDI input:", 12, 9, 48, 8, SS_LEFT},
    {1004, "ComboBox", "", 60, 6, 199, 105, kDeviceList},
    {-1, "Static", "MIDI output:", 12, 27, 48, 8, SS_LEFT},
    {1005, "ComboBox", "", 60, 24, 199, 105, kDeviceList},
    {1006, "Button", "Start and End skip markers", 11, 45, 101, 10, kCheckBox},
    {1011, "Button", "Use MCP to select channels", 11, 69, 103, 10, kCheckBox},
    {1010, "Button", "Wrap around channels", 11, 57, 88, 10, kCheckBox},
    {1277, "Static", "Rotary encoder speed:", 18, 83, 78, 8, SS_LEFT},
    {1009, "Edit", "", 96, 80, 30, 14, kDigitsEdit},
    {1007, "msctls_updown32", "", 126, 80, 11, 14, kSpin},
    {1278, "Static", "Acceleration:", 163, 83, 47, 8, SS_LEFT},
    {1012, "Edit", "", 211, 80, 30, 14, kDigitsEdit},
    {1008, "msctls_updown32", "", 241, 80, 11, 14, kSpin},
    {1013, "Button", "User &Functions...", 174, 43, 86, 14, BS_PUSHBUTTON | WS_TABSTOP},
};
constexpr std::size_t kControlCount = sizeof kControls / sizeof kControls[0];

TEST_F(ConfigPageTest, TemplateIsAChildDialogOf268By98InMsShellDlg8) {
    HRSRC found = FindResourceA(m_dll, MAKEINTRESOURCEA(266), MAKEINTRESOURCEA(5)); // RT_DIALOG
    ASSERT_NE(found, nullptr);
    auto bytes = static_cast<const unsigned char*>(LockResource(LoadResource(m_dll, found)));
    ASSERT_NE(bytes, nullptr);
    TemplateReader r(bytes);
    EXPECT_EQ(r.word(), 1);      // version
    EXPECT_EQ(r.word(), 0xFFFF); // extended template
    r.dword();                   // help id
    EXPECT_EQ(r.dword(), 0u);    // extended style
    EXPECT_EQ(r.dword(), DWORD(WS_CHILD | DS_CENTER | DS_SETFONT | DS_FIXEDSYS));
    const WORD count = r.word();
    EXPECT_EQ(count, kControlCount);
    EXPECT_EQ(r.coord(), 0);
    EXPECT_EQ(r.coord(), 0);
    EXPECT_EQ(r.coord(), 268);
    EXPECT_EQ(r.coord(), 98);
    EXPECT_EQ(r.text(), ""); // no menu
    EXPECT_EQ(r.text(), ""); // the dialog class
    EXPECT_EQ(r.text(), ""); // no caption
    EXPECT_EQ(r.word(), 8);  // points
    r.word();                // weight
    r.word();                // italic and character set
    EXPECT_EQ(r.text(), "MS Shell Dlg");

    for (std::size_t i = 0; i < count && i < kControlCount; ++i) {
        const Control& c = kControls[i];
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
        r.skip(r.word());
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), DWORD(WS_CHILD | WS_VISIBLE));
        EXPECT_EQ(style & c.kind, c.kind) << std::hex << style;
        const std::string cls = c.cls;
        if (cls == "Button") {
            EXPECT_EQ(style & BS_TYPEMASK, c.kind & BS_TYPEMASK);
        } else if (cls == "Static") {
            EXPECT_EQ(style & SS_TYPEMASK, DWORD(SS_LEFT));
        } else if (cls == "ComboBox") {
            EXPECT_EQ(style & CBS_SORT, 0u) << "unsorted";
        } else if (cls == "msctls_updown32") {
            EXPECT_EQ(style & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT | UDS_HORZ | UDS_WRAP), 0u)
                << "beside its edit";
        }
    }
}

TEST_F(ConfigPageTest, CreatedControlsMatchTheTable) {
    ASSERT_NE(open(nullptr), nullptr);
    EXPECT_EQ(GetParent(m_page), hostWindow());
    EXPECT_TRUE(GetWindowLongA(m_page, GWL_STYLE) & WS_CHILD);

    RECT size = {0, 0, 268, 98};
    MapDialogRect(m_page, &size);
    RECT client;
    GetClientRect(m_page, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    std::size_t index = 0;
    for (HWND child = GetWindow(m_page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
        ASSERT_LT(index, kControlCount);
        const Control& c = kControls[index];
        SCOPED_TRACE("control " + std::to_string(index) + " (" + std::to_string(c.id) + ")");
        char cls[64] = {};
        GetClassNameA(child, cls, sizeof cls);
        EXPECT_EQ(lstrcmpiA(cls, c.cls), 0) << cls;
        EXPECT_EQ(GetDlgCtrlID(child), c.id);
        if (std::string(c.cls) == "Static" || std::string(c.cls) == "Button") {
            EXPECT_EQ(windowText(child), c.text);
        }

        RECT expected = {c.x, c.y, c.w, c.h};
        MapDialogRect(m_page, &expected);
        RECT actual;
        GetWindowRect(child, &actual);
        MapWindowPoints(nullptr, m_page, reinterpret_cast<POINT*>(&actual), 2);
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
    EXPECT_EQ(index, kControlCount);
    EXPECT_EQ(SendMessageA(item(1007), UDM_GETBUDDY, 0, 0), reinterpret_cast<LRESULT>(item(1009)));
    EXPECT_EQ(SendMessageA(item(1008), UDM_GETBUDDY, 0, 0), reinterpret_cast<LRESULT>(item(1012)));
}

// --- Opening -----------------------------------------------------------------------------------------------

struct OpenCase {
    const char* name;
    const char* config;
    bool skip, wrap, mcp;
    const char* speed;
    const char* acceleration;
    const char* input;
    const char* output;
    const char* result;
};

const char* const kFull = "1 50 1 0 1 1 120 3 abc 0 - 4 1011 4 1012 5 40112 5 40111 7 foot sw";

void PrintTo(const OpenCase& c, std::ostream* os) {
    *os << c.name;
}

class Opening : public ConfigPageTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(Opening, ShowsTheStringAndGivesItBack) {
    const OpenCase& c = GetParam();
    ASSERT_NE(open(c.config), nullptr);
    EXPECT_EQ(checked(IDC_SKIP_MARKERS), c.skip);
    EXPECT_EQ(checked(IDC_WRAP_CHANNELS), c.wrap);
    EXPECT_EQ(checked(IDC_USE_MCP), c.mcp);
    EXPECT_EQ(text(IDC_ENCODER_SPEED), c.speed);
    EXPECT_EQ(text(IDC_ACCELERATION), c.acceleration);
    EXPECT_EQ(combo(IDC_MIDI_INPUT).selected, c.input);
    EXPECT_EQ(combo(IDC_MIDI_OUTPUT).selected, c.output);
    EXPECT_EQ(result(), c.result);
    // Nothing on the page holds the keyboard focus: it belongs to the host's window.
    EXPECT_FALSE(IsChild(m_page, GetFocus()));
}

INSTANTIATE_TEST_SUITE_P(
    Strings, Opening,
    ::testing::Values(
        OpenCase{"null", nullptr, false, false, false, "31", "10", "None", "None", kDefaults},
        OpenCase{"empty", "", false, false, false, "31", "10", "None", "None", kDefaults},
        OpenCase{"broken", "garbage", false, false, false, "31", "10", "None", "None", kDefaults},
        // Cut off inside an action text: the fields before the cut survive, the rest are defaults.
        OpenCase{"truncated", "1 45 0 1 1 0 30 9 ab", true, true, false, "45", "30", "In A", "Out B",
                 "1 45 0 1 1 0 30 2 ab 5 40364 4 1011 4 1012 5 40112 5 40111 4 1013"},
        OpenCase{"full", kFull, true, true, true, "50", "120", "In B", "Out A", kFull},
        // Numbers out of the page's ranges come back held to them; unknown devices as none.
        OpenCase{"outOfRange", "1 500 7 -9 0 0 -4", true, false, false, "99", "1", "None", "None",
                 "1 99 -1 -1 0 0 1 2 12 5 40364 4 1011 4 1012 5 40112 5 40111 4 1013"}),
    [](const ::testing::TestParamInfo<OpenCase>& param) { return std::string(param.param.name); });

// --- Device lists ------------------------------------------------------------------------------------------

TEST_F(ConfigPageTest, ListsNoneThenTheHostsDevicesWithTheirIndices) {
    ASSERT_NE(open("0 31 2 1"), nullptr);
    const Combo in = combo(IDC_MIDI_INPUT);
    EXPECT_EQ(in.items, (std::vector<std::string>{"None", "In A", "In B", "In C"}));
    EXPECT_EQ(in.data, (std::vector<LRESULT>{-1, 0, 1, 2}));
    EXPECT_EQ(in.selected, "In C");
    const Combo out = combo(IDC_MIDI_OUTPUT);
    EXPECT_EQ(out.items, (std::vector<std::string>{"None", "Out A", "Out B"}));
    EXPECT_EQ(out.data, (std::vector<LRESULT>{-1, 0, 1}));
    EXPECT_EQ(out.selected, "Out B");
}

TEST_F(ConfigPageTest, DevicesWithoutANameAreLeftOutAndAStoredOneComesBackAsNone) {
    g_hostInputName = host::GetMIDIInputName;
    host::GetMIDIInputName = inputNameWithGaps;
    g_unnamedInputs = {1};
    ASSERT_NE(open("0 31 1 0"), nullptr);
    const Combo in = combo(IDC_MIDI_INPUT);
    EXPECT_EQ(in.items, (std::vector<std::string>{"None", "In A", "In C"}));
    EXPECT_EQ(in.data, (std::vector<LRESULT>{-1, 0, 2}));
    EXPECT_EQ(in.selected, "None");
    EXPECT_EQ(result().substr(0, 11), "0 31 -1 0 0");
}

TEST_F(ConfigPageTest, AStoredIndexPastTheListComesBackAsNone) {
    ASSERT_NE(open("0 31 3 2"), nullptr);
    EXPECT_EQ(combo(IDC_MIDI_INPUT).selected, "None");
    EXPECT_EQ(combo(IDC_MIDI_OUTPUT).selected, "None");
    EXPECT_EQ(result().substr(0, 11), "0 31 -1 -1 ");
}

TEST_F(ConfigPageTest, DevicesAreStoredByIndexSoAChangedListSelectsTheNewDevice) {
    m_model.midi().inputs()[1].name = "Replacement";
    ASSERT_NE(open("0 31 1 -1"), nullptr);
    EXPECT_EQ(combo(IDC_MIDI_INPUT).selected, "Replacement");
    EXPECT_EQ(result().substr(0, 10), "0 31 1 -1 ");
}

TEST_F(ConfigPageTest, ChoosingNoneOrADeviceIsWhatTheHostGets) {
    ASSERT_NE(open(kFull), nullptr);
    choose(IDC_MIDI_INPUT, 0);
    EXPECT_EQ(result().substr(0, 13), "1 50 -1 0 1 1");
    choose(IDC_MIDI_OUTPUT, 0);
    EXPECT_EQ(result().substr(0, 14), "1 50 -1 -1 1 1");
    choose(IDC_MIDI_INPUT, 3);
    choose(IDC_MIDI_OUTPUT, 2);
    EXPECT_EQ(result().substr(0, 12), "1 50 2 1 1 1");
}

TEST_F(ConfigPageTest, CheckBoxesAreWhatTheHostGets) {
    ASSERT_NE(open(nullptr), nullptr);
    click(IDC_SKIP_MARKERS);
    EXPECT_EQ(result().substr(0, 16), "1 31 -1 -1 0 0 1");
    click(IDC_SKIP_MARKERS);
    click(IDC_WRAP_CHANNELS);
    EXPECT_EQ(result().substr(0, 16), "0 31 -1 -1 1 0 1");
    click(IDC_USE_MCP);
    EXPECT_EQ(result().substr(0, 16), "0 31 -1 -1 1 1 1");
}

// --- Number edits ------------------------------------------------------------------------------------------

struct LeaveCase {
    int edit;
    const char* typed;
    const char* shown;
};

void PrintTo(const LeaveCase& c, std::ostream* os) {
    *os << c.edit << " typed \"" << c.typed << "\"";
}

class LeavingAnEdit : public ConfigPageTest, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeavingAnEdit, CorrectsItsTextOnly) {
    const LeaveCase& c = GetParam();
    ASSERT_NE(open("0 40 -1 -1 0 0 20"), nullptr);
    typeAndLeave(c.edit, c.typed);
    EXPECT_EQ(text(c.edit), c.shown);
    // The record changes only when the host takes the result.
    EXPECT_EQ(record().encoderSpeed, 40);
    EXPECT_EQ(record().acceleration, 20);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LeavingAnEdit,
    ::testing::Values(LeaveCase{IDC_ENCODER_SPEED, "0", "1"}, LeaveCase{IDC_ENCODER_SPEED, "150", "99"},
                      LeaveCase{IDC_ENCODER_SPEED, "", "31"}, LeaveCase{IDC_ENCODER_SPEED, "77", "77"},
                      LeaveCase{IDC_ACCELERATION, "250", "200"}, LeaveCase{IDC_ACCELERATION, "150", "150"}));

TEST_F(ConfigPageTest, LeftEditsReachTheResult) {
    ASSERT_NE(open(nullptr), nullptr);
    typeAndLeave(IDC_ENCODER_SPEED, "150");
    typeAndLeave(IDC_ACCELERATION, "250");
    EXPECT_EQ(result().substr(0, 19), "0 99 -1 -1 0 0 200 ");
}

struct TakenCase {
    const char* speedShown;
    const char* accelerationShown;
    const char* resultNumbers;
};

void PrintTo(const TakenCase& c, std::ostream* os) {
    *os << "speed \"" << c.speedShown << "\", acceleration \"" << c.accelerationShown << "\"";
}

class TakingTheResult : public ConfigPageTest, public ::testing::WithParamInterface<TakenCase> {};

TEST_P(TakingTheResult, HoldsWhatTheEditsStillShowToTheirRanges) {
    const TakenCase& c = GetParam();
    ASSERT_NE(open("0 40 -1 -1 0 0 20"), nullptr);
    SetWindowTextA(item(IDC_ENCODER_SPEED), c.speedShown);
    SetWindowTextA(item(IDC_ACCELERATION), c.accelerationShown);
    const std::string numbers = c.resultNumbers;
    EXPECT_EQ(result().substr(0, numbers.size() + 1), numbers + " ");
    EXPECT_EQ(text(IDC_ENCODER_SPEED), c.speedShown) << "taking the result leaves the edits alone";
}

INSTANTIATE_TEST_SUITE_P(Table, TakingTheResult,
                         ::testing::Values(TakenCase{"150", "150", "0 99 -1 -1 0 0 150"},
                                           TakenCase{"0", "250", "0 1 -1 -1 0 0 200"},
                                           TakenCase{"", "", "0 40 -1 -1 0 0 20"}, // empty keeps the field
                                           TakenCase{"7", "0", "0 7 -1 -1 0 0 1"}));

TEST_F(ConfigPageTest, EachAnswerUpdatesTheRecord) {
    ASSERT_NE(open(nullptr), nullptr);
    SetWindowTextA(item(IDC_ENCODER_SPEED), "150");
    result();
    EXPECT_EQ(record().encoderSpeed, 99);
    // Emptied afterwards, the edit leaves the field at what the last answer stored.
    SetWindowTextA(item(IDC_ENCODER_SPEED), "");
    EXPECT_EQ(result().substr(0, 5), "0 99 ");
}

// --- The host's buffer -------------------------------------------------------------------------------------

TEST_F(ConfigPageTest, BuffersOfFewerThanTwoBytesOrNoneGetNoAnswer) {
    ASSERT_NE(open(nullptr), nullptr);
    SetWindowTextA(item(IDC_ENCODER_SPEED), "5");
    EXPECT_EQ(result(0), "");
    EXPECT_EQ(result(1), "#");
    SendMessageA(m_page, kConfigResultMessage, 100, 0);
    EXPECT_EQ(record().encoderSpeed, 31) << "an unanswered request takes nothing from the page";
}

TEST_F(ConfigPageTest, SmallBuffersGetWholeNumbersOnly) {
    ASSERT_NE(open(nullptr), nullptr);
    EXPECT_EQ(result(2), "0");
    EXPECT_EQ(result(3), "0");
    EXPECT_EQ(result(12), "0 31 -1 -1");
    const std::size_t exact = std::strlen(kDefaults) + 1;
    EXPECT_EQ(result(exact), kDefaults);
    EXPECT_EQ(result(exact - 1), "0 31 -1 -1 0 0 10 2 12 5 40364 4 1011 4 1012 5 40112 5 40111");
}

TEST_F(ConfigPageTest, AnOverlongConfigurationIsShortenedToWholeItems) {
    SurfaceSettings settings;
    for (std::size_t slot = 0; slot < kActionSlotCount; ++slot)
        settings.actions[slot] = std::string(255, static_cast<char>('a' + slot));
    char config[kSurfaceConfigBufferSize];
    FormatSurfaceSettings(settings, config, sizeof config);
    ASSERT_NE(open(config), nullptr);

    EXPECT_EQ(result(kSurfaceConfigBufferSize), config) << "a large buffer gets everything";
    const std::string shortened = result(kConfigBufferSize);
    ASSERT_LT(shortened.size(), kConfigBufferSize);
    const SurfaceSettings reread = ParseSurfaceSettings(shortened.c_str());
    EXPECT_EQ(reread.actions[0], settings.actions[0]);
    EXPECT_EQ(reread.actions[2], settings.actions[2]);
    EXPECT_EQ(reread.actions[3], kDefaultActionTexts[3]) << "an item that did not fit is left out whole";
}

// --- User functions ----------------------------------------------------------------------------------------

TEST_F(ConfigPageTest, AssignActionsEditsThePagesOwnRecord) {
    ASSERT_NE(open(nullptr), nullptr);
    LONG_PTR dialogRecord = 0;
    std::string footSwitchShown;
    HWND owner = nullptr;
    {
        WhileAssignActionsOpen script([&](HWND dialog) {
            dialogRecord = GetWindowLongPtrA(dialog, GWLP_USERDATA);
            footSwitchShown = windowText(GetDlgItem(dialog, 1020));
            owner = GetWindow(dialog, GW_OWNER);
            SetWindowTextA(GetDlgItem(dialog, 1020), "40001 foot");
            SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        });
        click(IDC_USER_FUNCTIONS);
        EXPECT_TRUE(WhileAssignActionsOpen::ran()) << "the dialog did not open";
    }
    EXPECT_EQ(dialogRecord, GetWindowLongPtrA(m_page, GWLP_USERDATA));
    EXPECT_EQ(footSwitchShown, "1013");
    EXPECT_EQ(owner, hostWindow()) << "modal over the host's window that holds the page";
    EXPECT_EQ(record().actions[kSlotFootSwitch], "40001 foot");
    const std::string config = result();
    EXPECT_EQ(config.substr(config.size() - 14), " 10 40001 foot");
}

TEST_F(ConfigPageTest, CancellingAssignActionsKeepsTheTexts) {
    ASSERT_NE(open(kFull), nullptr);
    WhileAssignActionsOpen script([](HWND dialog) {
        SetWindowTextA(GetDlgItem(dialog, 1020), "changed");
        SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    });
    click(IDC_USER_FUNCTIONS);
    EXPECT_TRUE(WhileAssignActionsOpen::ran());
    EXPECT_EQ(result(), kFull);
}

TEST_F(ConfigPageTest, APageDestroyedUnderAnOpenAssignActionsDialogCutsItLoose) {
    ASSERT_NE(open(nullptr), nullptr);
    LONG_PTR recordAfterDestroy = -1;
    WhileAssignActionsOpen script([&](HWND dialog) {
        DestroyWindow(m_page);
        recordAfterDestroy = GetWindowLongPtrA(dialog, GWLP_USERDATA);
        if (IsWindow(dialog)) {
            SetWindowTextA(GetDlgItem(dialog, 1020), "written into a freed record");
            SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        }
    });
    // Straight to the page: no button of the page is left on the stack to return into.
    SendMessageA(m_page, WM_COMMAND, MAKEWPARAM(IDC_USER_FUNCTIONS, BN_CLICKED),
                 reinterpret_cast<LPARAM>(item(IDC_USER_FUNCTIONS)));
    EXPECT_TRUE(WhileAssignActionsOpen::ran());
    EXPECT_FALSE(IsWindow(m_page));
    EXPECT_EQ(recordAfterDestroy, 0);
}

// --- Through the host's registration -----------------------------------------------------------------------

reaper_csurf_reg_t g_registration{};

int registerSurface(const char* name, void* info) {
    if (std::string(name) == "csurf")
        g_registration = *static_cast<reaper_csurf_reg_t*>(info);
    return 1;
}

TEST_F(ConfigPageTest, TheHostsShowConfigCreatesThePageFromThePlugIn) {
    using EntryProc = int (*)(HINSTANCE, reaper_plugin_info_t*);
    auto entry =
        reinterpret_cast<EntryProc>(reinterpret_cast<void*>(GetProcAddress(m_dll, "ReaperPluginEntry")));
    ASSERT_NE(entry, nullptr);
    reaper_plugin_info_t info{};
    info.caller_version = kReaperPluginVersion;
    info.Register = registerSurface;
    info.GetFunc = hostsim::getFunc;
    g_registration = {};
    ASSERT_EQ(entry(m_dll, &info), 1);
    ASSERT_NE(g_registration.ShowConfig, nullptr);

    m_page = g_registration.ShowConfig("CC121", hostWindow(), "0 31 2 0");
    ASSERT_NE(m_page, nullptr);
    EXPECT_EQ(GetParent(m_page), hostWindow());
    EXPECT_EQ(reinterpret_cast<HMODULE>(GetWindowLongPtrA(m_page, GWLP_HINSTANCE)), m_dll);
    EXPECT_EQ(combo(IDC_MIDI_INPUT).selected, "In C");
    choose(IDC_MIDI_OUTPUT, 2);
    EXPECT_EQ(result(), "0 31 2 1 0 0 10 2 12 5 40364 4 1011 4 1012 5 40112 5 40111 4 1013");
}

} // namespace
