#pragma once
// The named values of tracks and sends that GetSetMediaTrackInfo and GetSetTrackSendInfo reach, with the C
// type REAPER gives each: the plug-in reads and writes them through untyped pointers, so the type is part of
// the interface. Names the model does not hold yield nothing (the host then returns null).

#include "hostsim/model/track.h"

#include <optional>
#include <string>

namespace hostsim {

enum class ValueType { Int, Double, Bool, Id };

struct ValueRef {
    ValueType type;
    void* address; // the live value
};

// "I_RECMON", "I_FOLDERCOMPACT", "I_FOLDERDEPTH" (int), "D_VOL", "D_PAN" (double), "GUID" (16 bytes).
std::optional<ValueRef> trackValue(Track& track, const char* name);
// "B_MUTE" (bool), "D_VOL" (double). "P_DESTTRACK" is not a stored value: the host returns the track itself.
std::optional<ValueRef> sendValue(Send& send, const char* name);

// Copies one value of the ref's type from `from`.
void assignValue(const ValueRef& ref, const void* from);
// The value at `from`, read as `type`, for the call log.
std::string formatValue(ValueType type, const void* from);

} // namespace hostsim
