// Names of the objects every process of the prefix shares. The layout version is part of each name, so two
// driver builds with different layouts never meet.
#pragma once

namespace wineloop {

inline constexpr wchar_t kAreaName[] = L"wineloop-midi-v1-area";
inline constexpr wchar_t kMutexName[] = L"wineloop-midi-v1-lock";
// Followed by the port index.
inline constexpr wchar_t kSpaceEventPrefix[] = L"wineloop-midi-v1-space-";
// Followed by "<port>-<slot>-<generation>".
inline constexpr wchar_t kDataEventPrefix[] = L"wineloop-midi-v1-data-";

} // namespace wineloop
