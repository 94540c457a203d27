// Quillet's editor: the layout of the 984 x 432 panel, and the feedback that
// keeps the mode-dependent controls, the MIDI lamp and the envelope pictures
// in step with the parameters.
//
// The panel, left to right: output (Volume, Mix, the learn switch, the option
// menu over the logo, the preset menu, the version text); grain (mode menu,
// the length / sync / frequency fader, overlap, the grain-shape picture with
// its three knobs); frame (length / sync fader, sync-to-host switch, overlap,
// the frame-shape picture with its three knobs); MIDI (activity lamp,
// polyphony menu, attack, decay, sustain, release). The faders of one column
// share one place; only the one the mode uses is shown.
//
// The controls are attached in this order, which is also the order they are
// drawn and the reverse of the order they are hit in.
#include "effect/Effect.h"
#include "graphics/controls/IBitmapControl.h"
#include "graphics/IGraphics.h"
#include "graphics/controls/ITextControl.h"
#include "quillet/Quillet.h"
#include "quillet/editor/IVmEnvelopeControl.h"
#include "quillet/editor/IVmKnobControl.h"
#include "quillet/editor/IVmMenuControl.h"
#include "quillet/editor/IVmOptionMenu.h"
#include "quillet/editor/IVmPresetMenu.h"
#include "quillet/editor/IVmSliderControl.h"
#include "quillet/editor/IVmSwitchControl.h"
#include "quillet/editor/IVmSwitchMidiLearn.h"

using graphics::IArgb;
using graphics::IBlend;
using graphics::IBlendMode;
using graphics::IRect;

namespace {

// Images of the library (resources/Quillet.rc); every strip stacks its frames.
constexpr int kKnobImage = 101;
constexpr int kSwitchImage = 102;
constexpr int kHandleImage = 103;
constexpr int kLedImage = 106;
constexpr int kTriangleImage = 107;

constexpr double kKnobGearing = 4.0;
// The controls that only identify themselves by a negative number.
constexpr int kMidiLampId = -32;
constexpr int kLearnSwitchId = -33;

constexpr int kGrainFaderX = 152;
constexpr int kFrameFaderX = 488;

}  // namespace

void Quillet::LayoutEditor(graphics::IGraphics* gui) {
  gui->Resize(graphics::IGraphics::kDefaultWidth, graphics::IGraphics::kDefaultHeight);
  gui->SetHandleMouseOver(true);
  const graphics::IFrameStrip knob = gui->LoadBitmap(kKnobImage, "img/knob.png", 65);
  const graphics::IFrameStrip toggle = gui->LoadBitmap(kSwitchImage, "img/switch.png", 2);
  const graphics::IFrameStrip handle = gui->LoadBitmap(kHandleImage, "img/handle.png", 1);
  const graphics::IFrameStrip learn =
      gui->LoadBitmap(quillet::IVmSwitchMidiLearn::kLearnImage, "img/learn.png", 2);
  const graphics::IFrameStrip led = gui->LoadBitmap(kLedImage, "img/led.png", 2);
  const graphics::IFrameStrip triangle = gui->LoadBitmap(kTriangleImage, "img/triangle.png", 1);
  gui->AttachBackground(100, "img/back.png");

  auto addKnob = [&](int param, int x, int y) {
    gui->AttachControl(new quillet::IVmKnobControl(this, x, y, param, knob, kKnobGearing));
  };
  auto addSlider = [&](int param, int x) {
    quillet::IVmSliderControl* slider = new quillet::IVmSliderControl(this, x, param, handle);
    gui->AttachControl(slider);
    slider->Hide(true);
    return slider;
  };

  const graphics::ITextStyle versionStyle("Arial", 12, IArgb(128, 0, 0, 0));
  gui->AttachControl(
      new graphics::ITextControl(this, IRect(16, 120, 106, 134), versionStyle, "v.1.1.2.N"));
  quillet::IVmOptionMenu* options = new quillet::IVmOptionMenu(this, IRect(16, 24, 108, 136));
  options->SetHighlight(IArgb(64, 255, 255, 255));
  gui->AttachControl(options);
  gui->AttachControl(new quillet::IVmPresetMenu(this, triangle));

  // The switch's learn and unlearn modes belong to it; the effect base's
  // flags start off, and it learns of the switch once the switch exists.
  SetMidiLearn(false, false);
  quillet::IVmSwitchMidiLearn* learnSwitch =
      new quillet::IVmSwitchMidiLearn(this, 29, 387, kLearnSwitchId, learn);
  learnSwitch->SetLearnMode(true);
  gui->AttachControl(learnSwitch);
  SetLearnSwitch(learnSwitch);

  addKnob(quillet::kVolume, 30, 166);
  addKnob(quillet::kMix, 30, 286);
  editorControls_.grainLength = addSlider(quillet::kGrainLength, kGrainFaderX);
  editorControls_.grainSync = addSlider(quillet::kGrainSync, kGrainFaderX);
  editorControls_.grainFrequency = addSlider(quillet::kGrainFrequency, kGrainFaderX);
  gui->AttachControl(
      new quillet::IVmMenuControl(this, IRect(244, 96, 308, 128), quillet::kGrainMode));
  addKnob(quillet::kGrainOverlap, 338, 102);
  const IArgb lineColour(128, 176, 128, 112);
  const IBlend lineBlend(IBlendMode::kColorDodge, 0.5f);
  quillet::IVmEnvelopeControl* grainShape = new quillet::IVmEnvelopeControl(
      this, IRect(250, 189, 392, 271), quillet::IVmEnvelopeControl::kGrainShape);
  grainShape->SetLine(lineColour, lineBlend);
  gui->AttachControl(grainShape);
  editorControls_.grainShape = grainShape;
  addKnob(quillet::kGrainFadeIn, 218, 286);
  addKnob(quillet::kGrainSkew, 290, 286);
  addKnob(quillet::kGrainFadeOut, 362, 286);
  editorControls_.frameLength = addSlider(quillet::kFrameLength, kFrameFaderX);
  editorControls_.frameSync = addSlider(quillet::kFrameSync, kFrameFaderX);
  gui->AttachControl(
      new quillet::IVmSwitchControl(this, 578, 102, quillet::kFrameSyncToHost, toggle));
  addKnob(quillet::kFrameOverlap, 674, 102);
  quillet::IVmEnvelopeControl* frameShape = new quillet::IVmEnvelopeControl(
      this, IRect(586, 189, 728, 271), quillet::IVmEnvelopeControl::kFrameShape);
  frameShape->SetLine(lineColour, lineBlend);
  gui->AttachControl(frameShape);
  editorControls_.frameShape = frameShape;
  addKnob(quillet::kFrameFadeIn, 554, 286);
  addKnob(quillet::kFrameSkew, 626, 286);
  addKnob(quillet::kFrameFadeOut, 698, 286);
  graphics::IBitmapControl* lamp = new graphics::IBitmapControl(this, 816, 28, kMidiLampId, led);
  gui->AttachControl(lamp);
  lamp->Hide(true);
  editorControls_.midiLamp = lamp;
  gui->AttachControl(
      new quillet::IVmMenuControl(this, IRect(850, 96, 914, 128), quillet::kMidiPolyphony));
  addKnob(quillet::kMidiAttack, 806, 166);
  addKnob(quillet::kMidiDecay, 894, 166);
  addKnob(quillet::kMidiSustain, 806, 286);
  addKnob(quillet::kMidiRelease, 894, 286);

  editorControls_.gui = gui;
  UpdateControlStates();
}

