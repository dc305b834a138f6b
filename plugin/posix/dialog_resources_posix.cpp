// The dialog templates of the Linux plug-in: the .rc files converted by WDL's swell_resgen.pl at build time.
// Each one registers itself with SWELL's list of this module's dialogs when the library loads.
#include "assign_actions_resource.h"
#include "config_page_resource.h"

#include "swell.h"

#include "swell-dlggen.h"

// The .rc files' control kinds that swell-dlggen.h does not name: SWELL's check boxes toggle themselves, and
// it has no up-down control (the page's number edits stand alone, their values still held to their ranges).
#define AUTOCHECKBOX CHECKBOX
#define UDS_SETBUDDYINT 0
#define UDS_AUTOBUDDY 0
#define UDS_ARROWKEYS 0

#include "assign_actions.rc_mac_dlg"
#include "config_page.rc_mac_dlg"
