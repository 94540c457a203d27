#include "quillet/HighPass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using quillet::HighPass;
using quillet::kLeft;
using quillet::kRight;
using quillet::MakeStereo;
using quillet::StereoSample;

namespace {
constexpr double kPi = 3.14159265358979323846;

// The same sample on both channels; the left output.
double Process(HighPass& filter, double x) { return filter.Process(MakeStereo(x, x))[kLeft]; }

// Peak output over the last second of `seconds` of a sine of `hz`.
double SineGain(HighPass& filter, double rateHz, double hz, double seconds) {
  const int total = static_cast<int>(rateHz * seconds);
  const int settle = total - static_cast<int>(rateHz);
  double peak = 0.0;
  for (int i = 0; i < total; ++i) {
    const double y = Process(filter, std::sin(2.0 * kPi * hz * i / rateHz));
    if (i >= settle) peak = std::max(peak, std::fabs(y));
  }
  return peak;
}
}  // namespace

TEST(HighPass, WorksBeforeTheFirstReset) {
  HighPass filter;  // 44100 Hz from construction
  double y = 0.0;
  for (int i = 0; i < 44100; ++i) y = Process(filter, 1.0);
  EXPECT_TRUE(std::isfinite(y));
  EXPECT_LT(std::fabs(y), 1e-6);
}

TEST(HighPass, RemovesDcAndPassesAudioAtEveryRate) {
  for (double rate : {44100.0, 48000.0, 88200.0, 96000.0, 192000.0}) {
    HighPass filter;
    filter.SetSampleRate(rate);
    filter.Recalculate();
    double y = 0.0;
    for (int i = 0; i < static_cast<int>(rate); ++i) y = Process(filter, 0.5);
    EXPECT_LT(std::fabs(y), 1e-6) << rate;

    filter.Recalculate();
    EXPECT_NEAR(SineGain(filter, rate, 16.0, 3.0), std::sqrt(0.5), 0.01) << rate;
    filter.Recalculate();
    EXPECT_NEAR(SineGain(filter, rate, 1000.0, 1.5), 1.0, 0.001) << rate;
  }
}

TEST(HighPass, NotANumberIsReplacedByZero) {
  HighPass a;
  HighPass b;
  for (int i = 0; i < 10; ++i) {
    Process(a, 0.25);
    Process(b, 0.25);
  }
  // A NaN sample acts as a 0 sample (without the anti-denormal offset): both
  // filters stay in step.
  EXPECT_NEAR(Process(a, std::numeric_limits<double>::quiet_NaN()), Process(b, 0.0), 1e-12);
  for (int i = 0; i < 10; ++i) EXPECT_NEAR(Process(a, 0.1), Process(b, 0.1), 1e-12);
}

TEST(HighPass, RecoversFromInfinityOnceTheInputIsClean) {
  HighPass filter;
  Process(filter, std::numeric_limits<double>::infinity());
  Process(filter, -std::numeric_limits<double>::infinity());
  double y = 0.0;
  for (int i = 0; i < 3; ++i) Process(filter, 0.0);
  for (int i = 0; i < 100; ++i) {
    y = Process(filter, 0.0);
    ASSERT_TRUE(std::isfinite(y)) << i;
  }
  EXPECT_LT(std::fabs(y), 1e-9);
}

TEST(HighPass, RecalculateClearsTheState) {
  HighPass filter;
  HighPass fresh;
  for (int i = 0; i < 100; ++i) Process(filter, 1.0);
  filter.Recalculate();
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Process(filter, 0.3), Process(fresh, 0.3));
}

TEST(HighPass, SilenceStaysAboveTheSubnormalRange) {
  HighPass filter;
  Process(filter, 1.0);
  for (int i = 0; i < 1000000; ++i) {
    const double y = Process(filter, 0.0);
    ASSERT_NE(std::fpclassify(y), FP_SUBNORMAL) << i;
  }
}

TEST(HighPass, ChannelsAreFilteredApart) {
  // Bad values on the right must not touch the left, and the left is what a
  // filter fed only that channel gives.
  HighPass stereo;
  HighPass leftAlone;
  const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity()};
  for (int i = 0; i < 2000; ++i) {
    const double x = std::sin(0.05 * i);
    const StereoSample y = stereo.Process(MakeStereo(x, i % 50 < 2 ? bad[i % 2] : 0.25));
    ASSERT_EQ(y[kLeft], leftAlone.Process(MakeStereo(x, 0.0))[kLeft]) << i;
    if (i % 50 == 10) {
      EXPECT_TRUE(std::isfinite(y[kRight])) << i;
    }
  }
}
