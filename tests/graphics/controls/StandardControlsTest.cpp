// The standard controls: what each draws for its value and what the mouse
// does to it. Strips are small synthetic bitmaps whose pixels name their frame.
#include <gtest/gtest.h>

#include "graphics/GraphicsFixture.h"
#include "graphics/controls/IBitmapControl.h"
#include "graphics/controls/IFaderControl.h"
#include "graphics/controls/IKnobMultiControl.h"
#include "graphics/controls/ISwitchControl.h"
#include "graphics/controls/ITextControl.h"
#include "lice/LICE_Blit.h"
#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_SysBitmap.h"

namespace graphics_test {
namespace {

using graphics::IRect;

// Test strip ids (see TestGraphics): frames of 4 x 3 pixels.
constexpr int kOneFrame = kFirstTestBitmap + 10;
constexpr int kTwoFrames = kFirstTestBitmap + 20;
constexpr int kThreeFrames = kFirstTestBitmap + 30;
constexpr int kThreeFramesSideBySide = kFirstTestBitmap + 31;
constexpr int kKnobFrames = kFirstTestBitmap + 650;

// The knob's drag and wheel without a picture.
class PlainKnob : public graphics::IKnobControl {
 public:
  using IKnobControl::IKnobControl;
  bool Draw(graphics::IGraphics*) override { return true; }
};

class StandardControlsTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    Editor().OpenWindow(nullptr);
  }
  graphics::IFrameStrip Strip(int id, int frames, bool sideBySide = false) {
    return Editor().LoadBitmap(id, "test.png", frames, sideBySide);
  }
  graphics::IMouseState Left(bool shift = false, bool control = false) {
    graphics::IMouseState s;
    s.left = true;
    s.shift = shift;
    s.control = control;
    return s;
  }
};

TEST_F(StandardControlsTest, ABitmapControlShowsTheFrameOfItsValue) {
  auto* stacked = new graphics::IBitmapControl(&plug_, 0, 0, -1, Strip(kThreeFrames, 3));
  auto* side =
      new graphics::IBitmapControl(&plug_, 10, 0, -1, Strip(kThreeFramesSideBySide, 3, true));
  Editor().AttachControl(stacked);
  Editor().AttachControl(side);
  EXPECT_EQ(stacked->Rect(), IRect(0, 0, 4, 3));
  EXPECT_EQ(side->Rect(), IRect(10, 0, 14, 3));
  stacked->SetValue(0.5);
  side->SetValue(1.0);
  Tick();
  EXPECT_EQ(PixelAt(1, 2), MakePixel(1, 1, 2));
  EXPECT_EQ(PixelAt(13, 1), MakePixel(2, 3, 1));
  stacked->SetValue(0.2);  // rounds to frame 1
  stacked->MarkDirty(false);
  Tick();
  EXPECT_EQ(PixelAt(1, 2), MakePixel(0, 1, 2));
}

TEST_F(StandardControlsTest, SwitchesStepThroughTheirFramesAndWrap) {
  auto* two = new graphics::ISwitchControl(&plug_, 0, 0, 3, Strip(kTwoFrames, 2));
  auto* three = new graphics::ISwitchControl(&plug_, 20, 0, -1, Strip(kThreeFrames, 3));
  Editor().AttachControl(two);
  Editor().AttachControl(three);
  const double expectedTwo[] = {1.0, 0.0, 1.0};
  for (double v : expectedTwo) {
    Click(1, 1);
    EXPECT_EQ(two->Value(), v);
  }
  EXPECT_EQ(plug_.GetParam(3)->Value(), 1.0);
  const double expectedThree[] = {0.5, 1.0, 0.0, 0.5};
  for (double v : expectedThree) {
    Click(21, 1);
    EXPECT_EQ(three->Value(), v);
  }
  // A double click is one more click.
  Editor().OnMouseDblClick(21, 1, nullptr);
  EXPECT_EQ(three->Value(), 1.0);
}

