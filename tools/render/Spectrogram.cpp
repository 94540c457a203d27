#include "tools/render/Spectrogram.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace render {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr float kFloorDb = -140.0f;

}  // namespace

void fastFourierTransform(std::vector<double>* re, std::vector<double>* im) {
  const std::size_t n = re->size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; (j & bit) != 0; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) {
      std::swap((*re)[i], (*re)[j]);
      std::swap((*im)[i], (*im)[j]);
    }
  }
  for (std::size_t length = 2; length <= n; length <<= 1) {
    const double angle = -2.0 * kPi / static_cast<double>(length);
    const double stepRe = std::cos(angle), stepIm = std::sin(angle);
    for (std::size_t start = 0; start < n; start += length) {
      double wRe = 1.0, wIm = 0.0;
      for (std::size_t k = 0; k < length / 2; ++k) {
        const std::size_t a = start + k, b = a + length / 2;
        const double tRe = (*re)[b] * wRe - (*im)[b] * wIm;
        const double tIm = (*re)[b] * wIm + (*im)[b] * wRe;
        (*re)[b] = (*re)[a] - tRe;
        (*im)[b] = (*im)[a] - tIm;
        (*re)[a] += tRe;
        (*im)[a] += tIm;
        const double nextRe = wRe * stepRe - wIm * stepIm;
        wIm = wRe * stepIm + wIm * stepRe;
        wRe = nextRe;
      }
    }
  }
}

Spectrogram::Spectrogram(const AudioClip& clip, int columns, int rows, double lowHz, double highHz)
    : columns_(columns), rows_(rows), levels_(static_cast<std::size_t>(columns) * rows, kFloorDb) {
  const long long frames = clip.frameCount();
  if (frames == 0 || columns <= 0 || rows <= 0) return;
  std::vector<double> window(kFftSize);
  double windowSum = 0.0;
  for (int i = 0; i < kFftSize; ++i) {
    window[i] = 0.5 - 0.5 * std::cos(2.0 * kPi * i / kFftSize);
    windowSum += window[i];
  }
  // A full-scale sine peaks at windowSum / 2 in its bin.
  const double reference = windowSum / 2.0;
  const double binHz = clip.rateHz / kFftSize;
  const double nyquist = clip.rateHz / 2.0;
  highHz = std::min(highHz, nyquist);
  // The bin range each row covers (at least one bin).
  std::vector<int> firstBin(rows), lastBin(rows);
  for (int row = 0; row < rows; ++row) {
    const double fraction = static_cast<double>(rows - 1 - row) / rows;
    const double lo = lowHz * std::pow(highHz / lowHz, fraction);
    const double hi = lowHz * std::pow(highHz / lowHz, fraction + 1.0 / rows);
    firstBin[row] = std::max(1, static_cast<int>(std::floor(lo / binHz + 0.5)));
    lastBin[row] = std::min(kFftSize / 2, std::max(firstBin[row], static_cast<int>(hi / binHz)));
  }
  std::vector<double> re(kFftSize), im(kFftSize), magnitude(kFftSize / 2 + 1);
  for (int column = 0; column < columns; ++column) {
    const long long centre = static_cast<long long>((column + 0.5) * frames / columns);
    for (int i = 0; i < kFftSize; ++i) {
      const long long at = centre - kFftSize / 2 + i;
      double sample = 0.0;
      if (at >= 0 && at < frames) {
        for (const std::vector<double>& channel : clip.channels) {
          sample += channel[static_cast<std::size_t>(at)];
        }
        sample /= clip.channelCount();
      }
      re[i] = sample * window[i];
      im[i] = 0.0;
    }
    fastFourierTransform(&re, &im);
    for (int bin = 0; bin <= kFftSize / 2; ++bin) {
      magnitude[bin] = std::sqrt(re[bin] * re[bin] + im[bin] * im[bin]) / reference;
    }
    for (int row = 0; row < rows; ++row) {
      double peak = 0.0;
      for (int bin = firstBin[row]; bin <= lastBin[row]; ++bin)
        peak = std::max(peak, magnitude[bin]);
      const float db = peak > 0 ? static_cast<float>(20.0 * std::log10(peak)) : kFloorDb;
      levels_[static_cast<std::size_t>(row) * columns + column] = std::max(kFloorDb, db);
    }
  }
}

Spectrogram::~Spectrogram() = default;

}  // namespace render
