#pragma once
// The Options dialog (template 145): the MIDI ports, host detection and the simultaneous click time.

#include "dialog_impl.h"
#include "dialogs_resource.h"
#include "simul_click_time.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kestro {

struct setup_values {
    std::string midi_in, midi_out; // port settings (port_names.h: name and position); empty: no port
    bool deactivate_sensing = false;
    int simul_click_time = kDefaultSimulClickTime; // ms
};

// Port names in port order (list position i is port i); empty for a kind the system has none of.
struct midi_port_lists {
    std::vector<std::string> inputs, outputs;
};

// The system's MIDI ports now, from temporary RtMidi objects; no library error leaves it.
midi_port_lists list_midi_ports();

// Shows the Options dialog modally, owned by `owner`, from the template in `resources`; on OK copies the
// dialog's values into `values` and returns true; Cancel or closing changes nothing and returns false.
bool run_setup_dialog(HINSTANCE resources, HWND owner, setup_values& values);
// The same with the port lists given: a list without names is disabled.
bool run_setup_dialog(HINSTANCE resources, HWND owner, setup_values& values, const midi_port_lists& ports);

class CSetupDlg final : public CDialogImpl<CSetupDlg> {
public:
    static constexpr int IDD = IDD_SETUP;

    // A time outside 1..1000 is held to that range before it is shown.
    CSetupDlg(const setup_values& values, midi_port_lists ports);

    // The values the dialog started with, replaced by the user's at OK.
    const setup_values& values() const noexcept { return m_values; }

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void onInitDialog();
    void onOk();
    void onTimeKillFocus();

    setup_values m_values;
    midi_port_lists m_ports;
};

} // namespace kestro
