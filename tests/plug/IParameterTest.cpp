#include "plug/IParameter.h"
#include "plug/TextUtil.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale.h>
#include <cmath>
#include <limits>
#include <string>

using plug::IParameter;
using plug::ParamKind;

namespace {

std::string Display(const IParameter& p, double v, bool normalized = false, bool texts = true) {
  char text[IParameter::kTextCapacity];
  p.FormatValue(v, normalized, text, texts);
  return text;
}

}  // namespace

TEST(IParameter, InitialisersNestWithOutermostKind) {
  IParameter sw;
  sw.InitSwitch("Sync", true);
  EXPECT_EQ(sw.Kind(), ParamKind::Switch);
  EXPECT_EQ(sw.Min(), 0.0);
  EXPECT_EQ(sw.Max(), 1.0);
  EXPECT_EQ(sw.Step(), 1.0);
  EXPECT_EQ(sw.DisplayPrecision(), 0);
  EXPECT_EQ(sw.Value(), 1.0);
  ASSERT_EQ(sw.ValueTextCount(), 2);
  EXPECT_EQ(Display(sw, 1.0), "on");
  EXPECT_EQ(Display(sw, 0.0), "off");
  EXPECT_EQ(Display(sw, 1.0, false, false), "1");
  // A value text is shown for both values, so the unit label is never shown.
  EXPECT_STREQ(sw.UnitLabel(), "");

  IParameter e;
  e.InitEnumeration("Mode", 2, 4, "x");
  EXPECT_EQ(e.Kind(), ParamKind::Enumeration);
  EXPECT_EQ(e.Max(), 3.0);
  EXPECT_STREQ(e.UnitLabel(), "x");
}

TEST(IParameter, RangeAlwaysSpansAtLeastOneStep) {
  IParameter p;
  p.InitContinuous("Empty", 0.0, 0.0, 0.0, 1.0);
  EXPECT_EQ(p.Max(), 1.0);
}

TEST(IParameter, PrecisionFollowsTheStep) {
  const struct {
    double step;
    int digits;
  } cases[] = {{1.0, 0}, {0.1, 1}, {0.01, 2}, {0.05, 2}, {0.001, 3}, {1e-9, 6}, {2.0, 0}};
  for (const auto& c : cases) {
    IParameter p;
    p.InitContinuous("p", 0.0, 0.0, 10.0, c.step);
    EXPECT_EQ(p.DisplayPrecision(), c.digits) << "step " << c.step;
  }
}

TEST(IParameter, SteppedKindsRoundHalvesUpContinuousDoesNot) {
  IParameter i;
  i.InitInteger("i", 0, 0, 10);
  EXPECT_EQ(i.SetFromNormalized(0.25), 3.0);
  IParameter c;
  c.InitContinuous("c", 0.0, 0.0, 10.0, 1.0);
  EXPECT_EQ(c.SetFromNormalized(0.25), 2.5);
  EXPECT_EQ(c.SetFromNormalized(1.7), 10.0);  // upper clamp
}

TEST(IParameter, ShapeBendsTheCurveBothWays) {
  IParameter p;
  p.InitContinuous("p", 0.0, 10.0, 110.0, 0.01, "", 2.0);
  EXPECT_DOUBLE_EQ(p.SetFromNormalized(0.5), 10.0 + 100.0 * 0.25);
  EXPECT_DOUBLE_EQ(p.NormalizedValue(), 0.5);
  EXPECT_EQ(p.ToNormalized(1000.0), 1.0);
  EXPECT_EQ(p.ToNormalized(-5.0), 0.0);
  // A zero shape keeps the previous one.
  IParameter q;
  q.InitContinuous("q", 0.0, 0.0, 1.0, 0.1, "", 0.0);
  EXPECT_EQ(q.Shape(), 1.0);
}

