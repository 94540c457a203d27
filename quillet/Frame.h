#pragma once

#include "quillet/Grain.h"
#include "quillet/StereoSample.h"

namespace quillet {

// A frame starts a fresh grain every frame period and crossfades from the grain
// that ran before over the first `crossfade` samples of the new period. It owns
// two grains and alternates between them.
//
// Counting convention: `counter` is the number of samples since the last grain
// start. The tick that finds it at 0 starts the other grain; the counter wraps
// back to 0 as soon as it reaches or passes the frame period, so a period that
// shrinks below the running count, or a period of 0 (possible before the sample
// rate is known), starts a new grain at the next tick instead of never again.
//
// Lengths (all whole samples):
//   P (period)    = syncedFrameSamples with frame sync, else floor(rate x frame length)
//   X (crossfade) = floor(P x overlapPercent / 100)
//   G (grain)     = syncedGrainSamples with grain sync, else floor(rate x grain length), >= 1
//   lifetime      = P + X
// Recalculate hands G, the lifetime and, outside MIDI mode, 1 / frequency to
// both grains as pending values; each grain takes them when it is started.
//
// Threads: everything runs with the instance lock held; Tick is audio-safe.
class Frame {
 public:
  Frame();
  ~Frame() = default;
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  // Sample rate for the frame's own length arithmetic, and the grains' buffers.
  // Returns false when a grain could not make its buffer.
  bool SetSampleRate(double rateHz);

  void Recalculate();
  // [audio] Inline, below.
  StereoSample Tick(StereoSample input);

  // The next Tick starts a new grain.
  void RestartCounter() { counter_ = 0; }
  // Both grains back to the start of their loops.
  void RewindLoops();

  // Fade controls 0..1, applied to both grains at once.
  void SetGrainFadeIn(double p);
  void SetGrainFadeOut(double p);
  void SetFrameFadeIn(double p);
  void SetFrameFadeOut(double p);

  // Lengths and modes; they take effect with the next Recalculate.
  void SetGrainLengthSeconds(double seconds) { grainLengthSeconds_ = seconds; }
  void SetFrequencyHz(double hz) { frequencyHz_ = hz; }
  void SetFrameLengthSeconds(double seconds) { frameLengthSeconds_ = seconds; }
  void SetOverlapPercent(double percent) { overlapPercent_ = percent; }
  void SetSyncedGrainSamples(int samples) { syncedGrainSamples_ = samples; }
  void SetSyncedFrameSamples(int samples) { syncedFrameSamples_ = samples; }
  void SetGrainSync(bool on) { grainSync_ = on; }
  void SetMidi(bool on) { midi_ = on; }
  void SetFrameSync(bool on) { frameSync_ = on; }

  Grain& GrainA() { return grainA_; }
  Grain& GrainB() { return grainB_; }
  const Grain& GrainA() const { return grainA_; }
  const Grain& GrainB() const { return grainB_; }
  // Null until the first tick.
  const Grain* Current() const { return current_; }
  const Grain* Previous() const { return previous_; }

  int PeriodSamples() const { return period_; }
  int CrossfadeSamples() const { return crossfade_; }
  int LifetimeSamples() const { return lifetime_; }
  int Counter() const { return counter_; }

 private:
  Grain grainA_;
  Grain grainB_;
  Grain* current_ = nullptr;
  Grain* previous_ = nullptr;

  double grainLengthSeconds_ = 0.0;
  double frequencyHz_ = 110.0;
  double frameLengthSeconds_ = 0.0;
  double overlapPercent_ = 0.0;
  int syncedGrainSamples_ = 0;
  int syncedFrameSamples_ = 1;
  bool grainSync_ = false;
  bool midi_ = false;
  bool frameSync_ = false;

  double sampleRate_ = 1.0;
  double crossfadeStep_ = 1.0;
  int lifetime_ = 1;
  int crossfade_ = 0;
  int period_ = 0;
  int counter_ = 0;
};

// Inline: up to eight frames are ticked per sample.
inline StereoSample Frame::Tick(StereoSample input) {
  if (counter_ == 0) {
    if (current_ == &grainB_) {
      current_ = &grainA_;
      previous_ = &grainB_;
    } else {
      current_ = &grainB_;
      previous_ = &grainA_;
    }
    current_->Start();
  }

  const int k = counter_;
  StereoSample result;
  if (k < crossfade_) {
    const double w = k * crossfadeStep_;
    const StereoSample fading = previous_->Tick(input);
    const StereoSample rising = current_->Tick(input);
    result = (1.0 - w) * fading + w * rising;
  } else {
    result = current_->Tick(input);
  }

  // "Reaches or passes": the period may have shrunk below the count since the
  // grain started, or be 0 before the sample rate is known.
  ++counter_;
  if (counter_ >= period_) counter_ = 0;
  return result;
}

}  // namespace quillet
