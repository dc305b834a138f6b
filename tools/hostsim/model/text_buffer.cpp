#include "hostsim/model/text_buffer.h"

#include <algorithm>
#include <cstring>

namespace hostsim {

void copyText(const std::string& text, char* buffer, int size) {
    if (!buffer || size < 1)
        return;
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

} // namespace hostsim
