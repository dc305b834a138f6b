#pragma once
// Reading the map files from "<host program folder>\InstallData\Data\CC121\*.eqmap" and from
// "<host resource folder>\Data\CC121\*.eqmap" (per user, writable, kept across host updates).

#include "eq_map.h"

#include <cstddef>
#include <string>
#include <vector>

// Paths are held to the platform's classic limit, terminator included: a folder too long for it loads
// nothing rather than a path the directory search would cut short.
inline constexpr std::size_t kMaxPathLength = 260;

// Map files larger than this are not maps; refusing them keeps a stray file from taking the memory.
inline constexpr std::size_t kMaxEqMapFileSize = 1024 * 1024;

// Reads a whole map file and applies it onto `map`. False when the file cannot be opened, is too large or
// does not arrive whole; `map` is then unchanged.
bool LoadEqMapFile(const char* path, EqMap& map);

// Every map file in the map folder below `programFolder` (the host's program folder, no trailing
// separator), then every one below `resourceFolder` (the host's resource folder), each folder in the order
// the directory search returns its files; files that cannot be read are skipped. A null or empty folder,
// or one too long for the path limit, gives no files. The first map of a name wins, so the program
// folder's come first. The result is never empty: without maps it holds one map with every default. The
// paths of files that could not be read are added to `unreadable` when it is given.
EqMapList loadEqMapsFrom(const char* programFolder, const char* resourceFolder = nullptr,
                         std::vector<std::string>* unreadable = nullptr);

// loadEqMapsFrom the folders the host's GetExePath and (when the host has it) GetResourcePath report.
EqMapList LoadEqMaps(std::vector<std::string>* unreadable = nullptr);
