#include "user_actions.h"

#include "cc121_scales.h"
#include "host_api.h"
#include "leading_int.h"

int ResolveActionId(const std::string& text) {
    if (text.empty())
        return 0;
    const int number = cc121::parseLeadingInt(text.c_str());
    if (number != 0)
        return number;
    return host::NamedCommandLookup ? host::NamedCommandLookup(text.c_str()) : 0;
}

void RunButtonAction(const SurfaceSettings& settings, ActionSlot slot, bool down) {
    if (!down || slot >= kActionSlotCount)
        return;
    const std::string& text = settings.actions[slot];
    if (text.empty())
        return;
    const int id = ResolveActionId(text);
    if (id != 0 && host::Main_OnCommand)
        host::Main_OnCommand(id, 0);
}

int encoderActionValue(double amount) {
    return cc121::truncateSaturated(8.0 * amount);
}

void RunEncoderAction(const SurfaceSettings& settings, double amount) {
    const std::string& text = settings.actions[kSlotValueEncoder];
    if (text.empty())
        return;
    const int id = ResolveActionId(text);
    if (id != 0 && host::KBD_OnMainActionEx)
        host::KBD_OnMainActionEx(id, encoderActionValue(amount), -1, 1, nullptr, nullptr);
}

void applyActionEdits(SurfaceSettings& settings, const std::array<std::string, kActionSlotCount>& edits) {
    for (std::size_t slot = 0; slot < kActionSlotCount; ++slot) {
        if (!edits[slot].empty())
            settings.actions[slot] = edits[slot].substr(0, kMaxActionTextLength);
    }
}

void openActionList() {
    if (host::Main_OnCommand)
        host::Main_OnCommand(kActionListCommand, 0);
}
