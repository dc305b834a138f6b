#pragma once
// Resource ids of the Assign Actions dialog, shared by assign_actions.rc and the dialog code.

// Assign Actions dialog.
#define IDD_ASSIGN_ACTIONS 101
#define IDC_ACTION_VALUE_ENCODER 1014
#define IDC_ACTION_FUNCTION1 1015
#define IDC_ACTION_VALUE_BUTTON 1016
#define IDC_ACTION_FUNCTION2 1017
#define IDC_ACTION_FUNCTION3 1018
#define IDC_ACTION_FUNCTION4 1019
#define IDC_ACTION_FOOT_SWITCH 1020
#define IDC_ACTION_LIST 1021

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
