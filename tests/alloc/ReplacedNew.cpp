// Global operator new and delete, every form, counted and forwarded to the
// platform's allocator (AllocationHooks.h).
#include <new>

#include "AllocationCounter.h"
#include "AllocationHooks.h"

namespace {

using alloc_test::AllocationCounter;

void* Allocate(std::size_t bytes) {
  AllocationCounter::OnAllocation();
  return alloc_test::RawAllocate(bytes ? bytes : 1);
}

void* AllocateAligned(std::size_t bytes, std::align_val_t alignment) {
  AllocationCounter::OnAllocation();
  return alloc_test::RawAllocateAligned(bytes ? bytes : 1, static_cast<std::size_t>(alignment));
}

void* AllocateOrThrow(std::size_t bytes) {
  void* p = Allocate(bytes);
  if (!p) throw std::bad_alloc();
  return p;
}

void* AllocateAlignedOrThrow(std::size_t bytes, std::align_val_t alignment) {
  void* p = AllocateAligned(bytes, alignment);
  if (!p) throw std::bad_alloc();
  return p;
}

void Free(void* p) {
  if (!p) return;
  AllocationCounter::OnFree();
  alloc_test::RawFree(p);
}

void FreeAligned(void* p) {
  if (!p) return;
  AllocationCounter::OnFree();
  alloc_test::RawFreeAligned(p);
}

}  // namespace

void* operator new(std::size_t bytes) { return AllocateOrThrow(bytes); }
void* operator new[](std::size_t bytes) { return AllocateOrThrow(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return Allocate(bytes); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return Allocate(bytes); }
void* operator new(std::size_t bytes, std::align_val_t alignment) {
  return AllocateAlignedOrThrow(bytes, alignment);
}
void* operator new[](std::size_t bytes, std::align_val_t alignment) {
  return AllocateAlignedOrThrow(bytes, alignment);
}
void* operator new(std::size_t bytes, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateAligned(bytes, alignment);
}
void* operator new[](std::size_t bytes, std::align_val_t alignment,
                     const std::nothrow_t&) noexcept {
  return AllocateAligned(bytes, alignment);
}

void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }
void operator delete(void* p, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete[](void* p, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { FreeAligned(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
  FreeAligned(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { FreeAligned(p); }
