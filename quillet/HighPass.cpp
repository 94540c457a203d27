#include "quillet/HighPass.h"

#include <cmath>

namespace quillet {

namespace {
constexpr double kPi = 3.14159265358979323846;
}  // namespace

HighPass::HighPass() { Recalculate(); }

void HighPass::Recalculate() {
  const double w = sampleRate_ > 0.0 ? 2.0 * kPi * cutoffHz_ / sampleRate_ : 0.0;
  const double alpha = std::sin(w) / std::sqrt(2.0);
  const double n = 1.0 / (1.0 + alpha);
  const double c = std::cos(w);
  b0_ = (1.0 + c) * 0.5 * n;
  b1_ = -(1.0 + c) * n;
  feedback1_ = 2.0 * c * n;
  feedback2_ = (alpha - 1.0) * n;
  x1_[0] = x1_[1] = x2_[0] = x2_[1] = 0.0;
  y1_[0] = y1_[1] = y2_[0] = y2_[1] = 0.0;
  offset_ = kAntiDenormalOffset;
}

}  // namespace quillet
