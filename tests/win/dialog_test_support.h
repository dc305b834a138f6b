#pragma once
// What the dialog suites share: reading a dialog template's own bytes, and scripting a dialog that the code
// under test runs modally.
//
// A script is played by a thread timer that the dialog's own modal loop dispatches: its steps run while the
// dialog is up, as a user's input would, without hooks into the dialog manager and without depending on
// which window the loop reports its idle time to. A watchdog ends the dialog if a script never does.

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <utility>

inline std::string windowText(HWND hwnd) {
    char buffer[1024] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

// --- Templates ---------------------------------------------------------------------------------------------

// Reads a template's own bytes (DLGTEMPLATEEX).
class TemplateReader {
public:
    explicit TemplateReader(const unsigned char* p) : m_p(p) {}
    WORD word() { return take<WORD>(); }
    DWORD dword() { return take<DWORD>(); }
    short coord() { return take<short>(); }
    BYTE byte() { return take<BYTE>(); }
    // A string, or "#<n>" for an ordinal.
    std::string text() {
        if (peek<WORD>() == 0xFFFF) {
            word();
            return "#" + std::to_string(word());
        }
        std::string out;
        while (WORD c = word()) {
            out += static_cast<char>(c);
        }
        return out;
    }
    void alignDword() {
        while (reinterpret_cast<std::uintptr_t>(m_p) % 4 != 0) {
            ++m_p;
        }
    }
    void skip(std::size_t n) { m_p += n; }

private:
    template <class T> T peek() const {
        T v;
        std::memcpy(&v, m_p, sizeof v);
        return v;
    }
    template <class T> T take() {
        T v = peek<T>();
        m_p += sizeof v;
        return v;
    }
    const unsigned char* m_p;
};

// How a template names a control's class: the predefined ones by their ordinal, any other by its name.
inline std::string templateClass(const std::string& cls) {
    if (cls == "Button") {
        return "#128";
    }
    if (cls == "Edit") {
        return "#129";
    }
    if (cls == "Static") {
        return "#130";
    }
    if (cls == "ComboBox") {
        return "#133";
    }
    return cls;
}

// --- Modal scripts -----------------------------------------------------------------------------------------

using Step = std::function<void(HWND dialog)>;

// Plays steps, one per tick of a 10 ms thread timer, against the dialog (class #32770) captioned `title`
// that this thread has open. One script at a time: the timer procedure has no object to reach.
class DialogScript {
public:
    // A dialog still open more than `ticks` ticks after it was found is ended with `result`, so that a
    // script that leaves it open cannot hang the suite.
    struct Watchdog {
        int ticks;
        INT_PTR result;
    };
    // Whether the steps wait for the dialog to be shown, or start as soon as it exists.
    enum class Start { shown, created };

    DialogScript(std::string title, std::deque<Step> steps, Watchdog watchdog, Start start = Start::shown) {
        s_title = std::move(title);
        s_steps = std::move(steps);
        s_watchdog = watchdog;
        s_shownOnly = start == Start::shown;
        s_finished = s_steps.empty();
        s_timedOut = false;
        s_ticks = 0;
        m_timer = SetTimer(nullptr, 0, 10, tick);
    }
    ~DialogScript() {
        KillTimer(nullptr, m_timer);
        s_steps.clear();
    }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // Every step has been taken.
    static bool finished() { return s_finished; }
    // The watchdog ended the dialog.
    static bool timedOut() { return s_timedOut; }

private:
    static BOOL CALLBACK findDialog(HWND hwnd, LPARAM found) {
        char cls[32] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (std::string(cls) == "#32770" && windowText(hwnd) == s_title &&
            (!s_shownOnly || IsWindowVisible(hwnd))) {
            *reinterpret_cast<HWND*>(found) = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&dialog));
        if (dialog == nullptr) {
            return;
        }
        if (++s_ticks > s_watchdog.ticks) {
            s_timedOut = true;
            EndDialog(dialog, s_watchdog.result);
            return;
        }
        if (s_steps.empty()) {
            return;
        }
        // Taken off first: a step that runs a modal loop of its own lets the timer tick again inside it.
        Step step = std::move(s_steps.front());
        s_steps.pop_front();
        s_finished = s_steps.empty();
        step(dialog);
    }

    static inline std::string s_title;
    static inline std::deque<Step> s_steps;
    static inline Watchdog s_watchdog{};
    static inline bool s_shownOnly = true;
    static inline bool s_finished = false;
    static inline bool s_timedOut = false;
    static inline int s_ticks = 0;
    UINT_PTR m_timer = 0;
};
