#pragma once
// The About box (template 146): the program's name, version and purpose.

#include "dialog_impl.h"
#include "dialogs_resource.h"

#include <windows.h>

namespace kestro {

// Shows the About box modally, owned by `owner`, from the template in `resources`; OK or Cancel end it.
void run_about_dialog(HINSTANCE resources, HWND owner);

class CAboutDlg final : public CDialogImpl<CAboutDlg> {
public:
    static constexpr int IDD = IDD_ABOUT;

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace kestro
