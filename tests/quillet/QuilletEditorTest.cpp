// Quillet's panel: every control in its place with its image, and the editor
// feedback that shows the faders of the current mode, lights the MIDI lamp
// and redraws the envelope pictures.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "editor/EditorFixture.h"
#include "graphics/BitmapCache.h"
#include "graphics/controls/IBitmapControl.h"
#include "graphics/controls/ITextControl.h"
#include "quillet/editor/IVmEnvelopeControl.h"
#include "quillet/editor/IVmKnobControl.h"
#include "quillet/editor/IVmMenuControl.h"
#include "quillet/editor/IVmSliderControl.h"
#include "quillet/editor/IVmSwitchMidiLearn.h"

namespace quillet_editor_test {
namespace {

using graphics::IRect;

class QuilletEditor : public EditorTest {
 protected:
  // Which of the five faders can be seen, in layout order.
  std::vector<int> VisibleFaders() {
    std::vector<int> visible;
    for (int i : {kGrainLengthFader, kGrainSyncFader, kGrainFrequencyFader, kFrameLengthFader,
                  kFrameSyncFader}) {
      if (!Gui().GetControl(i)->IsHidden()) visible.push_back(i);
    }
    return visible;
  }
};

TEST_F(QuilletEditor, EveryControlHasItsPlaceParameterAndImage) {
  const struct {
    int index;
    int param;
    IRect rect;
  } expected[] = {
      {0, -1, {0, 0, 984, 432}},       {1, -1, {16, 120, 106, 134}},
      {2, -1, {16, 24, 108, 136}},     {3, -1, {137, 26, 163, 48}},
      {4, -33, {29, 387, 97, 412}},    {5, 0, {30, 166, 94, 230}},
      {6, 1, {30, 286, 94, 350}},      {7, 3, {140, 103, 206, 328}},
      {8, 4, {140, 103, 206, 328}},    {9, 5, {140, 103, 206, 328}},
      {10, 2, {244, 96, 308, 128}},    {11, 6, {338, 102, 402, 166}},
      {12, -30, {250, 189, 392, 271}}, {13, 7, {218, 286, 282, 350}},
      {14, 8, {290, 286, 354, 350}},   {15, 9, {362, 286, 426, 350}},
      {16, 10, {476, 103, 542, 328}},  {17, 11, {476, 103, 542, 328}},
      {18, 12, {578, 102, 642, 166}},  {19, 13, {674, 102, 738, 166}},
      {20, -31, {586, 189, 728, 271}}, {21, 14, {554, 286, 618, 350}},
      {22, 15, {626, 286, 690, 350}},  {23, 16, {698, 286, 762, 350}},
      {24, -32, {816, 28, 828, 40}},   {25, 17, {850, 96, 914, 128}},
      {26, 18, {806, 166, 870, 230}},  {27, 19, {894, 166, 958, 230}},
      {28, 20, {806, 286, 870, 350}},  {29, 21, {894, 286, 958, 350}},
  };
  for (const auto& e : expected) {
    const graphics::IControl* c = Gui().GetControl(e.index);
    EXPECT_EQ(c->ParamIdx(), e.param) << "control " << e.index;
    EXPECT_EQ(c->Rect(), e.rect) << "control " << e.index;
  }
  // Knobs share the knob strip; the background is copied without alpha.
  const graphics::IFrameStrip knobStrip = Gui().LoadBitmap(101, "img/knob.png", 65);
  for (int i : {5, 6, 11, 13, 14, 15, 19, 21, 22, 23, 26, 27, 28, 29}) {
    auto* knob = Control<quillet::IVmKnobControl>(i);
    ASSERT_NE(knob, nullptr) << "control " << i;
    knob->SetValue(0.0);
    EXPECT_EQ(knob->FrameForValue(), 1);
    knob->SetValue(1.0);
    EXPECT_EQ(knob->FrameForValue(), 65);
    EXPECT_EQ(knob->Gearing(), 4.0);
  }
  EXPECT_EQ(knobStrip.w, 64);
  EXPECT_EQ(knobStrip.h, 4160);
  EXPECT_EQ(Gui().GetControl(0)->Blend().mode, graphics::IBlendMode::kCopy);
  auto* text = Control<graphics::ITextControl>(kVersionText);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Text(), "v.1.1.2.N");
  EXPECT_STREQ(text->TextStyle().fontName, "Arial");
  EXPECT_EQ(text->TextStyle().colour, graphics::IArgb(128, 0, 0, 0));
  auto* lamp = Control<graphics::IBitmapControl>(kMidiLamp);
  ASSERT_NE(lamp, nullptr);
  EXPECT_EQ(lamp->Strip().frames, 2);
  EXPECT_TRUE(Gui().HandlesMouseOver());
}

TEST_F(QuilletEditor, FadersAndTheLampStartHidden) {
  EXPECT_TRUE(VisibleFaders().empty());
  EXPECT_TRUE(Gui().GetControl(kMidiLamp)->IsHidden());
}

TEST_F(QuilletEditor, OpeningInMsecWithoutSyncShowsGrainAndFrameLength) {
  OpenEditor();
  EXPECT_EQ(VisibleFaders(), (std::vector<int>{kGrainLengthFader, kFrameLengthFader}));
}

TEST_F(QuilletEditor, TheModeDecidesWhichGrainFaderIsShown) {
  OpenEditor();
  const struct {
    float mode;
    std::vector<int> visible;
  } cases[] = {{1.0f / 3, {kGrainSyncFader, kFrameLengthFader}},
               {2.0f / 3, {kGrainFrequencyFader, kFrameLengthFader}},
               {1.0f, {kFrameLengthFader}},
               {0.0f, {kGrainLengthFader, kFrameLengthFader}}};
  for (const auto& c : cases) {
    SetParameter(quillet::kGrainMode, c.mode);
    EXPECT_EQ(VisibleFaders(), c.visible) << "mode " << c.mode;
  }
  // Sync to host, at 0.5 already on, swaps the frame faders.
  SetParameter(quillet::kFrameSyncToHost, 0.5f);
  EXPECT_EQ(VisibleFaders(), (std::vector<int>{kGrainLengthFader, kFrameSyncFader}));
}

TEST_F(QuilletEditor, InMidiModeTheLampShowsAtTheNextIdleCallAndLightsWithNotes) {
  OpenEditor();
  SetParameter(quillet::kGrainMode, 1.0f);
  graphics::IControl* lamp = Gui().GetControl(kMidiLamp);
  EXPECT_TRUE(lamp->IsHidden());
  TickUntilIdle();
  EXPECT_FALSE(lamp->IsHidden());
  EXPECT_EQ(lamp->Value(), 0.0);
  SendMidi(0x90, 60, 100);
  HostIdle();  // the host's idle call does it as well
  EXPECT_EQ(lamp->Value(), 1.0);
  SendMidi(0x80, 60, 0);
  HostIdle();
  EXPECT_EQ(lamp->Value(), 0.0);
  SetParameter(quillet::kGrainMode, 0.0f);
  HostIdle();
  EXPECT_TRUE(lamp->IsHidden());
}

TEST_F(QuilletEditor, AnUntouchedEditorDrawsNothingOnItsIdleTicks) {
  // Without MIDI mode the lamp stays hidden, in MIDI mode it stays dark: in
  // neither may an idle call mark it, or the editor would never go idle.
  for (float mode : {0.0f, 1.0f}) {
    SetParameter(quillet::kGrainMode, mode);
    OpenEditor();
    TickUntilIdle();
    TickUntilIdle();
    const long long drawn = Gui().ControlsDrawn();
    for (int i = 0; i < 3 * graphics::IGraphics::kIdleTicksPerHostIdle; ++i) {
      HostIdle();
      Tick();
    }
    EXPECT_EQ(Gui().ControlsDrawn(), drawn) << "mode " << mode;
    CloseEditor();
  }
}

TEST_F(QuilletEditor, WithTheWindowClosedTheControlsFollowButNothingIsShown) {
  SetParameter(quillet::kGrainMode, 1.0f / 3);
  EXPECT_TRUE(VisibleFaders().empty());
  EXPECT_DOUBLE_EQ(Gui().GetControl(kGrainModeMenu)->Value(), 1.0f / 3);
  OpenEditor();
  EXPECT_EQ(VisibleFaders(), (std::vector<int>{kGrainSyncFader, kFrameLengthFader}));
  CloseEditor();
  EXPECT_FALSE(Gui().IsWindowOpen());
}

TEST_F(QuilletEditor, EnvelopePicturesRedrawWhenTheirParametersChange) {
  OpenEditor();
  for (int i = 0; i < 3; ++i) Tick();
  graphics::IControl* grain = Gui().GetControl(kGrainShape);
  graphics::IControl* frame = Gui().GetControl(kFrameShape);
  ASSERT_FALSE(grain->IsDirty());
  SetParameter(quillet::kGrainSkew, 0.75f);
  EXPECT_TRUE(grain->IsDirty());
  EXPECT_TRUE(frame->IsDirty());
  for (int i = 0; i < 3; ++i) Tick();
  SetParameter(quillet::kFrameFadeOut, 0.25f);
  EXPECT_FALSE(grain->IsDirty());
  EXPECT_TRUE(frame->IsDirty());
  for (int i = 0; i < 3; ++i) Tick();
  SetParameter(quillet::kVolume, 0.3f);
  EXPECT_FALSE(frame->IsDirty());
}

TEST_F(QuilletEditor, TurningAKnobRedrawsOnlyItsRectangleAndThePicturesThatShowIt) {
  OpenEditor();
  for (int i = 0; i < 3; ++i) Tick();
  graphics::IMouseState left;
  left.left = true;
  IRect dirty;
  // Volume: the knob alone.
  Gui().OnMouseDown(62, 198, &left);
  Gui().OnMouseDrag(62, 190, &left);
  ASSERT_TRUE(Gui().CollectDirty(&dirty));
  EXPECT_EQ(dirty, IRect(30, 166, 94, 230));
  Gui().OnMouseUp(62, 190, &left);
  for (int i = 0; i < 3; ++i) Tick();
  // Frame Fade-In: the knob and the frame's picture.
  Gui().OnMouseDown(586, 318, &left);
  Gui().OnMouseDrag(586, 310, &left);
  ASSERT_TRUE(Gui().CollectDirty(&dirty));
  EXPECT_EQ(dirty, IRect(554, 189, 728, 350));
  Gui().OnMouseUp(586, 310, &left);
}

TEST_F(QuilletEditor, AProgramChangeRefreshesEveryControl) {
  OpenEditor();
  SelectProgram(2);  // "Frequency": FREQ, frame overlap 50
  EXPECT_EQ(Control<quillet::IVmMenuControl>(kGrainModeMenu)->CurrentItem(), 2);
  EXPECT_DOUBLE_EQ(Gui().GetControl(19)->Value(), 1.0);
  EXPECT_EQ(VisibleFaders(), (std::vector<int>{kGrainFrequencyFader, kFrameLengthFader}));
  // And a chunk: program 1 "Sync 2 Host" saved, then loaded into this one.
  SelectProgram(1);
  const plug::StateChunk chunk = SaveProgram();
  SelectProgram(0);
  EXPECT_EQ(VisibleFaders(), (std::vector<int>{kGrainLengthFader, kFrameLengthFader}));
  ASSERT_TRUE(LoadProgram(chunk));
  EXPECT_EQ(VisibleFaders(), (std::vector<int>{kGrainSyncFader, kFrameSyncFader}));
}

TEST_F(QuilletEditor, ClicksReachTheLearnSwitchAndTheOptionMenu) {
  Click(40, 400);
  EXPECT_TRUE(Plugin().IsLearnActive());
  EXPECT_EQ(Gui().GetControl(kLearnSwitch)->Value(), 1.0);
  Click(60, 60);  // the menu, answered with no choice
  ASSERT_EQ(Gui().Menus().size(), 1u);
  EXPECT_EQ(Gui().Menus()[0].texts,
            (std::vector<std::string>{"Check Online for Update",
                                      "Visit " + effect::MakersUpdateServer().domain, "Size"}));
  EXPECT_EQ(Gui().Menus()[0].at, IRect(60, 60, 60, 60));
}

TEST_F(QuilletEditor, FinishingALearnTurnsTheSwitchOff) {
  OpenEditor();
  Click(40, 400);
  ASSERT_TRUE(Plugin().IsLearnActive());
  SendMidi(0xB0, 7, 64);
  SetParameter(quillet::kGrainLength, 0.5f);
  EXPECT_FALSE(Plugin().IsLearnActive());
  EXPECT_EQ(Plugin().GetControllerMap().ParamFor(7), quillet::kGrainLength);
  EXPECT_EQ(Gui().GetControl(kLearnSwitch)->Value(), 0.0);
  EXPECT_TRUE(Gui().GetControl(kLearnSwitch)->IsDirty());
}

// The learn switch is turned off on whichever thread finishes the learn (here
// the host's MIDI thread) while the editor's timer draws: the ThreadSanitizer
// build checks that nothing races.
TEST_F(QuilletEditor, LearningFinishedOnAnotherThreadWhileTheTimerDraws) {
  OpenEditor();
  graphics::IControl* learnSwitch = Gui().GetControl(kLearnSwitch);
  std::atomic<bool> stop{false};
  std::thread midi([&] {
    // A controller and a touched parameter finish every learn the user starts.
    for (int n = 0; !stop.load(); ++n) {
      SendMidi(0xB0, 7, static_cast<unsigned char>(n % 128));
      SetParameter(quillet::kMix, (n % 100) / 100.0f);
      SetParameter(quillet::kGrainMode, (n % 4) / 3.0f);
    }
  });
  int learnsEnded = 0;
  bool learning = false;
  // Bounded by time, not by rounds: on a loaded machine (or under Wine) the
  // MIDI thread may get little of the processor for a while.
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (learnsEnded < 20 && std::chrono::steady_clock::now() < giveUp) {
    if (learnSwitch->Value() == 0.0) {
      if (learning) ++learnsEnded;
      Click(40, 400);  // on again
      learning = true;
    }
    Tick();
    std::this_thread::yield();
  }
  stop.store(true);
  midi.join();
  EXPECT_GE(learnsEnded, 20);
  // Whichever of the two touched parameters came last.
  const int learned = Plugin().GetControllerMap().ParamFor(7);
  EXPECT_TRUE(learned == quillet::kMix || learned == quillet::kGrainMode) << learned;
}

TEST_F(QuilletEditor, ASecondInstanceDecodesNoImage) {
  const int cached = graphics::BitmapCache::Count();
  Quillet second(MakeHeadless);
  EXPECT_EQ(graphics::BitmapCache::Count(), cached);
  auto* gui = dynamic_cast<graphics::IGraphics*>(second.GetGraphics());
  ASSERT_NE(gui, nullptr);
  EXPECT_EQ(gui->LoadBitmap(101, "img/knob.png").bitmap,
            Gui().LoadBitmap(101, "img/knob.png").bitmap);
}

}  // namespace
}  // namespace quillet_editor_test
