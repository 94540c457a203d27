// The parameters as a CLAP host sees them, against the VST 2 build's: the
// same 29 with stable ids, the same display texts and parsing, steps where
// VST 2 hosts see steps, and host changes that land as VST 2's do.
#include <cmath>
#include <memory>

#include "e2e/clap/ClapFixture.h"
#include "tools/render/ClapRenderPlugin.h"
#include "tools/render/Vst2RenderPlugin.h"

namespace e2e_clap {

namespace {

class ClapAndVst2 : public ShippedClap {
 protected:
  void SetUp() override {
    ShippedClap::SetUp();
    std::string error;
    ASSERT_TRUE(vst2_.load(QUILLET_PLUGIN_PATH, &error)) << error;
    vst2_.open(44100.0, 512);
    ASSERT_TRUE(clap_.load(QUILLET_CLAP_PATH, &error)) << error;
  }
  render::Vst2RenderPlugin vst2_;
  render::ClapRenderPlugin clap_;
};

}  // namespace

TEST_F(ShippedClap, ParametersHaveStableIdsRangesAndFlags) {
  const auto infos = host_.paramInfos();
  ASSERT_EQ(infos.size(), static_cast<std::size_t>(kParamCount));
  for (int i = 0; i < kParamCount; ++i) {
    const auto& info = infos[static_cast<std::size_t>(i)];
    SCOPED_TRACE(info.name);
    EXPECT_EQ(info.id, static_cast<clap::Id>(i));
    EXPECT_TRUE(info.flags & clap::kParamIsAutomatable);
    EXPECT_LT(info.min, info.max);
    EXPECT_GE(info.def, info.min);
    EXPECT_LE(info.def, info.max);
    // The value right after creation is the default.
    EXPECT_EQ(host_.paramValue(info.id), info.def);
    if (info.flags & clap::kParamIsStepped) {
      EXPECT_EQ(info.min, std::floor(info.min));
      EXPECT_EQ(info.max, std::floor(info.max));
    } else {
      EXPECT_EQ(info.min, 0.0);
      EXPECT_EQ(info.max, 1.0);
      EXPECT_FALSE(info.flags & clap::kParamIsEnum);
    }
  }
  EXPECT_TRUE(infos[kGrainMode].flags & clap::kParamIsEnum);
  EXPECT_EQ(infos[kGrainMode].module, "Grain");
  EXPECT_FALSE(host_.params()->getInfo(host_.plugin(), kParamCount, nullptr));
  double v = 0.0;
  EXPECT_FALSE(host_.params()->getValue(host_.plugin(), kParamCount, &v));
  EXPECT_FALSE(host_.params()->getValue(host_.plugin(), clap::kInvalidId, &v));
}

// Names, steps, display texts of values all over each range, and parsing
// those texts back, exactly as the VST 2 build gives them.
TEST_F(ClapAndVst2, EveryParameterShowsAndParsesTheVst2Texts) {
  ASSERT_EQ(clap_.parameterCount(), vst2_.parameterCount());
  for (int i = 0; i < kParamCount; ++i) {
    SCOPED_TRACE(vst2_.parameterName(i));
    EXPECT_EQ(clap_.parameterName(i), vst2_.parameterName(i));
    EXPECT_EQ(clap_.isStepped(i), vst2_.isStepped(i));
    for (double n : {0.0, 0.07, 0.25, 0.5, 0.61, 0.9, 1.0}) {
      SCOPED_TRACE(n);
      vst2_.setParameter(i, n);
      clap_.setParameter(i, n);
      const std::string display = vst2_.parameterDisplay(i);
      EXPECT_EQ(clap_.parameterDisplay(i), display);
      EXPECT_NEAR(clap_.parameterNormalised(i), vst2_.parameterNormalised(i), 1e-6);
      // Text to value reads the text as VST 2's effString2Parameter does
      // (for the texts of display functions, such as Volume's decibels,
      // that is the leading number as a plain value, as in VST 2): the value
      // shows the text VST 2 shows after the same parse, and a host setting
      // it hears the same.
      double parsed = 0.0;
      ASSERT_TRUE(clap_.host().paramFromText(static_cast<clap::Id>(i), display, &parsed));
      ASSERT_TRUE(vst2_.setParameterText(i, display));
      EXPECT_EQ(clap_.host().paramText(static_cast<clap::Id>(i), parsed),
                vst2_.parameterDisplay(i));
      ASSERT_TRUE(clap_.setParameterText(i, display));
      EXPECT_EQ(clap_.parameterDisplay(i), vst2_.parameterDisplay(i));
    }
  }
}

TEST_F(ShippedClap, TextsRefuseWhatNamesNoValue) {
  double v = 0.0;
  EXPECT_FALSE(host_.paramFromText(kGrainMode, "no such mode", &v));
  EXPECT_FALSE(host_.paramFromText(kParamCount, "1", &v));
  EXPECT_FALSE(host_.params()->textToValue(host_.plugin(), kMix, nullptr, &v));
  char text[8];
  EXPECT_FALSE(host_.params()->valueToText(host_.plugin(), kMix, std::nan(""), text, sizeof text));
  // A short buffer gets a terminated text.
  ASSERT_TRUE(host_.params()->valueToText(host_.plugin(), 3, 0.5, text, 4));
  EXPECT_LE(std::string(text).size(), 3u);
  // A long host text is read to a bound, not past it.
  const std::string longText(100000, '7');
  EXPECT_TRUE(host_.paramFromText(kVolume, longText, &v));
  EXPECT_EQ(v, 1.0);  // clamped to the top of the range
}

// Host values out of range or not finite, and ids naming nothing, change
// nothing they should not.
TEST_F(ShippedClap, HostValuesAreClampedAndBadOnesIgnored) {
  const std::vector<double> before = values();
  setValue(kParamCount, 0.5);
  setValue(kMix, std::nan(""));
  setValue(kMix, INFINITY);
  EXPECT_EQ(values(), before);
  setValue(kMix, 7.0);
  EXPECT_EQ(host_.paramValue(kMix), 1.0);
  setValue(kGrainMode, -3.0);
  EXPECT_EQ(host_.paramValue(kGrainMode), 0.0);
  setValue(kGrainMode, 2.0);
  EXPECT_EQ(host_.paramValue(kGrainMode), 2.0);
}

}  // namespace e2e_clap
