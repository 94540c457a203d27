#include "quillet/Frame.h"

#include "quillet/FadeCurve.h"
#include "quillet/SampleCount.h"

namespace quillet {

Frame::Frame() = default;

bool Frame::SetSampleRate(double rateHz) {
  sampleRate_ = rateHz;
  const bool a = grainA_.SetSampleRate(rateHz);
  const bool b = grainB_.SetSampleRate(rateHz);
  return a && b;
}

void Frame::Recalculate() {
  const int period = frameSync_ ? syncedFrameSamples_
                                : SampleCount::FloorClamped(sampleRate_ * frameLengthSeconds_);
  const int crossfade = SampleCount::FloorClamped(period * overlapPercent_ * 0.01);
  period_ = period;
  crossfade_ = crossfade;
  crossfadeStep_ = crossfade > 1 ? 1.0 / crossfade : 1.0;

  int grainSamples = grainSync_ ? syncedGrainSamples_
                                : SampleCount::FloorClamped(sampleRate_ * grainLengthSeconds_);
  if (grainSamples < 1) grainSamples = 1;

  if (!midi_ && frequencyHz_ > 0.0) {
    grainA_.SetPeriodSeconds(1.0 / frequencyHz_);
    grainB_.SetPeriodSeconds(1.0 / frequencyHz_);
  }

  lifetime_ = crossfade > 0 ? period + crossfade : period;
  grainA_.SetLifetime(lifetime_);
  grainB_.SetLifetime(lifetime_);
  grainA_.SetGrainSamples(grainSamples);
  grainB_.SetGrainSamples(grainSamples);
}

void Frame::RewindLoops() {
  grainA_.RewindLoop();
  grainB_.RewindLoop();
}

void Frame::SetGrainFadeIn(double p) {
  const FadeCurve curve = FadeCurve::FromParameter(p);
  grainA_.SetGrainFadeIn(curve);
  grainB_.SetGrainFadeIn(curve);
}

void Frame::SetGrainFadeOut(double p) {
  const FadeCurve curve = FadeCurve::FromParameter(p);
  grainA_.SetGrainFadeOut(curve);
  grainB_.SetGrainFadeOut(curve);
}

void Frame::SetFrameFadeIn(double p) {
  const FadeCurve curve = FadeCurve::FromParameter(p);
  grainA_.SetFrameFadeIn(curve);
  grainB_.SetFrameFadeIn(curve);
}

void Frame::SetFrameFadeOut(double p) {
  const FadeCurve curve = FadeCurve::FromParameter(p);
  grainA_.SetFrameFadeOut(curve);
  grainB_.SetFrameFadeOut(curve);
}

}  // namespace quillet
