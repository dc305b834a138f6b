#include "child_process_win32.h"

#include "midi_clients_win32.h"

#include <cwchar>
#include <thread>

namespace wineloop::testkit {
namespace {

constexpr wchar_t kChildSwitch[] = L"--loop-child";

// Even a parent that ended itself because the driver wedged leaves no child behind.
void endWithParent(DWORD parentId) {
    HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, parentId);
    if (!parent)
        TerminateProcess(GetCurrentProcess(), 1);
    std::thread([parent] {
        WaitForSingleObject(parent, INFINITE);
        TerminateProcess(GetCurrentProcess(), 1);
    }).detach();
}

} // namespace

ChildProcess::ChildProcess(const std::wstring& mode) {
    static int started = 0;
    const std::wstring readyName =
        L"wineloop-test-ready-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++started);
    m_ready = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
    wchar_t exe[MAX_PATH];
    if (!m_ready || !GetModuleFileNameW(nullptr, exe, MAX_PATH))
        return;
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\" " + kChildSwitch + L" " + mode + L" " +
                               readyName + L" " + std::to_wstring(GetCurrentProcessId());
    // A machine short of processes or memory may refuse a start for a moment: a few more tries.
    for (int attempt = 0; attempt < 5 && !m_process; ++attempt) {
        if (attempt > 0)
            Sleep(200);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (CreateProcessW(exe, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &info)) {
            CloseHandle(info.hThread);
            m_process = info.hProcess;
            m_startError = 0;
        } else {
            m_startError = GetLastError();
        }
    }
}

ChildProcess::~ChildProcess() {
    kill();
    if (m_process)
        CloseHandle(m_process);
    if (m_ready)
        CloseHandle(m_ready);
}

bool ChildProcess::waitReady() {
    if (!m_process || !m_ready)
        return false;
    const HANDLE waits[] = {m_ready, m_process};
    return WaitForMultipleObjects(2, waits, FALSE, kWaitMs) == WAIT_OBJECT_0;
}

void ChildProcess::kill() {
    if (m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, kWaitMs);
    }
}

DWORD ChildProcess::waitExit() {
    DWORD code = STILL_ACTIVE;
    if (m_process && WaitForSingleObject(m_process, kWaitMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(m_process, &code);
    return code;
}

bool startedAsChild(ChildArguments& arguments) {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    const bool child = words && count == 5 && std::wstring(words[1]) == kChildSwitch;
    if (child) {
        arguments.mode = words[2];
        arguments.readyEvent = words[3];
        arguments.parentId = static_cast<DWORD>(std::wcstoul(words[4], nullptr, 10));
        endWithParent(arguments.parentId);
    }
    LocalFree(words);
    return child;
}

void signalReady(const ChildArguments& arguments) {
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, arguments.readyEvent.c_str());
    if (ready) {
        SetEvent(ready);
        CloseHandle(ready);
    }
}

} // namespace wineloop::testkit
