// Peak and RMS of one channel, accumulated over any number of blocks, and a
// count of non-finite samples (which a plug-in must never produce).
#pragma once

#include <cstdint>

namespace vsthost {

class SignalMeter {
 public:
  SignalMeter();
  virtual ~SignalMeter();

  void add(const float* samples, int frames);
  void add(const double* samples, int frames);

  double peak() const { return peak_; }
  // 0 before any sample.
  double rms() const;
  std::int64_t frames() const { return frames_; }
  // NaN and infinite samples seen; they count in neither peak nor RMS.
  std::int64_t nonFiniteCount() const { return nonFinite_; }

  // 20 log10(value), or -inf for 0.
  static double toDecibels(double value);

 private:
  void addSample(double value);

  double peak_;
  double sumOfSquares_;
  std::int64_t frames_;
  std::int64_t nonFinite_;
};

}  // namespace vsthost
