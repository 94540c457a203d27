#include "quillet/Grain.h"

#include <cmath>

#include "quillet/UnitPower.h"

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

// Tick's reads, defined before it so that they are inlined there.
inline StereoSample Grain::ReadAt(double x, int head) {
  if (x >= span_) return {0.0, 0.0};

  // x lies in 0..span and span fits the buffer (Tick checks), so the
  // truncation is the floor and the index is in range.
  const int n = static_cast<int>(x);
  const double* pair = &buffer_[2 * static_cast<size_t>(n)];
  if (!interpolate_) return {pair[0], pair[1]};

  // The history is a ring: the new pair replaces the oldest, and the oldest
  // is then the one after it. Shifting four pairs per read instead cost more
  // than the interpolation (the shifted values are read back at once).
  double(*h)[2] = history_[head];
  const int newest = historyOldest_[head];
  h[newest][0] = pair[0];
  h[newest][1] = pair[1];
  const int oldest = (newest + 1) & 3;
  historyOldest_[head] = oldest;
  const double* p0 = h[oldest];
  const double* p1 = h[(oldest + 1) & 3];
  const double* p2 = h[(oldest + 2) & 3];
  const double* p3 = h[newest];

  const double f = x - n;
  const double f2 = f * f;
  const double f3 = f2 * f;
  double result[2];
  for (int channel = 0; channel < 2; ++channel) {
    const double y0 = p0[channel], y1 = p1[channel], y2 = p2[channel], y3 = p3[channel];
    result[channel] = ((y3 - y0) * 0.5 + (y1 - y2) * 1.5) * f3 +
                      (y0 - 2.5 * y1 + 2.0 * y2 - 0.5 * y3) * f2 + (y2 - y0) * 0.5 * f + y1;
  }
  return {result[0], result[1]};
}

StereoSample Grain::Tick(StereoSample input) {
  if (age_ >= activeLifetime_ || !(span_ <= capacity_)) return {0.0, 0.0};

  if (age_ < span_) {
    double* pair = &buffer_[2 * static_cast<size_t>(age_)];
    pair[0] = input.left;
    pair[1] = input.right;
  }

  const double b = position_;
  StereoSample v;
  if (b < overlap_) {
    // The tail head takes over head 0's history at the loop point, so its
    // interpolation continues exactly where head 0 left off.
    if (b < 1.0) {
      for (int i = 0; i < 4; ++i) {
        history_[1][i][0] = history_[0][i][0];
        history_[1][i][1] = history_[0][i][1];
      }
      historyOldest_[1] = historyOldest_[0];
    }
    const double shape = GrainShapeAt(b);
    const StereoSample head = ReadAt(b, 0);
    v.left = shape * head.left;
    v.right = shape * head.right;

    const double t = b + loopLength_;
    if (t < span_) {
      const double w = b * overlapInverse_;
      const StereoSample tail = ReadAt(t, 1);
      const double tailShape = GrainShapeAt(t);
      v.left = w * v.left + (1.0 - w) * tail.left * tailShape;
      v.right = w * v.right + (1.0 - w) * tail.right * tailShape;
    }
  } else {
    const double shape = GrainShapeAt(b);
    const StereoSample head = ReadAt(b, 0);
    v.left = shape * head.left;
    v.right = shape * head.right;
  }

  // With both frame fades off the shape is 1 everywhere: skip the division.
  const double frameShape = frameFadeIn_.on || frameFadeOut_.on
                                ? FrameShape(static_cast<double>(age_) / activeLifetime_)
                                : 1.0;
  v.left *= frameShape;
  v.right *= frameShape;

  double next = b + 1.0;
  if (next >= loopLength_)
    next -= loopLength_;  // a fractional remainder carries into the next cycle
  position_ = next;
  ++age_;
  return v;
}

double Grain::Shape(double x, double peak, const FadeCurve& in, const FadeCurve& out) {
  if (x < peak) return in.on ? 1.0 - UnitPower(1.0 - x / peak, in.exponent) : 1.0;
  return out.on ? 1.0 - UnitPower((x - peak) / (1.0 - peak), out.exponent) : 1.0;
}

inline double Grain::GrainShapeAt(double position) const {
  // With both grain fades off the shape is 1 everywhere: skip the division.
  if (!grainFadeIn_.on && !grainFadeOut_.on) return 1.0;
  return Shape(position / span_, grainSkew_, grainFadeIn_, grainFadeOut_);
}

double Grain::GrainShape(double x) const {
  return Shape(x, grainSkew_, grainFadeIn_, grainFadeOut_);
}

double Grain::FrameShape(double x) const {
  return Shape(x, frameSkew_, frameFadeIn_, frameFadeOut_);
}

}  // namespace quillet
