// Sanitizer builds: the sanitizer's allocator serves malloc, new and all their
// relatives, and calls these hooks for every block it hands out or takes back.
#include <cstddef>

#include "AllocationCounter.h"

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            std::size_t),
                                                         void (*freeHook)(const volatile void*));

namespace alloc_test {

namespace {

void OnMalloc(const volatile void*, std::size_t) { AllocationCounter::OnAllocation(); }
void OnFree(const volatile void*) { AllocationCounter::OnFree(); }

const int installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);

}  // namespace

bool AllocationCounter::SeesMalloc() { return installed != 0; }

}  // namespace alloc_test
