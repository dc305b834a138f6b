#include "plugin_loader_posix.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include <dirent.h>
#include <dlfcn.h>

namespace hostsim {
namespace {

using EntryProc = int (*)(HINSTANCE, reaper_plugin_info_t*);
using SwellMainProc = int (*)(HINSTANCE, unsigned int, void*);
constexpr unsigned int kProcessDetach = 0; // DLL_PROCESS_DETACH
constexpr unsigned int kProcessAttach = 1; // DLL_PROCESS_ATTACH

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

template <class T> T symbolOf(void* module, const char* name) {
    return reinterpret_cast<T>(dlsym(module, name));
}

std::string lowered(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> extensionFiles(const std::string& folder) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir.get()))
        if (entry->d_type != DT_DIR && isLinuxExtensionFileName(entry->d_name))
            names.emplace_back(entry->d_name);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

bool isLinuxExtensionFileName(const std::string& name) {
    static const std::string kPrefix = "reaper_";
    static const std::string kSuffix = ".so";
    return name.size() >= kPrefix.size() + kSuffix.size() &&
           lowered(name.substr(0, kPrefix.size())) == kPrefix &&
           name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0;
}

std::vector<LoadedPlugin> loadLinuxUserPlugins(const std::string& resourceFolder, reaper_plugin_info_t& info,
                                               SwellHandover swell, void* (*swellGetFunc)(const char*),
                                               Registrations& registrations, std::FILE* report) {
    std::vector<LoadedPlugin> loaded;
    const std::string folder = resourceFolder + "/UserPlugins";
    const std::vector<std::string> names = extensionFiles(folder);
    if (names.empty())
        std::fprintf(report, "hostsim: no reaper_*.so in %s\n", folder.c_str());
    for (const std::string& name : names) {
        void* module = dlopen((folder + "/" + name).c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            std::fprintf(report, "hostsim: cannot load UserPlugins/%s (%s)\n", name.c_str(), dlerror());
            continue;
        }
        const auto entry = symbolOf<EntryProc>(module, "ReaperPluginEntry");
        if (!entry) {
            std::fprintf(report, "hostsim: UserPlugins/%s has no ReaperPluginEntry\n", name.c_str());
            dlclose(module);
            continue;
        }
        if (const auto swellMain = symbolOf<SwellMainProc>(module, "SWELL_dllMain")) {
            if (swell == SwellHandover::Getter)
                swellMain(module, kProcessAttach, reinterpret_cast<void*>(swellGetFunc));
            else if (swell == SwellHandover::NullGetter)
                swellMain(module, kProcessAttach, nullptr);
        }
        registrations.setOwner(name);
        const int result = entry(module, &info);
        registrations.setOwner(std::string());
        std::fprintf(report, "hostsim: UserPlugins/%s: ReaperPluginEntry returned %d\n", name.c_str(),
                     result);
        if (result == 0) {
            // Nothing may point into a library that goes.
            if (const int withdrawn = registrations.withdrawAll(name))
                std::fprintf(report, "hostsim: withdrew %d registration(s) of UserPlugins/%s\n", withdrawn,
                             name.c_str());
            dlclose(module);
            continue;
        }
        loaded.push_back({name, module, result});
    }
    return loaded;
}

UnloadReport unloadLinuxUserPlugins(std::vector<LoadedPlugin>& plugins, Registrations& registrations) {
    UnloadReport report;
    std::vector<std::string> paths;
    for (auto it = plugins.rbegin(); it != plugins.rend(); ++it) {
        Dl_info where{};
        const auto entry = symbolOf<EntryProc>(it->module, "ReaperPluginEntry");
        if (entry && dladdr(reinterpret_cast<void*>(entry), &where) && where.dli_fname)
            paths.emplace_back(where.dli_fname);
        if (entry)
            entry(it->module, nullptr);
        if (const auto swellMain = symbolOf<SwellMainProc>(it->module, "SWELL_dllMain"))
            swellMain(it->module, kProcessDetach, nullptr);
        for (const std::string& line : registrations.held())
            if (line.rfind("csurf ", 0) != 0)
                report.leftBehind.push_back(it->file + ": " + line);
        registrations.withdrawAll(it->file);
        dlclose(it->module);
    }
    plugins.clear();
    for (const std::string& path : paths)
        if (void* again = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
            ++report.stillMapped;
            dlclose(again);
        }
    return report;
}

} // namespace hostsim
