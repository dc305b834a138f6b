#pragma once
// Modal dialogs from templates for the panel, in the style of the window framework: CDialogImpl<T> binds
// the object to its dialog at WM_INITDIALOG (DWLP_USER holds the object), routes every later message to
// ProcessWindowMessage and leaves what it does not handle to the dialog manager.

#include "window_impl.h"

#include <windows.h>

namespace kestro {

// Centres `dialog` over its owner, or over the work area when there is no owner or it is hidden or
// minimised; then moves it as little as needed to lie inside the work area (the caption first when it
// is larger). The work area is that of the monitor nearest the owner.
void centerDialog(HWND dialog) noexcept;

// T supplies `static constexpr int IDD` (its template) and overrides ProcessWindowMessage.
template <class T, class TBase = orvel::CWindow> class CDialogImpl : public TBase {
public:
    CDialogImpl() = default;
    CDialogImpl(const CDialogImpl&) = delete;
    CDialogImpl& operator=(const CDialogImpl&) = delete;

    // True when the message was handled; result is then the answer (for WM_INITDIALOG: whether the
    // dialog manager sets the focus).
    virtual bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

    virtual ~CDialogImpl() = default; // a modal dialog is gone when DoModal returns

    virtual DLGPROC GetDialogProc() { return &CDialogImpl::DialogProc; }

    // Shows template T::IDD of `resources` modally, owned by `owner`; the value given to EndDialog, or -1
    // when the dialog could not be created.
    INT_PTR DoModal(HINSTANCE resources, HWND owner) noexcept {
        return ::DialogBoxParamA(resources, MAKEINTRESOURCEA(T::IDD), owner, GetDialogProc(),
                                 reinterpret_cast<LPARAM>(this));
    }

    bool EndDialog(INT_PTR result) noexcept { return ::EndDialog(this->m_hWnd, result) != FALSE; }

private:
    // Messages whose answer is the procedure's return value rather than DWLP_MSGRESULT.
    static bool answersDirectly(UINT msg) noexcept {
        switch (msg) {
        case WM_INITDIALOG:
        case WM_CHARTOITEM:
        case WM_VKEYTOITEM:
        case WM_COMPAREITEM:
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return true;
        default:
            return false;
        }
    }

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        CDialogImpl* self = nullptr;
        if (msg == WM_INITDIALOG) {
            self = reinterpret_cast<CDialogImpl*>(lParam);
            if (self == nullptr) {
                return FALSE;
            }
            self->m_hWnd = hwnd;
            ::SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<CDialogImpl*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
        }
        if (self == nullptr) {
            return FALSE; // before WM_INITDIALOG (WM_SETFONT) and after WM_NCDESTROY
        }
        LRESULT result = 0;
        const bool handled = self->ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
        if (msg == WM_NCDESTROY) {
            ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
            self->m_hWnd = nullptr;
        }
        if (!handled) {
            return FALSE;
        }
        if (answersDirectly(msg)) {
            return static_cast<INT_PTR>(result);
        }
        ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
};

} // namespace kestro