// ---- Editor feedback ----------------------------------------------------------
// These run on whichever thread changed the parameter (the host's automation
// thread, the MIDI thread for MIDI learn, the user-interface thread for the
// editor): they only change control visibility, values and dirty flags,
// which are atomics the editor's timer picks up.

bool Quillet::EditorWindowOpen() const {
  return editorControls_.gui && editorControls_.gui->IsWindowOpen();
}

void Quillet::UpdateControlStates() {
  if (!EditorWindowOpen()) return;
  const int mode = GetParam(quillet::kGrainMode)->Int();
  editorControls_.grainLength->Hide(mode != static_cast<int>(quillet::GrainMode::kMilliseconds));
  editorControls_.grainSync->Hide(mode != static_cast<int>(quillet::GrainMode::kSync));
  editorControls_.grainFrequency->Hide(mode != static_cast<int>(quillet::GrainMode::kFrequency));
  const bool syncToHost = GetParam(quillet::kFrameSyncToHost)->Bool();
  editorControls_.frameLength->Hide(syncToHost);
  editorControls_.frameSync->Hide(!syncToHost);
}

void Quillet::UpdateMidiIndicator() {
  if (!EditorWindowOpen()) return;
  graphics::IControl* lamp = editorControls_.midiLamp;
  // The parameter, not the engine's flag: this runs on the user-interface
  // thread without the lock, and parameter values are atomics.
  // Hiding marks the lamp dirty: only a change of visibility may, or an
  // untouched editor would redraw the lamp on every idle call.
  const bool hide =
      GetParam(quillet::kGrainMode)->Int() != static_cast<int>(quillet::GrainMode::kMidi);
  if (lamp->IsHidden() != hide) lamp->Hide(hide);
  if (!hide) lamp->SetValueFromPlugin(engine_.VoicesActive() ? 1.0 : 0.0);
}

void Quillet::RedrawGrainShape() {
  if (!editorControls_.gui) return;
  if (EditorWindowOpen()) editorControls_.grainShape->MarkDirty(false);
  // The frame's picture is marked too, open window or not: a closed editor
  // draws nothing, and opening it redraws everything anyway.
  editorControls_.frameShape->MarkDirty(false);
}

void Quillet::RedrawFrameShape() {
  if (!editorControls_.gui) return;
  editorControls_.frameShape->MarkDirty(false);
}
