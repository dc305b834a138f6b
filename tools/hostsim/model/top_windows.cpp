#include "hostsim/model/top_windows.h"

#include <algorithm>
#include <utility>

namespace hostsim {

TopWindow& TopWindows::add(std::string title, bool visible) {
    m_windows.push_back(std::make_unique<TopWindow>(TopWindow{std::move(title), visible}));
    return *m_windows.back();
}

TopWindow* TopWindows::find(const std::string& title) {
    for (auto& w : m_windows)
        if (w->title == title)
            return w.get();
    return nullptr;
}

bool TopWindows::remove(const std::string& title) {
    const auto it = std::find_if(m_windows.begin(), m_windows.end(),
                                 [&](const std::unique_ptr<TopWindow>& w) { return w->title == title; });
    if (it == m_windows.end())
        return false;
    m_windows.erase(it);
    return true;
}

} // namespace hostsim
