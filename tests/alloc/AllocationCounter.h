// Counts every allocation and free the process makes while a piece of code
// runs, for tests that prove a path allocates nothing (the audio entries).
//
//   EXPECT_EQ(alloc_test::CountAllocations([&] { engine.Process(...); }),
//             alloc_test::AllocationCount{});
//
// How it counts depends on the build (tests/alloc/CMakeLists.txt picks the
// body of AllocationHooks.h):
//   Linux         the test program replaces global operator new and delete
//                 (every form) and the malloc family (malloc, calloc, realloc,
//                 memalign, posix_memalign, aligned_alloc, valloc, pvalloc,
//                 free), forwarding to the C library's own allocator;
//   Windows       operator new and delete (the C runtime's malloc lives in a
//                 system DLL and cannot be replaced from the program);
//   sanitizers    the sanitizer owns the allocator; its allocation hooks see
//                 every allocation and free, new and delete included.
// Counting covers every thread while it runs, so nothing else should run
// meanwhile. Counting does not nest.
//
// To cover more code, add a test file to tests/alloc/CMakeLists.txt (and the
// library it needs) and wrap the code in CountAllocations.
#pragma once

#include <ostream>
#include <utility>

namespace alloc_test {

struct AllocationCount {
  long allocations = 0;
  long frees = 0;
};

bool operator==(const AllocationCount& a, const AllocationCount& b);
std::ostream& operator<<(std::ostream& out, const AllocationCount& count);

class AllocationCounter {
 public:
  // Zeroes the counts and starts counting.
  static void Start();
  // Stops counting; the counts since Start.
  static AllocationCount Stop();
  // Whether calls of the malloc family itself are counted in this build (new
  // and delete always are).
  static bool SeesMalloc();

  // Called by the replaced functions and the hooks.
  static void OnAllocation();
  static void OnFree();
};

template <typename Code>
AllocationCount CountAllocations(Code&& code) {
  AllocationCounter::Start();
  std::forward<Code>(code)();
  return AllocationCounter::Stop();
}

}  // namespace alloc_test
