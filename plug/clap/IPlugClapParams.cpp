// The audio ports, note ports and params extensions.
#include <cmath>
#include <cstring>

#include "plug/TextUtil.h"
#include "plug/clap/IPlugClap.h"

namespace plug {

namespace {

// The group a parameter's name begins with, for hosts that show modules.
const char* ModuleOf(const char* name) {
  static const char* const kModules[] = {"Grain", "Frame", "MIDI"};
  for (const char* module : kModules) {
    const std::size_t n = std::strlen(module);
    if (std::strncmp(name, module, n) == 0 && name[n] == ' ') return module;
  }
  return "";
}

bool EveryStepNamed(const IParameter* param) {
  for (int v = static_cast<int>(param->Min()); v <= static_cast<int>(param->Max()); ++v) {
    const char* text = param->FindValueText(v);
    if (!text || !*text) return false;
  }
  return true;
}

double Clamp01(double v) { return v > 0.0 ? (v < 1.0 ? v : 1.0) : 0.0; }

}  // namespace

// ---- Value mapping -----------------------------------------------------------

bool IPlugClap::IsSteppedParam(const IParameter* param) {
  return param->Kind() != ParamKind::Continuous;
}

double IPlugClap::ClapValueOf(const IParameter* param, double plain) {
  return IsSteppedParam(param) ? plain : param->ToNormalized(plain);
}

double IPlugClap::ClapValueFromNormalized(const IParameter* param, double normalized) {
  const double n = Clamp01(normalized);
  if (!IsSteppedParam(param)) return n;
  // The step the VST 2 build rounds to for the same normalised value.
  const double step = param->Step() > 0.0 ? param->Step() : 1.0;
  double v = std::floor(param->FromNormalized(n) / step + 0.5) * step;
  return v > param->Max() ? param->Max() : v;
}

double IPlugClap::NormalizedFromClap(const IParameter* param, double value) {
  if (!IsSteppedParam(param)) return Clamp01(value);
  // Hosts store whole steps; the base rounds anything between.
  return param->ToNormalized(value);
}

// ---- audio-ports, note-ports ---------------------------------------------------

std::uint32_t CLAP_CALL IPlugClap::AudioPortCount(const clap::Plugin* plugin, bool) {
  return From(plugin) ? 1 : 0;
}

bool CLAP_CALL IPlugClap::AudioPortGet(const clap::Plugin* plugin, std::uint32_t index,
                                       bool isInput, clap::AudioPortInfo* info) {
  IPlugClap* self = From(plugin);
  if (!self || index != 0 || !info) return false;
  std::memset(info, 0, sizeof *info);
  info->id = 0;
  CopyText(info->name, isInput ? "Stereo In" : "Stereo Out", sizeof info->name);
  // The engine computes in double: 64-bit buffers spare a conversion. One
  // sample size for both ports keeps a process call in one precision.
  info->flags = clap::kAudioPortIsMain | clap::kAudioPortSupports64Bits |
                clap::kAudioPortPrefers64Bits | clap::kAudioPortRequiresCommonSampleSize;
  info->channelCount = 2;
  info->portType = clap::kPortStereo;
  info->inPlacePair = 0;
  return true;
}

std::uint32_t CLAP_CALL IPlugClap::NotePortCount(const clap::Plugin* plugin, bool) {
  IPlugClap* self = From(plugin);
  return self && self->plugin_->DoesMidi() ? 1 : 0;
}

bool CLAP_CALL IPlugClap::NotePortGet(const clap::Plugin* plugin, std::uint32_t index, bool isInput,
                                      clap::NotePortInfo* info) {
  IPlugClap* self = From(plugin);
  if (!self || !self->plugin_->DoesMidi() || index != 0 || !info) return false;
  std::memset(info, 0, sizeof *info);
  info->id = 0;
  // MIDI is what the product reads and sends (MIDI mode, learn, thru); CLAP
  // notes are accepted and read as the same messages.
  info->supportedDialects =
      clap::kNoteDialectMidi | (isInput ? static_cast<std::uint32_t>(clap::kNoteDialectClap) : 0u);
  info->preferredDialect = clap::kNoteDialectMidi;
  CopyText(info->name, isInput ? "MIDI In" : "MIDI Thru", sizeof info->name);
  return true;
}

// ---- params ------------------------------------------------------------------

std::uint32_t CLAP_CALL IPlugClap::ParamCount(const clap::Plugin* plugin) {
  IPlugClap* self = From(plugin);
  return self ? static_cast<std::uint32_t>(self->plugin_->NParams()) : 0;
}

bool CLAP_CALL IPlugClap::ParamGetInfo(const clap::Plugin* plugin, std::uint32_t index,
                                       clap::ParamInfo* info) {
  IPlugClap* self = From(plugin);
  if (!self || !info || index >= static_cast<std::uint32_t>(self->plugin_->NParams())) return false;
  ScopedThreadRole role(ThreadRole::kMain);
  const IParameter* param = self->plugin_->GetParam(static_cast<int>(index));
  std::memset(info, 0, sizeof *info);
  info->id = index;  // the index is the stable id in every format
  info->flags = clap::kParamIsAutomatable;
  // Slots the product leaves unnamed are unused: hosts need not show them.
  if (!param->Name()[0]) info->flags |= clap::kParamIsHidden;
  info->cookie = nullptr;
  CopyText(info->name, param->Name(), sizeof info->name);
  CopyText(info->module, ModuleOf(param->Name()), sizeof info->module);
  if (IsSteppedParam(param)) {
    info->flags |= clap::kParamIsStepped;
    if (EveryStepNamed(param)) info->flags |= clap::kParamIsEnum;
    info->minValue = param->Min();
    info->maxValue = param->Max();
    info->defaultValue = param->Default();
  } else {
    info->minValue = 0.0;
    info->maxValue = 1.0;
    info->defaultValue = param->ToNormalized(param->Default());
  }
  return true;
}

bool CLAP_CALL IPlugClap::ParamGetValue(const clap::Plugin* plugin, clap::Id id, double* value) {
  IPlugClap* self = From(plugin);
  if (!self || !value) return false;
  const IParameter* param = self->plugin_->GetParam(static_cast<int>(id));
  if (!param || id >= static_cast<clap::Id>(self->plugin_->NParams())) return false;
  // The value is an atomic: no lock, so a host asking while audio runs never
  // waits for the block.
  *value = ClapValueOf(param, param->Value());
  return true;
}

bool CLAP_CALL IPlugClap::ParamValueToText(const clap::Plugin* plugin, clap::Id id, double value,
                                           char* text, std::uint32_t capacity) {
  IPlugClap* self = From(plugin);
  if (!self || !text || capacity < 1) return false;
  const IParameter* param = self->plugin_->GetParam(static_cast<int>(id));
  if (!param || id >= static_cast<clap::Id>(self->plugin_->NParams()) || !std::isfinite(value))
    return false;
  double plain;
  const double current = param->Value();
  if (value == ClapValueOf(param, current)) {
    plain = current;  // the display text the VST 2 build shows, to the last digit
  } else if (IsSteppedParam(param)) {
    plain = value < param->Min() ? param->Min() : (value > param->Max() ? param->Max() : value);
  } else {
    plain = param->FromNormalized(Clamp01(value));
  }
  char display[IParameter::kTextCapacity];
  param->FormatValue(plain, false, display, true);
  CopyText(text, display, capacity);
  return true;
}

bool CLAP_CALL IPlugClap::ParamTextToValue(const clap::Plugin* plugin, clap::Id id,
                                           const char* text, double* value) {
  IPlugClap* self = From(plugin);
  if (!self || !text || !value) return false;
  const IParameter* param = self->plugin_->GetParam(static_cast<int>(id));
  if (!param || id >= static_cast<clap::Id>(self->plugin_->NParams())) return false;
  // Host texts are read to a bound: a parameter text is never longer.
  char bounded[IParameter::kTextCapacity * 4];
  std::size_t n = 0;
  while (n + 1 < sizeof bounded && text[n]) ++n;
  std::memcpy(bounded, text, n);
  bounded[n] = '\0';
  double plain;
  if (!param->PlainFromText(bounded, &plain) || !std::isfinite(plain)) return false;
  plain = plain < param->Min() ? param->Min() : (plain > param->Max() ? param->Max() : plain);
  if (IsSteppedParam(param)) plain = std::floor(plain / param->Step() + 0.5) * param->Step();
  *value = ClapValueOf(param, plain);
  return true;
}

void CLAP_CALL IPlugClap::ParamFlush(const clap::Plugin* plugin, const clap::InputEvents* in,
                                     const clap::OutputEvents* out) {
  IPlugClap* self = From(plugin);
  if (!self) return;
  ScopedThreadRole role(self->active_ ? ThreadRole::kAudio : ThreadRole::kMain);
  InstanceLock lock(self->Mutex());
  const std::uint32_t count = in && in->size && in->get ? in->size(in) : 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const clap::EventHeader* event = in->get(in, i);
    if (event && event->spaceId == clap::kCoreEventSpace && event->type == clap::kEventParamValue &&
        event->size >= sizeof(clap::EventParamValue))
      self->ApplyParamValue(reinterpret_cast<const clap::EventParamValue*>(event));
  }
  if (out && out->tryPush) self->DrainEdits(out);
}

const clap::PluginAudioPorts IPlugClap::kAudioPorts = {AudioPortCount, AudioPortGet};
const clap::PluginNotePorts IPlugClap::kNotePorts = {NotePortCount, NotePortGet};
const clap::PluginParams IPlugClap::kParams = {ParamCount,       ParamGetInfo,     ParamGetValue,
                                               ParamValueToText, ParamTextToValue, ParamFlush};

}  // namespace plug
