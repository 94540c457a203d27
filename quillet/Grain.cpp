#include "quillet/Grain.h"

#include <cmath>

namespace quillet {

namespace {
// Above this rate a grain refuses to allocate: its buffer would reserve more
// than 48 MB of address space, sixteen times over.
constexpr double kMaxSampleRateHz = 1000000.0;

// Any loop length beyond this is certainly larger than the buffer, so the grain
// is silent; keeping it finite keeps the span and overlap arithmetic finite.
constexpr double kMaxLoopLength = 1073741824.0;

}  // namespace

Grain::Grain() { Recalculate(); }

bool Grain::SetSampleRate(double rateHz) {
  if (!(rateHz > 0.0)) return false;
  if (rateHz == sampleRate_) return true;

  pages_.Release();
  buffer_ = nullptr;
  capacity_ = 0;
  maxGrainSamples_ = 1;
  sampleRate_ = -1.0;
  position_ = 0.0;
  age_ = 0;
  if (rateHz > kMaxSampleRateHz) return false;

  const int maxGrainSamples = static_cast<int>(std::floor(2.0 * rateHz));
  const int capacity = maxGrainSamples + maxGrainSamples / 2;
  if (!pages_.Allocate(2 * static_cast<size_t>(capacity) * sizeof(double))) return false;
  buffer_ = static_cast<double*>(pages_.Data());
  sampleRate_ = rateHz;
  maxGrainSamples_ = maxGrainSamples;
  capacity_ = capacity;
  return true;
}

void Grain::Recalculate() {
  double length;
  if (interpolate_) {
    length = sampleRate_ * period_;
  } else {
    if (grainSamples_ >= maxGrainSamples_) grainSamples_ = maxGrainSamples_ - 1;
    length = grainSamples_;
  }
  // Written so that a not-a-number length also ends up at 1.
  if (!(length >= 1.0)) length = 1.0;
  if (length > kMaxLoopLength) length = kMaxLoopLength;
  loopLength_ = length;

  overlap_ = std::floor(loopLength_ * overlapPercent_ * 0.01);
  if (!(overlap_ >= 0.0)) overlap_ = 0.0;
  if (overlap_ > kMaxLoopLength) overlap_ = kMaxLoopLength;
  overlapInverse_ = overlap_ > 0.0 ? 1.0 / overlap_ : 0.0;
  activeLifetime_ = lifetime_ > 0 ? lifetime_ : 1;
  span_ = loopLength_ + overlap_;
}

void Grain::Start() {
  Recalculate();
  position_ = 0.0;
  age_ = 0;
}

StereoSample Grain::ReadHead(double x, int head) { return ReadAt(x, head); }

double Grain::GrainShape(double x) const {
  return Shape(x, grainSkew_, grainFadeIn_, grainFadeOut_);
}

double Grain::FrameShape(double x) const {
  return Shape(x, frameSkew_, frameFadeIn_, frameFadeOut_);
}

}  // namespace quillet
