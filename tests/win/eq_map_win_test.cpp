// Loading EQ maps from a real folder through the Windows directory search and the C runtime.
#include "eq_map_loader.h"
#include "host_api.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : m_handle(h) {}
    ~Handle() {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// A host program folder of our own under %TEMP%, with its map folder; removed again afterwards.
class HostFolder {
public:
    HostFolder() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        m_root = std::string(temp) + "tamsel-eqmap-" + std::to_string(GetCurrentProcessId());
        m_host = m_root + "\\REAPER";
        m_maps = m_host + "\\InstallData\\Data\\CC121\\";
        for (const std::string& dir : {m_root, m_host, m_host + "\\InstallData",
                                       m_host + "\\InstallData\\Data", m_host + "\\InstallData\\Data\\CC121"})
            makeDir(dir);
    }
    ~HostFolder() {
        for (auto it = m_files.rbegin(); it != m_files.rend(); ++it)
            DeleteFileA(it->c_str());
        for (auto it = m_dirs.rbegin(); it != m_dirs.rend(); ++it)
            RemoveDirectoryA(it->c_str());
    }
    HostFolder(const HostFolder&) = delete;
    HostFolder& operator=(const HostFolder&) = delete;

    const std::string& host() const { return m_host; }
    const std::string& maps() const { return m_maps; }
    void write(const std::string& name, const std::string& content) {
        const std::string path = m_maps + name;
        Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
        ASSERT_NE(file.get(), INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        m_files.push_back(path);
    }
    void makeDir(const std::string& path) {
        CreateDirectoryA(path.c_str(), nullptr);
        m_dirs.push_back(path);
    }
    // The map files in the order the directory search lists them.
    std::vector<std::string> searchOrder() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((m_maps + "*.eqmap").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(data.cFileName);
        } while (FindNextFileA(find, &data));
        FindClose(find);
        return names;
    }

private:
    std::string m_root, m_host, m_maps;
    std::vector<std::string> m_files, m_dirs;
};

std::vector<std::string> ids(const EqMapList& maps) {
    std::vector<std::string> out;
    for (const EqMap& m : maps)
        out.push_back(m.id);
    return out;
}

class EqMapFolder : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder.write("one.eqmap", "ID=Same EQ\r\nQ1=1\r\nQS=2.5\r\n");
        m_folder.write("two.eqmap", "ID=Same EQ\nQ1=2\n");
        m_folder.write("three.eqmap", "# a comment\nID=Other EQ\nBP=9\n");
        m_folder.write("locked.eqmap", "ID=Locked\n");
        m_folder.write("readme.txt", "ID=Text\n");
        m_folder.write("old.eqmap.bak", "ID=Backup\n");
        m_folder.makeDir(m_folder.maps() + "folder.eqmap");
    }
    void TearDown() override { host::unbindFunctions(); }

    // What loading must give: every listed map file but the locked one, in the search's order.
    std::vector<std::string> expectedIds() const {
        std::vector<std::string> out;
        for (const std::string& name : m_folder.searchOrder()) {
            if (name == "one.eqmap" || name == "two.eqmap") {
                out.push_back("Same EQ");
            } else if (name == "three.eqmap") {
                out.push_back("Other EQ");
            } else {
                EXPECT_EQ(name, "locked.eqmap") << "the search listed a file that is no map";
            }
        }
        return out;
    }

    HostFolder m_folder;
};

TEST_F(EqMapFolder, LoadsEveryReadableMapInSearchOrder) {
    // Held open without sharing: the loader cannot open it and must skip it.
    Handle lock(CreateFileA((m_folder.maps() + "locked.eqmap").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);

    const EqMapList maps = loadEqMapsFrom(m_folder.host().c_str());
    EXPECT_EQ(ids(maps), expectedIds());
    ASSERT_EQ(maps.size(), 3u);

    // The two maps of the same id are both kept, in search order; the first one listed is the one used.
    const std::vector<std::string> order = m_folder.searchOrder();
    const bool oneFirst = std::find(order.begin(), order.end(), "one.eqmap") <
                          std::find(order.begin(), order.end(), "two.eqmap");
    const EqMap& first =
        *std::find_if(maps.begin(), maps.end(), [](const EqMap& m) { return m.id == "Same EQ"; });
    EXPECT_EQ(first.q[0], oneFirst ? 1 : 2);
    if (oneFirst) {
        EXPECT_EQ(first.qScale, 2.0);
    }
}

TEST_F(EqMapFolder, LoadEqMapsReadsTheHostsFolder) {
    static std::string g_hostFolder;
    g_hostFolder = m_folder.host();
    host::GetExePath = [] {
        return g_hostFolder.c_str();
    };
    const std::vector<std::string> loaded = ids(LoadEqMaps());
    EXPECT_EQ(loaded.size(), 4u);
    EXPECT_NE(std::find(loaded.begin(), loaded.end(), "Locked"), loaded.end()) << "loads once it is unlocked";
}

TEST_F(EqMapFolder, NoMapFolderGivesThePlaceholder) {
    const std::string elsewhere = m_folder.host() + "\\InstallData";
    EXPECT_EQ(loadEqMapsFrom(elsewhere.c_str()), EqMapList{EqMap{}});
}

TEST_F(EqMapFolder, AHostFolderTooLongForThePathLimitLoadsNothing) {
    const std::string longFolder = m_folder.host() + "\\" + std::string(MAX_PATH, 'x');
    EXPECT_EQ(loadEqMapsFrom(longFolder.c_str()), EqMapList{EqMap{}});
}

} // namespace
