#pragma once
// Titles of the host's per-track windows, as the host words them, so the surface can find them.

#include <cstddef>

enum class TrackWindow { Routing, FxChain, FxBrowser };

inline constexpr std::size_t kWindowTitleSize = 256;

// Builds the title of `window` for track id `n` (0 = master) with the host's track name (may be null) and
// folder flag into `buffer`. Always terminated and never longer than `size` - 1; an over-long name is cut
// so the closing quotation mark and " (folder)" still fit. Returns the buffer.
char* buildWindowTitle(TrackWindow window, int n, const char* name, bool folder, char* buffer,
                       std::size_t size);
