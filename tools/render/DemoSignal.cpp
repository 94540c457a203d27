#include "tools/render/DemoSignal.h"

#include <cmath>
#include <cstdint>

#include "tools/vsthost/TestSignal.h"

namespace render {

namespace {

constexpr int kStepsPerBar = 16;
constexpr double kPeak = 0.8;
constexpr double kSemitoneRatio = 1.0594630943592953;  // 2^(1/12)

// Which of the sixteen steps of a bar each drum plays.
constexpr bool kKick[kStepsPerBar] = {1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0};
constexpr bool kSnare[kStepsPerBar] = {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
constexpr bool kHat[kStepsPerBar] = {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 1};

// One chord per bar, MIDI note numbers: A minor, F major, C major, G major.
constexpr int kChordNotes = 3;
constexpr int kChordCount = 4;
constexpr int kChords[kChordCount][kChordNotes] = {
    {57, 60, 64}, {53, 57, 60}, {60, 64, 67}, {55, 59, 62}};

double noteHz(int note) {
  double hz = 440.0;
  for (int n = 69; n < note; ++n) hz *= kSemitoneRatio;
  for (int n = 69; n > note; --n) hz /= kSemitoneRatio;
  return hz;
}

// Per-sample factor that makes a decay fall by about 60 dB in decaySeconds
// (1 - 6.9/N approximates exp(-6.9/N) closely for the lengths used here).
double decayFactor(double decaySeconds, double rateHz) {
  return 1.0 - 6.9 / (decaySeconds * rateHz);
}

class Noise {
 public:
  double next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
  }

 private:
  std::uint32_t state_ = 0x2545F491u;
};

// A band-limited-enough saw: five harmonics at 1/k.
double softSaw(double cycles) {
  double sum = 0.0;
  for (int k = 1; k <= 5; ++k) {
    sum += vsthost::sineOfCycles(cycles * k) / k;
  }
  return sum;
}

}  // namespace

AudioClip DemoSignal::make(double rateHz, double tempoBpm, double seconds) {
  AudioClip clip;
  clip.rateHz = rateHz;
  const long long frames = static_cast<long long>(seconds * rateHz + 0.5);
  clip.channels.assign(2, std::vector<double>(static_cast<std::size_t>(frames > 0 ? frames : 0)));
  const double samplesPerStep = rateHz * 60.0 / tempoBpm / 4.0;

  Noise noise;
  double kickGain = 0.0, kickHz = 0.0, kickPhase = 0.0;
  double snareGain = 0.0, snarePhase = 0.0;
  double hatGain = 0.0, lastHatNoise = 0.0;
  const double kickDecay = decayFactor(0.35, rateHz);
  const double kickSweep = decayFactor(0.6, rateHz);
  const double snareDecay = decayFactor(0.18, rateHz);
  const double hatDecay = decayFactor(0.05, rateHz);
  const double padAttackStep = 1.0 / (0.25 * rateHz);

  double padPhase[kChordNotes][2] = {};
  double padLevel = 0.0;
  long long nextStepFrame = 0;
  long long step = 0;
  int chord = 0;

  for (long long i = 0; i < frames; ++i) {
    if (i == nextStepFrame) {
      const int inBar = static_cast<int>(step % kStepsPerBar);
      if (kKick[inBar]) {
        kickGain = 1.0;
        kickHz = 160.0;
      }
      if (kSnare[inBar]) snareGain = 0.7;
      if (kHat[inBar]) hatGain = inBar == 15 ? 0.2 : 0.35;
      if (inBar == 0) {
        chord = static_cast<int>((step / kStepsPerBar) % kChordCount);
        padLevel = 0.0;
      }
      ++step;
      nextStepFrame = static_cast<long long>(static_cast<double>(step) * samplesPerStep + 0.5);
    }

    // Kick: a sine falling from 160 Hz toward 45 Hz.
    const double kick = kickGain * vsthost::sineOfCycles(kickPhase);
    kickPhase += kickHz / rateHz;
    kickPhase -= static_cast<double>(static_cast<long long>(kickPhase));
    kickHz = 45.0 + (kickHz - 45.0) * kickSweep;
    kickGain *= kickDecay;

    // Snare: noise plus a 190 Hz body.
    const double snare = snareGain * (0.7 * noise.next() + 0.5 * vsthost::sineOfCycles(snarePhase));
    snarePhase += 190.0 / rateHz;
    snarePhase -= static_cast<double>(static_cast<long long>(snarePhase));
    snareGain *= snareDecay;

    // Hi-hat: differentiated noise, which leaves mostly the highs.
    const double hatNoise = noise.next();
    const double hat = hatGain * 0.5 * (hatNoise - lastHatNoise);
    lastHatNoise = hatNoise;
    hatGain *= hatDecay;

    // Pad: each chord note as two slightly detuned saws, one per side.
    padLevel = padLevel + padAttackStep < 1.0 ? padLevel + padAttackStep : 1.0;
    double padLeft = 0.0, padRight = 0.0;
    for (int n = 0; n < kChordNotes; ++n) {
      const double hz = noteHz(kChords[chord][n]);
      const double detune[2] = {0.998, 1.002};
      for (int side = 0; side < 2; ++side) {
        double& phase = padPhase[n][side];
        const double value = softSaw(phase);
        phase += hz * detune[side] / rateHz;
        phase -= static_cast<double>(static_cast<long long>(phase));
        (side == 0 ? padLeft : padRight) += value;
      }
    }
    const double pad = 0.06 * padLevel;

    const double centre = kick + snare;
    clip.channels[0][static_cast<std::size_t>(i)] = centre + 0.8 * hat + pad * padLeft;
    clip.channels[1][static_cast<std::size_t>(i)] = centre + 1.0 * hat + pad * padRight;
  }

  double peak = 0.0;
  for (const std::vector<double>& channel : clip.channels) {
    for (double sample : channel) {
      const double magnitude = sample < 0 ? -sample : sample;
      if (magnitude > peak) peak = magnitude;
    }
  }
  if (peak > 0.0) {
    const double gain = kPeak / peak;
    for (std::vector<double>& channel : clip.channels) {
      for (double& sample : channel) sample *= gain;
    }
  }
  return clip;
}

}  // namespace render
