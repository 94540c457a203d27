// The maker's controls in Quillet's panel: the value menus, the faders with
// their read-outs and note-length menus, the envelope pictures, the learn
// switch, the preset menu and the option menu.
#include <gtest/gtest.h>

#include "EditorFixture.h"
#include "LoopbackHttpServer.h"
#include "lice/LICE_IBitmap.h"
#include "quillet/editor/IVmEnvelopeControl.h"
#include "quillet/editor/IVmMenuControl.h"
#include "quillet/editor/IVmOptionMenu.h"
#include "quillet/editor/IVmPresetMenu.h"
#include "quillet/editor/IVmSliderControl.h"
#include "quillet/editor/IVmSwitchMidiLearn.h"

namespace quillet_editor_test {
namespace {

using graphics::IMenuItem;
using graphics::IRect;
using quillet::IVmEnvelopeControl;
using quillet::IVmMenuControl;
using quillet::IVmSliderControl;

class MakersControls : public EditorTest {
 protected:
  graphics::IMouseState Left(bool control = false) {
    graphics::IMouseState s;
    s.left = true;
    s.control = control;
    return s;
  }
  LICE_pixel Pixel(int x, int y) {
    LICE_IBitmap* b = Gui().DrawingBitmap();
    return b->Bits()[y * b->RowSpan() + x];
  }
};

TEST_F(MakersControls, TheGrainModeMenuShowsAndSetsTheMode) {
  auto* menu = Control<IVmMenuControl>(kGrainModeMenu);
  EXPECT_EQ(menu->TextRect(), IRect(244, 102, 308, 122));
  SetParameter(quillet::kGrainMode, 2.0f / 3);  // FREQ
  EXPECT_EQ(menu->CurrentItem(), 2);
  EXPECT_EQ(menu->Items().Item(2)->Text(), "FREQ");
  Gui().QueueMenuCommand(3);
  Click(270, 110);
  ASSERT_EQ(Gui().Menus().size(), 1u);
  EXPECT_EQ(Gui().Menus()[0].texts, (std::vector<std::string>{"M.SEC", "SYNC", "FREQ", "MIDI"}));
  EXPECT_EQ(Gui().Menus()[0].flags, (std::vector<int>{0, 0, IMenuItem::kChecked, 0}));
  EXPECT_EQ(Gui().Menus()[0].at, IRect(270, 110, 270, 110));
  EXPECT_EQ(menu->Value(), 1.0);
  EXPECT_EQ(Plugin().GetParam(quillet::kGrainMode)->Value(), 3.0);
  // The press, the choice (pushed twice, as the value and as a redraw) and the end.
  EXPECT_EQ(host_.calls.front(), "b2");
  EXPECT_EQ(host_.calls.back(), "e2");
  EXPECT_EQ(host_.Count("a2"), 2);
}

TEST_F(MakersControls, ThePolyphonyMenuRunsFromOneToEight) {
  auto* menu = Control<IVmMenuControl>(kPolyphonyMenu);
  SetParameter(quillet::kMidiPolyphony, 0.0f);
  EXPECT_EQ(menu->CurrentItem(), 0);
  EXPECT_EQ(menu->Items().Item(0)->Text(), "1");
  Gui().QueueMenuCommand(7);
  Click(880, 110);
  EXPECT_EQ(Gui().Menus()[0].texts.size(), 8u);
  EXPECT_EQ(Gui().Menus()[0].texts[7], "8");
  EXPECT_EQ(menu->Value(), 1.0);
  EXPECT_EQ(Plugin().GetParam(quillet::kMidiPolyphony)->Value(), 8.0);
  // No choice changes nothing.
  Click(880, 110);
  EXPECT_EQ(Plugin().GetParam(quillet::kMidiPolyphony)->Value(), 8.0);
}

TEST_F(MakersControls, ASyncFaderOpensTheNoteLengthsOnlyFromItsReadOut) {
  OpenEditor();
  SetParameter(quillet::kGrainMode, 1.0f / 3);  // SYNC: the Grain Sync fader is shown
  auto* fader = Control<IVmSliderControl>(kGrainSyncFader);
  ASSERT_FALSE(fader->IsHidden());
  EXPECT_EQ(fader->TextRect(), IRect(140, 103, 206, 119));
  EXPECT_EQ(fader->TrackRect(), IRect(152, 136, 194, 328));
  SetParameter(quillet::kGrainSync, 10.0f / 19);  // "1/4"
  const double before = fader->Value();
  Click(170, 200);  // on the track: nothing
  EXPECT_TRUE(Gui().Menus().empty());
  EXPECT_EQ(fader->Value(), before);
  Gui().QueueMenuCommand(15);
  Click(170, 110);
  ASSERT_EQ(Gui().Menus().size(), 1u);
  const auto& menu = Gui().Menus()[0];
  const std::vector<std::string> lengths = {
      "1/64", "1/32", "1/16T", "1/32.", "1/16", "1/8T", "1/16.", "1/8", "1/4T", "1/8.",
      "1/4",  "1/2T", "1/4.",  "1/2",   "1/2.", "1/1",  "1/1.",  "2/1", "2/1.", "4/1"};
  EXPECT_EQ(menu.texts, lengths);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(menu.flags[static_cast<size_t>(i)], i == 10 ? 4 : 0);
  EXPECT_DOUBLE_EQ(fader->Value(), 15.0 / 19);
  EXPECT_EQ(Plugin().GetParam(quillet::kGrainSync)->Value(), 15.0);
}

TEST_F(MakersControls, ASyncFaderDragsOnlyInsideItsTrack) {
  auto* fader = Control<IVmSliderControl>(kFrameSyncFader);
  fader->Hide(false);
  graphics::IMouseState s = Left();
  const int h = 35;  // the handle's height
  Gui().OnMouseDown(500, 200, &s);
  Gui().OnMouseDrag(500, 136 + h / 2, &s);  // the top of the track
  EXPECT_DOUBLE_EQ(fader->Value(), 1.0);
  Gui().OnMouseDrag(470, 300, &s);  // left of the track: unchanged
  EXPECT_DOUBLE_EQ(fader->Value(), 1.0);
  Gui().OnMouseDrag(500, 250, &s);
  EXPECT_NEAR(fader->Value(), 1.0 - (250 - 17 - 136) / 157.0, 1e-12);
  Gui().OnMouseUp(500, 250, &s);
}

TEST_F(MakersControls, OtherFadersMoveBy192PixelsForTheWholeRange) {
  OpenEditor();  // M.SEC: the Grain Length fader is shown
  auto* fader = Control<IVmSliderControl>(kGrainLengthFader);
  SetParameter(quillet::kGrainLength, 0.0f);
  graphics::IMouseState s = Left();
  Gui().OnMouseDown(170, 300, &s);
  Gui().OnMouseDrag(170, 108, &s);  // 192 pixels up
  EXPECT_DOUBLE_EQ(fader->Value(), 1.0);
  EXPECT_EQ(Plugin().GetParam(quillet::kGrainLength)->Value(), 2000.0);
  Gui().OnMouseDrag(170, 400, &s);  // far down: clamped
  EXPECT_EQ(fader->Value(), 0.0);
  Gui().OnMouseUp(170, 400, &s);
  graphics::IMouseState fine = Left(true);
  Gui().OnMouseDown(170, 300, &fine);
  Gui().OnMouseDrag(170, 108, &fine);
  EXPECT_DOUBLE_EQ(fader->Value(), 0.01);
  Gui().OnMouseUp(170, 108, &fine);
}

TEST_F(MakersControls, TheReadOutFollowsTheParameterAndTheHandleTheValue) {
  OpenEditor();
  auto* fader = Control<IVmSliderControl>(kGrainLengthFader);
  fader->SetValue(1.0);
  EXPECT_EQ(fader->SliderHandleRect(), IRect(152, 136, 194, 171));
  fader->SetValue(0.0);
  EXPECT_EQ(fader->SliderHandleRect(), IRect(152, 293, 194, 328));
}

TEST_F(MakersControls, EnvelopeCurvesBendWithTheirFades) {
  EXPECT_DOUBLE_EQ(IVmEnvelopeControl::Curvature(0.0), 16.0);
  EXPECT_DOUBLE_EQ(IVmEnvelopeControl::Curvature(0.5), 1.0);
  EXPECT_DOUBLE_EQ(IVmEnvelopeControl::Curvature(1.0), 0.25);
  // Fades at 0.5 and the skew in the middle: a symmetric triangle.
  for (double t : {0.1, 0.25, 0.4}) {
    EXPECT_NEAR(IVmEnvelopeControl::Level(t, 0.5, 0.5, 0.5), 2 * t, 1e-12);
    EXPECT_NEAR(IVmEnvelopeControl::Level(1.0 - t, 0.5, 0.5, 0.5), 2 * t, 1e-12);
  }
  EXPECT_DOUBLE_EQ(IVmEnvelopeControl::Level(0.5, 0.5, 0.5, 0.5), 1.0);
  // No fade-in: the rise is vertical at the left edge, then a flat top.
  EXPECT_EQ(IVmEnvelopeControl::Level(0.0, 0.0, 0.5, 0.5), 1.0);
  EXPECT_EQ(IVmEnvelopeControl::Level(0.3, 0.0, 0.5, 0.5), 1.0);
  // A skew at the very end leaves no fall to divide by.
  EXPECT_EQ(IVmEnvelopeControl::Level(0.999, 0.5, 1.0, 0.5) > 0.99, true);
}

// The envelope's line: the pixels of its rectangle that differ between the
// panel drawn with and without the picture.
class EnvelopePicture : public MakersControls {
 protected:
  void Capture(int index) {
    OpenEditor();
    graphics::IControl* shape = Gui().GetControl(index);
    r_ = shape->Rect();
    with_ = Snapshot();
    shape->Hide(true);
    for (int i = 0; i < 3; ++i) Tick();
    without_ = Snapshot();
  }
  std::vector<LICE_pixel> Snapshot() {
    std::vector<LICE_pixel> pixels;
    for (int y = r_.top; y < r_.bottom; ++y)
      for (int x = r_.left; x < r_.right; ++x) pixels.push_back(Pixel(x, y));
    return pixels;
  }
  bool Lit(int x, int y) const {
    const size_t i = static_cast<size_t>((y - r_.top) * r_.W() + (x - r_.left));
    return with_[i] != without_[i];
  }
  // The topmost lit row of a column, or -1.
  int TopOf(int x) const {
    for (int y = r_.top; y < r_.bottom; ++y)
      if (Lit(x, y)) return y;
    return -1;
  }
  IRect r_;
  std::vector<LICE_pixel> with_, without_;
};

TEST_F(EnvelopePicture, FadesOfAHalfAndAMiddleSkewDrawASymmetricTriangle) {
  SetParameter(quillet::kGrainFadeIn, 0.5f);
  SetParameter(quillet::kGrainFadeOut, 0.5f);
  SetParameter(quillet::kGrainSkew, 0.5f);  // skew 0: the middle
  Capture(kGrainShape);                     // (250, 189, 392, 271)
  const double h = r_.H() * 0.9;
  EXPECT_NEAR(TopOf(r_.left + r_.W() / 2), r_.bottom - h, 1.0);
  // A quarter of the way in from either side the line is halfway up.
  EXPECT_NEAR(TopOf(r_.left + r_.W() / 4), r_.bottom - h / 2, 2.0);
  EXPECT_NEAR(TopOf(r_.right - r_.W() / 4), r_.bottom - h / 2, 2.0);
  // Nothing above the apex.
  for (int x = r_.left; x < r_.right; ++x) EXPECT_GE(TopOf(x), r_.bottom - h - 2) << x;
}

TEST_F(EnvelopePicture, WithoutFadeInTheRiseIsVerticalAtTheLeftEdge) {
  SetParameter(quillet::kGrainFadeIn, 0.0f);
  SetParameter(quillet::kGrainSkew, 0.5f);
  Capture(kGrainShape);
  const int top = static_cast<int>(r_.bottom - r_.H() * 0.9);
  int lit = 0;
  for (int y = top; y < r_.bottom; ++y) lit += Lit(r_.left, y) ? 1 : 0;
  EXPECT_GE(lit, (r_.bottom - top) - 2);
  // Then a flat top to the skew.
  for (int x = r_.left + 3; x < r_.left + r_.W() / 2 - 2; ++x) EXPECT_NEAR(TopOf(x), top, 1) << x;
}

TEST_F(MakersControls, TheLearnSwitchFlipsItsModeOnlyWhileOff) {
  auto* learn = Control<quillet::IVmSwitchMidiLearn>(kLearnSwitch);
  const LICE_IBitmap* learnImage = learn->Strip().bitmap;
  EXPECT_TRUE(learn->LearnMode());
  Click(40, 400);  // on: learning
  EXPECT_TRUE(Plugin().IsLearnActive());
  EXPECT_FALSE(Plugin().IsUnlearnMode());
  Click(40, 400, true);  // right click while on: nothing
  EXPECT_TRUE(learn->LearnMode());
  EXPECT_EQ(learn->Strip().bitmap, learnImage);
  Click(40, 400);  // off
  EXPECT_FALSE(Plugin().IsLearnActive());
  Click(40, 400, true);  // right click while off: unlearn mode and its picture
  EXPECT_FALSE(learn->LearnMode());
  EXPECT_NE(learn->Strip().bitmap, learnImage);
  EXPECT_EQ(learn->Strip().bitmap, Gui().LoadBitmap(105, "img/unlearn.png").bitmap);
  EXPECT_EQ(learn->Strip().frames, 2);
  Click(40, 400);
  EXPECT_TRUE(Plugin().IsLearnActive());
  EXPECT_TRUE(Plugin().IsUnlearnMode());
  // A double click is one more click.
  graphics::IMouseState s = Left();
  Gui().OnMouseDblClick(40, 400, &s);
  EXPECT_FALSE(Plugin().IsLearnActive());
  Click(40, 400, true);
  EXPECT_TRUE(learn->LearnMode());
  EXPECT_EQ(learn->Strip().bitmap, learnImage);
  EXPECT_TRUE(host_.calls.empty());  // the switch binds no parameter
}

TEST_F(MakersControls, ThePresetMenuListsTheProgramsAndResetsTheCurrentOne) {
  Gui().QueueMenuCommand(3);
  Click(150, 36);
  ASSERT_EQ(Gui().Menus().size(), 1u);
  const auto& menu = Gui().Menus()[0];
  ASSERT_EQ(menu.texts.size(), 12u);
  EXPECT_EQ(menu.texts[0], "default");
  EXPECT_EQ(menu.texts[9], "Strange Mix");
  EXPECT_EQ(menu.flags[0], IMenuItem::kChecked);
  EXPECT_EQ(menu.flags[10], IMenuItem::kSeparator);
  EXPECT_EQ(menu.texts[11], "Reset Current Preset");
  EXPECT_EQ(menu.at, IRect(137, 26, 163, 48));
  EXPECT_EQ(Plugin().GetCurrentPresetIdx(), 3);
  EXPECT_EQ(host_.Count("d"), 1);
  EXPECT_EQ(host_.Count("a"), Quillet::kParamCount);

  // Edit slot 8, move away and back: the edit stays; the reset undoes it.
  Plugin().SelectPreset(8);
  SetParameter(quillet::kMix, 0.1f);
  Plugin().SelectPreset(0);
  Plugin().SelectPreset(8);
  EXPECT_FLOAT_EQ(static_cast<float>(Plugin().GetParam(quillet::kMix)->Value()), 0.1f);
  RenameProgram("mine");
  for (int i = 0; i < 3; ++i) Tick();
  host_.calls.clear();
  host_.values.clear();
  Gui().QueueMenuCommand(11);
  Click(150, 36);
  EXPECT_EQ(Plugin().GetCurrentPresetIdx(), 8);
  EXPECT_DOUBLE_EQ(Plugin().GetParam(quillet::kMix)->Value(), 0.7);
  EXPECT_STREQ(Plugin().GetPresetName(8), "Slap Back");
  EXPECT_DOUBLE_EQ(Gui().GetControl(kMixKnob)->Value(), 0.7);
  // The host hears the new name and every value that changed, as after a
  // program change, so its own view and automation follow.
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"d", "a" + std::to_string(quillet::kMix)}));
  ASSERT_EQ(host_.values.size(), 1u);
  EXPECT_FLOAT_EQ(host_.values[0], 0.7f);
  // Chosen or not, every control is redrawn.
  for (int i = 0; i < 3; ++i) Tick();
  Click(150, 36);
  for (int i = 0; i < Gui().NControls(); ++i)
    EXPECT_TRUE(Gui().GetControl(i)->IsDirty()) << "control " << i;
}

