#include "short_message.h"

namespace wineloop {

int shortMessageLength(std::uint8_t status) {
    if (status < 0x80)
        return 0;
    if (status < 0xC0 || (status >= 0xE0 && status < 0xF0))
        return 3;
    if (status < 0xE0)
        return 2;
    switch (status) {
    case 0xF0: // System Exclusive start and end
    case 0xF7:
        return 0;
    case 0xF1: // MTC quarter frame
    case 0xF3: // song select
        return 2;
    case 0xF2: // song position
        return 3;
    default: // tune request, real-time and undefined statuses
        return 1;
    }
}

bool completeShortMessage(std::uint32_t packed, std::uint8_t& runningStatus, std::uint32_t& complete) {
    std::uint8_t status = static_cast<std::uint8_t>(packed & 0xFF);
    std::uint32_t data = packed >> 8;
    if (status < 0x80) {
        if (runningStatus == 0)
            return false;
        data = packed;
        status = runningStatus;
    }
    const int length = shortMessageLength(status);
    if (length == 0)
        return false;
    if (status < 0xF0)
        runningStatus = status;
    else if (status < 0xF8)
        runningStatus = 0; // system common messages cancel running status; real-time ones leave it
    const std::uint32_t dataMask = length == 3 ? 0xFFFF : length == 2 ? 0xFF : 0;
    complete = status | ((data & dataMask) << 8);
    return true;
}

} // namespace wineloop
