#pragma once

namespace quillet {

// The ADSR envelope of one MIDI voice: a one-pole approach to a target that lies
// beyond the level where the stage ends, so every stage ends in finite time.
//
//   stage    target            ends when          coefficient from
//   attack   1 / 0.9           level >= 1         attack
//   decay    sustain           (never)            0.2 + 0.8 x decay
//   release  -1 / 9            level <= 0         release
//
// Each step: level += (target - level) x coefficient, with coefficient
// 10^(2.3 - 4.5 p) x ln(10) / sample rate for the stage's control p. A full
// attack or release therefore takes about 10^(4.5 p - 2.3) seconds: 5 ms at 0,
// 0.89 s at 0.5, 158 s at 1. A release control of exactly 1 holds the level at
// 1 through decay and release until the voice is stopped or stolen.
//
// Threads: the setters and the note operations run with the instance lock held,
// Tick on the audio thread under the same lock. Nothing allocates.
class Envelope {
 public:
  enum class Stage {
    kIdle = 0,
    kAttack = 1,
    kDecay = 2,  // decay, then sustain
    kRelease = 3,
  };

  Envelope() = default;

  // Sample rate for the time base, and back to idle at level 0.
  void Reset(double sampleRateHz);

  // Controls 0..1. A change reaches an envelope in the matching stage at once;
  // a new sustain also becomes the target of an envelope in the decay stage.
  void SetAttack(double p);
  void SetDecay(double p);  // stored as 0.2 + 0.8 x p
  void SetSustain(double level);
  void SetRelease(double p);

  // Attack from the present level (a retrigger does not jump to 0).
  void NoteOn();
  // Release; an envelope already at 0 or below goes idle at once.
  void NoteOff();
  // Silence at once.
  void Stop();

  // [audio] One step; call after the level has been used for this sample.
  // Inline, below.
  void Tick();

  double Level() const { return level_; }
  Stage GetStage() const { return stage_; }
  bool IsIdle() const { return stage_ == Stage::kIdle; }
  double Coefficient() const { return coefficient_; }
  double Target() const { return target_; }
  double TimeBase() const { return timeBase_; }

 private:
  double StepFactor(double p) const;
  // The attack has reached 1: on to the decay stage.
  void EndAttack();

  double level_ = 0.0;
  double attack_ = 0.0;
  double decay_ = 0.0;
  double sustain_ = 0.0;
  double release_ = 0.0;
  Stage stage_ = Stage::kIdle;
  double target_ = 0.0;
  double coefficient_ = 0.0;
  double timeBase_ = 0.002302585092994046;  // ln(10) / 1000 until the first reset
};

// Inline: MIDI mode steps up to eight envelopes per sample.
inline void Envelope::Tick() {
  if (stage_ == Stage::kIdle) return;
  level_ = level_ + (target_ - level_) * coefficient_;
  if (stage_ == Stage::kAttack) {
    if (level_ >= 1.0) EndAttack();
  } else if (release_ == 1.0) {
    level_ = 1.0;
  } else if (level_ <= 0.0) {
    level_ = 0.0;
    stage_ = Stage::kIdle;
  }
}

}  // namespace quillet
