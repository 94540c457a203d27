#pragma once

#include "quillet/StereoSample.h"

namespace quillet {

// Second-order high-pass (quality 1/sqrt(2), cutoff 16 Hz by default) that
// takes the DC and subsonic rumble out of the wet signal. It filters a stereo
// pair: both channels have the same coefficients and their own state, and are
// computed together (StereoSample), exactly as two single-channel filters
// would compute them.
//
// Denormals: a tiny offset (1e-13) of alternating sign is added to the input
// and to every state value each sample, so the recursion never decays into the
// subnormal range during silence. Values in the input or the state that are
// not finite (not-a-number, infinities, overflow) are replaced by 0 instead, so
// one bad sample cannot poison the filter: its output is finite again from the
// third clean sample on.
//
// The coefficients are valid from construction (44100 Hz), so processing before
// the first reset is well defined.
class HighPass {
 public:
  static constexpr double kDefaultCutoffHz = 16.0;
  static constexpr double kDefaultSampleRateHz = 44100.0;
  static constexpr double kAntiDenormalOffset = 1e-13;

  HighPass();

  void SetSampleRate(double rateHz) { sampleRate_ = rateHz; }
  void SetCutoff(double cutoffHz) { cutoffHz_ = cutoffHz; }

  // New coefficients from the sample rate and cutoff (a rate of 0 or less acts
  // as a cutoff of 0); clears the state and restarts the offset.
  void Recalculate();

  // [audio] One stereo sample. Inline: it runs once per sample in the
  // engine's loop.
  inline StereoSample Process(StereoSample input);

 private:
  double sampleRate_ = kDefaultSampleRateHz;
  double cutoffHz_ = kDefaultCutoffHz;
  double b0_ = 0.0;  // also b2
  double b1_ = 0.0;
  double feedback1_ = 0.0;
  double feedback2_ = 0.0;
  // State per channel, as left/right pairs.
  double x1_[2] = {};
  double x2_[2] = {};
  double y1_[2] = {};
  double y2_[2] = {};
  double offset_ = kAntiDenormalOffset;
};

namespace detail {
// A value that is not finite becomes 0; anything else gets the offset.
// Infinities are cleaned too: an infinite state value would otherwise turn
// into not-a-number and back into infinity through the feedback for ever.
inline StereoSample CleanHighPassValues(StereoSample x, double offset) {
  // x - x is 0 in every lane that is finite, not a number in the others.
  return (x - x) == 0.0 ? x + offset : MakeStereo(0.0, 0.0);
}
}  // namespace detail

StereoSample HighPass::Process(StereoSample input) {
  // Only the input and the last output can be other than finite: x1, x2 and
  // y2 are copies of values cleaned on an earlier sample (and finite plus the
  // tiny offset stays finite), so for them the cleaning is the addition alone.
  const StereoSample x = detail::CleanHighPassValues(input, offset_);
  const StereoSample x1 = LoadStereo(x1_) + offset_;
  const StereoSample x2 = LoadStereo(x2_) + offset_;
  const StereoSample y1 = detail::CleanHighPassValues(LoadStereo(y1_), offset_);
  const StereoSample y2 = LoadStereo(y2_) + offset_;
  offset_ = -offset_;

  const StereoSample y = b0_ * (x + x2) + b1_ * x1 + feedback1_ * y1 + feedback2_ * y2;
  StoreStereo(x2_, x1);
  StoreStereo(x1_, x);
  StoreStereo(y2_, y1);
  StoreStereo(y1_, y);
  return y;
}

}  // namespace quillet
