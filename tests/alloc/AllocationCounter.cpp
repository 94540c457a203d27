#include "AllocationCounter.h"

#include <atomic>

namespace alloc_test {

namespace {

// Constant-initialised: the allocator may run before any constructor.
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
std::atomic<long> frees{0};

}  // namespace

bool operator==(const AllocationCount& a, const AllocationCount& b) {
  return a.allocations == b.allocations && a.frees == b.frees;
}

std::ostream& operator<<(std::ostream& out, const AllocationCount& count) {
  return out << count.allocations << " allocations, " << count.frees << " frees";
}

void AllocationCounter::Start() {
  allocations.store(0);
  frees.store(0);
  counting.store(true);
}

AllocationCount AllocationCounter::Stop() {
  counting.store(false);
  AllocationCount count;
  count.allocations = allocations.load();
  count.frees = frees.load();
  return count;
}

void AllocationCounter::OnAllocation() {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
}

void AllocationCounter::OnFree() {
  if (counting.load(std::memory_order_relaxed)) frees.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace alloc_test
