#pragma once
// The panel's one window: the controller face with its 52 skinned widgets, the MIDI engine behind them, and
// the settings read at start-up and written at close or when the session ends.

#include "midi_engine.h"
#include "panel_settings.h"
#include "skin_button.h"
#include "skin_fader.h"
#include "skin_led.h"
#include "skin_rotary.h"
#include "surface.h"
#include "window_impl.h"

#include <array>
#include <memory>

namespace kestro {

inline constexpr DWORD kMainStyle =
    WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
inline constexpr DWORD kMainExStyle = WS_EX_APPWINDOW | WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES;
using CMainWinTraits = orvel::CWinTraits<kMainStyle, kMainExStyle>;

// Posted by the MIDI input thread: the engine's state changed and the widgets should show it.
inline constexpr UINT kSyncMessage = WM_APP + 1;

class CMainWindow : public orvel::CWindowImpl<CMainWindow, orvel::CWindow, CMainWinTraits> {
public:
    CMainWindow();
    ~CMainWindow() override;

    static const orvel::CWndClassInfo& GetWndClassInfo() noexcept;

    // Start-up: face, settings, window, widgets, ports, timers. False when the window could not be made.
    bool start(int show);

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnFinalMessage(HWND) override { PostQuitMessage(0); }

    // For tests and the demo: the widgets by control id (null when there is none).
    orvel::CSkinDumbButtonWindow* button(int control_id);
    orvel::CSkinDumbRotaryWindow* encoder(int control_id);
    orvel::CSkinFaderWindow& fader_widget() { return fader; }
    orvel::CSkinLEDWindow& listener_light() { return listener; }
    MidiEngine& midi() { return *engine; }

private:
    void create_widgets();
    void paint();
    void on_command(int id, int code, HWND sender);
    void toggle_always_on_top();
    void run_setup();
    void run_about();
    void sync_from_engine();
    void restore_place(const WindowPosition& saved);
    // Writes the settings, once per ending: at the end of the session or at close, whichever comes first.
    void save_once();
    void repaint_all();

    gravo::surface_t face;
    gravo::surface_t back;
    PanelSettings settings;
    bool always_on_top = false;
    bool settings_saved = false;
    std::unique_ptr<MidiEngine> engine;
    orvel::CSkinLEDWindow listener;
    std::array<orvel::CSkinDumbButtonWindow, 35> buttons;
    orvel::CSkinFaderWindow fader;
    std::array<orvel::CSkinDumbRotaryWindow, 15> encoders;
};

} // namespace kestro
