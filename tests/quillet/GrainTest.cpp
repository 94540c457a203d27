#include "quillet/Grain.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using quillet::FadeCurve;
using quillet::Grain;
using quillet::kLeft;
using quillet::kRight;
using quillet::MakeStereo;
using quillet::StereoSample;

namespace {

// Ticks the grain with the ramp first, first + 1, ... (right channel negated)
// and returns the left outputs.
std::vector<double> TickRamp(Grain& grain, int count, double first) {
  std::vector<double> out;
  for (int i = 0; i < count; ++i) {
    const double x = first + i;
    const StereoSample y = grain.Tick(MakeStereo(x, -x));
    EXPECT_EQ(y[kRight], -y[kLeft]) << "tick " << i;
    out.push_back(y[kLeft]);
  }
  return out;
}

// A grain at 1000 Hz (small buffers) started with the given lengths.
void StartGrain(Grain& grain, int grainSamples, int lifetime, double overlapPercent) {
  ASSERT_TRUE(grain.SetSampleRate(1000.0));
  grain.SetGrainSamples(grainSamples);
  grain.SetLifetime(lifetime);
  grain.SetOverlapPercent(overlapPercent);
  grain.Start();
}

}  // namespace

TEST(Grain, BufferIsSizedFromTheSampleRate) {
  struct Case {
    double rate;
    int maxGrain;
    int capacity;
  };
  const Case cases[] = {{44100.0, 88200, 132300},   {48000.0, 96000, 144000},
                        {88200.0, 176400, 264600},  {96000.0, 192000, 288000},
                        {192000.0, 384000, 576000}, {22050.5, 44101, 66151}};
  Grain grain;
  for (const Case& c : cases) {
    ASSERT_TRUE(grain.SetSampleRate(c.rate)) << c.rate;
    EXPECT_EQ(grain.MaxGrainSamples(), c.maxGrain) << c.rate;
    EXPECT_EQ(grain.Capacity(), c.capacity) << c.rate;
  }
}

TEST(Grain, IsSilentWithoutABuffer) {
  Grain grain;
  EXPECT_EQ(grain.Capacity(), 0);
  grain.SetGrainSamples(10);
  grain.SetLifetime(100);
  grain.Start();
  for (double y : TickRamp(grain, 5, 1.0)) EXPECT_EQ(y, 0.0);
  EXPECT_EQ(grain.Age(), 0);  // a grain that does not fit does not age
}

TEST(Grain, AnUnusableRateChangesNothing) {
  Grain grain;
  ASSERT_TRUE(grain.SetSampleRate(1000.0));
  EXPECT_FALSE(grain.SetSampleRate(0.0));
  EXPECT_FALSE(grain.SetSampleRate(-44100.0));
  EXPECT_EQ(grain.Capacity(), 3000);
}

TEST(Grain, TheSameRateKeepsTheRecording) {
  Grain grain;
  StartGrain(grain, 4, 100, 0.0);
  TickRamp(grain, 4, 1.0);
  EXPECT_TRUE(grain.SetSampleRate(1000.0));
  // Still looping over 1, 2, 3, 4 from where it was.
  EXPECT_EQ(TickRamp(grain, 4, 50.0), (std::vector<double>{1, 2, 3, 4}));
}

TEST(Grain, LongestGrainIsOneSampleShortOfTwoSeconds) {
  Grain grain;
  ASSERT_TRUE(grain.SetSampleRate(44100.0));
  grain.SetGrainSamples(88200);  // 2000 ms
  grain.Start();
  EXPECT_EQ(grain.LoopLength(), 88199.0);
  EXPECT_EQ(grain.GrainSamples(), 88199);
}

TEST(Grain, HardLoopPassesTheLiveInputThenRepeatsIt) {
  Grain grain;
  StartGrain(grain, 4, 12, 0.0);
  EXPECT_EQ(grain.Span(), 4.0);
  EXPECT_EQ(TickRamp(grain, 14, 1.0),
            (std::vector<double>{1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 0, 0}));
  EXPECT_EQ(grain.Age(), 12);  // over its lifetime: silent and unchanged
}

