#pragma once
// Resource ids of the configuration page, shared by config_page.rc and the page's code.

#define IDD_CONFIG_PAGE 266
#define IDC_MIDI_INPUT 1004
#define IDC_MIDI_OUTPUT 1005
#define IDC_SKIP_MARKERS 1006
#define IDC_ENCODER_SPEED_SPIN 1007
#define IDC_ACCELERATION_SPIN 1008
#define IDC_ENCODER_SPEED 1009
#define IDC_WRAP_CHANNELS 1010
#define IDC_USE_MCP 1011
#define IDC_ACCELERATION 1012
#define IDC_USER_FUNCTIONS 1013
#define IDC_ENCODER_SPEED_LABEL 1277
#define IDC_ACCELERATION_LABEL 1278

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
