#include "effect/Effect.h"

#include <string>
#include <vector>

namespace effect {

namespace {

using Lock = plug::InstanceLock;

// "Quillet" -> "quillet.ini"
std::string SettingsFileName(const char* effectName) {
  std::string name = effectName;
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name + ".ini";
}

}  // namespace

Effect::Effect(const plug::IPlugConfig& config, GraphicsFactory makeGraphics)
    : plug::IPlugBase(config) {
  const std::string label = std::string(GetEffectName()) + " ";
  for (int i = 0; i < 2; ++i) {
    if (i < NInChannels()) SetInputLabel(i, label.c_str());
    if (i < NOutChannels()) SetOutputLabel(i, label.c_str());
  }
  controllerMap_.Clear();
  graphics_ = makeGraphics != nullptr ? makeGraphics(this) : nullptr;

  // The C locale is left as the host set it: number texts go through the
  // locale-independent helpers instead.

  settingsPath_ = SettingsFile::Locate(kMakerFolder, SettingsFileName(GetEffectName()).c_str());
  const SettingsFile file(settingsPath_);
  if (file.Exists() || file.CreateEmpty()) LoadControllerMap();
}

Effect::~Effect() {
  // Once attached, the base owns and deletes the graphics object.
  if (graphics_ != GetEditor()) delete graphics_;
}

bool Effect::IsLearnableParam(int paramIndex) const {
  return static_cast<unsigned>(paramIndex) < static_cast<unsigned>(NParams());
}

void Effect::OnParamChanged(int paramIndex) {
  Lock lock(Mutex());
  if (IsLearnableParam(paramIndex) && learnActive_) {
    learnedParam_ = paramIndex;
    UpdateMidiLearn();
  }
}

void Effect::OnActivation(bool active) {
  Lock lock(Mutex());
  if (!active) return;
  for (int i = 0; i < NParams(); ++i) OnParamChanged(i);
}

void Effect::InitEnumParam(int paramIndex, const char* name, int defaultIndex, int count,
                           const char* const* texts) {
  plug::IParameter* param = GetParam(paramIndex);
  if (param == nullptr || count < 1 || texts == nullptr) return;
  // An unset kind becomes an enumeration; a kind set before stays. Either
  // way the range is 0..count-1 in whole steps, linear, without a unit.
  param->InitEnumeration(name, defaultIndex, count, "");
  for (int i = 0; i < count; ++i) param->AddValueText(i, texts[i] != nullptr ? texts[i] : "");
}

void Effect::HandleControlChange(int controller, int value) {
  if (controller < 0 || controller >= ControllerMap::kControllerCount) return;
  Lock lock(Mutex());
  if (learnActive_) {
    learnedController_ = controller;
    UpdateMidiLearn();
    return;
  }
  const int paramIndex = controllerMap_.ParamFor(controller);
  if (!IsLearnableParam(paramIndex)) return;
  if (value < 0) value = 0;
  if (value > 127) value = 127;
  const double normalized = value / 127.0;
  if (GetParam(paramIndex)->NormalizedValue() == normalized) return;
  SetParameterFromEditor(paramIndex, normalized);
  if (graphics_ != nullptr) graphics_->SetParameterFromPlugin(paramIndex, normalized, true);
}

void Effect::SetLearnSwitch(ILearnSwitch* learnSwitch) {
  Lock lock(Mutex());
  learnSwitch_ = learnSwitch;
  learnActive_ = false;
  unlearnMode_ = false;
}

void Effect::SetMidiLearn(bool active, bool unlearn) {
  plug::IHostServices* host = HostServices();
  if (host && host->LearnsElsewhere()) {
    host->PassMidiLearn(!active   ? plug::kMidiLearnOff
                        : unlearn ? plug::kMidiUnlearnOn
                                  : plug::kMidiLearnOn);
    return;
  }
  // The capture runs under the lock on the MIDI thread; taking it here keeps
  // the flags and indices from changing half-way through a capture.
  Lock lock(Mutex());
  learnedController_ = ControllerMap::kUnassigned;
  learnedParam_ = ControllerMap::kUnassigned;
  unlearnMode_ = unlearn;
  learnActive_ = active;
}

void Effect::OnHostMidiLearn(int mode) {
  if (mode != plug::kMidiLearnOff && mode != plug::kMidiLearnOn && mode != plug::kMidiUnlearnOn)
    return;
  Lock lock(Mutex());
  const bool on = mode != plug::kMidiLearnOff;
  const plug::IHostServices* host = HostServices();
  if (!host || !host->LearnsElsewhere()) {
    learnedController_ = ControllerMap::kUnassigned;
    learnedParam_ = ControllerMap::kUnassigned;
    unlearnMode_ = mode == plug::kMidiUnlearnOn;
    learnActive_ = on;
  }
  if (learnSwitch_ != nullptr) {
    learnSwitch_->SetValueFromPlugin(on ? 1.0 : 0.0);
    learnSwitch_->MarkDirty(true);
  }
}

int Effect::GetMidiLearnMode() const {
  if (!learnActive_) return plug::kMidiLearnOff;
  return unlearnMode_ ? plug::kMidiUnlearnOn : plug::kMidiLearnOn;
}

void Effect::SelectPreset(int index) {
  std::vector<double> values;
  {
    Lock lock(Mutex());
    if (GetPreset(index) == nullptr) return;
    ModifyCurrentPreset(nullptr);
    RestorePreset(index);
    for (int i = 0; i < NParams(); ++i) values.push_back(GetParam(i)->NormalizedValue());
  }
  // The host hears of the new values after the lock is released: a host that
  // calls back into the plug-in from another thread inside the callback would
  // otherwise wait for us forever.
  NotifyHostDisplayChanged();
  for (int i = 0; i < static_cast<int>(values.size()); ++i)
    NotifyHostParamValue(i, values[static_cast<size_t>(i)]);
}

int Effect::CheckForUpdate() {
  return RunUpdateCheck(graphics_, GetUpdateProduct(), updateServer_);
}

UpdateProduct Effect::GetUpdateProduct() const {
  UpdateProduct product;
  product.name = GetEffectName();
  const int version = GetVersion();  // 0xMMMMmmpp
  const int major = (version >> 16) & 0xFFFF;
  const int minor = (version >> 8) & 0xFF;
  const int patch = version & 0xFF;
  product.versionText =
      std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
  product.versionNumber = major * 1000 + minor * 100 + patch;
  return product;
}

void Effect::UpdateMidiLearn() {
  const int none = ControllerMap::kUnassigned;
  bool finished = false;
  if (!unlearnMode_) {
    if (learnedController_ != none && learnedParam_ != none) {
      controllerMap_.Assign(learnedController_, learnedParam_);
      finished = true;
    }
  } else if (learnedController_ != none) {
    controllerMap_.ClearController(learnedController_);
    finished = true;
  } else if (learnedParam_ != none) {
    controllerMap_.ClearParam(learnedParam_);
    finished = true;
  }
  if (!finished) return;

  learnActive_ = false;
  unlearnMode_ = false;
  SaveControllerMap();
  if (learnSwitch_ != nullptr) {
    learnSwitch_->SetValueFromPlugin(0.0);
    learnSwitch_->MarkDirty(true);
  }
}

void Effect::LoadControllerMap() { controllerMap_.Load(SettingsFile(settingsPath_)); }

void Effect::SaveControllerMap() { controllerMap_.Save(SettingsFile(settingsPath_)); }

}  // namespace effect
