// Message handling of the configuration page; the rules for what it shows and takes back live in the
// portable config_page_logic.
#include "config_page_dialog.h"

#include "assign_actions_dialog.h"
#include "config_page_logic.h"
#include "config_page_resource.h"
#include "plugin_entry.h"
#include "surface_settings.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

SurfaceSettings* settingsOf(HWND page) {
    return reinterpret_cast<SurfaceSettings*>(GetWindowLongPtrA(page, GWLP_USERDATA));
}

// At most kEditTextLimit characters of an edit's text.
std::string editText(HWND page, int id) {
    std::array<char, kEditTextLimit + 1> buffer{};
    GetDlgItemTextA(page, id, buffer.data(), static_cast<int>(buffer.size()));
    return buffer.data();
}

bool isChecked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void setChecked(HWND page, int id, bool checked) {
    CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void initNumberEdit(HWND page, int editId, int spinId, int value, const NumberEditRule& rule) {
    SetDlgItemTextA(page, editId, std::to_string(value).c_str());
    SendDlgItemMessageA(page, spinId, UDM_SETRANGE32, static_cast<WPARAM>(rule.minimum),
                        static_cast<LPARAM>(rule.maximum));
    SendDlgItemMessageA(page, spinId, UDM_SETPOS32, 0, static_cast<LPARAM>(value));
}

// Adds one item that carries `data`; returns its place, or nothing when the list refused it.
std::optional<LRESULT> addDeviceItem(HWND list, const char* name, int data) {
    const LRESULT place = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    if (place < 0)
        return std::nullopt;
    SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(place), static_cast<LPARAM>(data));
    return place;
}

// "None" first, then every device the host names; the stored device is selected when it is listed.
void fillDeviceList(HWND page, int id, const std::vector<MidiDeviceEntry>& devices, int storedIndex) {
    HWND list = GetDlgItem(page, id);
    if (const auto none = addDeviceItem(list, "None", -1))
        SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(*none), 0);
    for (const MidiDeviceEntry& device : devices) {
        const auto place = addDeviceItem(list, device.name.c_str(), device.index);
        if (place && device.index == storedIndex)
            SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(*place), 0);
    }
}

// The selected item's device index (-1 for "None"); nothing when no item is selected.
std::optional<int> selectedDevice(HWND page, int id) {
    const LRESULT place = SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0);
    if (place < 0)
        return std::nullopt;
    return static_cast<int>(SendDlgItemMessageA(page, id, CB_GETITEMDATA, static_cast<WPARAM>(place), 0));
}

void onInit(HWND page, const char* configString) {
    auto owned = std::make_unique<SurfaceSettings>(ParseSurfaceSettings(configString));
    SetWindowLongPtrA(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owned.get()));
    const SurfaceSettings& settings = *owned.release(); // freed by onDestroy

    setChecked(page, IDC_SKIP_MARKERS, settings.skipMarkers);
    initNumberEdit(page, IDC_ENCODER_SPEED, IDC_ENCODER_SPEED_SPIN, settings.encoderSpeed, kEncoderSpeedRule);
    fillDeviceList(page, IDC_MIDI_INPUT, listMidiInputs(), settings.midiInputIndex);
    fillDeviceList(page, IDC_MIDI_OUTPUT, listMidiOutputs(), settings.midiOutputIndex);
    setChecked(page, IDC_WRAP_CHANNELS, settings.wrapChannels);
    setChecked(page, IDC_USE_MCP, settings.useMcpForChannels);
    initNumberEdit(page, IDC_ACCELERATION, IDC_ACCELERATION_SPIN, settings.acceleration, kAccelerationRule);
}

void correctEdit(HWND page, int id, const NumberEditRule& rule) {
    if (const auto corrected = correctedEditText(editText(page, id), rule))
        SetDlgItemTextA(page, id, corrected->c_str());
}

void onUserFunctions(HWND page) {
    SurfaceSettings* settings = settingsOf(page);
    if (!settings)
        return;
    // The page was created from the plug-in's module; the dialog's template lives beside its own.
    const auto resources = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(page, GWLP_HINSTANCE));
    showAssignActionsDialog(resources, page, *settings);
    // The host may have destroyed the page while the dialog was open: nothing of it is touched here.
}

void onCommand(HWND page, int id, int code) {
    if (code == EN_KILLFOCUS && id == IDC_ENCODER_SPEED)
        correctEdit(page, id, kEncoderSpeedRule);
    else if (code == EN_KILLFOCUS && id == IDC_ACCELERATION)
        correctEdit(page, id, kAccelerationRule);
    else if (code == BN_CLICKED && id == IDC_USER_FUNCTIONS)
        onUserFunctions(page);
}

void onResultRequest(HWND page, WPARAM size, LPARAM buffer) {
    SurfaceSettings* settings = settingsOf(page);
    if (!settings)
        return;
    ConfigPageFields fields;
    fields.skipMarkers = isChecked(page, IDC_SKIP_MARKERS);
    fields.encoderSpeedText = editText(page, IDC_ENCODER_SPEED);
    fields.midiInputIndex = selectedDevice(page, IDC_MIDI_INPUT);
    fields.midiOutputIndex = selectedDevice(page, IDC_MIDI_OUTPUT);
    fields.wrapChannels = isChecked(page, IDC_WRAP_CHANNELS);
    fields.useMcpForChannels = isChecked(page, IDC_USE_MCP);
    fields.accelerationText = editText(page, IDC_ACCELERATION);
    answerResultRequest(*settings, fields, reinterpret_cast<char*>(buffer), static_cast<std::size_t>(size));
}

// An Assign Actions dialog still open over a page the host destroys would keep a pointer to the freed
// record: it is cut loose (so its OK stores nothing) and closed.
BOOL CALLBACK detachFromRecord(HWND window, LPARAM record) {
    const auto procedure = reinterpret_cast<LONG_PTR>(AssignActionsDialog);
    if (GetWindowLongPtrA(window, GWLP_USERDATA) == record &&
        GetWindowLongPtrA(window, DWLP_DLGPROC) == procedure) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        EndDialog(window, IDCANCEL);
    }
    return TRUE;
}

void onDestroy(HWND page) {
    std::unique_ptr<SurfaceSettings> settings(settingsOf(page));
    SetWindowLongPtrA(page, GWLP_USERDATA, 0);
    if (settings)
        EnumThreadWindows(GetCurrentThreadId(), detachFromRecord, reinterpret_cast<LPARAM>(settings.get()));
}

} // namespace

INT_PTR CALLBACK ConfigPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_INITDIALOG:
            onInit(page, reinterpret_cast<const char*>(lParam));
            break;
        case WM_COMMAND:
            onCommand(page, LOWORD(wParam), HIWORD(wParam));
            break;
        case kConfigResultMessage:
            onResultRequest(page, wParam, lParam);
            break;
        case WM_DESTROY:
            onDestroy(page);
            break;
        default:
            break;
        }
    } catch (...) {
        // Nothing may unwind through the system's dialog manager into the host.
    }
    // Also for WM_INITDIALOG: the page is a child of the host's window and takes no focus of its own.
    return FALSE;
}

HWND createConfigPage(HINSTANCE resources, HWND parent, const char* configString) {
    return CreateDialogParamA(resources, MAKEINTRESOURCEA(IDD_CONFIG_PAGE), parent, ConfigPage,
                              reinterpret_cast<LPARAM>(configString));
}

HWND showConfigPage(const char*, HWND parent, const char* initConfigString) {
    return createConfigPage(tamsel::moduleInstance(), parent, initConfigString);
}