TEST(Grain, OverlapWidensTheSpanByHalfTheLoopAtFiftyPercent) {
  Grain grain;
  StartGrain(grain, 100, 1000, 50.0);
  EXPECT_EQ(grain.LoopLength(), 100.0);
  EXPECT_EQ(grain.Overlap(), 50.0);
  EXPECT_EQ(grain.Span(), 150.0);
  StartGrain(grain, 7, 1000, 33.0);
  EXPECT_EQ(grain.Overlap(), 2.0);  // floor(2.31)
}

TEST(Grain, LoopCrossfadeTailReadsTheOldRecordingInTheFirstCycle) {
  Grain grain;
  // L = 4, overlap 2, span 6.
  StartGrain(grain, 4, 100, 50.0);
  ASSERT_EQ(grain.Span(), 6.0);
  // Tick 0 takes all of its value from the tail head at 4, not yet written
  // (0); tick 1 is half of 2 and half of the unwritten 5. From the second
  // cycle the tail plays 5 and 6.
  EXPECT_EQ(TickRamp(grain, 10, 1.0), (std::vector<double>{0, 1, 3, 4, 5, 4, 3, 4, 5, 4}));

  // Started again, the first cycle's tail head plays what the previous use
  // left at 4 and 5.
  grain.Start();
  const std::vector<double> again = TickRamp(grain, 2, 101.0);
  EXPECT_EQ(again[0], 5.0);
  EXPECT_EQ(again[1], 0.5 * 102.0 + 0.5 * 6.0);
}

TEST(Grain, ANewRateStartsFromAnEmptyRecording) {
  Grain grain;
  StartGrain(grain, 4, 100, 50.0);
  TickRamp(grain, 10, 1.0);  // positions 4 and 5 now hold 5 and 6
  ASSERT_TRUE(grain.SetSampleRate(2000.0));
  ASSERT_TRUE(grain.SetSampleRate(1000.0));
  grain.Start();
  // As after the first allocation: the tail head finds zeros, not 5 and 6.
  EXPECT_EQ(TickRamp(grain, 2, 101.0), (std::vector<double>{0, 0.5 * 102.0}));
}

