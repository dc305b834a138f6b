// The Assign Actions dialog, created from the template inside the real plug-in DLL and driven by real
// window messages. Needs a display (Xvfb under Wine).
//
// Modal runs go through showAssignActionsDialog itself, so its EndDialog result is what the test sees: a
// thread timer, dispatched by the dialog's own modal loop, plays a script of steps against the open
// dialog. Keys are posted so that the modal loop's IsDialogMessage sees them as it would a user's.
#include "assign_actions_dialog.h"
#include "assign_actions_resource.h"
#include "dialog_test_support.h"
#include "host_api.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::string> g_calls;

void mainOnCommand(int command, int flag) {
    g_calls.push_back("Main_OnCommand(" + std::to_string(command) + ", " + std::to_string(flag) + ")");
}

// Slot order of the settings record -> the edit showing it.
const int kSlotEdits[kActionSlotCount] = {1014, 1016, 1015, 1017, 1018, 1019, 1020};

std::string itemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(item)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(item, &text[0], static_cast<int>(text.size()))));
    return text;
}

// What the watchdog ends a dialog with that a script left open.
constexpr INT_PTR kTimedOut = 99;

class AssignActions : public ::testing::Test {
protected:
    void SetUp() override {
        m_dll = LoadLibraryA(TAMSEL_PLUGIN_FILE);
        ASSERT_NE(m_dll, nullptr) << TAMSEL_PLUGIN_FILE " beside the test program";
        host::unbindFunctions();
        host::Main_OnCommand = mainOnCommand;
        g_calls.clear();
        m_settings.actions = {"12", "40364", "1011", "_SWS_ABOUT", "40112", "40111", "1013"};
    }
    void TearDown() override {
        if (m_modeless)
            DestroyWindow(m_modeless);
        host::unbindFunctions();
        if (m_dll)
            FreeLibrary(m_dll);
    }

    INT_PTR runModal(std::deque<Step> steps) {
        DialogScript script("Assign Actions", std::move(steps), {500, kTimedOut},
                            DialogScript::Start::created);
        const INT_PTR result = showAssignActionsDialog(m_dll, nullptr, m_settings);
        EXPECT_TRUE(DialogScript::finished()) << "the dialog closed before the script ended";
        return result;
    }
    HWND createModeless(SurfaceSettings* settings) {
        m_modeless = CreateDialogParamA(m_dll, MAKEINTRESOURCEA(IDD_ASSIGN_ACTIONS), nullptr,
                                        AssignActionsDialog, reinterpret_cast<LPARAM>(settings));
        return m_modeless;
    }
    static Step setEdit(int id, std::string text) {
        return [id, text](HWND d) {
            SetDlgItemTextA(d, id, text.c_str());
        };
    }
    static Step click(int id) {
        return [id](HWND d) {
            SendMessageA(GetDlgItem(d, id), BM_CLICK, 0, 0);
        };
    }
    static Step pressKey(int id, WPARAM key) {
        return [id, key](HWND d) {
            PostMessageA(GetDlgItem(d, id), WM_KEYDOWN, key, 0);
        };
    }

    HMODULE m_dll = nullptr;
    HWND m_modeless = nullptr;
    SurfaceSettings m_settings;
};

// --- The template -----------------------------------------------------------------------------------------

struct Control {
    int id; // -1: no id of its own
    const char* cls;
    const char* text; // null for edits
    int x, y, w, h;
};

const char* const kNote =
    "To assign an action to one of the buttons or to the encoder set the entries above to the command ID of "
    "the desired action. This ID can be found in the action list and consists of either a number for built "
    "in actions or a name for extension actions.";
const char* const kTip =
    "Tipp: To find a usefull setting for the rotary encoder set the filter of the action list window to "
    "\"midi CC\"";

