#pragma once
// Included first in every C++ file of a Linux build (-include): keeps the plug-in loadable where the oldest
// systems REAPER users run stop, glibc 2.31 and the C++ library of GCC 10. This GCC's <condition_variable>
// would make timed waits call pthread_cond_clockwait (glibc 2.30, and in libc itself only since 2.34);
// without these switches they wait through pthread_cond_timedwait on the system clock, as GCC 10 does.
#include <bits/c++config.h>

#undef _GLIBCXX_USE_PTHREAD_COND_CLOCKWAIT
#undef _GLIBCXX_USE_PTHREAD_MUTEX_CLOCKLOCK
#undef _GLIBCXX_USE_PTHREAD_RWLOCK_CLOCKLOCK
