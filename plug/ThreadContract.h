// Checkable thread contracts of the plug-in base.
//
// Every operation a format binding calls on the plug-in base carries a tag in
// IPlugBase.h: which thread may call it and whether the caller holds the
// instance lock. In check builds the base's binding entries test the tag on
// every call; a broken contract goes to the failure handler (by default a
// message on stderr, then abort), so that a binding calling on the wrong
// thread or without the lock fails its tests instead of racing in a host.
//
//   tag in comments         Contract          checked
//   [main]                  kMain             the thread is not an audio thread
//   [audio]                 kAudio            the thread is not the main thread
//   [any thread]            kAny              nothing
//   ..., lock               ...Locked         the calling thread holds the lock
//   ..., without the lock   ...Unlocked       the calling thread does not hold it
//
// THREAD ROLES
//   Only the format knows which thread a call comes on. A binding says so
//   with a ScopedThreadRole at each of its entry points:
//     VST 2   the three process entries are audio; the dispatcher and the
//             parameter entries are unknown (hosts call them from any thread)
//     CLAP    [main-thread] functions main, [audio-thread] functions audio
//     VST 3   the controller and view main, the processor's process audio
//   A thread with no role (kUnknown) satisfies every thread tag: what the
//   format does not tell is not checked. Roles nest; the scope restores the
//   role that was there before.
//
// CHECK BUILDS
//   QUILLET_CONTRACT_CHECKS is 1 in every configuration but Release and
//   MinSizeRel (the native-tsan and fuzz presets check; the shipped binaries
//   do not). Without it the roles, the lock's owner and the checks compile to
//   nothing.
#pragma once

#ifndef QUILLET_CONTRACT_CHECKS
#define QUILLET_CONTRACT_CHECKS 0
#endif

namespace plug {

enum class ThreadRole { kUnknown, kMain, kAudio };

enum class CallerThread { kMain, kAudio, kAny };
enum class LockRule { kHeld, kNotHeld, kEither };

struct Contract {
  CallerThread thread;
  LockRule lock;
};

constexpr Contract kMainLocked{CallerThread::kMain, LockRule::kHeld};
constexpr Contract kMainUnlocked{CallerThread::kMain, LockRule::kNotHeld};
constexpr Contract kAudioLocked{CallerThread::kAudio, LockRule::kHeld};
constexpr Contract kAnyLocked{CallerThread::kAny, LockRule::kHeld};

// Called with the operation's name and what was wrong ("without the instance
// lock", "on an audio thread", ...). A handler that returns lets the call go
// on. [any thread]
using ContractFailureHandler = void (*)(const char* operation, const char* problem);

// Installs a handler (null restores the default); returns the one before.
// [any thread]
ContractFailureHandler SetContractFailureHandler(ContractFailureHandler handler);

#if QUILLET_CONTRACT_CHECKS

// The calling thread's role. [any thread]
ThreadRole CurrentThreadRole();

class ScopedThreadRole {
 public:
  explicit ScopedThreadRole(ThreadRole role);
  ~ScopedThreadRole();
  ScopedThreadRole(const ScopedThreadRole&) = delete;
  ScopedThreadRole& operator=(const ScopedThreadRole&) = delete;

 private:
  ThreadRole previous_;
};

// Tests a contract for the calling thread, whose hold on the instance lock is
// lockHeld; reports a broken one to the failure handler. [any thread]
void CheckContract(const Contract& contract, bool lockHeld, const char* operation);

#else

inline ThreadRole CurrentThreadRole() { return ThreadRole::kUnknown; }

class ScopedThreadRole {
 public:
  explicit ScopedThreadRole(ThreadRole) {}
  ~ScopedThreadRole() {}
  ScopedThreadRole(const ScopedThreadRole&) = delete;
  ScopedThreadRole& operator=(const ScopedThreadRole&) = delete;
};

#endif

}  // namespace plug
