#pragma once
// The user functions: host actions bound to the Value Encoder, the Value Button, Function Buttons 1-4 and
// the Foot Switch through the action texts of SurfaceSettings.

#include "surface_settings.h"

#include <array>
#include <string>

// The host's action list window; the Assign Actions dialog opens it so the user can look ids up.
inline constexpr int kActionListCommand = 40605;

// The host command an action text names: its leading decimal number when that is not 0, otherwise the
// host's id for the whole text as a command name. 0 means none (also for an empty text). Looked up anew on
// every call: named commands can come and go while the surface runs.
int ResolveActionId(const std::string& text);

// A press of the control bound to `slot` runs its action with Main_OnCommand(id, 0); a release runs
// nothing. The control's held-button bit is the surface's to keep.
void RunButtonAction(const SurfaceSettings& settings, ActionSlot slot, bool down);

// A turn of the Value Encoder by `amount` (the accelerated step count) runs the Value Encoder slot's action
// as a relative control with the value 8 x amount, truncated toward zero and held to the 32-bit range.
void RunEncoderAction(const SurfaceSettings& settings, double amount);

// 8 x amount as the host's relative value: truncated toward zero, saturated at the 32-bit limits (0 for
// a value that is no number).
int encoderActionValue(double amount);

// What OK in the Assign Actions dialog stores: every non-empty edit replaces its slot's text, cut to
// kMaxActionTextLength bytes; an emptied edit keeps the former text.
void applyActionEdits(SurfaceSettings& settings, const std::array<std::string, kActionSlotCount>& edits);

// Opens the host's action list.
void openActionList();
