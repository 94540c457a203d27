#pragma once

namespace quillet {

// While an object of this class lives, the calling thread's floating-point unit
// treats subnormal inputs and results as zero (on x86: the DAZ and FTZ bits of
// MXCSR; every double operation of both builds runs on SSE). The destructor
// puts back exactly the flags the caller had, so a host's own settings survive
// the call. Costs two register writes; no system call.
//
// Why: a signal fading towards zero (an envelope decaying to a sustain of 0, a
// grain replaying the tail of a recording) would otherwise settle in the
// subnormal range, where each operation costs up to a hundred times more.
class ScopedDenormalFlush {
 public:
  ScopedDenormalFlush();
  ~ScopedDenormalFlush();
  ScopedDenormalFlush(const ScopedDenormalFlush&) = delete;
  ScopedDenormalFlush& operator=(const ScopedDenormalFlush&) = delete;

 private:
  unsigned savedState_;
};

}  // namespace quillet
