#include "tools/vsthost/TestSignal.h"

namespace vsthost {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSineAmplitude = 0.4;
constexpr double kBurstAmplitude = 0.3;
constexpr double kLeftHz = 440.0;
constexpr double kRightHz = 660.0;
constexpr double kBurstSpacingSeconds = 0.25;
// Per-sample factor so that the burst falls by 60 dB (a factor 1000) in about
// 0.1 s: (1 - 6.9 / n)^n approaches e^-6.9.
constexpr double kBurstDecaySeconds = 0.1;
constexpr double kLnOneThousand = 6.907755278982137;

}  // namespace

double sineOfCycles(double cycles) {
  // Reduce to [-0.5, 0.5) cycles, then to [-pi/2, pi/2] by symmetry.
  double reduced = cycles - static_cast<double>(static_cast<std::int64_t>(cycles));
  if (reduced >= 0.5) {
    reduced -= 1.0;
  } else if (reduced < -0.5) {
    reduced += 1.0;
  }
  double x = reduced * 2.0 * kPi;
  if (x > kPi / 2.0) {
    x = kPi - x;
  } else if (x < -kPi / 2.0) {
    x = -kPi - x;
  }
  // Taylor series to x^13; the first omitted term is below 7e-10 at pi/2.
  const double x2 = x * x;
  double sum = 1.0 / 6227020800.0;  // 1/13!
  sum = 1.0 / 39916800.0 - x2 * sum;
  sum = 1.0 / 362880.0 - x2 * sum;
  sum = 1.0 / 5040.0 - x2 * sum;
  sum = 1.0 / 120.0 - x2 * sum;
  sum = 1.0 / 6.0 - x2 * sum;
  sum = 1.0 - x2 * sum;
  return x * sum;
}

TestSignal::TestSignal(double rateHz, std::uint32_t seed)
    : rateHz_(rateHz > 0.0 ? rateHz : 44100.0),
      leftPhase_(0.0),
      rightPhase_(0.25),
      leftStep_(kLeftHz / rateHz_),
      rightStep_(kRightHz / rateHz_),
      noiseState_(seed != 0 ? seed : 1u),
      burstGain_(0.0),
      burstDecayPerSample_(1.0 - kLnOneThousand / (kBurstDecaySeconds * rateHz_)),
      burstPeriodSamples_(static_cast<std::int64_t>(kBurstSpacingSeconds * rateHz_)),
      position_(0) {
  if (burstPeriodSamples_ < 1) {
    burstPeriodSamples_ = 1;
  }
  if (burstDecayPerSample_ < 0.0) {
    burstDecayPerSample_ = 0.0;
  }
}

TestSignal::~TestSignal() = default;

double TestSignal::nextNoise() {
  // xorshift32: the same integer sequence on every platform.
  noiseState_ ^= noiseState_ << 13;
  noiseState_ ^= noiseState_ >> 17;
  noiseState_ ^= noiseState_ << 5;
  return static_cast<double>(noiseState_) / 2147483648.0 - 1.0;
}

void TestSignal::render(double* left, double* right, int frames) {
  for (int i = 0; i < frames; ++i) {
    if (position_ % burstPeriodSamples_ == 0) {
      burstGain_ = kBurstAmplitude;
    }
    const double noiseLeft = nextNoise() * burstGain_;
    const double noiseRight = nextNoise() * burstGain_;
    burstGain_ *= burstDecayPerSample_;
    left[i] = kSineAmplitude * sineOfCycles(leftPhase_) + noiseLeft;
    right[i] = kSineAmplitude * sineOfCycles(rightPhase_) + noiseRight;
    leftPhase_ += leftStep_;
    rightPhase_ += rightStep_;
    if (leftPhase_ >= 1.0) {
      leftPhase_ -= 1.0;
    }
    if (rightPhase_ >= 1.0) {
      rightPhase_ -= 1.0;
    }
    ++position_;
  }
}

void TestSignal::render(float* left, float* right, int frames) {
  constexpr int kChunkFrames = 256;
  double leftChunk[kChunkFrames];
  double rightChunk[kChunkFrames];
  for (int done = 0; done < frames;) {
    const int count = frames - done < kChunkFrames ? frames - done : kChunkFrames;
    render(leftChunk, rightChunk, count);
    for (int i = 0; i < count; ++i) {
      left[done + i] = static_cast<float>(leftChunk[i]);
      right[done + i] = static_cast<float>(rightChunk[i]);
    }
    done += count;
  }
}

}  // namespace vsthost
