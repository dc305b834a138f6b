#pragma once
// A small window framework shared by the panel's windows. CWindow wraps a window handle; CWindowImpl<T>
// registers T's window class at the first creation, binds the object to its window at WM_NCCREATE (the
// handle's GWLP_USERDATA holds the object), routes every message to ProcessWindowMessage and hands what it
// leaves to DefWindowProcA. After WM_NCDESTROY the object is unbound and OnFinalMessage runs.

#include <windows.h>

namespace orvel {

// The framework's module state: the module that owns the window classes, and the one that skin images
// are loaded from. Both are the program's own until init_module or set_resource_instance says otherwise.
void init_module(HINSTANCE instance) noexcept;
HINSTANCE module_instance() noexcept;
HINSTANCE resource_instance() noexcept;
void set_resource_instance(HINSTANCE instance) noexcept;

class CWindow {
public:
    HWND m_hWnd = nullptr;

    CWindow(HWND hwnd = nullptr) noexcept : m_hWnd(hwnd) {}
    operator HWND() const noexcept { return m_hWnd; }

    bool IsWindow() const noexcept { return m_hWnd != nullptr && ::IsWindow(m_hWnd) != FALSE; }
    bool IsWindowVisible() const noexcept { return m_hWnd != nullptr && ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsWindowEnabled() const noexcept { return m_hWnd != nullptr && ::IsWindowEnabled(m_hWnd) != FALSE; }
    HWND GetParent() const noexcept { return ::GetParent(m_hWnd); }
    int GetDlgCtrlID() const noexcept { return int(::GetWindowLongA(m_hWnd, GWL_ID)); }
    RECT GetClientRect() const noexcept {
        RECT rect{};
        ::GetClientRect(m_hWnd, &rect);
        return rect;
    }
    bool Invalidate(bool erase = false) const noexcept {
        return ::InvalidateRect(m_hWnd, nullptr, erase ? TRUE : FALSE) != FALSE;
    }
    bool DestroyWindow() noexcept { return ::DestroyWindow(m_hWnd) != FALSE; }
};

// The styles a window class is created with when Create is given none.
template <DWORD Style, DWORD ExStyle = 0> struct CWinTraits {
    static DWORD GetWndStyle(DWORD style) noexcept { return style == 0 ? Style : style; }
    static DWORD GetWndExStyle(DWORD ex_style) noexcept { return ex_style == 0 ? ExStyle : ex_style; }
};
using CControlWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0>;

// What a window class is registered with. background is null or a brush such as (HBRUSH)(COLOR_WINDOW + 1);
// cursor a system cursor id such as IDC_ARROW, or null.
struct CWndClassInfo {
    const char* name;
    UINT style;
    HBRUSH background;
    const char* cursor;
};

// Registers a class of module_instance(); the atom, or 0 on failure.
ATOM RegisterWindowClass(const CWndClassInfo& info, WNDPROC procedure) noexcept;

// The control id a child window gets when created with none: non-zero, and outside the panel's ids.
inline constexpr UINT kDefaultChildId = 0xFFFF;

// T supplies `static const CWndClassInfo& GetWndClassInfo()` and overrides ProcessWindowMessage.
template <class T, class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImpl : public TBase {
public:
    CWindowImpl() = default;
    CWindowImpl(const CWindowImpl&) = delete;
    CWindowImpl& operator=(const CWindowImpl&) = delete;

    // True when the message was handled; result is then the window procedure's answer.
    virtual bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

    // A window that outlives its object is unbound first (its messages go to DefWindowProcA from then on),
    // then destroyed.
    virtual ~CWindowImpl() {
        if (this->m_hWnd != nullptr && ::IsWindow(this->m_hWnd)) {
            ::SetWindowLongPtrA(this->m_hWnd, GWLP_USERDATA, 0);
            ::DestroyWindow(this->m_hWnd);
        }
        this->m_hWnd = nullptr;
    }

    virtual WNDPROC GetWindowProc() { return &CWindowImpl::WindowProc; }

    // Runs after WM_NCDESTROY, when the object is no longer bound to hwnd.
    virtual void OnFinalMessage(HWND /*hwnd*/) {}

    // Creates the window once per object (null if it already has one or creation fails). A child created
    // without an id gets kDefaultChildId.
    HWND Create(HWND parent, const RECT& rect, const char* name = nullptr, DWORD style = 0,
                DWORD ex_style = 0, UINT id = 0) noexcept {
        if (this->m_hWnd != nullptr) {
            return nullptr;
        }
        static ATOM atom = 0; // one per instantiation, so per window class
        if (atom == 0) {
            atom = RegisterWindowClass(T::GetWndClassInfo(), GetWindowProc());
            if (atom == 0) {
                return nullptr;
            }
        }
        style = TWinTraits::GetWndStyle(style);
        ex_style = TWinTraits::GetWndExStyle(ex_style);
        if ((style & WS_CHILD) != 0 && id == 0) {
            id = kDefaultChildId;
        }
        return ::CreateWindowExA(ex_style, MAKEINTATOM(atom), name, style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), module_instance(),
                                 static_cast<CWindowImpl*>(this));
    }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        CWindowImpl* self = nullptr;
        if (msg == WM_NCCREATE) {
            self = static_cast<CWindowImpl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            self->m_hWnd = hwnd;
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<CWindowImpl*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        }
        if (self == nullptr) {
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
        }
        LRESULT result = 0;
        if (!self->ProcessWindowMessage(hwnd, msg, wParam, lParam, result)) {
            result = ::DefWindowProcA(hwnd, msg, wParam, lParam);
        }
        if (msg == WM_NCDESTROY) {
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->m_hWnd = nullptr;
            self->OnFinalMessage(hwnd); // may delete the object: nothing touches it afterwards
        }
        return result;
    }
};

} // namespace orvel
