// Thread-safety annotations, checked by clang's -Wthread-safety (the
// thread-safety build) and ignored by other compilers. A field marked
// GUARDED_BY(lock) may be read or written only while lock is held; a
// function marked REQUIRES(lock) may be called only then.
#pragma once

#include <mutex>

#if defined(__clang__)
#define CE_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define CE_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(x) CE_THREAD_ANNOTATION(capability(x))
#define SCOPED_CAPABILITY CE_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(x) CE_THREAD_ANNOTATION(guarded_by(x))
#define PT_GUARDED_BY(x) CE_THREAD_ANNOTATION(pt_guarded_by(x))
#define REQUIRES(...) CE_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) CE_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define ACQUIRE(...) CE_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) CE_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define RETURN_CAPABILITY(x) CE_THREAD_ANNOTATION(lock_returned(x))
#define NO_THREAD_SAFETY_ANALYSIS CE_THREAD_ANNOTATION(no_thread_safety_analysis)

namespace ce {

// A mutex the analysis knows, for state whose fields say GUARDED_BY(it).
class CAPABILITY("mutex") Mutex {
 public:
  void Lock() ACQUIRE() { native_.lock(); }
  void Unlock() RELEASE() { native_.unlock(); }

 private:
  std::mutex native_;
};

// Holds a Mutex for its lifetime.
class SCOPED_CAPABILITY MutexLock {
 public:
  explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : mutex_(mutex) { mutex_.Lock(); }
  ~MutexLock() RELEASE() { mutex_.Unlock(); }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  Mutex& mutex_;
};

}  // namespace ce
