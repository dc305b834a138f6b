#include "main_window_win32.h"

#include "about_dialog_win32.h"
#include "panel_controls.h"
#include "registry_store.h"
#include "rtmidi_ports.h"
#include "setup_dialog_win32.h"
#include "skins.h"

#include <mmsystem.h>

#include <algorithm>

namespace kestro {
namespace {

constexpr int kIconId = 101;
constexpr gravo::pixel_t kArmedInner = 0x00FF0000;
constexpr gravo::pixel_t kArmedOuter = 0x00FF8080;

} // namespace

CMainWindow::CMainWindow() {
    MidiEngineHooks hooks;
    hooks.now = [] {
        return static_cast<std::uint32_t>(timeGetTime());
    };
    hooks.pause = [](std::uint32_t ms) {
        Sleep(ms);
    };
    // Called on the MIDI input thread too: hand the change to the window thread, which owns the widgets.
    hooks.repaint = [this](const Repaint& r) {
        if (m_hWnd)
            PostMessageA(m_hWnd, kSyncMessage, static_cast<WPARAM>(r.target),
                         static_cast<LPARAM>(r.control_id));
    };
    engine = std::make_unique<MidiEngine>(makeRtMidiPorts(), hooks);
}

CMainWindow::~CMainWindow() {
    engine->closePorts(); // input first, then output: no callback may reach a half-destroyed window
    // Widgets go in the reverse of their creation order; members would do the same, but the engine's
    // callback must be gone first, which closePorts ensured.
    for (auto it = encoders.rbegin(); it != encoders.rend(); ++it)
        it->DestroyWindow();
    fader.DestroyWindow();
    for (auto it = buttons.rbegin(); it != buttons.rend(); ++it)
        it->DestroyWindow();
    listener.DestroyWindow();
}

const orvel::CWndClassInfo& CMainWindow::GetWndClassInfo() noexcept {
    static const orvel::CWndClassInfo info{"kestro::MainWindow", CS_HREDRAW | CS_VREDRAW, nullptr, IDC_ARROW};
    return info;
}

bool CMainWindow::start(int show) {
    face.load_png_resource(orvel::resource_instance(), skins::face_id);
    back.clear();
    back.create(face.width, face.height);

    RECT rect{0, 0, face.width, face.height};
    AdjustWindowRectEx(&rect, kMainStyle, FALSE, kMainExStyle);
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;

    settings = loadSettings(*makeRegistryStore());
    const int left = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    const RECT centred{left, top, left + w, top + h};
    if (!Create(nullptr, centred, "Kestro"))
        return false;
    if (settings.position)
        restore_place(*settings.position);

    create_widgets();
    if (settings.always_on_top) {
        always_on_top = false;
        toggle_always_on_top();
    }
    engine->setSimulClickTime(settings.simul_click_time);
    engine->setDetectionDisabled(settings.deactivate_sensing);
    listener.set_lit(engine->listenerLightLit());
    // A port that does not open leaves the panel working without MIDI; nothing else changes.
    engine->openPorts(settings.midi_in, settings.midi_out);
    SetTimer(m_hWnd, kPresenceTimerId, kPresenceTimerPeriodMs, nullptr);
    SetTimer(m_hWnd, kBlinkTimerId, kBlinkTimerPeriodMs, nullptr);
    ShowWindow(m_hWnd, show);
    return true;
}

void CMainWindow::create_widgets() {
    std::size_t b = 0;
    std::size_t e = 0;
    for (const skins::widget_t& w : skins::widgets) {
        switch (w.kind) {
        case skins::widget_kind::light:
            listener.create(m_hWnd);
            break;
        case skins::widget_kind::button:
            buttons[b++].create(m_hWnd, w.x, w.y, w.width, w.height, w.control_id, w.image);
            break;
        case skins::widget_kind::fader:
            fader.create(m_hWnd);
            break;
        case skins::widget_kind::encoder:
            encoders[e++].create(m_hWnd, w.x, w.y, w.width, w.height, w.control_id, w.image);
            break;
        }
    }
}

orvel::CSkinDumbButtonWindow* CMainWindow::button(int control_id) {
    for (auto& b : buttons)
        if (b.m_hWnd && b.GetDlgCtrlID() == control_id)
            return &b;
    return nullptr;
}

orvel::CSkinDumbRotaryWindow* CMainWindow::encoder(int control_id) {
    for (auto& e : encoders)
        if (e.m_hWnd && e.GetDlgCtrlID() == control_id)
            return &e;
    return nullptr;
}

bool CMainWindow::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_CREATE:
        if (HICON icon = LoadIconA(orvel::resource_instance(), MAKEINTRESOURCEA(kIconId)))
            SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        result = 0;
        return true;
    case WM_PAINT:
        paint();
        result = 0;
        return true;
    case WM_ERASEBKGND:
        if (!back.is_valid())
            return false;
        result = 1; // the paint covers everything: erasing would only flicker
        return true;
    case WM_QUERYENDSESSION:
        // Saved now: a process may be ended without further notice once the session ends.
        save_once();
        result = TRUE;
        return true;
    case WM_ENDSESSION:
        if (wParam)
            save_once();
        else
            settings_saved = false; // the session goes on: the close saves what changes meanwhile
        result = 0;
        return true;
    case WM_CLOSE:
        save_once();
        KillTimer(hwnd, kPresenceTimerId);
        KillTimer(hwnd, kBlinkTimerId);
        return false; // default handling destroys the window
    case WM_TIMER:
        if (!engine->detectionDisabled())
            engine->timerHandler(static_cast<unsigned>(wParam), timeGetTime());
        result = 0;
        return true;
    case WM_COMMAND:
        on_command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        result = 0;
        return true;
    case kSyncMessage:
        switch (static_cast<Repaint::Target>(wParam)) {
        case Repaint::Target::Window:
            repaint_all();
            break;
        case Repaint::Target::Button:
            if (auto* b = button(static_cast<int>(lParam)))
                b->set_lit(engine->lampLit(static_cast<std::uint8_t>(lParam - kButtonIdBase)));
            break;
        case Repaint::Target::Fader:
            if (!engine->faderDragging())
                fader.set_value(engine->faderValue());
            break;
        case Repaint::Target::ListenerLight:
            listener.set_lit(engine->listenerLightLit());
            break;
        }
        result = 0;
        return true;
    default:
        return false;
    }
}

