#pragma once

#include <cstring>

#include "quillet/FadeCurve.h"
#include "quillet/StereoSample.h"
#include "quillet/UnitPower.h"
#include "quillet/ZeroPageBuffer.h"

namespace quillet {

// One grain: records the stereo input into its own buffer from the moment its
// frame starts it and plays the first loopLength samples of that recording in a
// loop, crossfading `overlap` samples across the loop point.
//
// Two envelopes shape the output: the grain envelope over each loop cycle
// (GrainShape of position / span) and the frame envelope over the grain's whole
// lifetime (FrameShape of age / activeLifetime).
//
// Lengths are set in two steps. The frame writes the pending values
// (SetGrainSamples, SetLifetime, SetPeriodSeconds, SetOverlapPercent) whenever
// its parameters change; the grain takes them only in Recalculate, which runs
// when the frame starts it (Start). A grain that is playing or fading out keeps
// the lengths it started with.
//
// Buffer positions: during the first loopLength + overlap samples after a start
// the grain writes buffer[age] and then reads the same position, so its first
// cycle passes the live input. The tail head of the loop crossfade reads
// positions loopLength.. that are not yet written in the first cycle: it plays
// whatever the previous use of the grain left there (zeros after allocation).
// The buffer is never cleared between uses.
//
// Memory: the buffer holds three seconds, but only the pages a grain has
// written become resident (ZeroPageBuffer). A grain writes at most
// min(span, lifetime) pairs from the start of the buffer per use, so what it
// holds in memory is the longest such stretch since the last rate change: a
// few hundred kilobytes for a MIDI note, nothing for a grain never ticked.
//
// In interpolating mode (grain length from a frequency) each read head keeps a
// four-sample history, kept as a ring, and interpolates with a Catmull-Rom
// cubic between the two middle samples; the result trails the read position
// by two samples.
//
// Threads: SetSampleRate maps and releases memory and runs on the main thread
// with the instance lock held; everything else is audio-thread safe (no
// allocation, no system call).
class Grain {
 public:
  Grain();
  ~Grain() = default;
  Grain(const Grain&) = delete;
  Grain& operator=(const Grain&) = delete;

  // Makes a buffer of floor(2 x rate) x 3 / 2 stereo pairs (integer
  // arithmetic) from fresh zero pages, releasing the old one whole, and
  // rewinds position and age. A rate of 0 or less, or the rate already in use,
  // changes nothing. Returns false when the buffer could not be allocated; the
  // grain is then silent until a later call succeeds.
  bool SetSampleRate(double rateHz);

  // Takes the pending lengths: the loop length (from grainSamples, or from
  // sample rate x period when interpolating), the overlap, the span and the
  // lifetime.
  void Recalculate();

  // Recalculate, then position and age back to 0: the frame starts this grain.
  void Start();

  // Back to the start of the loop without touching the age (tempo grid, note-on).
  void RewindLoop() { position_ = 0.0; }

  // One sample: records `input` while age < span, returns the looped output.
  // Silent and unchanged once its lifetime is over, or while the span does not
  // fit the buffer.
  // [audio] Inline, below.
  StereoSample Tick(StereoSample input);

  // The recording at read position x for read head 0 (main) or 1 (tail of the
  // loop crossfade). Silence at or beyond the span.
  StereoSample ReadHead(double x, int head);

  // The grain envelope (peak at grainSkew) and frame envelope (peak at
  // frameSkew) at x in 0..1.
  double GrainShape(double x) const;
  double FrameShape(double x) const;

  // Pending values, taken at the next Start.
  void SetGrainSamples(int samples) { grainSamples_ = samples; }
  void SetLifetime(int samples) { lifetime_ = samples; }
  void SetPeriodSeconds(double seconds) { period_ = seconds; }
  void SetOverlapPercent(double percent) { overlapPercent_ = percent; }

  // Values that act at once.
  void SetGrainSkew(double peak01) { grainSkew_ = peak01; }
  void SetFrameSkew(double peak01) { frameSkew_ = peak01; }
  void SetInterpolate(bool interpolate) { interpolate_ = interpolate; }
  void SetGrainFadeIn(FadeCurve curve) { grainFadeIn_ = curve; }
  void SetGrainFadeOut(FadeCurve curve) { grainFadeOut_ = curve; }
  void SetFrameFadeIn(FadeCurve curve) { frameFadeIn_ = curve; }
  void SetFrameFadeOut(FadeCurve curve) { frameFadeOut_ = curve; }

  int GrainSamples() const { return grainSamples_; }
  double PeriodSeconds() const { return period_; }
  bool Interpolates() const { return interpolate_; }
  double LoopLength() const { return loopLength_; }
  double Span() const { return span_; }
  double Position() const { return position_; }
  double Overlap() const { return overlap_; }
  int Capacity() const { return capacity_; }
  int MaxGrainSamples() const { return maxGrainSamples_; }
  int ActiveLifetime() const { return activeLifetime_; }
  int Age() const { return age_; }

