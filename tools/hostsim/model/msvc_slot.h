#pragma once
// Slot 0 of an interface under the MSVC layout (TAMSEL_MSVC_VTABLE): MSVC's scalar deleting destructor.
// It runs the destructor, frees the object when bit 0 of the flags is set and hands back its address.
// Put the macro inside a `final` class allocated with plain `new`; it expands to nothing elsewhere, where
// the interface has an ordinary virtual destructor instead.

#include "reaper_abi.h"

#include <new>

#if TAMSEL_MSVC_VTABLE
#define HOSTSIM_MSVC_DELETING_DESTRUCTOR(Class)                                                              \
    void* msvcDeletingDestructor(unsigned int flags) override {                                              \
        this->~Class();                                                                                      \
        if (flags & 1u)                                                                                      \
            ::operator delete(static_cast<void*>(this));                                                     \
        return this;                                                                                         \
    }
#else
#define HOSTSIM_MSVC_DELETING_DESTRUCTOR(Class)
#endif
