// The running program started again as a child in some mode, to play another application of the prefix:
//   program --loop-child MODE READY_EVENT PARENT_ID
// The child sets the named event once it is set up, and never outlives its parent.
#pragma once

#include <windows.h>

#include <string>

namespace wineloop::testkit {

class ChildProcess {
public:
    explicit ChildProcess(const std::wstring& mode);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // True once the child says it is set up; false if it died or took too long.
    bool waitReady();
    // Why the child did not start (GetLastError of the last attempt), 0 when it did.
    DWORD startError() const { return m_startError; }
    void kill();
    // The exit code, or STILL_ACTIVE if it did not end in time.
    DWORD waitExit();

private:
    HANDLE m_process = nullptr;
    HANDLE m_ready = nullptr;
    DWORD m_startError = 0;
};

struct ChildArguments {
    std::wstring mode;
    std::wstring readyEvent;
    DWORD parentId = 0;
};

// True when this process was started as a child; then also arranges for it to end with its parent.
bool startedAsChild(ChildArguments& arguments);
void signalReady(const ChildArguments& arguments);

} // namespace wineloop::testkit
