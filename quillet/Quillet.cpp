#include "quillet/Quillet.h"

#include "graphics/IGraphics.h"
#include "graphics/PlatformGraphics.h"
#include "plug/FourCharCode.h"
#include "quillet/NoteFrequencyTable.h"

namespace {

using Lock = plug::InstanceLock;

// MIDI status kinds (upper four bits of the status byte) and controllers.
constexpr int kNoteOffKind = 8;
constexpr int kNoteOnKind = 9;
constexpr int kControlChangeKind = 11;
constexpr int kAllSoundOff = 120;
constexpr int kAllNotesOff = 123;
constexpr int kFirstChannelModeController = 120;
constexpr int kNoteCount = 128;

}  // namespace

plug::IPlugConfig Quillet::Config() {
  plug::IPlugConfig config;
  config.effectName = "Quillet";
  config.productName = "";
  config.makerName = "Vellum Music";
  config.uniqueId = plug::FourCharCode('v', 'm', 'Q', 'L');
  config.version = 0x00010102;  // 1.1.2
  config.paramCount = kParamCount;
  config.presetCount = kPresetCount;
  config.channelIO = "2-2";
  return config;
}

plug::IPlugEditor* Quillet::MakePlatformEditor(effect::Effect* plugin) {
  return graphics::MakePlatformGraphics(plugin);
}

Quillet::Quillet(effect::GraphicsFactory makeGraphics) : effect::Effect(Config(), makeGraphics) {
  // The engine (frames, envelopes, filters at 44100 Hz) is built with the
  // members; then the parameters, the editor, the programs and the tuning
  // client, in that order.
  InitParams();
  graphics::IGraphics* gui = dynamic_cast<graphics::IGraphics*>(GetGraphics());
  if (gui) LayoutEditor(gui);
  if (GetGraphics()) AttachEditor(GetGraphics());
  MakeDefaultPresets("Empty", kPresetCount);
  for (int i = 0; i < kPresetCount; ++i) MakeFactoryPreset(i);
  RestorePreset(0);
  tuning_ = new effect::TuningClient();
}

Quillet::~Quillet() { delete tuning_; }

void Quillet::OnReset() {
  Lock lock(Mutex());
  engine_.Reset(GetSampleRate());
}

void Quillet::OnParamChanged(int paramIndex) {
  Lock lock(Mutex());
  effect::Effect::OnParamChanged(paramIndex);
  if (paramIndex < 0 || paramIndex >= quillet::kUsedParamCount) return;
  engine_.SetParameter(paramIndex, GetParam(paramIndex)->Value());
  switch (paramIndex) {
    case quillet::kGrainMode:
    case quillet::kFrameSyncToHost:
      UpdateControlStates();
      break;
    case quillet::kGrainFadeIn:
    case quillet::kGrainSkew:
    case quillet::kGrainFadeOut:
      RedrawGrainShape();
      break;
    case quillet::kFrameFadeIn:
    case quillet::kFrameSkew:
    case quillet::kFrameFadeOut:
      RedrawFrameShape();
      break;
    default:
      break;
  }
}

void Quillet::ProcessBlock(double** inputs, double** outputs, int frames) {
  quillet::HostTempo tempo;
  if (engine_.NeedsHostTempo()) {
    plug::ITransportInfo info;  // fields the host does not confirm keep their defaults
    GetTransportInfo(&info);
    tempo.tempoBpm = info.tempo;
    tempo.samplePosition = info.samplePos;
  }
  engine_.Process(inputs, outputs, frames, tempo);
}

void Quillet::OnMidiMessage(const plug::IMidiMessage* msg) {
  if (!msg) return;
  SendMidiToHost(msg);
  const int kind = msg->status >> 4;
  switch (kind) {
    case kNoteOffKind:
      NoteOff(msg->data1);
      break;
    case kNoteOnKind:
      // Velocity 0 is a note-off; otherwise the velocity has no effect.
      if (msg->data2 == 0) {
        NoteOff(msg->data1);
      } else {
        NoteOn(msg->data1);
      }
      break;
    case kControlChangeKind:
      if (msg->data1 == kAllSoundOff || msg->data1 == kAllNotesOff) {
        AllNotesOff();
      } else if (msg->data1 < kFirstChannelModeController) {
        HandleControlChange(msg->data1, msg->data2);
      }
      break;
    default:
      break;
  }
}

void Quillet::NoteOn(int note) {
  if (!engine_.IsMidiMode() || note < 0 || note >= kNoteCount) return;
  double frequencyHz;
  if (tuning_ && tuning_->HasTuningMaster()) {
    if (tuning_->IsNoteFiltered(note)) return;
    frequencyHz = tuning_->TunedFrequency(note);
  } else {
    frequencyHz = quillet::NoteFrequencyTable::FrequencyHz(note);
  }
  engine_.NoteOn(note, frequencyHz);
}

void Quillet::NoteOff(int note) { engine_.NoteOff(note); }

void Quillet::AllNotesOff() { engine_.AllNotesOff(); }

void Quillet::OnEditorOpened() { UpdateControlStates(); }

void Quillet::OnHostIdle() { UpdateMidiIndicator(); }

void Quillet::RefreshParamControls() {
  effect::Effect::RefreshParamControls();
  UpdateControlStates();
}

void Quillet::OnPresetsChanged() { RefreshParamControls(); }

void Quillet::MakePresetFromValues(int index, const char* name, const double* values) {
  // The editor's "Reset Current Preset" runs this on the user-interface
  // thread while audio runs.
  Lock lock(Mutex());
  if (!values || !GetPreset(index)) return;
  if (GetCurrentPresetIdx() != index) RestorePreset(index);
  for (int i = 0; i < NParams(); ++i) {
    plug::IParameter* param = GetParam(i);
    double v = values[i];
    if (param->Kind() != plug::ParamKind::Continuous) v = static_cast<int>(v);
    param->SetClamped(v);
  }
  ModifyCurrentPreset(name);
  RestorePreset(index);  // loading calls OnParamChanged for every parameter
  RefreshParamControls();
}
