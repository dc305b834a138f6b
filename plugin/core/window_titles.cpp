#include "window_titles.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* masterTitle(TrackWindow window) {
    switch (window) {
    case TrackWindow::Routing:
        return "Outputs for Master Track";
    case TrackWindow::FxChain:
        return "FX: Master Track";
    case TrackWindow::FxBrowser:
        return "Add FX to: Master Track";
    }
    return "";
}

const char* trackPrefix(TrackWindow window) {
    switch (window) {
    case TrackWindow::Routing:
        return "Routing for track ";
    case TrackWindow::FxChain:
        return "FX: Track ";
    case TrackWindow::FxBrowser:
        return "Add FX to: Track ";
    }
    return "";
}

} // namespace

char* buildWindowTitle(TrackWindow window, int n, const char* name, bool folder, char* buffer,
                       std::size_t size) {
    if (!buffer || size == 0)
        return buffer;
    std::string title;
    if (n == 0) {
        title = masterTitle(window);
    } else {
        title = trackPrefix(window) + std::to_string(n);
        // The routing window quotes even an empty name; the FX windows leave a missing name out.
        const bool quoted = window == TrackWindow::Routing || (name && *name);
        const std::string suffix = std::string(quoted ? "\"" : "") + (folder ? " (folder)" : "");
        if (quoted) {
            title += " \"";
            std::string text = name ? name : "";
            const std::size_t room =
                size - 1 > title.size() + suffix.size() ? size - 1 - title.size() - suffix.size() : 0;
            if (text.size() > room)
                text.resize(room);
            title += text;
        }
        title += suffix;
    }
    const std::size_t length = title.size() < size - 1 ? title.size() : size - 1;
    std::memcpy(buffer, title.data(), length);
    buffer[length] = '\0';
    return buffer;
}
