#include "host_api.h"

namespace host {

#define TAMSEL_DEFINE_HOST_POINTER(ret, name, params) ret(*name) params = nullptr;
TAMSEL_HOST_FUNCTIONS(TAMSEL_DEFINE_HOST_POINTER)
TAMSEL_OPTIONAL_HOST_FUNCTIONS(TAMSEL_DEFINE_HOST_POINTER)
#undef TAMSEL_DEFINE_HOST_POINTER

namespace {

struct Binding {
    const char* name;
    void (*store)(void* address);
    void (*clear)();
};

// Function and data pointers share one representation on every platform the host runs on.
#define TAMSEL_HOST_BINDING(ret, fn, params)                                                                 \
    Binding{#fn, [](void* address) { fn = reinterpret_cast<ret(*) params>(address); },                       \
            [] {                                                                                             \
                fn = nullptr;                                                                                \
            }},
const Binding kBindings[] = {TAMSEL_HOST_FUNCTIONS(TAMSEL_HOST_BINDING)};
const Binding kOptionalBindings[] = {TAMSEL_OPTIONAL_HOST_FUNCTIONS(TAMSEL_HOST_BINDING)};
#undef TAMSEL_HOST_BINDING

static_assert(sizeof(kBindings) / sizeof(kBindings[0]) == kFunctionCount, "the host table has 50 functions");
static_assert(sizeof(kOptionalBindings) / sizeof(kOptionalBindings[0]) == kOptionalFunctionCount);

} // namespace

const char* functionName(int index) {
    return index >= 0 && index < kFunctionCount ? kBindings[index].name : nullptr;
}

const char* optionalFunctionName(int index) {
    return index >= 0 && index < kOptionalFunctionCount ? kOptionalBindings[index].name : nullptr;
}

bool bindFunctions(GetFuncProc getFunc, const char** missing) {
    if (missing)
        *missing = nullptr;
    if (!getFunc)
        return false;
    for (const Binding& b : kBindings) {
        void* address = getFunc(b.name);
        if (!address) {
            if (missing)
                *missing = b.name;
            return false;
        }
        b.store(address);
    }
    for (const Binding& b : kOptionalBindings)
        b.store(getFunc(b.name));
    return true;
}

void unbindFunctions() {
    for (const Binding& b : kBindings)
        b.clear();
    for (const Binding& b : kOptionalBindings)
        b.clear();
}

} // namespace host
