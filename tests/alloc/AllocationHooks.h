// The allocator under the counted functions, one body per kind of build (see
// AllocationCounter.h): AllocationHooks_posix.cpp, AllocationHooks_win32.cpp,
// AllocationHooks_sanitizer.cpp. The first two are used by the replaced
// operator new and delete (ReplacedNew.cpp); they count nothing themselves.
#pragma once

#include <cstddef>

namespace alloc_test {

void* RawAllocate(std::size_t bytes);
void RawFree(void* p);
void* RawAllocateAligned(std::size_t bytes, std::size_t alignment);
void RawFreeAligned(void* p);

}  // namespace alloc_test
