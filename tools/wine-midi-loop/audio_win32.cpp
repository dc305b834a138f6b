// Wine's audio device layer picks the one driver whose MIDI entry points winmm will use, and considers only
// drivers with these four audio entry points. This driver takes that place in the test prefix and offers
// no audio devices at all.
#include <windows.h>

namespace {

// Wine ranks candidate drivers: unavailable, low, neutral, preferred.
constexpr int kPriorityPreferred = 3;

} // namespace

extern "C" {

int WINAPI GetPriority() {
    return kPriorityPreferred;
}

HRESULT WINAPI GetEndpointIDs(int /*flow*/, WCHAR*** ids, GUID** guids, UINT* count, UINT* defaultIndex) {
    if (ids)
        *ids = nullptr;
    if (guids)
        *guids = nullptr;
    if (count)
        *count = 0;
    if (defaultIndex)
        *defaultIndex = 0;
    return S_OK;
}

// No endpoint exists, so nothing can be activated on one.
HRESULT WINAPI GetAudioEndpoint(void* /*key*/, void* /*device*/, void** client) {
    if (client)
        *client = nullptr;
    return E_NOTIMPL;
}

HRESULT WINAPI GetAudioSessionManager(void* /*device*/, void** manager) {
    if (manager)
        *manager = nullptr;
    return E_NOTIMPL;
}

} // extern "C"
