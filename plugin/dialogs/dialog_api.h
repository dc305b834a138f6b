#pragma once
// The Win32 API the plug-in's dialogs are written against: windows.h on Windows; elsewhere WDL's SWELL,
// whose functions REAPER hands the plug-in at load (SWELL_dllMain). SWELL spells the ANSI entry points
// without their suffix and lacks a few names the dialogs use; they are mapped here, so the dialog code
// reads the same on every platform.

#ifdef _WIN32
#include <windows.h>

#include <commctrl.h>
#else
#include "swell.h"

#define GetDlgItemTextA GetDlgItemText
#define GetWindowLongPtrA GetWindowLong
#define GetWindowTextA GetWindowText
#define GetWindowTextLengthA GetWindowTextLength
#define MAKEINTRESOURCEA MAKEINTRESOURCE
#define SendDlgItemMessageA SendDlgItemMessage
#define SendMessageA SendMessage
#define SetDlgItemTextA SetDlgItemText
#define SetWindowLongPtrA SetWindowLong
#define GWLP_USERDATA GWL_USERDATA
#define DWLP_DLGPROC DWL_DLGPROC
// SWELL keeps no module per window (it finds templates by the module that asks), and answers 0 here.
#define GWLP_HINSTANCE (-6)

// Messages of controls SWELL does not have (an up-down control) or ignores (an edit's typing limit): sent to
// them they do nothing, and the page's own checks keep the values in range.
#define EM_LIMITTEXT 0x00C5
#define UDM_SETRANGE32 (WM_USER + 111)
#define UDM_SETPOS32 (WM_USER + 113)

// SWELL finds a template among the dialogs of the module that asks, whatever instance is named.
inline HWND CreateDialogParamA(HINSTANCE, const char* id, HWND parent, DLGPROC procedure, LPARAM parameter) {
    return CreateDialogParam(nullptr, id, parent, procedure, parameter);
}
inline INT_PTR DialogBoxParamA(HINSTANCE, const char* id, HWND parent, DLGPROC procedure, LPARAM parameter) {
    return DialogBoxParam(nullptr, id, parent, procedure, parameter);
}

// SWELL's windows all belong to the host's one GUI thread.
inline BOOL EnumThreadWindows(DWORD, BOOL (*proc)(HWND, LPARAM), LPARAM parameter) {
    return EnumWindows(proc, parameter);
}
#endif