 private:
  static double Shape(double x, double peak, const FadeCurve& in, const FadeCurve& out);
  // GrainShape(position / span).
  double GrainShapeAt(double position) const;
  // ReadHead, inlined into Tick.
  StereoSample ReadAt(double x, int head);

  ZeroPageBuffer pages_;          // owns the recording
  double* buffer_ = nullptr;      // capacity_ interleaved stereo pairs, in pages_
  double history_[2][4][2] = {};  // [head][ring position][channel]
  int historyOldest_[2] = {};     // [head]: ring position of the oldest pair

  int grainSamples_ = 1;
  int lifetime_ = 1;
  double period_ = 1.0;
  double overlapPercent_ = 0.0;
  double grainSkew_ = 0.0;
  double frameSkew_ = 0.0;
  bool interpolate_ = false;
  FadeCurve grainFadeIn_;
  FadeCurve grainFadeOut_;
  FadeCurve frameFadeIn_;
  FadeCurve frameFadeOut_;

  double sampleRate_ = -1.0;
  double loopLength_ = 1.0;
  double span_ = 1.0;
  double position_ = 0.0;
  double overlap_ = 0.0;
  double overlapInverse_ = 0.0;
  int capacity_ = 0;
  int maxGrainSamples_ = 1;
  int activeLifetime_ = 1;
  int age_ = 0;
};

// The per-sample path, inline: each frame ticks one or two grains per sample,
// and MIDI mode ticks up to eight frames.

inline double Grain::Shape(double x, double peak, const FadeCurve& in, const FadeCurve& out) {
  if (x < peak) return in.on ? 1.0 - UnitPower(1.0 - x / peak, in.exponent) : 1.0;
  return out.on ? 1.0 - UnitPower((x - peak) / (1.0 - peak), out.exponent) : 1.0;
}

inline double Grain::GrainShapeAt(double position) const {
  // With both grain fades off the shape is 1 everywhere: skip the division.
  if (!grainFadeIn_.on && !grainFadeOut_.on) return 1.0;
  return Shape(position / span_, grainSkew_, grainFadeIn_, grainFadeOut_);
}

inline StereoSample Grain::ReadAt(double x, int head) {
  if (x >= span_) return MakeStereo(0.0, 0.0);

  // x lies in 0..span and span fits the buffer (Tick checks), so the
  // truncation is the floor and the index is in range.
  const int n = static_cast<int>(x);
  const StereoSample newest = LoadStereo(&buffer_[2 * static_cast<size_t>(n)]);
  if (!interpolate_) return newest;

  // The history is a ring: the new pair replaces the oldest, and the oldest
  // is then the one after it. Shifting four pairs per read instead cost more
  // than the interpolation (the shifted values are read back at once).
  double(*h)[2] = history_[head];
  const int newestAt = historyOldest_[head];
  StoreStereo(h[newestAt], newest);
  const int oldest = (newestAt + 1) & 3;
  historyOldest_[head] = oldest;
  const StereoSample y0 = LoadStereo(h[oldest]);
  const StereoSample y1 = LoadStereo(h[(oldest + 1) & 3]);
  const StereoSample y2 = LoadStereo(h[(oldest + 2) & 3]);
  const StereoSample y3 = newest;

  const double f = x - n;
  const double f2 = f * f;
  const double f3 = f2 * f;
  return ((y3 - y0) * 0.5 + (y1 - y2) * 1.5) * f3 + (y0 - 2.5 * y1 + 2.0 * y2 - 0.5 * y3) * f2 +
         (y2 - y0) * 0.5 * f + y1;
}

inline StereoSample Grain::Tick(StereoSample input) {
  if (age_ >= activeLifetime_ || !(span_ <= capacity_)) return MakeStereo(0.0, 0.0);

  if (age_ < span_) StoreStereo(&buffer_[2 * static_cast<size_t>(age_)], input);

  const double b = position_;
  StereoSample v;
  if (b < overlap_) {
    // The tail head takes over head 0's history at the loop point, so its
    // interpolation continues exactly where head 0 left off.
    if (b < 1.0) {
      std::memcpy(history_[1], history_[0], sizeof history_[0]);
      historyOldest_[1] = historyOldest_[0];
    }
    v = GrainShapeAt(b) * ReadAt(b, 0);

    const double t = b + loopLength_;
    if (t < span_) {
      const double w = b * overlapInverse_;
      const StereoSample tail = ReadAt(t, 1);
      const double tailShape = GrainShapeAt(t);
      v = w * v + (1.0 - w) * tail * tailShape;
    }
  } else {
    v = GrainShapeAt(b) * ReadAt(b, 0);
  }

  // With both frame fades off the shape is 1 everywhere: skip the division.
  if (frameFadeIn_.on || frameFadeOut_.on)
    v *=
        Shape(static_cast<double>(age_) / activeLifetime_, frameSkew_, frameFadeIn_, frameFadeOut_);

  double next = b + 1.0;
  if (next >= loopLength_)
    next -= loopLength_;  // a fractional remainder carries into the next cycle
  position_ = next;
  ++age_;
  return v;
}

}  // namespace quillet