void CMainWindow::on_command(int id, int code, HWND) {
    if (id == kAlwaysOnTopId || id == kSetupId || id == kAboutId) {
        if (code != orvel::notify_left_up)
            return; // the panel's own buttons act on release only
        if (id == kAlwaysOnTopId)
            toggle_always_on_top();
        else if (id == kSetupId)
            run_setup();
        else
            run_about();
        return;
    }
    if (id == kFaderId) {
        if (code == orvel::notify_left_down)
            engine->buttonPress(id);
        else if (code == orvel::notify_left_up)
            engine->buttonRelease(id);
        else if (code == orvel::notify_drag_step && engine->portsOpen())
            engine->sendFaderPosition(fader.value);
        return;
    }
    if (id >= kEncoderIdBase && id < kButtonIdBase) {
        if (code == orvel::notify_drag_step && engine->portsOpen())
            if (auto* e = encoder(id))
                engine->sendEncoderStep(id, e->last_step);
        return;
    }
    if (code == orvel::notify_left_down)
        engine->buttonPress(id);
    else if (code == orvel::notify_left_up)
        engine->buttonRelease(id);
    else if (code == orvel::notify_right_up)
        engine->toggleArming(id);
}

void CMainWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    face.blit_to(back, 0, 0, 0, 0, face.width, face.height);
    for (int id : engine->armed()) {
        auto* b = button(id);
        if (!b)
            continue;
        RECT r = b->GetClientRect();
        MapWindowPoints(b->m_hWnd, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        back.draw_rect(r.left - 1, r.top - 1, r.right, r.bottom, kArmedInner);
        back.draw_rect(r.left - 2, r.top - 2, r.right + 1, r.bottom + 1, kArmedOuter);
    }
    back.blit_to_dc(dc, 0, 0, 0, 0, back.width, back.height, SRCCOPY);
    EndPaint(m_hWnd, &ps);
}

void CMainWindow::repaint_all() {
    if (IsWindowVisible())
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CMainWindow::toggle_always_on_top() {
    always_on_top = !always_on_top;
    SetWindowPos(m_hWnd, always_on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW);
    if (auto* b = button(kAlwaysOnTopId))
        b->set_lit(always_on_top);
}

void CMainWindow::run_setup() {
    auto* setup = button(kSetupId);
    if (setup)
        setup->set_lit(true);
    setup_values values{settings.midi_in, settings.midi_out, engine->detectionDisabled(),
                        engine->simulClickTime()};
    if (run_setup_dialog(orvel::resource_instance(), GetActiveWindow(), values)) {
        // New ports take effect at the next start; the running ones stay open.
        settings.midi_in = values.midi_in;
        settings.midi_out = values.midi_out;
        engine->setSimulClickTime(values.simul_click_time);
    } else {
        values.deactivate_sensing = engine->detectionDisabled();
    }
    if (setup)
        setup->set_lit(false);
    // The light goes to the flag also after Cancel, through the engine, which owns it: the next host-ready
    // message then lights it again.
    engine->setDetectionDisabled(values.deactivate_sensing);
    listener.set_lit(engine->listenerLightLit());
}

void CMainWindow::run_about() {
    auto* about = button(kAboutId);
    if (about)
        about->set_lit(true);
    run_about_dialog(orvel::resource_instance(), GetActiveWindow());
    if (about)
        about->set_lit(false);
}

void CMainWindow::restore_place(const WindowPosition& saved) {
    // The place was saved from the window placement, in its coordinates (the work area's, not the
    // screen's): it goes back the same way, or a taskbar at the top or left would shift it every start.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(m_hWnd, &placement))
        return;
    const RECT& normal = placement.rcNormalPosition;
    placement.rcNormalPosition = RECT{saved.x, saved.y, saved.x + (normal.right - normal.left),
                                      saved.y + (normal.bottom - normal.top)};
    placement.showCmd = SW_HIDE; // shown later, with the program's show state
    placement.flags = 0;
    SetWindowPlacement(m_hWnd, &placement);

    // A place on no monitor (one that has gone) comes onto the nearest work area, whole where it fits.
    RECT r{};
    GetWindowRect(m_hWnd, &r);
    if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL))
        return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const int x = std::max(work.left, std::min(r.left, work.right - (r.right - r.left)));
    const int y = std::max(work.top, std::min(r.top, work.bottom - (r.bottom - r.top)));
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainWindow::save_once() {
    if (settings_saved)
        return;
    settings_saved = true;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(m_hWnd, &placement))
        settings.position = WindowPosition{placement.rcNormalPosition.left, placement.rcNormalPosition.top};
    settings.always_on_top = always_on_top;
    settings.deactivate_sensing = engine->detectionDisabled();
    settings.simul_click_time = engine->simulClickTime();
    if (auto store = makeRegistryStore())
        saveSettings(*store, settings);
}

} // namespace kestro
