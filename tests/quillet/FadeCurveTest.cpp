#include "quillet/FadeCurve.h"

#include <gtest/gtest.h>

#include <cmath>

using quillet::FadeCurve;

TEST(FadeCurve, ExponentsFollowTheTwoHalves) {
  struct Case {
    double p;
    double exponent;
  };
  const Case cases[] = {{0.25, 4.0},           {0.5, 1.0},   {0.75, 0.5},
                        {1.0, 0.25},           {0.375, 2.0}, {0.01, std::exp2(3.92)},
                        {0.6, std::exp2(-0.4)}};
  for (const Case& c : cases) {
    const FadeCurve curve = FadeCurve::FromParameter(c.p);
    EXPECT_TRUE(curve.on) << "p = " << c.p;
    EXPECT_DOUBLE_EQ(curve.exponent, c.exponent) << "p = " << c.p;
  }
}

TEST(FadeCurve, ZeroOrLessSwitchesTheFadeOff) {
  EXPECT_FALSE(FadeCurve::FromParameter(0.0).on);
  EXPECT_FALSE(FadeCurve::FromParameter(-0.5).on);
  EXPECT_TRUE(FadeCurve::FromParameter(1e-9).on);
}
