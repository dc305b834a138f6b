#pragma once
// The host's top-level windows by title (routing, FX chain and FX browser windows of tracks), which a
// surface finds by exact title.

#include <memory>
#include <string>
#include <vector>

namespace hostsim {

struct TopWindow {
    std::string title;
    bool visible = true;
};

class TopWindows {
public:
    // A window keeps its address until it is removed.
    TopWindow& add(std::string title, bool visible = true);
    // The first window with exactly this title, or null.
    TopWindow* find(const std::string& title);
    bool remove(const std::string& title);
    int count() const { return static_cast<int>(m_windows.size()); }

private:
    std::vector<std::unique_ptr<TopWindow>> m_windows;
};

} // namespace hostsim
