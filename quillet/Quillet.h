// The Quillet plug-in: a granular effect with two inputs and two outputs.
//
// This class is what the host and the editor see of the product: its 29
// parameter slots (0 to 21 used, 22 to 28 left uninitialised), its ten
// factory programs and its answers to MIDI. The sound itself comes from the
// GrainEngine it owns; this class maps parameters onto the engine, reads the
// host transport when the engine asks for it, and picks note frequencies from
// the tuning master or the equal-tempered table.
#pragma once

#include "effect/Effect.h"
#include "effect/TuningClient.h"
#include "quillet/GrainEngine.h"

namespace graphics {
class IControl;
class IGraphics;
}  // namespace graphics

class Quillet : public effect::Effect {
 public:
  // Parameter slots as the host sees them: quillet::ParamIndex (ParamIndex.h)
  // numbers the 22 that drive the engine; slots 22 to 28 stay uninitialised.
  static constexpr int kParamCount = 29;
  static constexpr int kPresetCount = 10;

  // Builds the engine, the parameters, the editor, the program slots
  // ("Empty", then the ten factory programs, program 0 current) and the
  // tuning client. makeGraphics makes the editor object: by default this
  // platform's window layer (none where the platform has none). [main]
  explicit Quillet(effect::GraphicsFactory makeGraphics = &Quillet::MakePlatformEditor);
  ~Quillet() override;

  // Identity fixed at build time.
  static plug::IPlugConfig Config();
  // This platform's editor for plugin, or null.
  static plug::IPlugEditor* MakePlatformEditor(effect::Effect* plugin);

  // Parameters 0 to 21 in index order. [main, from the constructor]
  void InitParams() override;
  // The engine takes the sample rate: filters, envelopes, voice tables, and
  // grain buffers when the rate changed. Allocates. [main, takes the lock]
  void OnReset() override;
  // MIDI-learn capture, then the value goes to the engine. [any thread, takes the lock]
  void OnParamChanged(int paramIndex) override;
  // [audio, lock held] Allocates nothing, makes no system call; the buffers may
  // be the same for input and output.
  void ProcessBlock(double** inputs, double** outputs, int frames) override;
  // Thru to the host, then notes, all-notes-off controllers (120, 123) and
  // MIDI learn (0 to 119). [audio or main, lock held]
  void OnMidiMessage(const plug::IMidiMessage* msg) override;
  void OnEditorOpened() override;  // [main, lock]
  // From the editor's timer (every 21st idle tick, no lock) and from the
  // host's idle call (a binding's HostIdle, lock). [main]
  void OnHostIdle() override;
  // Every plain value to the editor, then the mode-dependent controls. On the
  // thread that loads a program or chunk. [any thread, lock]
  void RefreshParamControls() override;
  void OnPresetsChanged() override;  // [main, lock]

  // Writes factory program `index` (0 to 9) into the slot of that number;
  // other indexes do nothing. The host is not told. [main, takes the lock]
  void MakeFactoryPreset(int index);
  // The preset menu's "Reset Current Preset": the current program becomes its
  // factory program again, and the host hears every value that changed, as
  // after a program change from the same menu. [main, takes the lock, calls
  // the host after releasing it]
  void ResetCurrentPreset();
  // Makes slot `index` current, stores the kParamCount values (clamped into
  // each parameter's range; every kind but continuous takes the integer part)
  // under `name`, and loads the slot back so the engine follows. The host is
  // not told. [main, takes the lock]
  void MakePresetFromValues(int index, const char* name, const double* values);

  // Voices (MIDI mode only starts them). [audio or main, lock]
  void NoteOn(int note);
  void NoteOff(int note);
  void AllNotesOff();

  // Editor feedback for the mode-dependent controls, the MIDI lamp and the
  // envelope-shape displays. They act on the controls the editor layout
  // registers and do nothing without an editor (nor, but for the frame
  // shape, while its window is closed). The control states and the shapes
  // follow parameter changes, so they run on whichever thread changed the
  // parameter (a host automating from its audio thread included); the lamp
  // follows the idle calls. They only set control values and flags.
  void UpdateControlStates();  // [any thread, lock]
  void UpdateMidiIndicator();  // [main]
  void RedrawGrainShape();     // [any thread, lock]
  void RedrawFrameShape();     // [any thread, lock]

  // Display functions of Volume (decibels, "-oo" at 0) and Mix ("Dry",
  // "Wet" or "dry:wet" in percent). `text` holds IParameter::kTextCapacity bytes.
  static void FormatVolume(double gain, char* text);
  static void FormatMix(double wet, char* text);

  const quillet::GrainEngine& Engine() const { return engine_; }

 private:
  // The controls the editor feedback acts on; the editor owns them all.
  struct EditorControls {
    graphics::IGraphics* gui = nullptr;
    graphics::IControl* grainLength = nullptr;
    graphics::IControl* grainSync = nullptr;
    graphics::IControl* grainFrequency = nullptr;
    graphics::IControl* frameLength = nullptr;
    graphics::IControl* frameSync = nullptr;
    graphics::IControl* grainShape = nullptr;
    graphics::IControl* frameShape = nullptr;
    graphics::IControl* midiLamp = nullptr;
  };

  // Builds the panel into gui (quillet/QuilletEditor.cpp). [main, constructor]
  void LayoutEditor(graphics::IGraphics* gui);
  bool EditorWindowOpen() const;

  quillet::GrainEngine engine_;
  effect::TuningClient* tuning_ = nullptr;  // owned
  EditorControls editorControls_;
};