TEST(IParameter, NeverHoldsNanOrInfinity) {
  IParameter p;
  p.InitContinuous("p", 5.0, 1.0, 9.0, 0.1, "", 0.5);
  p.SetClamped(std::nan(""));
  EXPECT_EQ(p.Value(), 1.0);
  p.SetClamped(std::numeric_limits<double>::infinity());
  EXPECT_EQ(p.Value(), 9.0);
  p.SetClamped(-std::numeric_limits<double>::infinity());
  EXPECT_EQ(p.Value(), 1.0);
  p.SetClamped(4.0);
  p.SetFromNormalized(std::nan(""));
  EXPECT_EQ(p.Value(), 4.0);
  // A fractional shape of a negative normalised value would be NaN.
  p.SetFromNormalized(-0.5);
  EXPECT_EQ(p.Value(), 1.0);
  for (double v : {p.Value(), p.NormalizedValue()}) EXPECT_TRUE(std::isfinite(v));
  EXPECT_GE(p.NormalizedValue(), 0.0);
  EXPECT_LE(p.NormalizedValue(), 1.0);
}

TEST(IParameter, DisplayTexts) {
  IParameter neg;
  neg.InitInteger("n", 3, 0, 10);
  neg.SetNegateDisplay(true);
  EXPECT_EQ(Display(neg, 3.0), "-3");

  IParameter ms;
  ms.InitContinuous("Length", 35.0, 1.0, 1000.0, 0.1, "ms");
  EXPECT_EQ(Display(ms, 35.0), "35.0");
  EXPECT_EQ(Display(ms, 1.0, true), "1000.0");
  EXPECT_EQ(Display(ms, 2.75), "2.8");  // "%.1f" rounding of a binary 2.75

  IParameter whole;
  whole.InitInteger("w", 0, -10, 10);
  EXPECT_EQ(Display(whole, -2.9), "-2");  // truncated toward zero

  IParameter cb;
  cb.InitContinuous("dB", 0.0, 0.0, 1.0, 0.01);
  cb.SetDisplayFunction([](double v, char* text) { text[0] = v > 0.5 ? 'H' : 'L', text[1] = 0; });
  EXPECT_EQ(Display(cb, 0.9), "H");
  EXPECT_EQ(Display(cb, 0.9, false, false), "H");
}

TEST(IParameter, EmptyValueTextFallsBackToNumberAndLabel) {
  IParameter p;
  p.InitInteger("p", 0, 0, 4, "st");
  p.AddValueText(0, "");
  p.AddValueText(1, "one");
  EXPECT_EQ(Display(p, 0.0), "0");
  EXPECT_STREQ(p.UnitLabel(), "st");
  p.SetClamped(1.0);
  EXPECT_STREQ(p.UnitLabel(), "");
  p.SetClamped(2.0);
  EXPECT_STREQ(p.UnitLabel(), "st");
}

TEST(IParameter, LongNamesAreCutNotOverrun) {
  IParameter p;
  const std::string longName(200, 'n');
  p.InitContinuous(longName.c_str(), 0.0, 0.0, 1.0, 0.1, longName.c_str());
  EXPECT_EQ(std::string(p.Name()).size(), static_cast<size_t>(IParameter::kTextCapacity - 1));
  p.AddValueText(0, longName.c_str());
  char text[IParameter::kTextCapacity];
  p.FormatValue(0.0, false, text, true);
  EXPECT_EQ(std::string(text).size(), static_cast<size_t>(IParameter::kTextCapacity - 1));
  // Huge plain values still fit the text buffer.
  IParameter big;
  big.InitContinuous("b", 0.0, 0.0, 1e300, 0.000001);
  big.FormatValue(1e300, false, text, true);
  EXPECT_LT(std::string(text).size(), static_cast<size_t>(IParameter::kTextCapacity));
}

// A host running in a locale with a decimal comma must still see "0.5", and
// its typed "1.5" must still read as 1.5.
TEST(IParameter, NumberTextsIgnoreTheCLocale) {
  bool comma = false;
  for (const char* name :
       {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252", "de-DE"}) {
    if (std::setlocale(LC_NUMERIC, name) && std::localeconv()->decimal_point[0] == ',') {
      comma = true;
      break;
    }
  }
  if (!comma) {
    std::setlocale(LC_NUMERIC, "C");
    GTEST_SKIP() << "no decimal-comma locale installed";
  }
  IParameter p;
  p.InitContinuous("p", 0.5, 0.0, 1.0, 0.1);
  EXPECT_EQ(Display(p, 0.5), "0.5");
  EXPECT_EQ(plug::ParseLeadingNumber("1.5"), 1.5);
  EXPECT_EQ(plug::ParseLeadingNumber(" -2.25e1 ms"), -22.5);
  std::setlocale(LC_NUMERIC, "C");
}
