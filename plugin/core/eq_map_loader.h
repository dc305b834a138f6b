#pragma once
// Reading the map files from "<host program folder>\InstallData\Data\CC121\*.eqmap".

#include "eq_map.h"

#include <cstddef>

// Paths are held to the platform's classic limit, terminator included: a folder too long for it loads
// nothing rather than a path the directory search would cut short.
inline constexpr std::size_t kMaxPathLength = 260;

// Map files larger than this are not maps; refusing them keeps a stray file from taking the memory.
inline constexpr std::size_t kMaxEqMapFileSize = 1024 * 1024;

// Reads a whole map file and applies it onto `map`. False when the file cannot be opened, is too large or
// does not arrive whole; `map` is then unchanged.
bool LoadEqMapFile(const char* path, EqMap& map);

// Every map file in the map folder below `hostFolder` (the host's program folder, no trailing separator),
// in the order the directory search returns them; files that cannot be read are skipped. A null folder,
// or one too long for the path limit, gives no files. The result is never empty: without maps it holds one
// map with every default.
EqMapList loadEqMapsFrom(const char* hostFolder);

// loadEqMapsFrom the folder the host's GetExePath reports.
EqMapList LoadEqMaps();
