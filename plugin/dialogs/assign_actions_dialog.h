#pragma once
// The "Assign Actions" dialog (resource 101): edits the seven action texts of a SurfaceSettings record.

#include "surface_settings.h"

#include "dialog_api.h"

// The dialog procedure. The creation parameter is the SurfaceSettings* to edit (null: nothing is shown or
// stored). OK stores every non-empty edit; Cancel, Escape and the close box store nothing; "Actions..."
// opens the host's action list and leaves the dialog open.
INT_PTR CALLBACK AssignActionsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the dialog modally over `owner` with the dialog template of `resources` (the plug-in's module).
// Returns IDOK or IDCANCEL, or -1 when the dialog could not be created.
INT_PTR showAssignActionsDialog(HINSTANCE resources, HWND owner, SurfaceSettings& settings);
