// Two functions of the C++ library that a newer GCC's libstdc++ supplies under symbol versions the oldest
// systems REAPER users run lack (GLIBCXX_3.4.29 and 3.4.30; GCC 10's library stops at 3.4.28). Defined
// here, the plug-in's own references bind to these copies (exports.map keeps them inside), and the plug-in
// asks the system's libstdc++ only for what GCC 10's has. Each does what the library's own version does.
#include <condition_variable>
#include <mutex>
#include <new>

#include <pthread.h>

namespace std {

#if defined(_GLIBCXX_RELEASE) && _GLIBCXX_RELEASE >= 11
// GCC 11's allocators throw this for a count of elements no memory could hold.
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
#endif

#if defined(_GLIBCXX_RELEASE) && _GLIBCXX_RELEASE >= 12
// GCC 12 versioned this anew only so that thread cancellation may unwind through it.
void condition_variable::wait(unique_lock<mutex>& lock) {
    pthread_cond_wait(native_handle(), lock.mutex()->native_handle());
}
#endif

} // namespace std
