// The editor's scale: where it comes from, the conversions the window layers
// use, drawing from the images of the scale, and a host that refuses the new
// window size.
#include <cmath>
#include <limits>

#include "GraphicsFixture.h"
#include "graphics/BitmapCache.h"
#include "graphics/controls/IBitmapControl.h"
#include "lice/LICE_SysBitmap.h"

namespace graphics_test {
namespace {

using graphics::IGraphics;
using graphics::IRect;

TEST(ScaleSteps, EveryScaleGoesToTheNearestStepAndNonsenseToNone) {
  EXPECT_EQ(IGraphics::SnapScalePercent(100), 100);
  EXPECT_EQ(IGraphics::SnapScalePercent(60), 100);
  EXPECT_EQ(IGraphics::SnapScalePercent(124.9), 100);
  EXPECT_EQ(IGraphics::SnapScalePercent(125), 150);  // a tie goes up
  EXPECT_EQ(IGraphics::SnapScalePercent(174), 150);
  EXPECT_EQ(IGraphics::SnapScalePercent(175), 200);
  EXPECT_EQ(IGraphics::SnapScalePercent(400), 200);
  EXPECT_EQ(IGraphics::SnapScalePercent(0), 0);
  EXPECT_EQ(IGraphics::SnapScalePercent(-150), 0);
  EXPECT_EQ(IGraphics::SnapScalePercent(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(IGraphics::SnapScalePercent(std::numeric_limits<double>::infinity()), 0);
}

class ScaleTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    log_.editor = editor_;
  }
  // The size of the drawing bitmap.
  std::pair<int, int> BitmapSize() {
    return {Editor().DrawingBitmap()->Width(), Editor().DrawingBitmap()->Height()};
  }
};

TEST_F(ScaleTest, DevicePositionsMapBackToTheLogicalPixelTheyLieIn) {
  for (int percent : IGraphics::kScaleSteps) {
    Editor().SetUserScalePercent(percent);
    ASSERT_EQ(Editor().ScalePercent(), percent);
    for (int x = -20; x < 1000; ++x) {
      // Every device pixel of logical pixel x maps back to x: a 100-pixel
      // drag at 100 % is a 150-pixel drag at 150 %.
      const int first = Editor().ToDevice(x);
      const int next = Editor().ToDevice(x + 1);
      ASSERT_LT(first, next) << percent << " " << x;
      for (int d = first; d < next; ++d) ASSERT_EQ(Editor().ToLogical(d), x) << percent << " " << d;
    }
    const IRect device(1, 1, 298, 149);
    const IRect cover = Editor().ToLogicalCover(device);
    const IRect back = Editor().ToDevice(cover);
    EXPECT_TRUE(back.left <= 1 && back.top <= 1 && back.right >= 298 && back.bottom >= 149)
        << percent;
  }
}

TEST_F(ScaleTest, TheUserChoiceWinsOverTheHostsScaleWhichWinsOverTheSystems) {
  Editor().SetSystemScalePercent(150);
  EXPECT_EQ(Editor().ScalePercent(), 150);
  EXPECT_TRUE(plug_.HostSetEditorScale(2.0));
  EXPECT_EQ(Editor().ScalePercent(), 200);
  Editor().SetUserScalePercent(100);
  EXPECT_EQ(Editor().ScalePercent(), 100);
  Editor().SetSystemScalePercent(200);
  EXPECT_EQ(Editor().ScalePercent(), 100);
  // Back to automatic: the host's again.
  Editor().SetUserScalePercent(0);
  EXPECT_EQ(Editor().ScalePercent(), 200);
  // A host scale between the steps goes to the nearest one.
  EXPECT_TRUE(plug_.HostSetEditorScale(1.25));
  EXPECT_EQ(Editor().ScalePercent(), 150);
}

TEST_F(ScaleTest, HostileScalesChangeNothing) {
  EXPECT_TRUE(plug_.HostSetEditorScale(1.5));
  for (double bad : {0.0, -1.0, 9.0, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity()}) {
    EXPECT_FALSE(plug_.HostSetEditorScale(bad)) << bad;
    EXPECT_EQ(Editor().ScalePercent(), 150) << bad;
  }
  // A user choice that is no step counts as automatic.
  for (int bad : {120, -100, 1000, 1}) {
    Editor().SetUserScalePercent(bad);
    EXPECT_EQ(Editor().UserScalePercent(), 0) << bad;
    EXPECT_EQ(Editor().ScalePercent(), 150) << bad;
  }
}

TEST_F(ScaleTest, WithoutAWindowTheSizeQueryAnswersTheScaleTheEditorWillOpenAt) {
  // The fixture's editor is 200 x 100 logical pixels.
  EXPECT_EQ(Editor().Width(), 200);
  Editor().SetSystemScalePercent(150);
  EXPECT_EQ(Editor().Width(), 300);
  EXPECT_EQ(Editor().Height(), 150);
  EXPECT_EQ(BitmapSize(), std::make_pair(300, 150));
  // Nothing asked: the host asks the size before it opens the window.
  EXPECT_TRUE(log_.requests.empty());
  Editor().OpenWindow(nullptr);
  EXPECT_EQ(Editor().Width(), 300);
  EXPECT_EQ(Editor().LogicalWidth(), 200);
}

TEST_F(ScaleTest, AnOpenEditorAsksTheHostAndAnswersTheNewSizeWhileAsking) {
  Editor().OpenWindow(nullptr);
  Editor().SetSystemScalePercent(200);
  ASSERT_EQ(log_.requests.size(), 1u);
  EXPECT_EQ(log_.requests[0], std::make_pair(400, 200));
  EXPECT_EQ(log_.editorSizeDuringRequest[0], std::make_pair(400, 200));
  EXPECT_EQ(Editor().ScalePercent(), 200);
  EXPECT_EQ(BitmapSize(), std::make_pair(400, 200));
  EXPECT_EQ(Editor().ScaleChanges(), 1);
}

TEST_F(ScaleTest, AHostThatRefusesTheSizeKeepsTheEditorWholeAtItsOldScale) {
  ProbeControl* knob = new ProbeControl(&plug_, IRect(10, 10, 50, 50), 0);
  Editor().AttachControl(knob);
  Editor().OpenWindow(nullptr);
  Tick();
  graphics::IMouseState left;
  left.left = true;
  Editor().OnMouseDown(20, 20, &left);
  log_.refuseResize = true;
  Editor().SetSystemScalePercent(150);
  EXPECT_EQ(log_.requests.size(), 1u);
  EXPECT_EQ(Editor().ScalePercent(), 100);
  EXPECT_EQ(Editor().Width(), 200);
  EXPECT_EQ(BitmapSize(), std::make_pair(200, 100));
  EXPECT_EQ(Editor().ScaleChanges(), 0);
  // The press goes on undisturbed.
  Editor().OnMouseUp(20, 20, &left);
  EXPECT_EQ(log_.Joined(), "b0 e0");
  // The same refused size is not asked for again and again.
  Editor().SetSystemScalePercent(150);
  EXPECT_EQ(log_.requests.size(), 1u);
  // Another one is.
  log_.refuseResize = false;
  Editor().SetUserScalePercent(200);
  EXPECT_EQ(log_.requests.size(), 2u);
  EXPECT_EQ(Editor().ScalePercent(), 200);
}

TEST_F(ScaleTest, AScaleChangeUnderAPressEndsItsGesture) {
  ProbeControl* knob = new ProbeControl(&plug_, IRect(10, 10, 50, 50), 0);
  Editor().AttachControl(knob);
  Editor().OpenWindow(nullptr);
  graphics::IMouseState left;
  left.left = true;
  Editor().OnMouseDown(20, 20, &left);
  Editor().SetSystemScalePercent(200);
  Editor().OnMouseUp(40, 40, &left);
  EXPECT_EQ(log_.Joined(), "b0 e0");
}

// The library's images, drawn at each scale into an editor of the panel's
// size.
class ScaledImages : public ::testing::Test {
 protected:
  void SetUp() override { HostLog::current = &log_; }
  void TearDown() override { HostLog::current = nullptr; }
  HostLog log_;
  GraphicsPlug plug_;
};

// The pixels of bitmap in (x, y, w, h).
std::vector<LICE_pixel> Region(LICE_IBitmap* b, int x, int y, int w, int h) {
  std::vector<LICE_pixel> out;
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) out.push_back(b->Bits()[j * b->RowSpan() + i] | 0xFF000000u);
  return out;
}

TEST_F(ScaledImages, EachScaleDrawsItsOwnImagesAtTheirOwnFramePitchDecodedOncePerProcess) {
  int countBefore = -1;
  for (int percent : {150, 200}) {
    GraphicsPlug plug;
    TestGraphics* editor = new TestGraphics(&plug, 984, 432);
    plug.AttachEditor(editor);
    editor->SetUserScalePercent(percent);
    editor->AttachBackground(100, "img/back.png");
    // The knob strip (101) at frame 40 at (338, 102), the learn pill (104)
    // at its second frame: the pills' frames are not whole at 150 %.
    graphics::IFrameStrip knob = editor->LoadBitmap(101, "img/knob.png", 65);
    graphics::IFrameStrip learn = editor->LoadBitmap(104, "img/learn.png", 2);
    graphics::IBitmapControl* k = new graphics::IBitmapControl(&plug, 338, 102, -1, knob);
    graphics::IBitmapControl* l = new graphics::IBitmapControl(&plug, 29, 387, -1, learn);
    k->SetValueFromPlugin(39.0 / 64);
    l->SetValueFromPlugin(1.0);
    editor->AttachControl(k);
    editor->AttachControl(l);
    EXPECT_EQ(k->Rect(), IRect(338, 102, 402, 166));  // logical, at every scale
    editor->OpenWindow(nullptr);
    editor->Tick();

    LICE_IBitmap* drawn = editor->DrawingBitmap();
    ASSERT_EQ(drawn->Width(), IGraphics::DevicePixels(984, percent));
    LICE_IBitmap* back = nullptr;
    LICE_IBitmap* knobs = nullptr;
    LICE_IBitmap* pills = nullptr;
    ASSERT_TRUE(graphics::BitmapCache::Find(percent, &back) && back);
    ASSERT_TRUE(graphics::BitmapCache::Find(percent + 1, &knobs) && knobs);
    ASSERT_TRUE(graphics::BitmapCache::Find(percent + 4, &pills) && pills);
    EXPECT_EQ(Region(drawn, 0, 0, 40, 40), Region(back, 0, 0, 40, 40));
    // Frame 40 of 65 at the scaled pitch, where the preview puts it.
    const int size = IGraphics::DevicePixels(64, percent);
    const int kx = IGraphics::DevicePixels(338, percent),
              ky = IGraphics::DevicePixels(102, percent);
    ASSERT_EQ(knobs->Height(), 65 * size);
    // The knob is drawn with alpha over the background: compare where the
    // strip is opaque.
    int opaque = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const LICE_pixel src = knobs->Bits()[(39 * size + y) * knobs->RowSpan() + x];
        if (LICE_GETA(src) != 255) continue;
        ++opaque;
        ASSERT_EQ(drawn->Bits()[(ky + y) * drawn->RowSpan() + kx + x] | 0xFF000000u, src)
            << percent << " " << x << "," << y;
      }
    }
    EXPECT_GT(opaque, size * size / 4);
    const int pitch = pills->Height() / 2;
    EXPECT_EQ(pitch, (25 * percent + 99) / 100);  // rounded up
    const int px = IGraphics::DevicePixels(29, percent), py = IGraphics::DevicePixels(387, percent);
    const int mid = pitch / 2;
    const LICE_pixel pill = pills->Bits()[(pitch + mid) * pills->RowSpan() + 10];
    if (LICE_GETA(pill) == 255) {
      EXPECT_EQ(drawn->Bits()[(py + mid) * drawn->RowSpan() + px + 10] | 0xFF000000u, pill);
    }

