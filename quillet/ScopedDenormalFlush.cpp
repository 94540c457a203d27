#include "quillet/ScopedDenormalFlush.h"

#if defined(__SSE2__) || defined(_M_X64) || defined(__x86_64__)
#include <xmmintrin.h>
#define QUILLET_HAS_MXCSR 1
#endif

namespace quillet {

#ifdef QUILLET_HAS_MXCSR
namespace {
constexpr unsigned kFlushToZero = 0x8000;
constexpr unsigned kDenormalsAreZero = 0x0040;
}  // namespace
#endif

ScopedDenormalFlush::ScopedDenormalFlush() : savedState_(0) {
#ifdef QUILLET_HAS_MXCSR
  savedState_ = _mm_getcsr();
  _mm_setcsr(savedState_ | kFlushToZero | kDenormalsAreZero);
#endif
}

ScopedDenormalFlush::~ScopedDenormalFlush() {
#ifdef QUILLET_HAS_MXCSR
  _mm_setcsr(savedState_);
#endif
}

}  // namespace quillet
