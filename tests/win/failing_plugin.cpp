// An extension whose entry point registers a surface type and then fails: the host must withdraw the
// registration before it frees the module, or it would hold pointers into freed memory.
#include "reaper_abi.h"

namespace {
const reaper_csurf_reg_t kRegistration = {"Failing", "Fails after registering", nullptr, nullptr};
} // namespace

extern "C" __declspec(dllexport) int ReaperPluginEntry(HINSTANCE, reaper_plugin_info_t* rec) {
    if (rec && rec->Register)
        rec->Register("csurf", const_cast<reaper_csurf_reg_t*>(&kRegistration));
    return 0;
}