TEST_F(MakersControls, HoveringThePresetMenuShowsItsMarker) {
  OpenEditor();
  auto* preset = Control<quillet::IVmPresetMenu>(kPresetMenu);
  const LICE_pixel before = Pixel(150, 37);
  graphics::IMouseState none;
  Gui().OnMouseOver(150, 37, &none);
  EXPECT_TRUE(preset->Hovering());
  Tick();
  const LICE_pixel shown = Pixel(150, 37);
  EXPECT_NE(shown, before);
  Gui().OnMouseOver(500, 400, &none);  // over the background: the marker goes
  EXPECT_FALSE(preset->Hovering());
  Tick();
  EXPECT_EQ(Pixel(150, 37), before);
}

TEST_F(MakersControls, HoveringTheOptionMenuVeilsTheLogo) {
  OpenEditor();
  const LICE_pixel before = Pixel(60, 60);
  graphics::IMouseState none;
  Gui().OnMouseOver(60, 60, &none);
  Tick();
  const LICE_pixel veiled = Pixel(60, 60);
  // A quarter of white over the picture: every colour channel rises.
  EXPECT_GE(LICE_GETR(veiled), LICE_GETR(before));
  EXPECT_GT(LICE_GETR(veiled) + LICE_GETG(veiled) + LICE_GETB(veiled),
            LICE_GETR(before) + LICE_GETG(before) + LICE_GETB(before));
  Gui().OnMouseOut();
  Tick();
  EXPECT_EQ(Pixel(60, 60), before);
}

