#pragma once

#include <cstring>

namespace quillet {

// One sample of a stereo signal, the unit that grains record and frames pass
// on: left in lane kLeft, right in lane kRight of one value of two doubles.
// GCC and Clang (the compilers of every build) keep it in one SSE2 register
// and compute both channels with one instruction per operation (their vector
// extension); each lane gets exactly the IEEE operations written, in the order
// written, so the results are bit for bit those of two scalar computations.
// Being one value, it is also never reassembled from two halves written to
// memory separately, which stalls the processor (a 16-byte load cannot take
// its data from two pending 8-byte stores).
//
// Loads and stores go through memcpy: no alignment is assumed, so samples can
// sit in plain double arrays and in objects the host allocates.
typedef double StereoSample __attribute__((vector_size(16)));

constexpr int kLeft = 0;
constexpr int kRight = 1;

inline StereoSample MakeStereo(double left, double right) { return StereoSample{left, right}; }

inline StereoSample LoadStereo(const double* pair) {
  StereoSample s;
  std::memcpy(&s, pair, sizeof s);
  return s;
}

inline void StoreStereo(double* pair, StereoSample s) { std::memcpy(pair, &s, sizeof s); }

}  // namespace quillet
