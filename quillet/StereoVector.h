#pragma once

#include <cstring>

#include "quillet/StereoSample.h"

namespace quillet {

// Left and right as one value of two doubles, which GCC and Clang (the
// compilers of every build) keep in one SSE2 register and compute with one
// instruction per operation: their vector extension. Each lane gets exactly
// the IEEE operations written, in the order written, so the results are bit
// for bit those of computing the two channels one after the other.
//
// Loads and stores go through memcpy: no alignment is assumed, so the type can
// sit in plain double arrays and in objects the host allocates.
typedef double StereoVector __attribute__((vector_size(16)));

inline StereoVector LoadStereo(const double* pair) {
  StereoVector v;
  std::memcpy(&v, pair, sizeof v);
  return v;
}

inline void StoreStereo(double* pair, StereoVector v) { std::memcpy(pair, &v, sizeof v); }

inline StereoVector ToVector(StereoSample s) { return StereoVector{s.left, s.right}; }

inline StereoSample ToSample(StereoVector v) { return {v[0], v[1]}; }

}  // namespace quillet
