// The platform-free half of the text entry: which characters a field keeps,
// and how a committed text becomes a value.
#include <gtest/gtest.h>

#include <string>

#include "GraphicsFixture.h"
#include "plug/IParameter.h"

namespace graphics_test {
namespace {

using graphics::IGraphics;
using graphics::IRect;

// Records the texts a control without a parameter receives.
class TextSink : public ProbeControl {
 public:
  using ProbeControl::ProbeControl;
  void SetTextFromPlugin(const char* text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

class TextEntryTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    for (int i = 0; i < 4; ++i) {
      controls_[i] = new ProbeControl(&plug_, IRect(10 * i, 0, 10 * i + 10, 10), i);
      Editor().AttachControl(controls_[i]);
    }
  }
  ProbeControl* controls_[4] = {};
};

TEST_F(TextEntryTest, NumbersKeepDigitsAndSignsAndContinuousOnesAPoint) {
  const plug::IParameter* level = plug_.GetParam(0);   // continuous
  const plug::IParameter* mode = plug_.GetParam(1);    // enumeration
  const plug::IParameter* bypass = plug_.GetParam(3);  // switch
  for (char c : std::string("0123456789+-")) {
    EXPECT_TRUE(IGraphics::TextEntryAccepts(level, c)) << c;
    EXPECT_TRUE(IGraphics::TextEntryAccepts(mode, c)) << c;
    EXPECT_TRUE(IGraphics::TextEntryAccepts(bypass, c)) << c;
  }
  EXPECT_TRUE(IGraphics::TextEntryAccepts(level, '.'));
  EXPECT_FALSE(IGraphics::TextEntryAccepts(mode, '.'));
  for (char c : std::string("aZ ,e/")) EXPECT_FALSE(IGraphics::TextEntryAccepts(level, c)) << c;
  EXPECT_TRUE(IGraphics::TextEntryAccepts(level, '\b'));
  // Without a parameter the field keeps everything.
  EXPECT_TRUE(IGraphics::TextEntryAccepts(nullptr, 'q'));
}

TEST_F(TextEntryTest, ATypedNumberSetsThePlainValue) {
  Editor().CommitTextEntry(controls_[2], plug_.GetParam(2), "1.5");
  EXPECT_DOUBLE_EQ(controls_[2]->Value(), plug_.GetParam(2)->ToNormalized(1.5));
  EXPECT_DOUBLE_EQ(plug_.GetParam(2)->Value(), 1.5);
  // Only the leading number counts; out of range clamps.
  Editor().CommitTextEntry(controls_[2], plug_.GetParam(2), "40 dB");
  EXPECT_EQ(controls_[2]->Value(), 1.0);
  Editor().CommitTextEntry(controls_[2], plug_.GetParam(2), "abc");
  EXPECT_EQ(plug_.GetParam(2)->Value(), 0.0);
}

TEST_F(TextEntryTest, AnEnumerationTakesTheMatchingValueTextOrZero) {
  Editor().CommitTextEntry(controls_[1], plug_.GetParam(1), "C");
  EXPECT_EQ(plug_.GetParam(1)->Value(), 2.0);
  EXPECT_EQ(controls_[1]->Value(), 1.0);
  Editor().CommitTextEntry(controls_[1], plug_.GetParam(1), "nothing");
  EXPECT_EQ(plug_.GetParam(1)->Value(), 0.0);
  Editor().CommitTextEntry(controls_[3], plug_.GetParam(3), "on");
  EXPECT_EQ(plug_.GetParam(3)->Value(), 1.0);
}

TEST_F(TextEntryTest, ALongTextIsReadUpToThirtyOneCharacters) {
  TextSink* sink = new TextSink(&plug_, IRect(50, 50, 60, 60));
  Editor().AttachControl(sink);
  const std::string typed(300, 'k');
  Editor().CommitTextEntry(sink, nullptr, typed.c_str());
  ASSERT_EQ(sink->texts.size(), 1u);
  EXPECT_EQ(sink->texts[0], std::string(31, 'k'));
  // A number longer than that is cut before it is read.
  Editor().CommitTextEntry(controls_[0], plug_.GetParam(0), ("0." + std::string(40, '5')).c_str());
  EXPECT_NEAR(plug_.GetParam(0)->Value(), 0.5555555555, 1e-9);
}

TEST_F(TextEntryTest, TheHeadlessFieldAppliesTheFilterAndTheLengthLimit) {
  Editor().OpenWindow(nullptr);
  controls_[2]->SetPromptDisabled(false);
  controls_[2]->PromptValue();
  ASSERT_TRUE(Editor().TextEntryOpen());
  Editor().TypeIntoEntry("-1x2.5e9999");
  EXPECT_EQ(Editor().EntryText(), "-12.599");  // 7 characters
  Editor().CancelEntry();
  Editor().Tick();
  EXPECT_FALSE(Editor().TextEntryOpen());
  EXPECT_EQ(plug_.GetParam(2)->Value(), 0.0);
  EXPECT_TRUE(log_.calls.empty());
}

}  // namespace
}  // namespace graphics_test
