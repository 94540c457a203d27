#include "tools/vsthost/SignalMeter.h"

#include <cmath>
#include <limits>

namespace vsthost {

SignalMeter::SignalMeter() : peak_(0.0), sumOfSquares_(0.0), frames_(0), nonFinite_(0) {}

SignalMeter::~SignalMeter() = default;

void SignalMeter::add(const float* samples, int frames) {
  for (int i = 0; i < frames; ++i) {
    addSample(samples[i]);
  }
}

void SignalMeter::add(const double* samples, int frames) {
  for (int i = 0; i < frames; ++i) {
    addSample(samples[i]);
  }
}

void SignalMeter::addSample(double value) {
  ++frames_;
  if (!std::isfinite(value)) {
    ++nonFinite_;
    return;
  }
  peak_ = std::fmax(peak_, std::fabs(value));
  sumOfSquares_ += value * value;
}

double SignalMeter::rms() const {
  const std::int64_t finite = frames_ - nonFinite_;
  return finite > 0 ? std::sqrt(sumOfSquares_ / static_cast<double>(finite)) : 0.0;
}

double SignalMeter::toDecibels(double value) {
  return value > 0.0 ? 20.0 * std::log10(value) : -std::numeric_limits<double>::infinity();
}

}  // namespace vsthost
