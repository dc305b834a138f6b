// How an application asked to be told about its open port: a function, a window, a thread, an event or
// nothing, as carried by the open flags and the MIDIOPENDESC winmm passes in.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <mmddk.h>

namespace wineloop {

class Client {
public:
    Client(const MIDIOPENDESC& open, DWORD openFlags);

    // False for callback kinds a MIDI port does not support.
    static bool supportsFlags(DWORD openFlags);

    // Calls back without any lock of ours held: the application may call the driver again from inside.
    void notify(UINT message, DWORD_PTR param1 = 0, DWORD_PTR param2 = 0) const;

private:
    HMIDI m_device;
    DWORD_PTR m_callback;
    DWORD_PTR m_instance;
    DWORD m_kind; // DCB_* value
};

} // namespace wineloop
