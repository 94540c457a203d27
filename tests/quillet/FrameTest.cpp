#include "quillet/Frame.h"

#include <gtest/gtest.h>

#include <vector>

using quillet::Frame;
using quillet::kLeft;
using quillet::MakeStereo;

namespace {

std::vector<double> TickRamp(Frame& frame, int count, double first) {
  std::vector<double> out;
  for (int i = 0; i < count; ++i) {
    const double x = first + i;
    out.push_back(frame.Tick(MakeStereo(x, x))[kLeft]);
  }
  return out;
}

// A frame at 1000 Hz: lengths in milliseconds are lengths in samples.
void SetUpFrame(Frame& frame, double frameMs, double grainMs, double overlapPercent) {
  ASSERT_TRUE(frame.SetSampleRate(1000.0));
  frame.SetFrameLengthSeconds(frameMs * 0.001);
  frame.SetGrainLengthSeconds(grainMs * 0.001);
  frame.SetOverlapPercent(overlapPercent);
  frame.Recalculate();
}

}  // namespace

TEST(Frame, LengthsFromMilliseconds) {
  Frame frame;
  ASSERT_TRUE(frame.SetSampleRate(44100.0));
  frame.SetFrameLengthSeconds(0.16);
  frame.SetGrainLengthSeconds(0.02);
  frame.SetOverlapPercent(50.0);
  frame.Recalculate();
  EXPECT_EQ(frame.PeriodSamples(), 7056);
  EXPECT_EQ(frame.CrossfadeSamples(), 3528);
  EXPECT_EQ(frame.LifetimeSamples(), 10584);
  frame.Tick(MakeStereo(0, 0));
  ASSERT_NE(frame.Current(), nullptr);
  EXPECT_EQ(frame.Current(), &frame.GrainB());  // the very first tick starts B
  EXPECT_EQ(frame.Current()->LoopLength(), 882.0);
  EXPECT_EQ(frame.Current()->ActiveLifetime(), 10584);
}

TEST(Frame, PendingLengthsWaitForTheNextGrain) {
  Frame frame;
  SetUpFrame(frame, 8, 3, 0);
  frame.Tick(MakeStereo(0, 0));
  frame.SetGrainLengthSeconds(0.005);
  frame.Recalculate();
  EXPECT_EQ(frame.Current()->LoopLength(), 3.0);
  TickRamp(frame, 7, 0.0);
  frame.Tick(MakeStereo(0, 0));  // the next frame period
  EXPECT_EQ(frame.Current(), &frame.GrainA());
  EXPECT_EQ(frame.Current()->LoopLength(), 5.0);
}

TEST(Frame, HardSwitchRestartsWithTheLiveInput) {
  Frame frame;
  SetUpFrame(frame, 8, 3, 0);
  EXPECT_EQ(TickRamp(frame, 16, 1.0),
            (std::vector<double>{1, 2, 3, 1, 2, 3, 1, 2, 9, 10, 11, 9, 10, 11, 9, 10}));
}

TEST(Frame, CrossfadeBlendsThePreviousGrainOut) {
  Frame frame;
  SetUpFrame(frame, 8, 3, 50);  // period 8, crossfade 4, lifetime 12
  ASSERT_EQ(frame.CrossfadeSamples(), 4);
  // First period: grain A has never been started (lifetime 1), so it passes
  // one sample and then falls silent under the rising grain B.
  // Second period: B (ages 8..11: 3, 1, 2, 3) fades out under A (9, 10, 11, ...).
  const std::vector<double> expected{1, 0.5,  1.5, 0.75, 2,  3,  1, 2,
                                     3, 3.25, 6.5, 7.5,  10, 11, 9, 10};
  const std::vector<double> out = TickRamp(frame, 16, 1.0);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_DOUBLE_EQ(out[i], expected[i]) << i;
}

