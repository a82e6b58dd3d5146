#pragma once

// Qt's event queue and thread joins are not built with ThreadSanitizer, so it
// cannot see that what a thread wrote before posting a notice happens before
// the receiver reads it. These mark that edge, and compile to nothing in any
// other build.

#if defined(__SANITIZE_THREAD__)
#define TAVIM_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TAVIM_TSAN 1
#endif
#endif

#ifdef TAVIM_TSAN
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace tavim {

// Everything this thread did so far happens before a handOffAcquire(`token`).
inline void handOffRelease([[maybe_unused]] const void* token) {
#ifdef TAVIM_TSAN
    __tsan_release(const_cast<void*>(token));
#endif
}

inline void handOffAcquire([[maybe_unused]] const void* token) {
#ifdef TAVIM_TSAN
    __tsan_acquire(const_cast<void*>(token));
#endif
}

} // namespace tavim
