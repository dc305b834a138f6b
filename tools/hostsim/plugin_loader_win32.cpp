#include "plugin_loader_win32.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace hostsim {
namespace {

using EntryProc = int (*)(HINSTANCE, reaper_plugin_info_t*);

struct FindCloser {
    void operator()(HANDLE h) const {
        if (h != INVALID_HANDLE_VALUE)
            FindClose(h);
    }
};

bool equalNoCase(const std::string& text, std::size_t at, const char* word) {
    for (std::size_t i = 0; word[i] != '\0'; ++i) {
        if (at + i >= text.size() ||
            std::tolower(static_cast<unsigned char>(text[at + i])) != static_cast<unsigned char>(word[i]))
            return false;
    }
    return true;
}

std::string lowered(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

EntryProc entryOf(HMODULE module) {
    return reinterpret_cast<EntryProc>(reinterpret_cast<void*>(GetProcAddress(module, "ReaperPluginEntry")));
}

std::vector<std::string> extensionFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const std::unique_ptr<void, FindCloser> search(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (search.get() == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && isExtensionFileName(found.cFileName))
            names.emplace_back(found.cFileName);
    } while (FindNextFileA(search.get(), &found));
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return lowered(a) < lowered(b); });
    return names;
}

} // namespace

bool isExtensionFileName(const std::string& name) {
    static const char kPrefix[] = "reaper_";
    static const char kSuffix[] = ".dll";
    const std::size_t prefix = sizeof kPrefix - 1;
    const std::size_t suffix = sizeof kSuffix - 1;
    return name.size() >= prefix + suffix && equalNoCase(name, 0, kPrefix) &&
           equalNoCase(name, name.size() - suffix, kSuffix);
}

std::vector<LoadedPlugin> loadUserPlugins(const std::string& resourceFolder, reaper_plugin_info_t& info,
                                          std::FILE* report, Registrations* registrations) {
    std::vector<LoadedPlugin> loaded;
    const std::string folder = resourceFolder + "\\UserPlugins";
    const std::vector<std::string> names = extensionFiles(folder);
    if (names.empty())
        std::fprintf(report, "hostsim: no reaper_*.dll in %s\n", folder.c_str());
    for (const std::string& name : names) {
        HMODULE module = LoadLibraryA((folder + "\\" + name).c_str());
        if (!module) {
            std::fprintf(report, "hostsim: cannot load UserPlugins\\%s (error %lu)\n", name.c_str(),
                         GetLastError());
            continue;
        }
        const EntryProc entry = entryOf(module);
        if (!entry) {
            std::fprintf(report, "hostsim: UserPlugins\\%s has no ReaperPluginEntry\n", name.c_str());
            FreeLibrary(module);
            continue;
        }
        if (registrations)
            registrations->setOwner(name);
        const int result = entry(reinterpret_cast<HINSTANCE>(module), &info);
        if (registrations)
            registrations->setOwner(std::string());
        std::fprintf(report, "hostsim: UserPlugins\\%s: ReaperPluginEntry returned %d\n", name.c_str(),
                     result);
        if (result == 0) {
            const int withdrawn = registrations ? registrations->withdrawAll(name) : 0;
            if (withdrawn > 0)
                std::fprintf(report, "hostsim: withdrew %d registration(s) of UserPlugins\\%s\n", withdrawn,
                             name.c_str());
            FreeLibrary(module);
            continue;
        }
        loaded.push_back({name, module, result});
    }
    return loaded;
}

void unloadUserPlugins(std::vector<LoadedPlugin>& plugins) {
    for (auto it = plugins.rbegin(); it != plugins.rend(); ++it) {
        if (const EntryProc entry = entryOf(it->module))
            entry(reinterpret_cast<HINSTANCE>(it->module), nullptr);
        FreeLibrary(it->module);
    }
    plugins.clear();
}

} // namespace hostsim
