// Titles of the host's track windows: every shape the surface searches for, and names too long for them.
#include "window_titles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string title(TrackWindow window, int n, const char* name, bool folder) {
    // Exactly the size the surface uses, on the heap, so a write past it is caught.
    std::vector<char> buffer(kWindowTitleSize, '#');
    const char* result = buildWindowTitle(window, n, name, folder, buffer.data(), buffer.size());
    EXPECT_EQ(result, buffer.data());
    EXPECT_NE(std::memchr(buffer.data(), '\0', buffer.size()), nullptr) << "not terminated";
    return buffer.data();
}

struct TitleCase {
    TrackWindow window;
    int n;
    const char* name;
    bool folder;
    const char* expected;
};

TEST(WindowTitles, EveryShapeOfTrackAndMasterTitles) {
    const TitleCase cases[] = {
        {TrackWindow::Routing, 3, "Bass", false, "Routing for track 3 \"Bass\""},
        {TrackWindow::FxChain, 3, "Bass", false, "FX: Track 3 \"Bass\""},
        {TrackWindow::FxBrowser, 3, "Bass", false, "Add FX to: Track 3 \"Bass\""},
        // Unnamed: the routing window still shows empty quotation marks, the FX windows none.
        {TrackWindow::Routing, 3, "", false, "Routing for track 3 \"\""},
        {TrackWindow::Routing, 3, nullptr, false, "Routing for track 3 \"\""},
        {TrackWindow::FxChain, 3, "", false, "FX: Track 3"},
        {TrackWindow::FxChain, 3, nullptr, false, "FX: Track 3"},
        {TrackWindow::FxBrowser, 3, "", false, "Add FX to: Track 3"},
        {TrackWindow::FxBrowser, 3, nullptr, false, "Add FX to: Track 3"},
        // Folders: the suffix follows the closing quotation mark, or the number when there is none.
        {TrackWindow::Routing, 3, "Bass", true, "Routing for track 3 \"Bass\" (folder)"},
        {TrackWindow::FxChain, 3, "Bass", true, "FX: Track 3 \"Bass\" (folder)"},
        {TrackWindow::FxBrowser, 3, "Bass", true, "Add FX to: Track 3 \"Bass\" (folder)"},
        {TrackWindow::Routing, 3, "", true, "Routing for track 3 \"\" (folder)"},
        {TrackWindow::FxChain, 3, "", true, "FX: Track 3 (folder)"},
        {TrackWindow::FxBrowser, 3, nullptr, true, "Add FX to: Track 3 (folder)"},
        // Names are copied as they are, quotation marks and spaces included.
        {TrackWindow::FxChain, 12, " Lead \"Vox\" ", false, "FX: Track 12 \" Lead \"Vox\" \""},
        {TrackWindow::Routing, 1234, "x", false, "Routing for track 1234 \"x\""},
        // The master has fixed titles whatever its name.
        {TrackWindow::Routing, 0, "MASTER", false, "Outputs for Master Track"},
        {TrackWindow::FxChain, 0, "MASTER", false, "FX: Master Track"},
        {TrackWindow::FxBrowser, 0, nullptr, false, "Add FX to: Master Track"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(title(c.window, c.n, c.name, c.folder), c.expected)
            << static_cast<int>(c.window) << " " << c.n << " " << (c.name ? c.name : "(null)");
}

TEST(WindowTitles, LongNameIsCutSoQuoteAndFolderSuffixStay) {
    const std::string name(400, 'n');
    struct Case {
        TrackWindow window;
        bool folder;
        std::string prefix;
        std::string closing;
    };
    const Case cases[] = {
        {TrackWindow::Routing, false, "Routing for track 7 \"", "\""},
        {TrackWindow::Routing, true, "Routing for track 7 \"", "\" (folder)"},
        {TrackWindow::FxChain, true, "FX: Track 7 \"", "\" (folder)"},
        {TrackWindow::FxBrowser, false, "Add FX to: Track 7 \"", "\""},
    };
    for (const auto& c : cases) {
        // Only the name gives way: the title fills the buffer but for its terminator.
        const std::string kept(kWindowTitleSize - 1 - c.prefix.size() - c.closing.size(), 'n');
        EXPECT_EQ(title(c.window, 7, name.c_str(), c.folder), c.prefix + kept + c.closing);
    }
}

TEST(WindowTitles, NameThatJustFitsIsKeptWhole) {
    const std::string prefix = "FX: Track 7 \"";
    const std::string suffix = "\" (folder)";
    const std::string name(kWindowTitleSize - 1 - prefix.size() - suffix.size(), 'a');
    EXPECT_EQ(title(TrackWindow::FxChain, 7, name.c_str(), true), prefix + name + suffix);
}

TEST(WindowTitles, SmallBuffersAreFilledAndTerminatedButNeverOverrun) {
    for (std::size_t size : {1u, 2u, 5u, 14u, 20u}) {
        std::vector<char> buffer(size, '#');
        buildWindowTitle(TrackWindow::Routing, 3, "Bass", true, buffer.data(), buffer.size());
        EXPECT_EQ(buffer[size - 1], '\0') << size;
        EXPECT_EQ(std::string(buffer.data()),
                  std::string("Routing for track 3 \"Bass\" (folder)").substr(0, size - 1))
            << size;
    }
    std::vector<char> master(6, '#');
    buildWindowTitle(TrackWindow::FxChain, 0, nullptr, false, master.data(), master.size());
    EXPECT_STREQ(master.data(), "FX: M");
    // No room at all: nothing is written.
    char untouched = '#';
    EXPECT_EQ(buildWindowTitle(TrackWindow::FxChain, 1, "x", false, &untouched, 0), &untouched);
    EXPECT_EQ(untouched, '#');
    EXPECT_EQ(buildWindowTitle(TrackWindow::FxChain, 1, "x", false, nullptr, 10), nullptr);
}

} // namespace
