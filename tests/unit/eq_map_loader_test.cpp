// Finding and reading the map files: folder, pattern, load order, skipped files, path limits.
//
// Paths are built with the host's backslashes. On Linux a backslash is an ordinary file-name character,
// so "<dir>/host\InstallData\Data\CC121\a.eqmap" is a single file in <dir>: the tests create exactly the
// paths the loader opens.
#include "eq_map_loader.h"
#include "host_api.h"
#include "platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class FakePlatform final : public tamsel::Platform {
public:
    std::uint32_t nowMs() override { return 0; }
    void pauseMs(std::uint32_t) override {}
    std::vector<std::string> listFiles(const std::string& pattern) override {
        patterns.push_back(pattern);
        return names;
    }
    void turnMouseWheel(int) override {}
    void* findDialogWindow(const char*) override { return nullptr; }
    bool isWindowVisible(void*) override { return false; }
    void closeWindow(void*) override {}

    std::vector<std::string> names;
    std::vector<std::string> patterns;
};

class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/eqmap-test-XXXXXX";
        if (mkdtemp(name))
            m_path = name;
    }
    ~TempDir() {
        for (const std::string& f : m_files)
            std::remove(f.c_str());
        rmdir(m_path.c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    void write(const std::string& file, const std::string& content) {
        std::FILE* f = std::fopen(file.c_str(), "wb");
        ASSERT_NE(f, nullptr) << file;
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
        m_files.push_back(file);
    }

private:
    std::string m_path;
    std::vector<std::string> m_files;
};

const char* const kSubfolder = "\\InstallData\\Data\\CC121\\";

class EqMapLoading : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_dir.path().empty());
        m_previous = tamsel::setPlatform(&m_platform);
        m_host = m_dir.path() + "/host";
    }
    void TearDown() override {
        tamsel::setPlatform(m_previous);
        host::unbindFunctions();
    }
    std::string mapPath(const std::string& name) const { return m_host + kSubfolder + name; }
    void addMap(const std::string& name, const std::string& content) {
        m_dir.write(mapPath(name), content);
        m_platform.names.push_back(name);
    }
    static std::vector<std::string> ids(const EqMapList& maps) {
        std::vector<std::string> out;
        for (const EqMap& m : maps)
            out.push_back(m.id);
        return out;
    }

    TempDir m_dir;
    FakePlatform m_platform;
    tamsel::Platform* m_previous = nullptr;
    std::string m_host;
};

TEST_F(EqMapLoading, SearchesTheMapFolderOfTheHost) {
    loadEqMapsFrom(m_host.c_str());
    EXPECT_EQ(m_platform.patterns, std::vector<std::string>{m_host + "\\InstallData\\Data\\CC121\\*.eqmap"});
}

