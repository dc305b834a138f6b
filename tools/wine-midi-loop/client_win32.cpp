#include "client_win32.h"

// winmm exports it, but the MinGW headers do not declare it.
extern "C" __declspec(dllimport) BOOL WINAPI
    DriverCallback(DWORD_PTR callback, DWORD flags, HDRVR device, DWORD message, DWORD_PTR instance,
                   DWORD_PTR param1, DWORD_PTR param2);

namespace wineloop {
namespace {

DWORD callbackKind(DWORD openFlags) {
    return (openFlags & CALLBACK_TYPEMASK) >> 16;
}

} // namespace

Client::Client(const MIDIOPENDESC& open, DWORD openFlags)
    : m_device(open.hMidi), m_callback(open.dwCallback), m_instance(open.dwInstance),
      m_kind(callbackKind(openFlags)) {}

bool Client::supportsFlags(DWORD openFlags) {
    switch (callbackKind(openFlags)) {
    case DCB_NULL:
    case DCB_WINDOW:
    case DCB_TASK:
    case DCB_FUNCTION:
    case DCB_EVENT:
        return true;
    default:
        return false;
    }
}

void Client::notify(UINT message, DWORD_PTR param1, DWORD_PTR param2) const {
    if (m_kind == DCB_NULL)
        return;
    DriverCallback(m_callback, m_kind, reinterpret_cast<HDRVR>(m_device), message, m_instance, param1,
                   param2);
}

} // namespace wineloop