TEST(Frame, CounterRestartsWhenThePeriodShrinksBelowIt) {
  Frame frame;
  SetUpFrame(frame, 100, 3, 0);
  TickRamp(frame, 50, 0.0);
  EXPECT_EQ(frame.Counter(), 50);
  const quillet::Grain* before = frame.Current();
  SetUpFrame(frame, 10, 3, 0);
  frame.Tick(MakeStereo(0, 0));
  EXPECT_EQ(frame.Counter(), 0);  // passed the period: wraps at once
  frame.Tick(MakeStereo(0, 0));
  EXPECT_NE(frame.Current(), before);  // and the next tick starts a new grain
  EXPECT_EQ(frame.Counter(), 1);
}

TEST(Frame, AZeroPeriodStartsAGrainEverySample) {
  // Before the sample rate is known the frame's rate is 1.0, so 160 ms gives a
  // period of 0 samples.
  Frame frame;
  frame.SetFrameLengthSeconds(0.16);
  frame.SetGrainLengthSeconds(0.02);
  frame.Recalculate();
  EXPECT_EQ(frame.PeriodSamples(), 0);
  for (int i = 0; i < 5; ++i) {
    frame.Tick(MakeStereo(1, 1));
    EXPECT_EQ(frame.Counter(), 0);
    EXPECT_EQ(frame.Current(), i % 2 == 0 ? &frame.GrainB() : &frame.GrainA());
  }
  // With buffers the effect is not silent: each new grain passes its input.
  ASSERT_TRUE(frame.GrainA().SetSampleRate(1000.0));
  ASSERT_TRUE(frame.GrainB().SetSampleRate(1000.0));
  EXPECT_EQ(TickRamp(frame, 4, 1.0), (std::vector<double>{1, 2, 3, 4}));
}

TEST(Frame, SyncedLengthsReplaceTheMilliseconds) {
  Frame frame;
  SetUpFrame(frame, 8, 3, 50);
  frame.SetSyncedFrameSamples(20);
  frame.SetSyncedGrainSamples(6);
  frame.SetFrameSync(true);
  frame.SetGrainSync(true);
  frame.Recalculate();
  EXPECT_EQ(frame.PeriodSamples(), 20);
  EXPECT_EQ(frame.CrossfadeSamples(), 10);
  EXPECT_EQ(frame.GrainA().GrainSamples(), 6);
  frame.SetSyncedGrainSamples(0);  // never below one sample
  frame.Recalculate();
  EXPECT_EQ(frame.GrainA().GrainSamples(), 1);
}

TEST(Frame, FrequencySetsTheGrainPeriodOutsideMidiMode) {
  Frame frame;
  frame.SetFrequencyHz(200.0);
  frame.Recalculate();
  EXPECT_DOUBLE_EQ(frame.GrainA().PeriodSeconds(), 0.005);
  EXPECT_DOUBLE_EQ(frame.GrainB().PeriodSeconds(), 0.005);
  frame.SetFrequencyHz(0.0);  // keeps the last period
  frame.Recalculate();
  EXPECT_DOUBLE_EQ(frame.GrainA().PeriodSeconds(), 0.005);
  frame.SetMidi(true);  // the note sets it instead
  frame.SetFrequencyHz(100.0);
  frame.Recalculate();
  EXPECT_DOUBLE_EQ(frame.GrainA().PeriodSeconds(), 0.005);
}

TEST(Frame, CrossfadeOfOneSampleSwitchesHard) {
  Frame frame;
  SetUpFrame(frame, 4, 4, 25);  // crossfade 1: weight 0 on that sample
  EXPECT_EQ(frame.CrossfadeSamples(), 1);
  EXPECT_EQ(frame.LifetimeSamples(), 5);
  const std::vector<double> out = TickRamp(frame, 6, 1.0);
  // The old grain's last lifetime sample (its loop back at 1) with weight 1,
  // then the new grain alone with the live input.
  EXPECT_EQ(out[4], 1.0);
  EXPECT_EQ(out[5], 6.0);
}
