// The counter itself: it must see what it is there to see, or every
// "allocates nothing" test passes for nothing.
#include "AllocationCounter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using alloc_test::AllocationCount;
using alloc_test::AllocationCounter;
using alloc_test::CountAllocations;

// Keeps the compiler from dropping an allocation whose block is unused.
void* volatile sink = nullptr;

TEST(AllocationCounter, CountsNewAndDeleteInEveryForm) {
  EXPECT_EQ(CountAllocations([] {
              std::vector<int> v(1000);
              sink = v.data();
            }),
            (AllocationCount{1, 1}));
  EXPECT_EQ(CountAllocations([] {
              std::unique_ptr<double[]> array(new double[64]);
              sink = array.get();
              auto object = std::make_unique<std::string>(100, 'x');
              sink = object.get();
            }),
            (AllocationCount{3, 3}));  // the string's characters are a block of their own
  struct alignas(64) Wide {
    double lanes[8];
  };
  EXPECT_EQ(CountAllocations([] {
              std::unique_ptr<Wide> wide(new Wide());
              sink = wide.get();
            }),
            (AllocationCount{1, 1}));
  const AllocationCount leaked = CountAllocations([] { sink = new int(7); });
  EXPECT_EQ(leaked, (AllocationCount{1, 0}));
  delete static_cast<int*>(sink);
}

// Where the C runtime's malloc can be replaced: not in the Windows builds,
// whose msvcrt a program cannot override.
#ifndef _WIN32
TEST(AllocationCounter, CountsTheMallocFamilyWhereItCanBeReplaced) {
  ASSERT_TRUE(AllocationCounter::SeesMalloc());
  EXPECT_EQ(CountAllocations([] {
              void* p = std::malloc(24);
              sink = p;
              std::free(p);
              p = std::calloc(3, 8);
              sink = p;
              std::free(p);
            }),
            (AllocationCount{2, 2}));
  // A realloc asks for a block; whether giving back the old one counts as a
  // free of its own depends on the allocator.
  const AllocationCount grown = CountAllocations([] {
    void* p = std::malloc(24);
    p = std::realloc(p, 4096);
    sink = p;
    std::free(p);
  });
  EXPECT_EQ(grown.allocations, 2);
  EXPECT_GE(grown.frees, 1);
}
#endif

TEST(AllocationCounter, CountsNothingWhenNothingIsAllocated) {
  int x = 0;
  EXPECT_EQ(CountAllocations([&x] { x += 1; }), AllocationCount{});
  EXPECT_EQ(x, 1);
}

}  // namespace
