// An open output port: whatever the application sends is published to every running input of the same
// port, in this and every other process of the prefix.
#pragma once

#include "client_win32.h"
#include "handle_win32.h"

#include <cstdint>

namespace wineloop {

class Bus;

class MidiOut {
public:
    MidiOut(Bus& bus, int port, const Client& client) : m_bus(bus), m_port(port), m_client(client) {}

    const Client& client() const { return m_client; }

    MMRESULT sendShort(DWORD packed);
    // Sent at once: the buffer is back with MHDR_DONE (and MOM_DONE) before this returns.
    MMRESULT sendLong(MIDIHDR* header, DWORD_PTR size);

private:
    Bus& m_bus;
    int m_port;
    Client m_client;
    CriticalSection m_lock; // the running status, for applications that send from several threads
    std::uint8_t m_runningStatus = 0;
};

} // namespace wineloop