const Control kControls[] = {
    {IDOK, "Button", "OK", 216, 6, 50, 14},
    {IDCANCEL, "Button", "Abbrechen", 216, 23, 50, 14},
    {-1, "Static", "Value Encoder:", 6, 9, 49, 8},
    {-1, "Static", "Value Button:", 6, 27, 44, 8},
    {-1, "Static", "Function Button 1:", 6, 45, 60, 8},
    {-1, "Static", "Function Button 2:", 6, 63, 60, 8},
    {-1, "Static", "Function Button 3:", 6, 81, 60, 8},
    {-1, "Static", "Function Button 4:", 6, 99, 60, 8},
    {-1, "Static", "Foot Switch:", 6, 117, 41, 8},
    {1014, "Edit", nullptr, 72, 6, 132, 14},
    {1015, "Edit", nullptr, 72, 42, 132, 14},
    {1016, "Edit", nullptr, 72, 24, 132, 14},
    {1017, "Edit", nullptr, 72, 60, 132, 14},
    {1018, "Edit", nullptr, 72, 78, 132, 14},
    {1019, "Edit", nullptr, 72, 96, 132, 14},
    {1020, "Edit", nullptr, 72, 114, 132, 14},
    {-1, "Button", "Note:", 6, 138, 258, 84},
    {-1, "Static", kNote, 12, 153, 244, 33},
    {-1, "Static", kTip, 12, 192, 246, 24},
    {1021, "Button", "Actions...", 216, 42, 50, 14},
};
constexpr std::size_t kControlCount = sizeof kControls / sizeof kControls[0];

struct TemplateItem {
    DWORD style;
    int x, y, w, h;
    DWORD id;
    std::string cls, text;
};

TEST_F(AssignActions, TemplateIsAModalPopupOf268By226InMsShellDlg8) {
    HRSRC found =
        FindResourceA(m_dll, MAKEINTRESOURCEA(IDD_ASSIGN_ACTIONS), MAKEINTRESOURCEA(5)); // RT_DIALOG
    ASSERT_NE(found, nullptr);
    auto bytes = static_cast<const unsigned char*>(LockResource(LoadResource(m_dll, found)));
    ASSERT_NE(bytes, nullptr);
    TemplateReader r(bytes);
    EXPECT_EQ(r.word(), 1);      // dlgVer
    EXPECT_EQ(r.word(), 0xFFFF); // extended template
    r.dword();                   // help id
    EXPECT_EQ(r.dword(), 0u);    // extended style
    EXPECT_EQ(r.dword(),
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS));
    const WORD count = r.word();
    EXPECT_EQ(count, kControlCount);
    EXPECT_EQ(r.coord(), 0);
    EXPECT_EQ(r.coord(), 0);
    EXPECT_EQ(r.coord(), 268);
    EXPECT_EQ(r.coord(), 226);
    EXPECT_EQ(r.text(), ""); // no menu
    EXPECT_EQ(r.text(), ""); // the dialog class
    EXPECT_EQ(r.text(), "Assign Actions");
    EXPECT_EQ(r.word(), 8); // points
    r.word();               // weight
    r.byte();               // italic
    r.byte();               // charset
    EXPECT_EQ(r.text(), "MS Shell Dlg");

    for (std::size_t i = 0; i < count && i < kControlCount; ++i) {
        const Control& c = kControls[i];
        r.alignDword();
        TemplateItem item;
        r.dword(); // help id
        r.dword(); // extended style
        item.style = r.dword();
        item.x = r.coord();
        item.y = r.coord();
        item.w = r.coord();
        item.h = r.coord();
        item.id = r.dword();
        item.cls = r.text();
        item.text = r.text();
        r.skip(r.word());
        SCOPED_TRACE("control " + std::to_string(i) + " " + (c.text ? c.text : std::to_string(c.id)));

        EXPECT_EQ(item.cls, templateClass(c.cls));
        EXPECT_EQ(static_cast<int>(item.id), c.id);
        EXPECT_EQ(item.text, c.text ? c.text : "");
        EXPECT_EQ(item.x, c.x);
        EXPECT_EQ(item.y, c.y);
        EXPECT_EQ(item.w, c.w);
        EXPECT_EQ(item.h, c.h);
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), DWORD(WS_CHILD | WS_VISIBLE));

        if (std::string(c.cls) == "Edit") {
            EXPECT_EQ(item.style & (WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP),
                      DWORD(WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP));
            // Any characters: no case folding, digits-only, password or read-only edit.
            EXPECT_EQ(item.style & (ES_NUMBER | ES_UPPERCASE | ES_LOWERCASE | ES_PASSWORD | ES_READONLY |
                                    ES_MULTILINE),
                      0u);
        } else if (std::string(c.cls) == "Static") {
            EXPECT_EQ(item.style & SS_TYPEMASK, DWORD(SS_LEFT));
        } else {
            const DWORD kind = item.id == IDOK                  ? BS_DEFPUSHBUTTON
                               : std::string(c.text) == "Note:" ? BS_GROUPBOX
                                                                : BS_PUSHBUTTON;
            EXPECT_EQ(item.style & BS_TYPEMASK, kind);
            if (kind != BS_GROUPBOX) {
                EXPECT_TRUE(item.style & WS_TABSTOP);
            }
        }
    }
}

