#include "eq_map_loader.h"

#include "host_api.h"
#include "platform.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

constexpr const char* kProgramMapSubfolder = "\\InstallData\\Data\\CC121\\";
constexpr const char* kResourceMapSubfolder = "\\Data\\CC121\\";
constexpr const char* kMapPattern = "*.eqmap";

bool fitsPathLimit(const std::string& path) {
    return path.size() < kMaxPathLength;
}

} // namespace

bool LoadEqMapFile(const char* path, EqMap& map) {
    if (path == nullptr)
        return false;
    File file(std::fopen(path, "rb"));
    if (!file)
        return false;
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return false;
    const long size = std::ftell(file.get());
    if (size < 0 || static_cast<unsigned long>(size) > kMaxEqMapFileSize)
        return false;
    if (std::fseek(file.get(), 0, SEEK_SET) != 0)
        return false;
    std::vector<char> content(static_cast<std::size_t>(size));
    if (!content.empty() && std::fread(content.data(), 1, content.size(), file.get()) != content.size())
        return false;
    applyEqMapText(map, content.data(), content.size());
    return true;
}

namespace {

// An empty folder would turn the subfolder into a path from the drive's root: no maps from it.
void appendEqMapsFrom(EqMapList& maps, const char* hostFolder, const char* subfolder,
                      std::vector<std::string>* unreadable) {
    if (hostFolder == nullptr || *hostFolder == '\0')
        return;
    const std::string folder = std::string(hostFolder) + subfolder;
    const std::string pattern = folder + kMapPattern;
    if (!fitsPathLimit(pattern))
        return;
    for (const std::string& name : tamsel::platform().listFiles(pattern)) {
        const std::string path = folder + name;
        EqMap map;
        if (fitsPathLimit(path) && LoadEqMapFile(path.c_str(), map))
            maps.push_back(std::move(map));
        else if (unreadable)
            unreadable->push_back(path);
    }
}

} // namespace

EqMapList loadEqMapsFrom(const char* programFolder, const char* resourceFolder,
                         std::vector<std::string>* unreadable) {
    EqMapList maps;
    appendEqMapsFrom(maps, programFolder, kProgramMapSubfolder, unreadable);
    appendEqMapsFrom(maps, resourceFolder, kResourceMapSubfolder, unreadable);
    if (maps.empty())
        maps.emplace_back(); // the placeholder: every control finds index -1
    return maps;
}

EqMapList LoadEqMaps(std::vector<std::string>* unreadable) {
    return loadEqMapsFrom(host::GetExePath ? host::GetExePath() : nullptr,
                          host::GetResourcePath ? host::GetResourcePath() : nullptr, unreadable);
}
