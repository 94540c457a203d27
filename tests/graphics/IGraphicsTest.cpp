// The graphics host: binding in both directions, idle counting, the dirty
// union and strict drawing, clipping, the caches, mouse routing and resizing.
#include <gtest/gtest.h>

#include <memory>

#include "GraphicsFixture.h"
#include "graphics/BitmapCache.h"
#include "graphics/FontCache.h"
#include "graphics/controls/IBitmapControl.h"
#include "graphics/controls/ITextControl.h"
#include "lice/LICE_SysBitmap.h"
#include "plug/IParameter.h"

namespace graphics_test {
namespace {

using graphics::IRect;

class IGraphicsTest : public GraphicsTest {
 protected:
  ProbeControl* Probe(const IRect& r, int param = -1, LICE_pixel colour = 0xFF102030u) {
    ProbeControl* p = new ProbeControl(&plug_, r, param, colour);
    Editor().AttachControl(p);
    return p;
  }
  // Draws until nothing is dirty any more.
  void Settle() {
    for (int i = 0; i < 4; ++i) Tick();
  }
};

TEST_F(IGraphicsTest, PluginValuesReachEveryControlOfTheParameter) {
  ProbeControl* a = Probe(IRect(0, 0, 10, 10), 2);
  ProbeControl* b = Probe(IRect(10, 0, 20, 10), 2);
  ProbeControl* other = Probe(IRect(20, 0, 30, 10), 1);
  ProbeControl* aux = Probe(IRect(30, 0, 40, 10), 0);
  aux->AddAuxParam(2);
  aux->AddAuxParam(2);  // only the first entry of a control takes it
  Editor().SetParameterFromPlugin(2, 0.25, true);
  EXPECT_EQ(a->Value(), 0.25);
  EXPECT_EQ(b->Value(), 0.25);
  EXPECT_EQ(other->Value(), 0.0);
  EXPECT_EQ(aux->AuxParam(0)->value.load(), 0.25);
  EXPECT_EQ(aux->AuxParam(1)->value.load(), 0.0);
  // Plain values are normalised by the parameter: -12..12 dB.
  Editor().SetParameterFromPlugin(2, 6.0, false);
  EXPECT_EQ(a->Value(), 0.75);
  // An index without a parameter changes nothing.
  Editor().SetParameterFromPlugin(17, 6.0, false);
  EXPECT_EQ(a->Value(), 0.75);
}

TEST_F(IGraphicsTest, AttachingTheEditorShowsEveryParameter) {
  // A second editor, built before it is attached.
  plug_.GetParam(2)->SetClamped(6.0);
  TestGraphics* editor = new TestGraphics(&plug_);
  ProbeControl* p = new ProbeControl(&plug_, IRect(0, 0, 10, 10), 2);
  editor->AttachControl(p);
  plug_.AttachEditor(editor);
  EXPECT_EQ(p->Value(), 0.75);
  EXPECT_EQ(p->DefaultValue(), 0.75);
  ASSERT_NE(editor->DrawingBitmap(), nullptr);
  EXPECT_EQ(editor->DrawingBitmap()->Width(), 200);
  EXPECT_EQ(editor->DrawingBitmap()->Height(), 100);
}

TEST_F(IGraphicsTest, TheHostIdleHookRunsOnEveryTwentyFirstIdleTick) {
  ProbeControl* p = Probe(IRect(0, 0, 10, 10));
  Editor().OpenWindow(nullptr);
  Tick();  // draws what opening marked; the idle count starts at 0
  const int before = plug_.hostIdles;
  graphics::IRect r;
  for (int i = 0; i < 20; ++i) EXPECT_FALSE(Editor().CollectDirty(&r));
  EXPECT_EQ(plug_.hostIdles, before);
  EXPECT_FALSE(Editor().CollectDirty(&r));
  EXPECT_EQ(plug_.hostIdles, before + 1);
  for (int i = 0; i < 21; ++i) Editor().CollectDirty(&r);
  EXPECT_EQ(plug_.hostIdles, before + 2);
  // Something dirty starts the count again.
  for (int i = 0; i < 10; ++i) Editor().CollectDirty(&r);
  p->MarkDirty(false);
  Tick();
  EXPECT_EQ(Editor().IdleTicks(), 0);
  for (int i = 0; i < 20; ++i) Editor().CollectDirty(&r);
  EXPECT_EQ(plug_.hostIdles, before + 2);
  Editor().CollectDirty(&r);
  EXPECT_EQ(plug_.hostIdles, before + 3);
}

TEST_F(IGraphicsTest, TheDirtyRectangleIsTheUnionOfTheDirtyControls) {
  ProbeControl* a = Probe(IRect(10, 10, 20, 20));
  ProbeControl* b = Probe(IRect(50, 30, 60, 35));
  Probe(IRect(100, 60, 120, 80));
  Editor().OpenWindow(nullptr);
  Settle();
  a->MarkDirty(false);
  b->MarkDirty(false);
  IRect r;
  ASSERT_TRUE(Editor().CollectDirty(&r));
  EXPECT_EQ(r, IRect(10, 10, 60, 35));
}

TEST_F(IGraphicsTest, ATickDrawsAndPutsDirtyControlsFarApartSeparately) {
  ProbeControl* a = Probe(IRect(10, 10, 20, 20));
  ProbeControl* between = Probe(IRect(40, 10, 80, 20));
  ProbeControl* b = Probe(IRect(100, 10, 110, 20));
  Editor().OpenWindow(nullptr);
  Settle();
  a->MarkDirty(false);
  b->MarkDirty(false);
  const int blits = Editor().BlitCount();
  const int drawsBetween = between->draws;
  Tick();
  // Two passes, each putting its own rectangle; what lies between is
  // neither drawn nor put.
  EXPECT_EQ(Editor().BlitCount(), blits + 2);
  EXPECT_EQ(between->draws, drawsBetween);
  EXPECT_FALSE(a->IsDirty());
  EXPECT_FALSE(b->IsDirty());
  EXPECT_FALSE(Editor().CollectDirty(static_cast<graphics::IDirtyList*>(nullptr)));
}

TEST_F(IGraphicsTest, StrictDrawingDrawsOnlyWhatTouchesTheUpdate) {
  ProbeControl* inside = Probe(IRect(10, 10, 20, 20));
  ProbeControl* touching = Probe(IRect(20, 10, 30, 20));  // left edge = update's right edge
  ProbeControl* outside = Probe(IRect(100, 60, 120, 80));
  ProbeControl* hidden = Probe(IRect(12, 12, 18, 18));
  hidden->Hide(true);
  Editor().OpenWindow(nullptr);
  const IRect update(10, 10, 20, 20);
  Editor().Redraw(&update);
  EXPECT_EQ(inside->draws, 1);
  EXPECT_EQ(touching->draws, 1);
  EXPECT_EQ(outside->draws, 0);
  EXPECT_EQ(hidden->draws, 0);
  EXPECT_EQ(Editor().LastBlit(), update);
  // The hidden control's place was redrawn (and is once more, as hiding
  // asks); what was not in the update stays dirty for the next tick.
  Editor().Redraw(&update);
  EXPECT_FALSE(hidden->IsDirty());
  EXPECT_FALSE(inside->IsDirty());
  EXPECT_TRUE(outside->IsDirty());
  EXPECT_EQ(hidden->draws, 0);
}

TEST_F(IGraphicsTest, StrictDrawingKeepsDirtyWhatTheUpdateDrewOnlyInPart) {
  Probe(IRect(0, 0, 200, 100), -1, 0xFF000000u);
  Editor().OpenWindow(nullptr);
  const IRect all(0, 0, 200, 100);
  Editor().Redraw(&all);
  ProbeControl* overlapped = Probe(IRect(30, 30, 60, 60), -1, 0xFFFF0000u);
  ProbeControl* onRightEdge = Probe(IRect(50, 0, 60, 10), -1, 0xFFFF0000u);
  ProbeControl* onBottomEdge = Probe(IRect(0, 50, 10, 60), -1, 0xFFFF0000u);
  ProbeControl* beyondTheWindow = Probe(IRect(190, 90, 260, 160), -1, 0xFFFF0000u);
  // An exposure of the top-left corner: only part of the first is drawn, and
  // nothing of the two whose edges the update's right and bottom edges touch.
  const IRect corner(0, 0, 50, 50);
  Editor().Redraw(&corner);
  EXPECT_EQ(PixelAt(40, 40), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(55, 55), 0xFF000000u);
  for (ProbeControl* p : {overlapped, onRightEdge, onBottomEdge, beyondTheWindow})
    EXPECT_TRUE(p->IsDirty()) << p->Rect().left << "," << p->Rect().top;
  // The next tick draws them whole; a control partly outside the window is
  // whole once its visible part is.
  EXPECT_TRUE(Editor().Tick());
  EXPECT_EQ(PixelAt(55, 55), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(55, 5), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(5, 55), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(195, 95), 0xFFFF0000u);
  for (ProbeControl* p : {overlapped, onRightEdge, onBottomEdge, beyondTheWindow})
    EXPECT_FALSE(p->IsDirty()) << p->Rect().left << "," << p->Rect().top;
  EXPECT_FALSE(Editor().Tick());
}

TEST_F(IGraphicsTest, DrawingIsClippedToTheRectangleBeingDrawn) {
  Probe(IRect(0, 0, 200, 100), -1, 0xFF000000u);
  Editor().OpenWindow(nullptr);
  const IRect all(0, 0, 200, 100);
  Editor().Redraw(&all);
  // A fill over a wide control, redrawn for a small update: the pixels
  // outside the update keep what they had.
  ProbeControl* wide = Probe(IRect(0, 0, 100, 10), -1, 0xFFFF0000u);
  const IRect update(40, 0, 50, 10);
  Editor().Redraw(&update);
  EXPECT_EQ(wide->draws, 1);
  EXPECT_EQ(PixelAt(45, 5), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(30, 5), 0xFF000000u);
  EXPECT_EQ(PixelAt(50, 5), 0xFF000000u);
  // Lines and text too.
  const graphics::IArgb white(255, 255, 255, 255);
  Editor().DrawLine(&white, 0, 8, 99, 8, nullptr);
  EXPECT_EQ(PixelAt(45, 8), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(20, 8), 0xFF000000u);
  graphics::ITextStyle style("Verdana", 12, white);
  IRect textRect(0, 0, 100, 10);
  EXPECT_TRUE(Editor().DrawText(&style, "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", &textRect));
  for (int x = 0; x < 40; ++x) {
    for (int y = 0; y < 10; ++y) ASSERT_EQ(PixelAt(x, y), 0xFF000000u) << x << "," << y;
  }
}

TEST_F(IGraphicsTest, DrawFrameOffsetsByWholeFrames) {
  graphics::IFrameStrip side = Editor().LoadBitmap(kFirstTestBitmap + 51, "s.png", 5, true);
  graphics::IFrameStrip stacked = Editor().LoadBitmap(kFirstTestBitmap + 50, "s.png", 5);
  Editor().OpenWindow(nullptr);
  const IRect all(0, 0, 200, 100);
  Editor().Redraw(&all);  // sets the drawing rectangle to the whole editor
  const IRect a(0, 0, 4, 3);
  const IRect b(10, 0, 14, 3);
  Editor().DrawFrame(&side, &a, 4, nullptr);
  Editor().DrawFrame(&stacked, &b, 5, nullptr);
  EXPECT_EQ(PixelAt(1, 1), MakePixel(3, 1, 1));
  EXPECT_EQ(PixelAt(11, 2), MakePixel(4, 1, 2));
  // Frame numbers below 2 draw the first frame.
  Editor().DrawFrame(&side, &a, 0, nullptr);
  EXPECT_EQ(PixelAt(1, 1), MakePixel(0, 1, 1));
}

TEST_F(IGraphicsTest, MeasuringAlignsTheExtentLikeTheDrawing) {
  graphics::ITextStyle style;
  IRect left(10, 10, 110, 30);
  style.align = graphics::ITextAlign::kLeft;
  ASSERT_TRUE(Editor().MeasureText(&style, "Quillet", &left));
  const int w = left.W();
  EXPECT_GT(w, 0);
  EXPECT_EQ(left.left, 10);
  EXPECT_GT(left.H(), 0);
  IRect centre(10, 10, 110, 30);
  style.align = graphics::ITextAlign::kCenter;
  Editor().MeasureText(&style, "Quillet", &centre);
  EXPECT_EQ(centre.left, 60 - w / 2);
  EXPECT_EQ(centre.W(), w);
  IRect right(10, 10, 110, 30);
  style.align = graphics::ITextAlign::kRight;
  Editor().MeasureText(&style, "Quillet", &right);
  EXPECT_EQ(right.right, 110);
  EXPECT_EQ(right.left, 110 - w);
  IRect untouched(1, 2, 3, 4);
  EXPECT_TRUE(Editor().MeasureText(&style, "", &untouched));
  EXPECT_EQ(untouched, IRect(1, 2, 3, 4));
}

TEST_F(IGraphicsTest, BitmapsAndFontsAreSharedByEveryEditor) {
  const int id = kFirstTestBitmap + 70;
  const int decodesBefore = TestGraphics::decodes;
  graphics::IFrameStrip first = Editor().LoadBitmap(id, "a.png", 7);
  GraphicsPlug second;
  TestGraphics* other = new TestGraphics(&second);
  second.AttachEditor(other);
  graphics::IFrameStrip again = other->LoadBitmap(id, "a.png", 7);
  EXPECT_EQ(again.bitmap, first.bitmap);
  EXPECT_EQ(TestGraphics::decodes, decodesBefore + 1);

  graphics::ITextStyle style("Arial", 17, graphics::IArgb(192, 1, 2, 3));
  IRect r(0, 0, 50, 20);
  ASSERT_TRUE(Editor().MeasureText(&style, "x", &r));
  const int fonts = graphics::FontCache::Count();
  // Colour, alignment and quality are not part of the key.
  graphics::ITextStyle sameFont("Arial", 17, graphics::IArgb(255, 9, 9, 9));
  sameFont.align = graphics::ITextAlign::kRight;
  ASSERT_TRUE(other->MeasureText(&sameFont, "x", &r));
  EXPECT_EQ(graphics::FontCache::Count(), fonts);
  EXPECT_EQ(sameFont.cachedFont, style.cachedFont);
  graphics::ITextStyle bold("Arial", 17, graphics::IArgb(), graphics::ITextStyleWeight::kBold);
  ASSERT_TRUE(other->MeasureText(&bold, "x", &r));
  EXPECT_EQ(graphics::FontCache::Count(), fonts + 1);
}

TEST_F(IGraphicsTest, AMissingImageIsCachedAsMissing) {
  const int id = kFirstTestBitmap + 3;  // no frames: the loader finds nothing
  const int decodesBefore = TestGraphics::decodes;
  graphics::IFrameStrip strip = Editor().LoadBitmap(id, "missing.png");
  EXPECT_EQ(strip.bitmap, nullptr);
  EXPECT_EQ(strip.w, 0);
  EXPECT_EQ(strip.h, 0);
  Editor().LoadBitmap(id, "missing.png");
  EXPECT_EQ(TestGraphics::decodes, decodesBefore + 1);
  // Drawing a missing image draws nothing and fails nothing.
  auto* control = new graphics::IBitmapControl(&plug_, 0, 0, -1, strip);
  Editor().AttachControl(control);
  Editor().OpenWindow(nullptr);
  EXPECT_TRUE(Editor().Tick());
}

TEST_F(IGraphicsTest, TheLibraryImagesLoadOnlyWithAPngName) {
  graphics::IFrameStrip back = Editor().LoadBitmap(100, "img/back.png");
  ASSERT_NE(back.bitmap, nullptr);
  EXPECT_EQ(back.w, 984);
  EXPECT_EQ(back.h, 432);
  auto load = [](const char* name) {
    return std::unique_ptr<LICE_IBitmap>(graphics::IGraphics::LoadPngResource(nullptr, 101, name));
  };
  EXPECT_NE(load("img/knob.PNG"), nullptr);
  EXPECT_EQ(load("img/knob.bmp"), nullptr);
  EXPECT_EQ(load("img/knob.pngx"), nullptr);
  EXPECT_EQ(load("knob"), nullptr);
}

TEST_F(IGraphicsTest, TheBackgroundIsControlZeroAndTakesTheMouseWithoutAGesture) {
  Probe(IRect(50, 50, 60, 60), 0);
  Editor().AttachBackground(kFirstTestBitmap + 10, "back.png");
  ASSERT_EQ(Editor().NControls(), 2);
  EXPECT_EQ(Editor().GetControl(0)->ParamIdx(), -1);
  EXPECT_EQ(Editor().GetControl(0)->Blend().mode, graphics::IBlendMode::kCopy);
  // A background that records its clicks.
  ProbeControl* back = new ProbeControl(&plug_, IRect(0, 0, 200, 100));
  GraphicsPlug other;
  TestGraphics* editor = new TestGraphics(&other);
  other.AttachEditor(editor);
  editor->AttachControl(back);
  graphics::IMouseState s;
  s.left = true;
  editor->OnMouseDown(5, 5, &s);
  editor->OnMouseUp(5, 5, &s);
  EXPECT_EQ(back->log, (std::vector<std::string>{"down 5,5", "up"}));
  EXPECT_TRUE(log_.calls.empty());
}

TEST_F(IGraphicsTest, TheTopmostControlTakesTheClickAndKeepsTheDrag) {
  ProbeControl* below = Probe(IRect(0, 0, 50, 50));
  ProbeControl* above = Probe(IRect(20, 20, 40, 40));
  graphics::IMouseState s;
  s.left = true;
  Editor().OnMouseDown(25, 25, &s);
  Editor().OnMouseDrag(25, 25, &s);  // no movement: nothing
  Editor().OnMouseDrag(30, 22, &s);
  Editor().OnMouseDrag(-40, 300, &s);  // outside the window: still the captured control
  Editor().OnMouseUp(-40, 300, &s);
  EXPECT_EQ(above->log,
            (std::vector<std::string>{"down 25,25", "drag 5,-3", "drag -70,278", "up"}));
  EXPECT_TRUE(below->log.empty());
  // Nothing captured: a drag goes nowhere.
  Editor().OnMouseDrag(10, 10, &s);
  EXPECT_TRUE(below->log.empty());
}

TEST_F(IGraphicsTest, MouseOverFollowsThePointerWhenSwitchedOn) {
  ProbeControl* a = Probe(IRect(0, 0, 10, 10));
  ProbeControl* b = Probe(IRect(20, 0, 30, 10));
  graphics::IMouseState s;
  EXPECT_FALSE(Editor().OnMouseOver(5, 5, &s));
  EXPECT_TRUE(a->log.empty());
  Editor().SetHandleMouseOver(true);
  EXPECT_TRUE(Editor().OnMouseOver(5, 5, &s));
  EXPECT_TRUE(Editor().OnMouseOver(25, 5, &s));
  EXPECT_EQ(a->log, (std::vector<std::string>{"over", "out"}));
  EXPECT_EQ(b->log, (std::vector<std::string>{"over"}));
  EXPECT_EQ(Editor().MouseOverIndex(), 1);
  // A grayed control gets it only when it asks for it.
  b->SetGrayed(true);
  EXPECT_TRUE(Editor().OnMouseOver(26, 5, &s));
  EXPECT_EQ(b->log.size(), 1u);
  b->SetMouseOverWhenGrayed(true);
  Editor().OnMouseOver(27, 5, &s);
  EXPECT_EQ(b->log.size(), 2u);
  Editor().OnMouseOut();
  EXPECT_EQ(Editor().MouseOverIndex(), -1);
  EXPECT_EQ(b->log.back(), "out");
}

TEST_F(IGraphicsTest, KeysGoToTheControlUnderThePointerOrTheKeyCatcher) {
  ProbeControl* back = Probe(IRect(0, 0, 200, 100));
  ProbeControl* knob = Probe(IRect(20, 20, 40, 40));
  knob->keyHandled = true;
  EXPECT_TRUE(Editor().OnKeyDown(25, 25, graphics::kKeyUp));
  EXPECT_EQ(knob->log, (std::vector<std::string>{"key 1"}));
  // Over the background, without a key catcher: nobody.
  EXPECT_FALSE(Editor().OnKeyDown(5, 5, graphics::kKeyA));
  EXPECT_TRUE(back->log.empty());
  ProbeControl* catcher = new ProbeControl(&plug_, IRect());
  catcher->keyHandled = true;
  Editor().SetKeyCatcher(catcher);
  EXPECT_TRUE(Editor().OnKeyDown(5, 5, graphics::kKeyA));
  EXPECT_EQ(catcher->log, (std::vector<std::string>{"key 15"}));
}

TEST_F(IGraphicsTest, ResizingDeletesTheControlsAndTellsTheHost) {
  Probe(IRect(0, 0, 10, 10));
  Editor().Resize(200, 100);  // the current size: nothing happens
  EXPECT_EQ(Editor().NControls(), 1);
  EXPECT_EQ(log_.sizeWindowCalls, 0);
  Editor().Resize(300, 150);
  EXPECT_EQ(Editor().NControls(), 0);
  EXPECT_EQ(Editor().DrawingBitmap()->Width(), 300);
  EXPECT_EQ(log_.sizeWindowCalls, 1);
  EXPECT_EQ(log_.lastWidth, 300);
  EXPECT_EQ(log_.lastHeight, 150);
}

}  // namespace
}  // namespace graphics_test
