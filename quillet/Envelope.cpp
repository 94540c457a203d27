#include "quillet/Envelope.h"

#include <cmath>

namespace quillet {

namespace {
constexpr double kLn10 = 2.302585092994046;
constexpr double kAttackTarget = 1.0 / 0.9;
constexpr double kReleaseTarget = -1.0 / 9.0;
}  // namespace

double Envelope::StepFactor(double p) const { return std::pow(10.0, 2.3 - 4.5 * p) * timeBase_; }

void Envelope::Reset(double sampleRateHz) {
  stage_ = Stage::kIdle;
  level_ = 0.0;
  timeBase_ = kLn10 / sampleRateHz;
}

void Envelope::SetAttack(double p) {
  attack_ = p < 0.0 ? 0.0 : (p > 1.0 ? 1.0 : p);
  if (stage_ == Stage::kAttack) coefficient_ = StepFactor(attack_);
}

void Envelope::SetDecay(double p) {
  decay_ = 0.2 + 0.8 * p;
  if (stage_ == Stage::kDecay) coefficient_ = StepFactor(decay_);
}

void Envelope::SetSustain(double level) {
  sustain_ = level;
  if (stage_ == Stage::kDecay) target_ = level;
}

void Envelope::SetRelease(double p) {
  release_ = p;
  if (stage_ == Stage::kRelease) coefficient_ = StepFactor(release_);
}

void Envelope::NoteOn() {
  stage_ = Stage::kAttack;
  target_ = kAttackTarget;
  coefficient_ = StepFactor(attack_);
}

void Envelope::NoteOff() {
  stage_ = Stage::kRelease;
  target_ = kReleaseTarget;
  coefficient_ = StepFactor(release_);
  if (level_ <= 0.0) {
    level_ = 0.0;
    stage_ = Stage::kIdle;
  }
}

void Envelope::Stop() {
  level_ = 0.0;
  stage_ = Stage::kIdle;
}

void Envelope::EndAttack() {
  level_ = 1.0;
  stage_ = Stage::kDecay;
  target_ = sustain_;
  coefficient_ = StepFactor(decay_);
}

}  // namespace quillet
