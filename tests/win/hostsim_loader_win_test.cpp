// hostsim finds extensions as REAPER does: only reaper_*.dll in UserPlugins, any case, each entered once;
// a file that will not load or has no entry point is reported and skipped; one whose entry fails loses
// what it registered before it is freed.
#include "hostsim/model/c_binding.h"
#include "hostsim/model/host.h"
#include "plugin_loader_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

TEST(HostsimLoader, LoadsOnlyReaperPrefixedDllsAndReportsTheBadOnes) {
    char temp[MAX_PATH] = "", self[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string bin = std::string(self).substr(0, std::string(self).find_last_of('\\'));
    const std::string resource =
        std::string(temp) + "hostsim-loader-" + std::to_string(GetCurrentProcessId());
    const std::string plugins = resource + "\\UserPlugins";
    ASSERT_TRUE(CreateDirectoryA(resource.c_str(), nullptr) && CreateDirectoryA(plugins.c_str(), nullptr));
    const std::string real = bin + "\\" TAMSEL_PLUGIN_FILE, noEntry = bin + "\\noentry_plugin.dll";
    const std::string failing = bin + "\\failing_plugin.dll";
    std::vector<std::pair<std::string, std::string>> files = {
        {real, "reaper_tamsel-x64.dll"}, {real, "REAPER_Second.DLL"},     {real, "tamsel.dll"},
        {real, "reaper_.dll.txt"},       {noEntry, "reaper_noentry.dll"}, {failing, "reaper_fails.dll"}};
    for (const auto& [from, to] : files)
        ASSERT_TRUE(CopyFileA(from.c_str(), (plugins + "\\" + to).c_str(), FALSE)) << to;
    files.push_back({"", "reaper_junk.dll"});
    std::FILE* junk = std::fopen((plugins + "\\reaper_junk.dll").c_str(), "wb");
    ASSERT_NE(junk, nullptr);
    std::fputs("not a DLL", junk);
    std::fclose(junk);

    hostsim::Host host;
    hostsim::CurrentHost current(host);
    reaper_plugin_info_t info{kReaperPluginVersion, nullptr, hostsim::registerFunc, hostsim::getFunc};
    std::FILE* report = std::tmpfile();
    std::vector<hostsim::LoadedPlugin> loaded =
        hostsim::loadUserPlugins(resource, info, report, &host.registrations());
    std::vector<std::string> names, lines;
    for (const auto& p : loaded)
        names.push_back(p.file);
    EXPECT_EQ(names, (std::vector<std::string>{"REAPER_Second.DLL", "reaper_tamsel-x64.dll"}));
    const auto types = host.registrations().surfaceTypes();
    ASSERT_EQ(types.size(), 2u) << "the failing plug-in's type was withdrawn";
    EXPECT_STREQ(types[0].type_string, "CC121");
    std::rewind(report);
    for (char line[512]; std::fgets(line, sizeof line, report);)
        lines.emplace_back(line);
    std::fclose(report);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], "hostsim: withdrew 1 registration(s) of UserPlugins\\reaper_fails.dll\n");
    EXPECT_EQ(lines[2].rfind("hostsim: cannot load UserPlugins\\reaper_junk.dll (error ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3], "hostsim: UserPlugins\\reaper_noentry.dll has no ReaperPluginEntry\n");

    hostsim::unloadUserPlugins(loaded);
    for (const auto& file : files)
        DeleteFileA((plugins + "\\" + file.second).c_str());
    RemoveDirectoryA(plugins.c_str());
    RemoveDirectoryA(resource.c_str());
}

} // namespace
