// Whether the process that claimed a shared slot still exists. Processes die without telling the driver
// (it never gets an exit message), so their slots are reclaimed when found dead.
#pragma once

#include <cstdint>

namespace wineloop {

struct ProcessIdentity {
    std::uint32_t pid;
    std::uint64_t createdAt;
};

ProcessIdentity currentProcess();
bool processIsRunning(const ProcessIdentity& process);

} // namespace wineloop
