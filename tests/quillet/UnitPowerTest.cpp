#include "quillet/UnitPower.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "quillet/FadeCurve.h"

using quillet::UnitPower;

TEST(UnitPower, FollowsStdPowOverTheFadeDomain) {
  // Every fade exponent the controls make in steps of 0.005, against bases
  // spread evenly over 0..1 and crowded towards 0 and 1, where the envelope
  // ends and peaks.
  double worstAbsolute = 0.0;
  double worstRelative = 0.0;
  for (int step = 1; step <= 200; ++step) {
    const double exponent = quillet::FadeCurve::FromParameter(step * 0.005).exponent;
    for (int i = 0; i <= 4000; ++i) {
      const double u = i / 4000.0;
      for (double x : {u, u * u * u * u, 1.0 - u * u * u * u * 1e-3}) {
        const double expected = std::pow(x, exponent);
        const double error = std::fabs(UnitPower(x, exponent) - expected);
        worstAbsolute = std::max(worstAbsolute, error);
        if (expected > 1e-20) worstRelative = std::max(worstRelative, error / expected);
      }
    }
  }
  EXPECT_LT(worstAbsolute, 1e-15);
  EXPECT_LT(worstRelative, 5e-14);
}

TEST(UnitPower, EndsOfTheDomainAreExact) {
  for (double exponent : {0.25, 0.5, 1.0, 2.0, 3.7, 16.0}) {
    EXPECT_EQ(UnitPower(0.0, exponent), 0.0) << exponent;
    EXPECT_EQ(UnitPower(1.0, exponent), 1.0) << exponent;
  }
  // Outside the domain (other than for the exact exponents): clamped, never
  // not-a-number.
  for (double exponent : {0.25, 0.5, 3.7, 16.0}) {
    EXPECT_EQ(UnitPower(-0.5, exponent), 0.0) << exponent;
    EXPECT_EQ(UnitPower(1.5, exponent), 1.0) << exponent;
    EXPECT_EQ(UnitPower(std::numeric_limits<double>::infinity(), exponent), 1.0) << exponent;
  }
  // The exponents the controls hit exactly take no rounding at all.
  EXPECT_EQ(UnitPower(0.3, 1.0), 0.3);
  EXPECT_EQ(UnitPower(0.3, 2.0), 0.3 * 0.3);
  // Not a number and results below the normal range give 0.
  EXPECT_EQ(UnitPower(std::numeric_limits<double>::quiet_NaN(), 3.0), 0.0);
  EXPECT_EQ(UnitPower(std::numeric_limits<double>::denorm_min(), 0.25), 0.0);
  EXPECT_EQ(UnitPower(1e-200, 16.0), 0.0);
  EXPECT_GT(UnitPower(1e-200, 0.25), 0.0);
}
