#include "plug/ThreadContract.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace plug {

namespace {
// Null: the default. Constant-initialised, so valid before any static
// constructor runs.
std::atomic<ContractFailureHandler> gHandler{nullptr};
}  // namespace

ContractFailureHandler SetContractFailureHandler(ContractFailureHandler handler) {
  return gHandler.exchange(handler);
}

#if QUILLET_CONTRACT_CHECKS

namespace {

thread_local ThreadRole tRole = ThreadRole::kUnknown;

void ReportAndAbort(const char* operation, const char* problem) {
  std::fprintf(stderr, "quillet: thread contract broken: %s called %s\n", operation, problem);
  std::fflush(stderr);
  std::abort();
}

void Fail(const char* operation, const char* problem) {
  ContractFailureHandler handler = gHandler.load();
  (handler ? handler : ReportAndAbort)(operation, problem);
}

}  // namespace

ThreadRole CurrentThreadRole() { return tRole; }

ScopedThreadRole::ScopedThreadRole(ThreadRole role) : previous_(tRole) { tRole = role; }

ScopedThreadRole::~ScopedThreadRole() { tRole = previous_; }

void CheckContract(const Contract& contract, bool lockHeld, const char* operation) {
  const ThreadRole role = tRole;
  if (contract.thread == CallerThread::kMain && role == ThreadRole::kAudio)
    Fail(operation, "on an audio thread");
  if (contract.thread == CallerThread::kAudio && role == ThreadRole::kMain)
    Fail(operation, "on the main thread");
  if (contract.lock == LockRule::kHeld && !lockHeld) Fail(operation, "without the instance lock");
  if (contract.lock == LockRule::kNotHeld && lockHeld) Fail(operation, "holding the instance lock");
}

#endif

}  // namespace plug
