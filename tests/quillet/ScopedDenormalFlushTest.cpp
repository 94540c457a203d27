#include "quillet/ScopedDenormalFlush.h"

#include <gtest/gtest.h>

#include <cmath>

#if defined(__SSE2__) || defined(__x86_64__)
#include <xmmintrin.h>

namespace {
// volatile keeps the compiler from folding the products at build time.
double Product(double a, double b) {
  volatile double x = a;
  volatile double y = b;
  return x * y;
}
}  // namespace

TEST(ScopedDenormalFlush, FlushesSubnormalResultsInsideTheScope) {
  ASSERT_EQ(std::fpclassify(Product(1e-300, 1e-10)), FP_SUBNORMAL);
  {
    quillet::ScopedDenormalFlush flush;
    EXPECT_EQ(Product(1e-300, 1e-10), 0.0);
    EXPECT_EQ(Product(1e-310, 1e10), 0.0);  // subnormal input read as 0
  }
  EXPECT_EQ(std::fpclassify(Product(1e-300, 1e-10)), FP_SUBNORMAL);
}

TEST(ScopedDenormalFlush, RestoresTheCallersExactFlags) {
  const unsigned original = _mm_getcsr();
  // A caller with its own settings: rounding towards zero, FTZ already on.
  const unsigned callers = (original & ~0x6000u) | 0x6000u | 0x8000u;
  _mm_setcsr(callers);
  { quillet::ScopedDenormalFlush flush; }
  EXPECT_EQ(_mm_getcsr(), callers);
  _mm_setcsr(original);
  { quillet::ScopedDenormalFlush flush; }
  EXPECT_EQ(_mm_getcsr(), original);
}
#endif
