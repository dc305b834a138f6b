// The About box's message handling.
#include "about_dialog_win32.h"

namespace kestro {

bool CAboutDlg::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg == WM_INITDIALOG) {
        centerDialog(m_hWnd);
        result = TRUE;
        return true;
    }
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(LOWORD(wParam));
        return true;
    }
    return false;
}

void run_about_dialog(HINSTANCE resources, HWND owner) {
    CAboutDlg dialog;
    dialog.DoModal(resources, owner);
}

} // namespace kestro