TEST_F(MakersControls, TheOptionMenuVisitsTheSiteSilentlyAndChecksForUpdates) {
  Gui().QueueMenuCommand(1);
  Gui().QueueUrlResult(false);  // even when the browser cannot start
  Click(60, 60);
  ASSERT_EQ(Gui().Urls().size(), 1u);
  // The maker's site as this build was configured (QUILLET_WEB_HOST).
  EXPECT_EQ(Gui().Urls()[0].url, "http://" + effect::MakersUpdateServer().host + "/");
  EXPECT_EQ(Gui().Urls()[0].caption, "");
  EXPECT_EQ(Gui().Urls()[0].confirm, "");
  EXPECT_EQ(Gui().Urls()[0].error, "");
  EXPECT_TRUE(Gui().MessageBoxes().empty());

  effect_test::LoopbackHttpServer server("1102");
  effect::UpdateServer local;
  local.host = "127.0.0.1";
  local.port = server.Port();
  local.domain = "vellum-music.example";
  Plugin().SetUpdateServer(local);
  Gui().QueueMenuCommand(0);
  Click(60, 60);
  EXPECT_EQ(server.Requests(), 1);
  ASSERT_EQ(Gui().MessageBoxes().size(), 1u);
  EXPECT_EQ(Gui().MessageBoxes()[0].text, "Your version is up to date.");
}

