#pragma once
// The CC121 configuration page (dialog resource 266): a child dialog inside the host's preferences window
// that edits its own copy of the surface settings and hands the configuration string back on request.

#include "dialog_api.h"

// The host asks for the configuration string with this message: wParam = the buffer's size in bytes,
// lParam = the char buffer. Buffers of fewer than 2 bytes and null buffers get no answer.
inline constexpr UINT kConfigResultMessage = WM_USER + 1024;

// The page's dialog procedure. The creation parameter is the configuration string (null or empty: the
// defaults). The page's record lives in its GWLP_USERDATA from WM_INITDIALOG to WM_DESTROY.
INT_PTR CALLBACK ConfigPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the page modeless, as a child of `parent`, from the template of `resources`; the Assign Actions
// dialog is loaded from the same module. The up-down class must already be registered in the process.
// Returns null when the page could not be created.
HWND createConfigPage(HINSTANCE resources, HWND parent, const char* configString);

// The host's configuration-page callback: the page from the plug-in's own module. The type string is not
// needed: the plug-in registers one surface type.
HWND showConfigPage(const char* typeString, HWND parent, const char* initConfigString);