// The program folder's maps come first, so they win by name; a resource folder that is null, empty or too
// long for the path limit adds nothing and costs the program folder nothing.
TEST_F(EqMapLoading, ReadsTheResourceFolderAfterTheProgramFolder) {
    const std::string resource = m_dir.path() + "/res";
    addMap("a.eqmap", "ID=A\n");
    m_dir.write(resource + "\\Data\\CC121\\b.eqmap", "ID=B\n");
    m_platform.names.push_back("b.eqmap"); // each folder lists both; each holds one
    EXPECT_EQ(ids(loadEqMapsFrom(m_host.c_str(), resource.c_str())), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(m_platform.patterns.back(), resource + "\\Data\\CC121\\*.eqmap");
    for (const std::string& bad : {std::string(), std::string(kMaxPathLength, 'r')}) {
        m_platform.patterns.clear();
        EXPECT_EQ(ids(loadEqMapsFrom(m_host.c_str(), bad.c_str())), std::vector<std::string>{"A"});
        EXPECT_EQ(m_platform.patterns.size(), 1u);
    }
    EXPECT_EQ(ids(loadEqMapsFrom(nullptr, resource.c_str())), std::vector<std::string>{"B"});
}

TEST_F(EqMapLoading, KeepsTheOrderOfTheSearch) {
    addMap("b.eqmap", "ID=B\nQ1=2\n");
    addMap("a.eqmap", "ID=A\nQ1=1\n");
    addMap("c.eqmap", "ID=C\r\nQ1=3\r\n");
    const EqMapList maps = loadEqMapsFrom(m_host.c_str());
    EXPECT_EQ(ids(maps), (std::vector<std::string>{"B", "A", "C"}));
    ASSERT_EQ(maps.size(), 3u);
    EXPECT_EQ(maps[2].q[0], 3);
}

TEST_F(EqMapLoading, KeepsBothMapsOfTheSameIdInOrder) {
    addMap("first.eqmap", "ID=Same\nQ1=1\n");
    addMap("second.eqmap", "ID=Same\nQ1=2\n");
    const EqMapList maps = loadEqMapsFrom(m_host.c_str());
    ASSERT_EQ(maps.size(), 2u);
    EXPECT_EQ(maps[0].q[0], 1);
    EXPECT_EQ(maps[1].q[0], 2);
}

TEST_F(EqMapLoading, SkipsFilesThatCannotBeRead) {
    addMap("a.eqmap", "ID=A\n");
    m_platform.names.push_back("vanished.eqmap"); // listed, but gone when opened
    addMap("b.eqmap", "ID=B\n");
    EXPECT_EQ(ids(loadEqMapsFrom(m_host.c_str())), (std::vector<std::string>{"A", "B"}));
}

TEST_F(EqMapLoading, AFileWithoutIdLoadsWithAnEmptyId) {
    addMap("a.eqmap", "");
    addMap("b.eqmap", "Q1=4\n");
    const EqMapList maps = loadEqMapsFrom(m_host.c_str());
    ASSERT_EQ(maps.size(), 2u);
    EXPECT_EQ(maps[0], EqMap{});
    EXPECT_EQ(maps[1].id, "");
    EXPECT_EQ(maps[1].q[0], 4);
}

TEST_F(EqMapLoading, WithoutFilesHoldsThePlaceholder) {
    EXPECT_EQ(loadEqMapsFrom(m_host.c_str()), EqMapList{EqMap{}});
    m_platform.names = {"missing.eqmap"};
    EXPECT_EQ(loadEqMapsFrom(m_host.c_str()), EqMapList{EqMap{}});
}

TEST_F(EqMapLoading, WithoutHostFolderSearchesNothing) {
    addMap("a.eqmap", "ID=A\n");
    EXPECT_EQ(loadEqMapsFrom(nullptr), EqMapList{EqMap{}});
    EXPECT_TRUE(m_platform.patterns.empty());
}

TEST_F(EqMapLoading, AFolderTooLongForThePathLimitLoadsNothing) {
    // The pattern is the longest path built: host + "\InstallData\Data\CC121\*.eqmap".
    const std::size_t fixed = std::string(kSubfolder).size() + std::string("*.eqmap").size();
    const std::string longest(kMaxPathLength - 1 - fixed, 'x');
    EXPECT_EQ(loadEqMapsFrom(longest.c_str()), EqMapList{EqMap{}});
    ASSERT_EQ(m_platform.patterns.size(), 1u);
    EXPECT_EQ(m_platform.patterns[0].size(), kMaxPathLength - 1);

    const std::string tooLong(kMaxPathLength - fixed, 'x');
    EXPECT_EQ(loadEqMapsFrom(tooLong.c_str()), EqMapList{EqMap{}});
    EXPECT_EQ(m_platform.patterns.size(), 1u) << "no search for a pattern past the limit";
}

TEST_F(EqMapLoading, AFilePathPastTheLimitIsSkipped) {
    const std::size_t folder = m_host.size() + std::string(kSubfolder).size();
    ASSERT_LT(folder + 10, kMaxPathLength);
    const std::string fits = std::string(kMaxPathLength - 1 - folder - 6, 'f') + ".eqmap";
    const std::string tooLong = std::string(kMaxPathLength - folder - 6, 'g') + ".eqmap";
    addMap(fits, "ID=Fits\n");
    addMap(tooLong, "ID=TooLong\n");
    EXPECT_EQ(ids(loadEqMapsFrom(m_host.c_str())), std::vector<std::string>{"Fits"});
}

TEST_F(EqMapLoading, LoadEqMapsAsksTheHostForItsFolder) {
    static std::string s_folder;
    s_folder = m_host;
    addMap("a.eqmap", "ID=A\n");
    host::GetExePath = [] {
        return s_folder.c_str();
    };
    EXPECT_EQ(ids(LoadEqMaps()), std::vector<std::string>{"A"});

    host::GetExePath = []() -> const char* {
        return nullptr;
    };
    EXPECT_EQ(LoadEqMaps(), EqMapList{EqMap{}});
    host::GetExePath = nullptr;
    EXPECT_EQ(LoadEqMaps(), EqMapList{EqMap{}});
    host::GetResourcePath = [] {
        return s_folder.c_str(); // no Data\CC121 maps there: only the asking is seen
    };
    LoadEqMaps();
    EXPECT_EQ(m_platform.patterns.back(), m_host + "\\Data\\CC121\\*.eqmap");
}

class EqMapFileReading : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(m_dir.path().empty()); }
    TempDir m_dir;
};

TEST_F(EqMapFileReading, AppliesTheFileOntoTheGivenMap) {
    const std::string path = m_dir.path() + "/x.eqmap";
    m_dir.write(path, "ID=X\nQ2=5\n");
    EqMap map;
    map.q[0] = 9;
    ASSERT_TRUE(LoadEqMapFile(path.c_str(), map));
    EXPECT_EQ(map.id, "X");
    EXPECT_EQ(map.q[0], 9);
    EXPECT_EQ(map.q[1], 5);
}

TEST_F(EqMapFileReading, AnEmptyFileIsReadWhole) {
    const std::string path = m_dir.path() + "/empty.eqmap";
    m_dir.write(path, "");
    EqMap map;
    EXPECT_TRUE(LoadEqMapFile(path.c_str(), map));
    EXPECT_EQ(map, EqMap{});
}

TEST_F(EqMapFileReading, FailsWithoutChangingTheMap) {
    EqMap map;
    map.id = "Kept";
    EXPECT_FALSE(LoadEqMapFile((m_dir.path() + "/missing.eqmap").c_str(), map));
    EXPECT_FALSE(LoadEqMapFile(nullptr, map));
    EXPECT_FALSE(LoadEqMapFile(m_dir.path().c_str(), map)) << "a folder is no map file";
    EXPECT_EQ(map.id, "Kept");
}

TEST_F(EqMapFileReading, RefusesFilesLargerThanAnyMap) {
    const std::string atLimit = m_dir.path() + "/limit.eqmap";
    const std::string past = m_dir.path() + "/past.eqmap";
    std::string content = "ID=Big\n";
    content.resize(kMaxEqMapFileSize, ' ');
    m_dir.write(atLimit, content);
    content += ' ';
    m_dir.write(past, content);
    EqMap map;
    EXPECT_TRUE(LoadEqMapFile(atLimit.c_str(), map));
    EXPECT_EQ(map.id, "Big");
    EqMap untouched;
    EXPECT_FALSE(LoadEqMapFile(past.c_str(), untouched));
    EXPECT_EQ(untouched, EqMap{});
}

} // namespace
