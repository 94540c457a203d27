// The generated test signal and the meters the command-line host prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "tools/vsthost/SignalMeter.h"
#include "tools/vsthost/TestSignal.h"

namespace vsthost {
namespace {

TEST(TestSignal, SineMatchesTheLibrarySineOverManyCycles) {
  for (double cycles = -3.0; cycles <= 3.0; cycles += 0.0013) {
    EXPECT_NEAR(sineOfCycles(cycles), std::sin(2.0 * 3.14159265358979323846 * cycles), 1e-7)
        << "at " << cycles << " cycles";
  }
}

TEST(TestSignal, IsRepeatableAndIndependentOfBlockSplit) {
  constexpr int kFrames = 30000;
  TestSignal whole(48000.0);
  TestSignal pieces(48000.0);
  std::vector<double> left(kFrames), right(kFrames), left2(kFrames), right2(kFrames);
  whole.render(left.data(), right.data(), kFrames);
  for (int done = 0; done < kFrames;) {
    const int count = std::min(777, kFrames - done);
    pieces.render(left2.data() + done, right2.data() + done, count);
    done += count;
  }
  EXPECT_EQ(left, left2);
  EXPECT_EQ(right, right2);
}

TEST(TestSignal, StaysInRangeWithBurstsOnBothChannels) {
  constexpr double kRateHz = 44100.0;
  constexpr int kFrames = 44100;
  TestSignal signal(kRateHz);
  std::vector<float> left(kFrames), right(kFrames);
  signal.render(left.data(), right.data(), kFrames);
  SignalMeter leftMeter, rightMeter;
  leftMeter.add(left.data(), kFrames);
  rightMeter.add(right.data(), kFrames);
  EXPECT_LT(leftMeter.peak(), 1.0);
  EXPECT_LT(rightMeter.peak(), 1.0);
  // Above the bare sine's peak of 0.4: the noise bursts are there.
  EXPECT_GT(leftMeter.peak(), 0.45);
  EXPECT_GT(rightMeter.peak(), 0.45);
  EXPECT_NE(left, right);
}

TEST(TestSignal, BurstsDecayBeforeTheNextOne) {
  constexpr double kRateHz = 44100.0;
  const int burstPeriod = static_cast<int>(0.25 * kRateHz);
  TestSignal signal(kRateHz);
  std::vector<double> left(burstPeriod + 1), right(burstPeriod + 1);
  signal.render(left.data(), right.data(), burstPeriod + 1);
  // 0.1 s in, the burst is 60 dB down; the last sample before the next burst
  // is the bare sine to within that.
  const int last = burstPeriod - 1;
  EXPECT_NEAR(left[last], 0.4 * sineOfCycles(440.0 / kRateHz * last), 0.3e-3);
  // The next burst starts loud again.
  const double sineNext = 0.4 * sineOfCycles(440.0 / kRateHz * burstPeriod);
  EXPECT_GT(std::fabs(left[burstPeriod] - sineNext), 1e-6);
}

TEST(SignalMeter, MeasuresPeakRmsAndCountsNonFiniteSamples) {
  SignalMeter meter;
  EXPECT_EQ(meter.rms(), 0.0);
  const double square[] = {0.5, -0.5, 0.5, -0.5};
  meter.add(square, 4);
  const float loud[] = {-0.9f};
  meter.add(loud, 1);
  EXPECT_NEAR(meter.peak(), 0.9, 1e-7);
  EXPECT_NEAR(meter.rms(), std::sqrt((4 * 0.25 + 0.81) / 5.0), 1e-7);
  const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity()};
  meter.add(bad, 2);
  EXPECT_EQ(meter.nonFiniteCount(), 2);
  EXPECT_EQ(meter.frames(), 7);
  EXPECT_NEAR(meter.peak(), 0.9, 1e-7);
  EXPECT_EQ(SignalMeter::toDecibels(1.0), 0.0);
  EXPECT_TRUE(std::isinf(SignalMeter::toDecibels(0.0)));
}

}  // namespace
}  // namespace vsthost