TEST_F(StandardControlsTest, KnobFramesRunFromFirstToLast) {
  auto* knob = new graphics::IKnobMultiControl(&plug_, 0, 0, 0, Strip(kKnobFrames, 65));
  Editor().AttachControl(knob);
  const struct {
    double value;
    int frame;
  } cases[] = {{0.0, 1}, {0.5, 33}, {1.0, 65}, {-0.5, 1}, {1.5, 65}};
  for (const auto& c : cases) {
    knob->SetValue(c.value);
    EXPECT_EQ(knob->FrameForValue(), c.frame) << "value " << c.value;
  }
  knob->SetValue(0.5);
  Tick();
  EXPECT_EQ(PixelAt(2, 1), MakePixel(32, 2, 1));
}

TEST_F(StandardControlsTest, DraggingAKnobUpRaisesItByHeightTimesGearing) {
  auto* knob = new PlainKnob(&plug_, IRect(0, 0, 64, 64), 0);
  auto* wide =
      new PlainKnob(&plug_, IRect(100, 0, 164, 64), 2, graphics::IDirection::kHorizontal, 4.0);
  Editor().AttachControl(knob);
  Editor().AttachControl(wide);
  graphics::IMouseState s = Left();
  knob->SetValue(0.0);
  Editor().OnMouseDown(10, 60, &s);
  Editor().OnMouseDrag(10, -40, &s);  // 100 pixels up
  EXPECT_DOUBLE_EQ(knob->Value(), 0.390625);
  Editor().OnMouseUp(10, -40, &s);

  knob->SetValue(0.0);
  graphics::IMouseState fine = Left(true);
  Editor().OnMouseDown(10, 60, &fine);
  Editor().OnMouseDrag(10, -40, &fine);
  EXPECT_DOUBLE_EQ(knob->Value(), 0.0390625);
  Editor().OnMouseUp(10, -40, &fine);

  wide->SetValue(0.5);
  Editor().OnMouseDown(110, 10, &s);
  Editor().OnMouseDrag(174, 10, &s);  // 64 pixels to the right
  EXPECT_DOUBLE_EQ(wide->Value(), 0.75);
  Editor().OnMouseDrag(-500, 10, &s);  // far to the left: clamped
  EXPECT_EQ(wide->Value(), 0.0);
}

TEST_F(StandardControlsTest, WheelStepsAreAHundredthOrAThousandth) {
  auto* knob = new PlainKnob(&plug_, IRect(0, 0, 64, 64), 0);
  Editor().AttachControl(knob);
  knob->SetValue(0.5);
  graphics::IMouseState plain;
  Editor().OnMouseWheel(5, 5, &plain, 1);
  EXPECT_DOUBLE_EQ(knob->Value(), 0.51);
  graphics::IMouseState control;
  control.control = true;
  Editor().OnMouseWheel(5, 5, &control, -3);
  EXPECT_DOUBLE_EQ(knob->Value(), 0.507);
}

TEST_F(StandardControlsTest, AWheelTurnAgainstTheEndOfTheRangeTellsTheHostNothing) {
  auto* knob = new PlainKnob(&plug_, IRect(0, 0, 64, 64), 0);
  Editor().AttachControl(knob);
  graphics::IMouseState plain;
  for (double end : {1.0, 0.0}) {
    knob->SetValue(end);
    knob->ClearDirty();
    log_.Clear();
    Editor().OnMouseWheel(5, 5, &plain, end > 0.5 ? 3 : -3);
    EXPECT_EQ(log_.Joined(), "") << "at " << end;
    EXPECT_FALSE(knob->IsDirty()) << "at " << end;
  }
  // Off the end by less than a step: the turn reaches the end, once.
  knob->SetValue(0.995);
  Editor().OnMouseWheel(5, 5, &plain, 1);
  Editor().OnMouseWheel(5, 5, &plain, 1);
  EXPECT_EQ(knob->Value(), 1.0);
  EXPECT_EQ(log_.Joined(), "b0 a0 e0");
}

class FaderTest : public StandardControlsTest {
 protected:
  void SetUp() override {
    StandardControlsTest::SetUp();
    // A 6 x 10 handle on a 50-pixel track at (10, 10): travel 40.
    handleBitmap_ = MakeStripBitmap(6, 10, 1, false);
    graphics::IFrameStrip handle;
    handle.bitmap = handleBitmap_;
    handle.w = 6;
    handle.h = 10;
    fader_ = new graphics::IFaderControl(&plug_, 10, 10, 50, 0, handle);
    Editor().AttachControl(fader_);
  }
  void TearDown() override {
    StandardControlsTest::TearDown();
    delete handleBitmap_;
  }
  LICE_MemBitmap* handleBitmap_ = nullptr;
  graphics::IFaderControl* fader_ = nullptr;
};

