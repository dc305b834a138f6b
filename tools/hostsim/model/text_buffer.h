#pragma once
// Copying host text into a caller's fixed buffer.

#include <string>

namespace hostsim {

// Writes as much of `text` as fits and always terminates it; writes nothing at all when `buffer` is null
// or `size` is below 1.
void copyText(const std::string& text, char* buffer, int size);

} // namespace hostsim
