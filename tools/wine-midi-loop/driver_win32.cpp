// The entry points winmm calls: DriverProc for the driver's life, modMessage for outputs and midMessage
// for inputs. Nothing may escape them but a result code.
#include "bus_win32.h"
#include "caps_win32.h"
#include "client_win32.h"
#include "header_win32.h"
#include "midi_in_win32.h"
#include "midi_out_win32.h"
#include "shared_layout.h"

#include <new>

namespace wineloop {
namespace {

bool validPort(UINT device) {
    return device < static_cast<UINT>(kPortCount);
}

template <typename Port> Port* instanceOf(DWORD_PTR user) {
    return reinterpret_cast<Port*>(user);
}

// winmm passes a pointer to where the driver keeps its per-open instance.
void storeInstance(DWORD_PTR user, const void* instance) {
    *reinterpret_cast<DWORD_PTR*>(user) = reinterpret_cast<DWORD_PTR>(instance);
}

MMRESULT openOutput(UINT device, DWORD_PTR user, const MIDIOPENDESC* open, DWORD flags) {
    if (!validPort(device))
        return MMSYSERR_BADDEVICEID;
    if (!open || !user)
        return MMSYSERR_INVALPARAM;
    if (!Client::supportsFlags(flags))
        return MMSYSERR_INVALFLAG;
    Bus* bus = Bus::instance();
    if (!bus)
        return MMSYSERR_ERROR;
    auto* out = new MidiOut(*bus, static_cast<int>(device), Client(*open, flags));
    // Stored first: the application may use the handle from inside the callback.
    storeInstance(user, out);
    out->client().notify(MOM_OPEN);
    return MMSYSERR_NOERROR;
}

MMRESULT closeOutput(MidiOut* out) {
    const Client client = out->client();
    delete out;
    client.notify(MOM_CLOSE);
    return MMSYSERR_NOERROR;
}

MMRESULT openInput(UINT device, DWORD_PTR user, const MIDIOPENDESC* open, DWORD flags) {
    if (!validPort(device))
        return MMSYSERR_BADDEVICEID;
    if (!open || !user)
        return MMSYSERR_INVALPARAM;
    if (!Client::supportsFlags(flags))
        return MMSYSERR_INVALFLAG;
    Bus* bus = Bus::instance();
    if (!bus)
        return MMSYSERR_ERROR;
    const Client client(*open, flags);
    MMRESULT result = MMSYSERR_NOERROR;
    MidiIn* in = MidiIn::open(*bus, static_cast<int>(device), client, result);
    if (!in)
        return result;
    // Stored first: the application may use the handle from inside the callback.
    storeInstance(user, in);
    client.notify(MIM_OPEN);
    return MMSYSERR_NOERROR;
}

bool needsOutputInstance(UINT message) {
    return message == MODM_CLOSE || message == MODM_DATA || message == MODM_LONGDATA;
}

bool needsInputInstance(UINT message) {
    return message == MIDM_CLOSE || message == MIDM_UNPREPARE || message == MIDM_ADDBUFFER ||
           message == MIDM_START || message == MIDM_STOP || message == MIDM_RESET;
}

DWORD outputMessage(UINT device, UINT message, DWORD_PTR user, DWORD_PTR param1, DWORD_PTR param2) {
    if (needsOutputInstance(message) && !user)
        return MMSYSERR_INVALHANDLE;
    auto* header = reinterpret_cast<MIDIHDR*>(param1);
    switch (message) {
    case DRVM_INIT:
    case DRVM_EXIT:
    case DRVM_ENABLE:
    case DRVM_DISABLE:
        return MMSYSERR_NOERROR;
    case MODM_GETNUMDEVS:
        return kPortCount;
    case MODM_GETDEVCAPS:
        return copyOutputCaps(device, reinterpret_cast<MIDIOUTCAPSW*>(param1), param2);
    case MODM_OPEN:
        return openOutput(device, user, reinterpret_cast<const MIDIOPENDESC*>(param1),
                          static_cast<DWORD>(param2));
    case MODM_CLOSE:
        return closeOutput(instanceOf<MidiOut>(user));
    case MODM_PREPARE:
        return prepareHeader(header, param2);
    case MODM_UNPREPARE:
        return unprepareHeader(header, param2);
    case MODM_DATA:
        return instanceOf<MidiOut>(user)->sendShort(static_cast<DWORD>(param1));
    case MODM_LONGDATA:
        return instanceOf<MidiOut>(user)->sendLong(header, param2);
    case MODM_RESET:
        // Long messages are sent before MODM_LONGDATA returns and a cable has no notes to silence.
        return MMSYSERR_NOERROR;
    default:
        return MMSYSERR_NOTSUPPORTED;
    }
}

DWORD inputMessage(UINT device, UINT message, DWORD_PTR user, DWORD_PTR param1, DWORD_PTR param2) {
    if (needsInputInstance(message) && !user)
        return MMSYSERR_INVALHANDLE;
    auto* header = reinterpret_cast<MIDIHDR*>(param1);
    switch (message) {
    case DRVM_INIT:
    case DRVM_EXIT:
    case DRVM_ENABLE:
    case DRVM_DISABLE:
        return MMSYSERR_NOERROR;
    case MIDM_GETNUMDEVS:
        return kPortCount;
    case MIDM_GETDEVCAPS:
        return copyInputCaps(device, reinterpret_cast<MIDIINCAPSW*>(param1), param2);
    case MIDM_OPEN:
        return openInput(device, user, reinterpret_cast<const MIDIOPENDESC*>(param1),
                         static_cast<DWORD>(param2));
    case MIDM_CLOSE:
        return instanceOf<MidiIn>(user)->close();
    case MIDM_PREPARE:
        return prepareHeader(header, param2);
    case MIDM_UNPREPARE:
        return instanceOf<MidiIn>(user)->unprepare(header, param2);
    case MIDM_ADDBUFFER:
        return instanceOf<MidiIn>(user)->addBuffer(header, param2);
    case MIDM_START:
        return instanceOf<MidiIn>(user)->start();
    case MIDM_STOP:
        return instanceOf<MidiIn>(user)->stop();
    case MIDM_RESET:
        return instanceOf<MidiIn>(user)->reset();
    default:
        return MMSYSERR_NOTSUPPORTED;
    }
}

} // namespace
} // namespace wineloop

extern "C" {

LRESULT WINAPI DriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM param1, LPARAM param2) {
    switch (message) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_OPEN:
    case DRV_CLOSE:
    case DRV_ENABLE:
    case DRV_DISABLE:
        return 1;
    case DRV_QUERYCONFIGURE:
        return 0;
    case DRV_CONFIGURE:
    case DRV_INSTALL:
    case DRV_REMOVE:
        return DRVCNF_OK;
    default:
        return DefDriverProc(id, driver, message, param1, param2);
    }
}

DWORD WINAPI modMessage(UINT device, UINT message, DWORD_PTR user, DWORD_PTR param1, DWORD_PTR param2) {
    try {
        return wineloop::outputMessage(device, message, user, param1, param2);
    } catch (const std::bad_alloc&) {
        return MMSYSERR_NOMEM;
    } catch (...) {
        return MMSYSERR_ERROR;
    }
}

DWORD WINAPI midMessage(UINT device, UINT message, DWORD_PTR user, DWORD_PTR param1, DWORD_PTR param2) {
    try {
        return wineloop::inputMessage(device, message, user, param1, param2);
    } catch (const std::bad_alloc&) {
        return MMSYSERR_NOMEM;
    } catch (...) {
        return MMSYSERR_ERROR;
    }
}

} // extern "C"
