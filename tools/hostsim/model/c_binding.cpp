#include "hostsim/model/c_binding.h"

#include "hostsim/model/host.h"

#include <cstring>

namespace hostsim {
namespace {

// Forward<&Host::Name>::call has the plug-in's signature for Name and calls it on the current host.
template <class Method, Method M> struct Forward;

template <class R, class... A, R (Host::*M)(A...)> struct Forward<R (Host::*)(A...), M> {
    static R call(A... args) {
        try {
            if (Host* host = Host::current())
                return (host->*M)(args...);
        } catch (...) {
            // Nothing may unwind into the caller; it gets the same answer as from no host at all.
        }
        return R();
    }
};

struct Entry {
    const char* name;
    void* address;
};

// Taking `&Host::name` as `ret (Host::*) params` fails to compile unless the model's method has exactly the
// plug-in's signature. Function and data pointers share one representation on every platform here.
#define HOSTSIM_ENTRY(ret, name, params)                                                                     \
    Entry{#name, reinterpret_cast<void*>(&Forward<ret(Host::*) params, &Host::name>::call)},
const Entry kEntries[] = {TAMSEL_HOST_FUNCTIONS(HOSTSIM_ENTRY) TAMSEL_OPTIONAL_HOST_FUNCTIONS(HOSTSIM_ENTRY)};
#undef HOSTSIM_ENTRY

static_assert(sizeof(kEntries) / sizeof(kEntries[0]) == host::kFunctionCount + host::kOptionalFunctionCount,
              "every host function is bound");

} // namespace

void* getFunc(const char* name) {
    Host* host = Host::current();
    if (host)
        host->noteLookup(name);
    if (!name || (host && host->withholds(name)))
        return nullptr;
    for (const Entry& e : kEntries)
        if (std::strcmp(e.name, name) == 0)
            return e.address;
    return nullptr;
}

int registerFunc(const char* name, void* info) {
    try {
        if (Host* host = Host::current())
            return host->registerThrough(name, info);
    } catch (...) {
        // As from no host at all.
    }
    return 0;
}

} // namespace hostsim
