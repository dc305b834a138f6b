#include "waiting_win32.h"

#include <cstdio>
#include <thread>

namespace wineloop::testkit {

bool pumpUntil(const std::function<bool(const MSG&)>& done, DWORD timeoutMs) {
    const DWORD deadline = GetTickCount() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            const bool finished = done(msg);
            DispatchMessageW(&msg);
            if (finished)
                return true;
        }
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(now - deadline) >= 0)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, deadline - now, QS_ALLINPUT);
    }
}

void mustFinishWithin(DWORD timeoutMs, const char* what, const std::function<void()>& work) {
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread([&work, finished] {
        work();
        SetEvent(finished);
    }).detach();
    if (WaitForSingleObject(finished, timeoutMs) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "FATAL: %s did not finish within %lu ms: the driver is wedged\n", what,
                     static_cast<unsigned long>(timeoutMs));
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    CloseHandle(finished);
}

} // namespace wineloop::testkit
