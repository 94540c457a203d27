#include "quillet/HighPass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using quillet::HighPass;

namespace {
constexpr double kPi = 3.14159265358979323846;

// Peak output over the last second of `seconds` of a sine of `hz`.
double SineGain(HighPass& filter, double rateHz, double hz, double seconds) {
  const int total = static_cast<int>(rateHz * seconds);
  const int settle = total - static_cast<int>(rateHz);
  double peak = 0.0;
  for (int i = 0; i < total; ++i) {
    const double y = filter.Process(std::sin(2.0 * kPi * hz * i / rateHz));
    if (i >= settle) peak = std::max(peak, std::fabs(y));
  }
  return peak;
}
}  // namespace

TEST(HighPass, WorksBeforeTheFirstReset) {
  HighPass filter;  // 44100 Hz from construction
  double y = 0.0;
  for (int i = 0; i < 44100; ++i) y = filter.Process(1.0);
  EXPECT_TRUE(std::isfinite(y));
  EXPECT_LT(std::fabs(y), 1e-6);
}

TEST(HighPass, RemovesDcAndPassesAudioAtEveryRate) {
  for (double rate : {44100.0, 48000.0, 88200.0, 96000.0, 192000.0}) {
    HighPass filter;
    filter.SetSampleRate(rate);
    filter.Recalculate();
    double y = 0.0;
    for (int i = 0; i < static_cast<int>(rate); ++i) y = filter.Process(0.5);
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
    a.Process(0.25);
    b.Process(0.25);
  }
  // A NaN sample acts as a 0 sample (without the anti-denormal offset): both
  // filters stay in step.
  EXPECT_NEAR(a.Process(std::numeric_limits<double>::quiet_NaN()), b.Process(0.0), 1e-12);
  for (int i = 0; i < 10; ++i) EXPECT_NEAR(a.Process(0.1), b.Process(0.1), 1e-12);
}

TEST(HighPass, RecoversFromInfinityOnceTheInputIsClean) {
  HighPass filter;
  filter.Process(std::numeric_limits<double>::infinity());
  filter.Process(-std::numeric_limits<double>::infinity());
  double y = 0.0;
  for (int i = 0; i < 3; ++i) filter.Process(0.0);
  for (int i = 0; i < 100; ++i) {
    y = filter.Process(0.0);
    ASSERT_TRUE(std::isfinite(y)) << i;
  }
  EXPECT_LT(std::fabs(y), 1e-9);
}

TEST(HighPass, RecalculateClearsTheState) {
  HighPass filter;
  HighPass fresh;
  for (int i = 0; i < 100; ++i) filter.Process(1.0);
  filter.Recalculate();
  for (int i = 0; i < 10; ++i) EXPECT_EQ(filter.Process(0.3), fresh.Process(0.3));
}

TEST(HighPass, SilenceStaysAboveTheSubnormalRange) {
  HighPass filter;
  filter.Process(1.0);
  for (int i = 0; i < 1000000; ++i) {
    const double y = filter.Process(0.0);
    ASSERT_NE(std::fpclassify(y), FP_SUBNORMAL) << i;
  }
}
