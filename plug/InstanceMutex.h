// The instance lock: one recursive lock per plug-in instance, the only lock
// on the audio path. Every binding entry, the editor's edits and state loads
// take it (see IPlugBase.h); the engine has no locks of its own.
//
// In check builds (ThreadContract.h) it also knows which thread holds it, so
// that the base can test "lock held" contracts. Elsewhere it is a plain
// recursive mutex.
#pragma once

#include <mutex>

#include "plug/ThreadContract.h"

#if QUILLET_CONTRACT_CHECKS
#include <atomic>
#include <thread>
#endif

namespace plug {

class InstanceMutex {
 public:
  InstanceMutex() = default;
  InstanceMutex(const InstanceMutex&) = delete;
  InstanceMutex& operator=(const InstanceMutex&) = delete;

  void lock() {
    mutex_.lock();
#if QUILLET_CONTRACT_CHECKS
    if (depth_++ == 0) owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
#endif
  }

  bool try_lock() {
    if (!mutex_.try_lock()) return false;
#if QUILLET_CONTRACT_CHECKS
    if (depth_++ == 0) owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
#endif
    return true;
  }

  void unlock() {
#if QUILLET_CONTRACT_CHECKS
    if (--depth_ == 0) owner_.store(std::thread::id(), std::memory_order_relaxed);
#endif
    mutex_.unlock();
  }

#if QUILLET_CONTRACT_CHECKS
  // Only the holder sees its own id here: the answer is exact for the calling
  // thread whatever the others do. [any thread]
  bool IsHeldByCurrentThread() const {
    return owner_.load(std::memory_order_relaxed) == std::this_thread::get_id();
  }
#endif

 private:
  std::recursive_mutex mutex_;
#if QUILLET_CONTRACT_CHECKS
  std::atomic<std::thread::id> owner_{};
  int depth_ = 0;  // guarded by mutex_
#endif
};

using InstanceLock = std::lock_guard<InstanceMutex>;

}  // namespace plug
