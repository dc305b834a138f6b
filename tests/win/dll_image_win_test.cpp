// Reads the plug-in DLL's own export and import tables: one export, and no MinGW runtime DLL to ship beside
// it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace {

class DllImage : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = LoadLibraryExA(TAMSEL_PLUGIN_FILE, nullptr, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_NE(m_module, nullptr);
        m_base = reinterpret_cast<const unsigned char*>(m_module);
        auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(m_base);
        ASSERT_EQ(dos->e_magic, WORD{IMAGE_DOS_SIGNATURE});
        m_nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(m_base + dos->e_lfanew);
        ASSERT_EQ(m_nt->Signature, DWORD{IMAGE_NT_SIGNATURE});
    }
    void TearDown() override {
        if (m_module)
            FreeLibrary(m_module);
    }
    const IMAGE_DATA_DIRECTORY& directory(int index) const {
        return m_nt->OptionalHeader.DataDirectory[index];
    }
    template <typename T> const T* at(DWORD rva) const { return reinterpret_cast<const T*>(m_base + rva); }

    HMODULE m_module = nullptr;
    const unsigned char* m_base = nullptr;
    const IMAGE_NT_HEADERS64* m_nt = nullptr;
};

TEST_F(DllImage, IsA64BitDll) {
    EXPECT_EQ(m_nt->FileHeader.Machine, WORD{IMAGE_FILE_MACHINE_AMD64});
    EXPECT_TRUE(m_nt->FileHeader.Characteristics & IMAGE_FILE_DLL);
}

TEST_F(DllImage, ExportsOnlyTheEntryPoint) {
    const auto& dir = directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
    ASSERT_NE(dir.VirtualAddress, 0u);
    auto exports = at<IMAGE_EXPORT_DIRECTORY>(dir.VirtualAddress);
    std::vector<std::string> names;
    auto nameRvas = at<DWORD>(exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.emplace_back(at<char>(nameRvas[i]));
    EXPECT_EQ(names, std::vector<std::string>{"ReaperPluginEntry"});
    EXPECT_EQ(exports->NumberOfFunctions, 1u);
    EXPECT_STREQ(at<char>(exports->Name), "reaper_tamsel-x64.dll") << "the name REAPER loads";
}

TEST_F(DllImage, ImportsOnlySystemLibraries) {
    const auto& dir = directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    ASSERT_NE(dir.VirtualAddress, 0u);
    const std::set<std::string> allowed = {"kernel32.dll", "msvcrt.dll",   "user32.dll", "gdi32.dll",
                                           "comctl32.dll", "advapi32.dll", "winmm.dll"};
    std::vector<std::string> imported;
    for (auto d = at<IMAGE_IMPORT_DESCRIPTOR>(dir.VirtualAddress); d->Name != 0; ++d) {
        std::string name = at<char>(d->Name);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        imported.push_back(name);
    }
    EXPECT_FALSE(imported.empty());
    for (const auto& name : imported)
        EXPECT_TRUE(allowed.count(name)) << "unexpected import " << name;
}

} // namespace
