// The Options dialog's message handling.
#include "setup_dialog_win32.h"

#include "leading_int.h"
#include "port_names.h"
#include "rtmidi_ports.h"

#include <commctrl.h>

#include <array>
#include <optional>
#include <utility>

namespace kestro {

namespace {

// The time field is read as at most this many characters.
constexpr int kTimeTextLimit = 256;

std::string itemText(HWND dialog, int id) {
    std::array<char, kTimeTextLimit + 1> buffer{};
    ::GetDlgItemTextA(dialog, id, buffer.data(), static_cast<int>(buffer.size()));
    return buffer.data();
}

void setItemNumber(HWND dialog, int id, int value) {
    ::SetDlgItemTextA(dialog, id, std::to_string(value).c_str());
}

// Lists `names` in port order and selects the port that the setting `stored` means; no names disable the
// list.
void fillPortList(HWND dialog, int id, const std::vector<std::string>& names, const std::string& stored) {
    const HWND list = ::GetDlgItem(dialog, id);
    if (names.empty()) {
        ::EnableWindow(list, FALSE);
        return;
    }
    for (const std::string& name : names) {
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    // An empty setting means "no port": it never selects a port that happens to have no name.
    if (const std::optional<unsigned> place = findStoredPort(names, stored)) {
        ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(*place), 0);
    }
}

// The setting for the selected port: the name the user saw and its position, from the lists the dialog
// showed (asking the system again could name another port if ports came or went meanwhile). Empty without
// a selection.
std::string selectedPort(HWND dialog, int id, const std::vector<std::string>& names) {
    const LRESULT place = ::SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    if (place < 0 || static_cast<std::size_t>(place) >= names.size()) {
        return {};
    }
    return storedPortName(names[static_cast<std::size_t>(place)], static_cast<unsigned>(place));
}

} // namespace

midi_port_lists list_midi_ports() {
    // The adapter makes each RtMidi object only when the system has ports of that kind, and catches
    // the library's errors.
    const auto ports = makeRtMidiPorts();
    return {ports->inputPortNames(), ports->outputPortNames()};
}

CSetupDlg::CSetupDlg(const setup_values& values, midi_port_lists ports)
    : m_values(values), m_ports(std::move(ports)) {
    m_values.simul_click_time = clampSimulClickTime(m_values.simul_click_time);
}

bool CSetupDlg::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_INITDIALOG:
        onInitDialog();
        result = TRUE; // the dialog manager puts the focus on the first control
        return true;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            onOk();
            return true;
        case IDCANCEL:
            EndDialog(IDCANCEL);
            return true;
        case IDC_SIMUL_CLICK_TIME:
            if (HIWORD(wParam) == EN_KILLFOCUS) {
                onTimeKillFocus();
                return true;
            }
            return false;
        default:
            return false;
        }
    default:
        return false;
    }
}

void CSetupDlg::onInitDialog() {
    centerDialog(m_hWnd);
    fillPortList(m_hWnd, IDC_MIDI_IN, m_ports.inputs, m_values.midi_in);
    fillPortList(m_hWnd, IDC_MIDI_OUT, m_ports.outputs, m_values.midi_out);
    ::CheckDlgButton(m_hWnd, IDC_DEACTIVATE_SENSING,
                     m_values.deactivate_sensing ? BST_CHECKED : BST_UNCHECKED);
    setItemNumber(m_hWnd, IDC_SIMUL_CLICK_TIME, m_values.simul_click_time);
    ::SendDlgItemMessageA(m_hWnd, IDC_SIMUL_CLICK_SPIN, UDM_SETRANGE32,
                          static_cast<WPARAM>(kMinSimulClickTime), static_cast<LPARAM>(kMaxSimulClickTime));
    ::SendDlgItemMessageA(m_hWnd, IDC_SIMUL_CLICK_SPIN, UDM_SETPOS32, 0,
                          static_cast<LPARAM>(m_values.simul_click_time));
}

void CSetupDlg::onOk() {
    m_values.midi_in = selectedPort(m_hWnd, IDC_MIDI_IN, m_ports.inputs);
    m_values.midi_out = selectedPort(m_hWnd, IDC_MIDI_OUT, m_ports.outputs);
    m_values.deactivate_sensing = ::IsDlgButtonChecked(m_hWnd, IDC_DEACTIVATE_SENSING) == BST_CHECKED;
    const std::string time = itemText(m_hWnd, IDC_SIMUL_CLICK_TIME);
    if (!time.empty()) {
        m_values.simul_click_time = clampSimulClickTime(cc121::parseLeadingInt(time.c_str()));
    }
    EndDialog(IDOK);
}

void CSetupDlg::onTimeKillFocus() {
    const std::string time = itemText(m_hWnd, IDC_SIMUL_CLICK_TIME);
    if (time.empty()) {
        setItemNumber(m_hWnd, IDC_SIMUL_CLICK_TIME, m_values.simul_click_time);
        return;
    }
    const int typed = cc121::parseLeadingInt(time.c_str());
    if (typed != clampSimulClickTime(typed)) {
        setItemNumber(m_hWnd, IDC_SIMUL_CLICK_TIME, clampSimulClickTime(typed));
    }
}

bool run_setup_dialog(HINSTANCE resources, HWND owner, setup_values& values) {
    return run_setup_dialog(resources, owner, values, list_midi_ports());
}

bool run_setup_dialog(HINSTANCE resources, HWND owner, setup_values& values, const midi_port_lists& ports) {
    // The template's up-down control needs its class; registering it again is harmless.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_UPDOWN_CLASS;
    ::InitCommonControlsEx(&controls);

    CSetupDlg dialog(values, ports);
    if (dialog.DoModal(resources, owner) != IDOK) {
        return false;
    }
    values = dialog.values();
    return true;
}

} // namespace kestro