TEST_F(AssignActions, CreatedControlsMatchTheTable) {
    HWND dialog = createModeless(&m_settings);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(windowText(dialog), "Assign Actions");

    RECT size = {0, 0, 268, 226};
    MapDialogRect(dialog, &size);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    std::size_t index = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
        ASSERT_LT(index, kControlCount);
        const Control& c = kControls[index];
        SCOPED_TRACE("control " + std::to_string(index));
        char cls[32] = {};
        GetClassNameA(child, cls, sizeof cls);
        EXPECT_EQ(lstrcmpiA(cls, c.cls), 0) << cls;
        EXPECT_EQ(GetDlgCtrlID(child), c.id);
        if (c.text) {
            EXPECT_EQ(windowText(child), c.text);
        }

        // The dialog manager maps position and size each on their own, as here.
        RECT expected = {c.x, c.y, c.w, c.h};
        MapDialogRect(dialog, &expected);
        RECT actual;
        GetWindowRect(child, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right - actual.left, expected.right);
        EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
    }
    EXPECT_EQ(index, kControlCount);
}

// --- Behaviour
// ----------------------------------------------------------------------------------------------

TEST_F(AssignActions, ShowsEachSlotInItsEdit) {
    m_settings.actions = {"s1", "s2", "s3", "s4", "s5", "s6", "s7"};
    HWND dialog = createModeless(&m_settings);
    ASSERT_NE(dialog, nullptr);
    for (std::size_t slot = 0; slot < kActionSlotCount; ++slot)
        EXPECT_EQ(itemText(dialog, kSlotEdits[slot]), m_settings.actions[slot]) << kSlotEdits[slot];
    EXPECT_EQ(GetWindowLongPtrA(dialog, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&m_settings));
}

TEST_F(AssignActions, OkStoresEveryEditThatIsNotEmpty) {
    const INT_PTR result = runModal({
        setEdit(1014, "_RS_encoder"),
        setEdit(1016, "41000"),
        setEdit(1015, "  spaced text "),
        setEdit(1017, ""), // emptied: keeps "_SWS_ABOUT"
        setEdit(1020, "999"),
        click(IDOK),
    });
    EXPECT_EQ(result, IDOK);
    const std::array<std::string, kActionSlotCount> expected = {
        "_RS_encoder", "41000", "  spaced text ", "_SWS_ABOUT", "40112", "40111", "999"};
    EXPECT_EQ(m_settings.actions, expected);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(AssignActions, EnterPressesOk) {
    const INT_PTR result = runModal({setEdit(1019, "7"), pressKey(1019, VK_RETURN)});
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_settings.actions[kSlotFunction4], "7");
}