TEST_F(MakersControls, TheSizeMenuScalesTheEditorAndTheUsersNextEditorsRememberIt) {
  OpenEditor();
  // Commands: the three root items 0 to 2, then the Size sub-menu's 3 to 6.
  Gui().QueueMenuCommand(5);
  Click(60, 60);
  ASSERT_EQ(Gui().Menus().size(), 1u);
  EXPECT_EQ(Gui().Menus()[0].texts[2], "Size");
  EXPECT_EQ(Gui().Menus()[0].subTexts,
            (std::vector<std::string>{"Automatic", "100 %", "150 %", "200 %"}));
  EXPECT_EQ(Gui().Menus()[0].subFlags, (std::vector<int>{IMenuItem::kChecked, 0, 0, 0}));
  EXPECT_EQ(Gui().ScalePercent(), 150);
  EXPECT_EQ(Plugin().GetEditor()->Width(), 1476);
  EXPECT_EQ(Plugin().GetEditor()->Height(), 648);
  Tick();
  // The panel's controls keep their logical places: the option menu answers
  // at the same logical point, and shows the choice.
  Gui().QueueMenuCommand(-1);
  Click(60, 60);
  ASSERT_EQ(Gui().Menus().size(), 2u);
  EXPECT_EQ(Gui().Menus()[1].subFlags, (std::vector<int>{0, 0, IMenuItem::kChecked, 0}));
  // No gesture of any kind reached the host.
  EXPECT_EQ(host_.Count("b"), 0);

  // The next editor of this user opens at the chosen size.
  Quillet next(MakeHeadless);
  EXPECT_EQ(next.GetEditor()->Width(), 1476);
  // Back to automatic: the system's (100 % on the headless layer).
  Gui().QueueMenuCommand(3);
  Click(60, 60);
  EXPECT_EQ(Gui().ScalePercent(), 100);
  Quillet third(MakeHeadless);
  EXPECT_EQ(third.GetEditor()->Width(), 984);
}

}  // namespace
}  // namespace quillet_editor_test
