#pragma once
// Included first in every C++ file of a Linux build (-include): keeps the plug-in loadable where the oldest
// systems REAPER users run stop, glibc 2.31 and the C++ library of GCC 10 (tools/linux/check-plugin.sh
// checks the result; libstdcxx_compat_linux.cpp does the rest).
#include <bits/c++config.h>

// This GCC's <condition_variable> would make timed waits call pthread_cond_clockwait (glibc 2.30, and in
// libc itself only since 2.34); without these switches they wait through pthread_cond_timedwait on the
// system clock, as GCC 10 does.
#undef _GLIBCXX_USE_PTHREAD_COND_CLOCKWAIT
#undef _GLIBCXX_USE_PTHREAD_MUTEX_CLOCKLOCK
#undef _GLIBCXX_USE_PTHREAD_RWLOCK_CLOCKLOCK

// Reference counts (std::shared_ptr) would read glibc 2.32's __libc_single_threaded to skip their atomic
// operations in a process with one thread. A plug-in always shares its process with the host's threads:
// they read a constant "more than one" instead.
#define __libc_single_threaded tamsel_libc_single_threaded
extern "C" {
__attribute__((unused)) static char tamsel_libc_single_threaded = 0;
}

// glibc 2.34 moved the dynamic loader's functions into libc under a new version; their first version still
// works everywhere (the host has libdl loaded on older systems, since it loads plug-ins).
#if defined(__x86_64__)
#define TAMSEL_GLIBC_BASE "GLIBC_2.2.5"
#elif defined(__aarch64__)
#define TAMSEL_GLIBC_BASE "GLIBC_2.17"
#endif
#ifdef TAMSEL_GLIBC_BASE
__asm__(".symver dladdr,dladdr@" TAMSEL_GLIBC_BASE);
__asm__(".symver dlclose,dlclose@" TAMSEL_GLIBC_BASE);
__asm__(".symver dlerror,dlerror@" TAMSEL_GLIBC_BASE);
__asm__(".symver dlopen,dlopen@" TAMSEL_GLIBC_BASE);
__asm__(".symver dlsym,dlsym@" TAMSEL_GLIBC_BASE);
#endif
