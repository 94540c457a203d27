#include "quillet/Envelope.h"

#include <gtest/gtest.h>

#include <cmath>

using quillet::Envelope;
using Stage = quillet::Envelope::Stage;

namespace {
constexpr double kLn10 = 2.302585092994046;

// Ticks until the stage changes; returns the number of ticks (or -1).
int TicksUntilStageLeaves(Envelope& envelope, Stage stage, int limit) {
  for (int i = 1; i <= limit; ++i) {
    envelope.Tick();
    if (envelope.GetStage() != stage) return i;
  }
  return -1;
}
}  // namespace

TEST(Envelope, TimeBaseIsForOneKilohertzUntilReset) {
  Envelope envelope;
  EXPECT_DOUBLE_EQ(envelope.TimeBase(), kLn10 / 1000.0);
  envelope.Reset(48000.0);
  EXPECT_DOUBLE_EQ(envelope.TimeBase(), kLn10 / 48000.0);
  EXPECT_TRUE(envelope.IsIdle());
}

TEST(Envelope, FastestAttackTakesFiveMilliseconds) {
  Envelope envelope;
  envelope.Reset(44100.0);
  envelope.SetAttack(0.0);
  envelope.NoteOn();
  EXPECT_DOUBLE_EQ(envelope.Target(), 1.0 / 0.9);
  EXPECT_DOUBLE_EQ(envelope.Coefficient(), std::pow(10.0, 2.3) * kLn10 / 44100.0);
  // (1 - c)^n <= 0.1: 220 samples, 4.99 ms.
  EXPECT_EQ(TicksUntilStageLeaves(envelope, Stage::kAttack, 1000), 220);
  EXPECT_EQ(envelope.Level(), 1.0);
  EXPECT_EQ(envelope.GetStage(), Stage::kDecay);
}

TEST(Envelope, ReleaseTimesFollowTheControl) {
  struct Case {
    double release;
    double seconds;
  };
  // 10^(4.5 p - 2.3) seconds for a full release.
  const Case cases[] = {{0.0, 0.005012}, {0.5, 0.891251}, {0.25, 0.066834}};
  for (const Case& c : cases) {
    Envelope envelope;
    envelope.Reset(44100.0);
    envelope.SetSustain(1.0);
    envelope.SetRelease(c.release);
    envelope.NoteOn();
    TicksUntilStageLeaves(envelope, Stage::kAttack, 10000);
    envelope.NoteOff();
    const int ticks = TicksUntilStageLeaves(envelope, Stage::kRelease, 1000000);
    EXPECT_NEAR(ticks / 44100.0, c.seconds, c.seconds * 0.01) << c.release;
    EXPECT_EQ(envelope.Level(), 0.0);
    EXPECT_TRUE(envelope.IsIdle());
  }
}

TEST(Envelope, DecayApproachesSustainWithItsTimeConstant) {
  Envelope envelope;
  envelope.Reset(44100.0);
  envelope.SetDecay(0.0);  // 0.2: time constant 10^(0.9 - 2.3) / ln 10 = 17.3 ms
  envelope.SetSustain(0.5);
  envelope.NoteOn();
  TicksUntilStageLeaves(envelope, Stage::kAttack, 10000);
  const double c = std::pow(10.0, 2.3 - 0.9) * kLn10 / 44100.0;
  EXPECT_DOUBLE_EQ(envelope.Coefficient(), c);
  const int tau = static_cast<int>(std::lround(1.0 / c));  // 762 samples
  EXPECT_NEAR(tau / 44100.0, 0.01732, 0.0001);
  for (int i = 0; i < tau; ++i) envelope.Tick();
  EXPECT_NEAR(envelope.Level() - 0.5, 0.5 * std::exp(-1.0), 0.002);
  EXPECT_EQ(envelope.GetStage(), Stage::kDecay);
}

