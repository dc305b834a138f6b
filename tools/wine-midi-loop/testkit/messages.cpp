#include "messages.h"

namespace wineloop::testkit {

std::uint32_t sequenceMessage(std::uint32_t number) {
    return (0x90 | ((number >> 14) & 0x0F)) | ((number & 0x7F) << 8) | (((number >> 7) & 0x7F) << 16);
}

std::vector<std::uint32_t> sequence(std::uint32_t first, std::uint32_t count) {
    std::vector<std::uint32_t> messages;
    for (std::uint32_t number = first; number < first + count; ++number)
        messages.push_back(sequenceMessage(number));
    return messages;
}

Bytes sysEx(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((seed + i) & 0x7F);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    return bytes;
}

} // namespace wineloop::testkit
