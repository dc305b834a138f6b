#include "liveness_win32.h"

#include "handle_win32.h"

namespace wineloop {
namespace {

std::uint64_t creationTime(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

} // namespace

ProcessIdentity currentProcess() {
    return ProcessIdentity{GetCurrentProcessId(), creationTime(GetCurrentProcess())};
}

bool processIsRunning(const ProcessIdentity& process) {
    if (process.pid == GetCurrentProcessId())
        return creationTime(GetCurrentProcess()) == process.createdAt;
    UniqueHandle handle(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process.pid));
    if (!handle)
        return false;
    // A process that has ended stays signalled while anyone (say, its parent) still holds a handle to it.
    if (WaitForSingleObject(handle.get(), 0) != WAIT_TIMEOUT)
        return false;
    return creationTime(handle.get()) == process.createdAt;
}

} // namespace wineloop
