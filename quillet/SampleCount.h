#pragma once

namespace quillet {

// Whole sample counts from time arithmetic. The engine's lengths are ints; a
// length computed from an extreme tempo or sample rate must not overflow one
// (undefined behaviour), so conversions saturate.
namespace SampleCount {
// Largest length the engine uses: about 6.7 hours at 44.1 kHz, far beyond any
// parameter, and small enough that adding a crossfade cannot overflow.
constexpr int kMax = 1 << 30;

// floor(x) clamped to 0..kMax; not-a-number gives 0.
int FloorClamped(double x);
}  // namespace SampleCount

}  // namespace quillet