    // A second editor at the same scale decodes nothing new.
    const int count = graphics::BitmapCache::Count();
    if (countBefore >= 0) {
      EXPECT_GT(count, countBefore);
    }
    TestGraphics* second = new TestGraphics(nullptr, 984, 432);
    second->SetUserScalePercent(percent);
    second->AttachBackground(100, "img/back.png");
    second->AttachControl(
        new graphics::IBitmapControl(nullptr, 338, 102, -1, second->LoadBitmap(101, "x.png", 65)));
    second->OpenWindow(nullptr);
    second->Tick();
    EXPECT_EQ(graphics::BitmapCache::Count(), count);
    delete second;
    countBefore = count;
  }
}

TEST_F(ScaledImages, TextIsMadeAtTheScaledSizeAndMeasuresTheSameInLogicalPixels) {
  TestGraphics* editor = new TestGraphics(&plug_, 984, 432);
  plug_.AttachEditor(editor);
  graphics::ITextStyle style("Arial", 12, graphics::IArgb(255, 0, 0, 0));
  IRect at100(0, 0, 0, 0);
  ASSERT_TRUE(editor->MeasureText(&style, "v.1.1.2.N", &at100));
  editor->SetUserScalePercent(200);
  IRect at200(0, 0, 0, 0);
  ASSERT_TRUE(editor->MeasureText(&style, "v.1.1.2.N", &at200));
  // Within a pixel or two of hinting, in logical pixels.
  EXPECT_NEAR(at200.W(), at100.W(), 2);
  EXPECT_NEAR(at200.H(), at100.H(), 2);
  EXPECT_GT(at200.W(), 20);
}

}  // namespace
}  // namespace graphics_test
