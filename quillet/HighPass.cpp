#include "quillet/HighPass.h"

#include <cmath>

namespace quillet {

namespace {
constexpr double kPi = 3.14159265358979323846;

// A value that is not finite becomes 0; anything else gets the offset.
// Infinities are cleaned too: an infinite state value would otherwise turn
// into not-a-number and back into infinity through the feedback for ever.
inline double Clean(double x, double offset) { return std::isfinite(x) ? x + offset : 0.0; }
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
  x1_ = x2_ = y1_ = y2_ = 0.0;
  offset_ = kAntiDenormalOffset;
}

double HighPass::Process(double x) {
  x = Clean(x, offset_);
  x1_ = Clean(x1_, offset_);
  x2_ = Clean(x2_, offset_);
  y1_ = Clean(y1_, offset_);
  y2_ = Clean(y2_, offset_);
  offset_ = -offset_;

  const double y = b0_ * (x + x2_) + b1_ * x1_ + feedback1_ * y1_ + feedback2_ * y2_;
  x2_ = x1_;
  x1_ = x;
  y2_ = y1_;
  y1_ = y;
  return y;
}

}  // namespace quillet