TEST(Envelope, SustainZeroNeverEndsTheVoice) {
  Envelope envelope;
  envelope.Reset(44100.0);
  envelope.SetSustain(0.0);
  envelope.NoteOn();
  for (int i = 0; i < 200000; ++i) envelope.Tick();
  EXPECT_EQ(envelope.GetStage(), Stage::kDecay);
  EXPECT_LT(envelope.Level(), 1e-6);
}

TEST(Envelope, FullReleaseHoldsTheLevel) {
  Envelope envelope;
  envelope.Reset(44100.0);
  envelope.SetSustain(0.2);
  envelope.SetRelease(1.0);
  envelope.NoteOn();
  TicksUntilStageLeaves(envelope, Stage::kAttack, 10000);
  for (int i = 0; i < 10000; ++i) envelope.Tick();
  EXPECT_EQ(envelope.Level(), 1.0);  // decay and sustain have no effect
  envelope.NoteOff();
  for (int i = 0; i < 100000; ++i) envelope.Tick();
  EXPECT_EQ(envelope.Level(), 1.0);
  EXPECT_EQ(envelope.GetStage(), Stage::kRelease);
  envelope.Stop();
  EXPECT_EQ(envelope.Level(), 0.0);
  EXPECT_TRUE(envelope.IsIdle());
}

TEST(Envelope, NoteOffAtZeroGoesIdleAtOnce) {
  Envelope envelope;
  envelope.Reset(44100.0);
  envelope.NoteOn();
  envelope.NoteOff();  // no tick yet: level 0
  EXPECT_TRUE(envelope.IsIdle());
}

TEST(Envelope, RetriggerStartsFromThePresentLevel) {
  Envelope envelope;
  envelope.Reset(44100.0);
  envelope.SetRelease(0.5);
  envelope.NoteOn();
  TicksUntilStageLeaves(envelope, Stage::kAttack, 10000);
  envelope.NoteOff();
  for (int i = 0; i < 5000; ++i) envelope.Tick();
  const double level = envelope.Level();
  ASSERT_GT(level, 0.1);
  ASSERT_LT(level, 0.99);
  envelope.NoteOn();
  EXPECT_EQ(envelope.Level(), level);
  envelope.Tick();
  EXPECT_GT(envelope.Level(), level);
  EXPECT_EQ(envelope.GetStage(), Stage::kAttack);
}

TEST(Envelope, ControlsReachTheRunningStageOnly) {
  Envelope envelope;
  envelope.Reset(44100.0);
  envelope.SetAttack(1.0);
  envelope.NoteOn();
  envelope.SetAttack(2.0);  // clamped to 1
  EXPECT_DOUBLE_EQ(envelope.Coefficient(), std::pow(10.0, 2.3 - 4.5) * kLn10 / 44100.0);
  envelope.SetAttack(0.5);
  EXPECT_DOUBLE_EQ(envelope.Coefficient(), std::pow(10.0, 2.3 - 2.25) * kLn10 / 44100.0);
  envelope.SetRelease(0.0);  // not the running stage
  envelope.SetSustain(0.3);  // the target of the decay stage only
  EXPECT_DOUBLE_EQ(envelope.Coefficient(), std::pow(10.0, 2.3 - 2.25) * kLn10 / 44100.0);
  EXPECT_DOUBLE_EQ(envelope.Target(), 1.0 / 0.9);

  envelope.SetAttack(0.0);
  TicksUntilStageLeaves(envelope, Stage::kAttack, 100000);
  EXPECT_DOUBLE_EQ(envelope.Target(), 0.3);
  envelope.SetSustain(0.6);
  EXPECT_DOUBLE_EQ(envelope.Target(), 0.6);
  envelope.SetDecay(1.0);  // 0.2 + 0.8
  EXPECT_DOUBLE_EQ(envelope.Coefficient(), std::pow(10.0, 2.3 - 4.5) * kLn10 / 44100.0);

  envelope.NoteOff();
  envelope.SetRelease(0.25);
  EXPECT_DOUBLE_EQ(envelope.Coefficient(), std::pow(10.0, 2.3 - 1.125) * kLn10 / 44100.0);
  EXPECT_DOUBLE_EQ(envelope.Target(), -1.0 / 9.0);
}