TEST_F(AssignActions, CancelEscapeAndCloseBoxDiscardEveryEdit) {
    const SurfaceSettings before = m_settings;
    const Step edits[] = {setEdit(1014, "a"), setEdit(1016, "b"), setEdit(1020, "c")};
    const std::pair<const char*, Step> closers[] = {
        {"Cancel", click(IDCANCEL)},
        {"Escape", pressKey(1016, VK_ESCAPE)},
        {"close box",
         [](HWND d) {
             PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
         }},
    };
    for (const auto& closer : closers) {
        std::deque<Step> steps(std::begin(edits), std::end(edits));
        steps.push_back(closer.second);
        EXPECT_EQ(runModal(std::move(steps)), IDCANCEL) << closer.first;
        EXPECT_EQ(m_settings, before) << closer.first;
    }
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(AssignActions, ActionsButtonOpensTheActionListAndStaysOpen) {
    std::vector<std::string> callsWhileOpen;
    bool openAfterClick = false;
    const INT_PTR result = runModal({
        click(1021),
        [&](HWND d) {
            callsWhileOpen = g_calls;
            openAfterClick = IsWindow(d) && IsWindowVisible(d);
        },
        click(1021),
        setEdit(1018, "kept"),
        click(IDOK),
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(openAfterClick);
    EXPECT_EQ(callsWhileOpen, std::vector<std::string>{"Main_OnCommand(40605, 0)"});
    EXPECT_EQ(g_calls, (std::vector<std::string>{"Main_OnCommand(40605, 0)", "Main_OnCommand(40605, 0)"}));
    EXPECT_EQ(m_settings.actions[kSlotFunction3], "kept");
}

TEST_F(AssignActions, TypingStopsAt255Characters) {
    m_settings.actions[kSlotValueEncoder] = "";
    HWND dialog = createModeless(&m_settings);
    ASSERT_NE(dialog, nullptr);
    for (int id : kSlotEdits)
        EXPECT_EQ(SendDlgItemMessageA(dialog, id, EM_GETLIMITTEXT, 0, 0), 255) << id;
    HWND edit = GetDlgItem(dialog, 1014);
    for (int i = 0; i < 300; ++i)
        SendMessageA(edit, WM_CHAR, 'x', 1);
    EXPECT_EQ(itemText(dialog, 1014), std::string(255, 'x'));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    EXPECT_EQ(m_settings.actions[kSlotValueEncoder], std::string(255, 'x'));
}

TEST_F(AssignActions, LongerTextsFromTheConfigurationOrWmSetTextAreCutTo255OnOk) {
    const std::string longText(400, 'L');
    m_settings.actions[kSlotFootSwitch] = longText;
    EXPECT_EQ(runModal({[&](HWND d) { EXPECT_EQ(itemText(d, 1020), longText); },
                        setEdit(1014, std::string(300, 'S')), click(IDOK)}),
              IDOK);
    EXPECT_EQ(m_settings.actions[kSlotFootSwitch], std::string(255, 'L'));
    EXPECT_EQ(m_settings.actions[kSlotValueEncoder], std::string(255, 'S'));
}

TEST_F(AssignActions, WithoutARecordShowsAndStoresNothing) {
    HWND dialog = createModeless(nullptr);
    ASSERT_NE(dialog, nullptr);
    for (int id : kSlotEdits)
        EXPECT_EQ(itemText(dialog, id), "") << id;
    SetDlgItemTextA(dialog, 1014, "x");
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1021, BN_CLICKED), 0);
    EXPECT_EQ(g_calls, std::vector<std::string>{"Main_OnCommand(40605, 0)"});
}

TEST_F(AssignActions, OnlyAClickOnActionsRunsTheCommand) {
    HWND dialog = createModeless(&m_settings);
    ASSERT_NE(dialog, nullptr);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1021, BN_SETFOCUS), 0);
    EXPECT_TRUE(g_calls.empty());
}

} // namespace
