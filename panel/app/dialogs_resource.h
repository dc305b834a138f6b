#pragma once
// Resource ids of the panel's Options and About dialogs, shared by dialogs.rc and the dialogs' code.

#define IDD_SETUP 145
#define IDD_ABOUT 146

#define IDC_MIDI_IN 1001
#define IDC_MIDI_OUT 1002
#define IDC_DEACTIVATE_SENSING 1004
#define IDC_SIMUL_CLICK_TIME 1006
#define IDC_SIMUL_CLICK_SPIN 1007

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
