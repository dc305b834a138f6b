#pragma once
// What the plug-in's one export does, kept free of Win32 so native tests can drive it.

#include "reaper_abi.h"

namespace tamsel {

// Checks the caller, binds every host function and registers the "CC121" surface type.
// Returns 1 when registered, 0 otherwise (including the unload call with a null record).
int pluginEntry(HINSTANCE instance, reaper_plugin_info_t* rec);

// The module instance passed to the entry point; dialogs load their resources from it.
HINSTANCE moduleInstance();

using ConfigPageFunction = HWND (*)(const char* typeString, HWND parent, const char* initConfigString);
// Installs the function that creates the configuration page (Win32); until then the host gets no page.
void setConfigPageFunction(ConfigPageFunction function);

// The record handed to the host under "csurf".
const reaper_csurf_reg_t& surfaceRegistration();

} // namespace tamsel
