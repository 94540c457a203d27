// A spectrogram of a clip for pictures: short-time magnitudes (Hann window,
// radix-2 FFT) on a grid of columns (time, evenly spaced over the clip) and
// rows (frequency, logarithmic from lowHz to highHz, row 0 the highest).
// Values are levels in dB relative to a full-scale sine.
#pragma once

#include <vector>

#include "tools/render/AudioClip.h"

namespace render {

class Spectrogram {
 public:
  static constexpr int kFftSize = 4096;

  // The mid signal (mean of the channels) of clip.
  Spectrogram(const AudioClip& clip, int columns, int rows, double lowHz, double highHz);
  virtual ~Spectrogram();

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  float levelDb(int column, int row) const {
    return levels_[static_cast<std::size_t>(row) * columns_ + column];
  }

 private:
  int columns_;
  int rows_;
  std::vector<float> levels_;
};

// In-place radix-2 transform of size re.size() (a power of two).
void fastFourierTransform(std::vector<double>* re, std::vector<double>* im);

}  // namespace render
