// Windows: the C runtime's malloc family lives in msvcrt.dll, where a program
// cannot replace it; operator new and delete (ReplacedNew.cpp) are counted
// and take their memory from it.
#include <malloc.h>

#include <cstdlib>

#include "AllocationCounter.h"
#include "AllocationHooks.h"

namespace alloc_test {

void* RawAllocate(std::size_t bytes) { return std::malloc(bytes); }
void RawFree(void* p) { std::free(p); }
void* RawAllocateAligned(std::size_t bytes, std::size_t alignment) {
  return _aligned_malloc(bytes, alignment);
}
void RawFreeAligned(void* p) { _aligned_free(p); }

bool AllocationCounter::SeesMalloc() { return false; }

}  // namespace alloc_test