TEST_F(FaderTest, TheHandleCentreFollowsThePointerAndClamps) {
  EXPECT_EQ(fader_->Rect(), IRect(10, 10, 16, 60));
  const struct {
    int y;
    double value;
  } cases[] = {{15, 1.0}, {55, 0.0}, {35, 0.5}, {0, 1.0}, {90, 0.0}};
  for (const auto& c : cases) {
    graphics::IMouseState s = Left();
    Editor().OnMouseDown(12, 12, &s);
    Editor().OnMouseDrag(12, c.y, &s);
    EXPECT_DOUBLE_EQ(fader_->Value(), c.value) << "y " << c.y;
    Editor().OnMouseUp(12, c.y, &s);
  }
}

TEST_F(FaderTest, TheHandleIsDrawnAlongTheTrack) {
  fader_->SetValue(0.5);
  Tick();
  EXPECT_EQ(fader_->HandleRect(), IRect(10, 30, 16, 40));
  EXPECT_EQ(PixelAt(10, 30), MakePixel(0, 0, 0));
  EXPECT_EQ(PixelAt(15, 39), MakePixel(0, 5, 9));
  // With handle-only hit the track beside the handle takes no click.
  fader_->SetHandleOnlyHit(true);
  EXPECT_TRUE(fader_->HitTest(12, 35));
  EXPECT_FALSE(fader_->HitTest(12, 20));
  fader_->SetHandleOnlyHit(false);
  EXPECT_TRUE(fader_->HitTest(12, 20));
}

TEST_F(FaderTest, ARightClickPromptsInsteadOfSnapping) {
  fader_->SetValue(0.5);
  Click(12, 15, true);
  EXPECT_EQ(fader_->Value(), 0.5);
}

TEST_F(StandardControlsTest, GrayedAndHiddenControlsLetClicksThroughToTheOneBelow) {
  ProbeControl* below = new ProbeControl(&plug_, IRect(0, 0, 40, 40));
  auto* above = new graphics::IBitmapControl(&plug_, 0, 0, 3, Strip(kOneFrame, 1));
  Editor().AttachControl(below);
  Editor().AttachControl(above);
  above->SetGrayed(true);
  Click(1, 1);
  EXPECT_EQ(below->log.size(), 2u);
  above->SetGrayed(false);
  above->Hide(true);
  Click(1, 1);
  EXPECT_EQ(below->log.size(), 4u);
  above->Hide(false);
  Click(1, 1);
  EXPECT_EQ(below->log.size(), 4u);
}

TEST_F(StandardControlsTest, AGrayedBitmapIsDrawnAtAQuarterWeight) {
  ProbeControl* black = new ProbeControl(&plug_, IRect(0, 0, 40, 40), -1, 0xFF000000u);
  auto* grayed = new graphics::IBitmapControl(&plug_, 0, 0, -1, Strip(kOneFrame, 1));
  Editor().AttachControl(black);
  Editor().AttachControl(grayed);
  grayed->SetGrayed(true);
  Tick();
  LICE_MemBitmap expected(4, 3);
  for (int i = 0; i < 4 * 3; ++i) expected.Bits()[i] = 0xFF000000u;
  LICE_MemBitmap* source = MakeStripBitmap(4, 3, 1, false);
  LICE_Blit(&expected, source, 0, 0, 0.25f, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
  delete source;
  EXPECT_EQ(PixelAt(3, 2), expected.Bits()[2 * expected.RowSpan() + 3]);
  EXPECT_NE(PixelAt(3, 2), MakePixel(0, 3, 2));
}

TEST_F(StandardControlsTest, TextControlsRedrawOnlyForANewText) {
  auto* text =
      new graphics::ITextControl(&plug_, IRect(0, 0, 100, 20), graphics::ITextStyle(), "one");
  Editor().AttachControl(text);
  Tick();
  Tick();
  EXPECT_FALSE(text->IsDirty());
  text->SetText("one");
  EXPECT_FALSE(text->IsDirty());
  text->SetText("two");
  EXPECT_TRUE(text->IsDirty());
  EXPECT_EQ(text->Text(), "two");
}

}  // namespace
}  // namespace graphics_test
