// Linux (glibc): the malloc family replaced for the whole process, counted,
// and forwarded to the C library's own allocator through its __libc_ entry
// points, so every block still comes from and returns to the same heap.
#include <errno.h>

#include <cstddef>

#include "AllocationCounter.h"
#include "AllocationHooks.h"

extern "C" {
void* __libc_malloc(std::size_t bytes);
void* __libc_calloc(std::size_t count, std::size_t bytes);
void* __libc_realloc(void* p, std::size_t bytes);
void* __libc_memalign(std::size_t alignment, std::size_t bytes);
void* __libc_valloc(std::size_t bytes);
void* __libc_pvalloc(std::size_t bytes);
void __libc_free(void* p);
}

namespace alloc_test {

void* RawAllocate(std::size_t bytes) { return __libc_malloc(bytes); }
void RawFree(void* p) { __libc_free(p); }
void* RawAllocateAligned(std::size_t bytes, std::size_t alignment) {
  return __libc_memalign(alignment, bytes);
}
void RawFreeAligned(void* p) { __libc_free(p); }

bool AllocationCounter::SeesMalloc() { return true; }

}  // namespace alloc_test

using alloc_test::AllocationCounter;

extern "C" {

void* malloc(std::size_t bytes) {
  AllocationCounter::OnAllocation();
  return __libc_malloc(bytes);
}

void* calloc(std::size_t count, std::size_t bytes) {
  AllocationCounter::OnAllocation();
  return __libc_calloc(count, bytes);
}

// A realloc counts as an allocation whatever it does with the old block: the
// path under test asked the heap for memory.
void* realloc(void* p, std::size_t bytes) {
  AllocationCounter::OnAllocation();
  return __libc_realloc(p, bytes);
}

void* memalign(std::size_t alignment, std::size_t bytes) {
  AllocationCounter::OnAllocation();
  return __libc_memalign(alignment, bytes);
}

void* aligned_alloc(std::size_t alignment, std::size_t bytes) {
  AllocationCounter::OnAllocation();
  return __libc_memalign(alignment, bytes);
}

int posix_memalign(void** out, std::size_t alignment, std::size_t bytes) {
  AllocationCounter::OnAllocation();
  if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
  void* p = __libc_memalign(alignment, bytes);
  if (!p) return ENOMEM;
  *out = p;
  return 0;
}

void* valloc(std::size_t bytes) {
  AllocationCounter::OnAllocation();
  return __libc_valloc(bytes);
}

void* pvalloc(std::size_t bytes) {
  AllocationCounter::OnAllocation();
  return __libc_pvalloc(bytes);
}

void free(void* p) {
  if (!p) return;
  AllocationCounter::OnFree();
  __libc_free(p);
}

}  // extern "C"