TEST(Grain, InterpolatingHeadsTrailByTwoSamples) {
  Grain grain;
  ASSERT_TRUE(grain.SetSampleRate(1000.0));
  grain.SetInterpolate(true);
  grain.SetPeriodSeconds(0.01);  // L = 10
  grain.SetLifetime(100);
  grain.Start();
  EXPECT_DOUBLE_EQ(grain.LoopLength(), 10.0);
  const std::vector<double> out = TickRamp(grain, 12, 1.0);
  // Head history: the output at tick n is the sample recorded at n - 2.
  const std::vector<double> expected{0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_DOUBLE_EQ(out[i], expected[i]) << i;
}

TEST(Grain, TailHeadContinuesTheMainHeadsHistory) {
  Grain grain;
  ASSERT_TRUE(grain.SetSampleRate(1000.0));
  grain.SetInterpolate(true);
  grain.SetPeriodSeconds(0.004);  // L = 4
  grain.SetOverlapPercent(50.0);  // span 6
  grain.SetLifetime(100);
  grain.Start();
  // At tick 4 (loop point) the tail head takes over head 0's history
  // (1, 2, 3, 4) and adds 5: it plays 3, where head 0 left off.
  const std::vector<double> out = TickRamp(grain, 7, 1.0);
  const std::vector<double> expected{0, 0, 1, 2, 3, 4, 1};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_DOUBLE_EQ(out[i], expected[i]) << i;
}

TEST(Grain, CatmullRomBetweenTheMiddleSamples) {
  Grain grain;
  ASSERT_TRUE(grain.SetSampleRate(1000.0));
  grain.SetInterpolate(true);
  grain.SetPeriodSeconds(0.01);
  grain.SetLifetime(100);
  grain.Start();
  for (double x : {0.0, 1.0, 0.0}) grain.Tick(MakeStereo(x, 2.0 * x));
  // The read pushes the unwritten buffer[3] (0): history 0, 1, 0, 0, and
  // halfway between 1 and 0: 1.5 x 0.125 - 2.5 x 0.25 + 1.
  const StereoSample y = grain.ReadHead(3.5, 0);
  EXPECT_DOUBLE_EQ(y[kLeft], 0.5625);
  EXPECT_DOUBLE_EQ(y[kRight], 1.125);
  // Head 1 has a history of its own (still zeros).
  EXPECT_EQ(grain.ReadHead(3.5, 1)[kLeft], 0.0);
}

TEST(Grain, FractionalLoopCarriesTheRemainder) {
  Grain grain;
  ASSERT_TRUE(grain.SetSampleRate(1000.0));
  grain.SetInterpolate(true);
  grain.SetPeriodSeconds(0.0025);  // L = 2.5
  grain.SetLifetime(100);
  grain.Start();
  const double expected[] = {1.0, 2.0, 0.5, 1.5, 0.0, 1.0};
  for (double position : expected) {
    grain.Tick(MakeStereo(0, 0));
    EXPECT_DOUBLE_EQ(grain.Position(), position);
  }
}

TEST(Grain, ShapesPeakAtTheSkew) {
  Grain grain;
  grain.SetGrainSkew(0.5);
  grain.SetGrainFadeIn(FadeCurve::FromParameter(0.5));    // linear
  grain.SetGrainFadeOut(FadeCurve::FromParameter(0.25));  // exponent 4
  EXPECT_DOUBLE_EQ(grain.GrainShape(0.0), 0.0);
  EXPECT_DOUBLE_EQ(grain.GrainShape(0.25), 0.5);
  EXPECT_DOUBLE_EQ(grain.GrainShape(0.5), 1.0);
  EXPECT_DOUBLE_EQ(grain.GrainShape(0.75), 1.0 - 0.0625);

  // Skew 0: the whole shape is a fade-out; skew 1: a fade-in.
  grain.SetFrameSkew(0.0);
  grain.SetFrameFadeOut(FadeCurve::FromParameter(0.75));  // exponent 0.5
  EXPECT_DOUBLE_EQ(grain.FrameShape(0.0), 1.0);
  EXPECT_DOUBLE_EQ(grain.FrameShape(0.25), 0.5);
  grain.SetFrameSkew(1.0);
  grain.SetFrameFadeIn(FadeCurve::FromParameter(0.375));  // exponent 2
  EXPECT_DOUBLE_EQ(grain.FrameShape(0.5), 0.75);
  EXPECT_DOUBLE_EQ(grain.FrameShape(0.999), 1.0 - 0.001 * 0.001);

  // Fades off: flat.
  Grain flat;
  flat.SetGrainSkew(0.3);
  EXPECT_EQ(flat.GrainShape(0.1), 1.0);
  EXPECT_EQ(flat.GrainShape(0.9), 1.0);
}

TEST(Grain, FrameEnvelopeSpansTheLifetime) {
  Grain grain;
  grain.SetFrameSkew(0.0);
  grain.SetFrameFadeOut(FadeCurve::FromParameter(0.5));  // linear fade-out
  StartGrain(grain, 100, 4, 0.0);
  EXPECT_EQ(TickRamp(grain, 5, 8.0), (std::vector<double>{8, 9 * 0.75, 10 * 0.5, 11 * 0.25, 0}));
}

TEST(Grain, AnUnplayableLengthIsSilentNotOutOfBounds) {
  Grain grain;
  ASSERT_TRUE(grain.SetSampleRate(1000.0));
  grain.SetInterpolate(true);
  grain.SetPeriodSeconds(1e300);  // a frequency near 0
  grain.SetLifetime(100);
  grain.Start();
  EXPECT_GT(grain.Span(), grain.Capacity());
  for (double y : TickRamp(grain, 3, 1.0)) EXPECT_EQ(y, 0.0);

  grain.SetPeriodSeconds(std::numeric_limits<double>::quiet_NaN());
  grain.SetOverlapPercent(std::numeric_limits<double>::infinity());
  grain.Start();
  EXPECT_EQ(grain.LoopLength(), 1.0);
  EXPECT_GT(grain.Span(), grain.Capacity());
  for (double y : TickRamp(grain, 3, 1.0)) EXPECT_EQ(y, 0.0);
}
