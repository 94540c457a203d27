// A deterministic stereo test signal: a sine on each channel (440 Hz left,
// 660 Hz right, amplitude 0.4) plus bursts of white noise that start every
// quarter second and decay by about 60 dB within 0.1 s.
//
// Only additions, multiplications and divisions of doubles are used (a
// polynomial sine, an integer noise generator, a multiplicative decay), so the
// 32-bit and 64-bit Windows builds and the native build generate bit-identical
// samples, which lets their outputs be compared byte for byte.
#pragma once

#include <cstdint>

namespace vsthost {

class TestSignal {
 public:
  explicit TestSignal(double rateHz, std::uint32_t seed = 0x51C0FFEEu);
  virtual ~TestSignal();

  // The next frames samples of each channel. Consecutive calls continue the
  // signal.
  virtual void render(double* left, double* right, int frames);
  void render(float* left, float* right, int frames);

 private:
  double nextNoise();

  double rateHz_;
  double leftPhase_;  // cycles, 0..1
  double rightPhase_;
  double leftStep_;
  double rightStep_;
  std::uint32_t noiseState_;
  double burstGain_;
  double burstDecayPerSample_;
  std::int64_t burstPeriodSamples_;
  std::int64_t position_;
};

// sin(2 pi cycles) for any cycles, with an error below 1e-7.
double sineOfCycles(double cycles);

}  // namespace vsthost
