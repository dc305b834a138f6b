// Message handling of the Assign Actions dialog; what OK stores and what "Actions..." runs live in the
// portable user_actions.
#include "assign_actions_dialog.h"

#include "assign_actions_resource.h"
#include "user_actions.h"

#include <array>
#include <string>

namespace {

// The edit of each action slot, in slot order. The template's tab order differs: Function Button 1 comes
// before the Value Button there.
constexpr std::array<int, kActionSlotCount> kSlotEdits = {
    IDC_ACTION_VALUE_ENCODER, IDC_ACTION_VALUE_BUTTON, IDC_ACTION_FUNCTION1,  IDC_ACTION_FUNCTION2,
    IDC_ACTION_FUNCTION3,     IDC_ACTION_FUNCTION4,    IDC_ACTION_FOOT_SWITCH};

// What a user may type into one edit.
constexpr WPARAM kEditLimit = kMaxActionTextLength;

SurfaceSettings* settingsOf(HWND dialog) {
    return reinterpret_cast<SurfaceSettings*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

std::string editText(HWND dialog, int id) {
    HWND edit = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthA(edit);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(edit, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void onInit(HWND dialog, SurfaceSettings* settings) {
    SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(settings));
    for (std::size_t slot = 0; slot < kActionSlotCount; ++slot) {
        SendDlgItemMessageA(dialog, kSlotEdits[slot], EM_LIMITTEXT, kEditLimit, 0);
        if (settings)
            SetDlgItemTextA(dialog, kSlotEdits[slot], settings->actions[slot].c_str());
    }
}

void onOk(HWND dialog) {
    if (SurfaceSettings* settings = settingsOf(dialog)) {
        // The whole text is read and then cut to the limit: a longer one may have come with the
        // configuration or through WM_SETTEXT, which the edit's typing limit does not stop.
        std::array<std::string, kActionSlotCount> edits;
        for (std::size_t slot = 0; slot < kActionSlotCount; ++slot)
            edits[slot] = editText(dialog, kSlotEdits[slot]);
        applyActionEdits(*settings, edits);
    }
    EndDialog(dialog, IDOK);
}

void onCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_ACTION_LIST:
        if (code == BN_CLICKED)
            openActionList();
        break;
    case IDOK:
        onOk(dialog);
        break;
    case IDCANCEL: // the Cancel button, Escape and the close box
        EndDialog(dialog, IDCANCEL);
        break;
    default:
        break;
    }
}

} // namespace

INT_PTR CALLBACK AssignActionsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_INITDIALOG:
            onInit(dialog, reinterpret_cast<SurfaceSettings*>(lParam));
            break;
        case WM_COMMAND:
            onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            break;
        default:
            break;
        }
    } catch (...) {
        // Nothing may unwind through the system's dialog manager into the host.
    }
    return FALSE;
}

INT_PTR showAssignActionsDialog(HINSTANCE resources, HWND owner, SurfaceSettings& settings) {
    return DialogBoxParamA(resources, MAKEINTRESOURCEA(IDD_ASSIGN_ACTIONS), owner, AssignActionsDialog,
                           reinterpret_cast<LPARAM>(&settings));
}
