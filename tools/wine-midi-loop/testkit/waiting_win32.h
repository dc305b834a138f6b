// Waiting in tests without ever hanging them.
#pragma once

#include <windows.h>

#include <functional>

namespace wineloop::testkit {

// Pumps this thread's messages until done says so (after the message is dispatched) or the time is up.
bool pumpUntil(const std::function<bool(const MSG&)>& done, DWORD timeoutMs);

// Runs work on a thread of its own. A driver that wedges must fail the run, not hang it: if the work does
// not finish in time, the program reports what wedged and ends at once (the stuck thread may still be using
// the caller's stack, so returning is not safe).
void mustFinishWithin(DWORD timeoutMs, const char* what, const std::function<void()>& work);

} // namespace wineloop::testkit
