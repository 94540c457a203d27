// The edit-controller side: parameters (IDs in Vst3Ids.h), their texts, the
// program list and the MIDI controller mapping.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "plug/TextUtil.h"
#include "plug/vst3/Vst3Plugin.h"
#include "plug/vst3/Vst3Text.h"
#include "plug/vst3/Vst3View.h"

namespace plug {

namespace {

using namespace vst3;

constexpr std::size_t kString128 = 128;

double Clamp01(double v) { return v > 1.0 ? 1.0 : (v > 0.0 ? v : 0.0); }

// Steps of a parameter the host may show as a list or a slider with ticks;
// 0 for continuous ones.
int32 StepCount(const IParameter& param) {
  // Every kind but continuous rounds to whole steps (IParameter).
  if (param.Kind() == ParamKind::Continuous || !(param.Step() > 0.0)) return 0;
  const double steps = std::floor((param.Max() - param.Min()) / param.Step() + 0.5);
  return steps > 0.0 && steps < 2147483647.0 ? static_cast<int32>(steps) : 0;
}

// The slot of a mapped controller's hidden parameter, or -1.
int ControllerSlot(ParamID id) {
  if (id < vst3ids::kControllerParamBase) return -1;
  const ParamID cc = id - vst3ids::kControllerParamBase;
  if (cc > 127 || !vst3ids::IsMappedController(static_cast<int>(cc))) return -1;
  return cc <= 120 ? static_cast<int>(cc) : 121;
}

}  // namespace

// ---- State of the controller side -----------------------------------------------

// The component is its own controller: what the host hands the controller
// side was loaded through IComponent::setState already.
tresult VST3_CALL Vst3Plugin::setComponentState(IBStream* state) {
  return state ? kResultOk : kInvalidArgument;
}

tresult Vst3Plugin::LoadController(IBStream* state) { return state ? kResultOk : kInvalidArgument; }

tresult Vst3Plugin::SaveController(IBStream* state) { return state ? kResultOk : kInvalidArgument; }

// ---- Parameters ----------------------------------------------------------------

int32 VST3_CALL Vst3Plugin::getParameterCount() {
  return plugin_->NParams() + 1 + vst3ids::kMappedControllerCount;
}

tresult VST3_CALL Vst3Plugin::getParameterInfo(int32 paramIndex, ParameterInfo* info) {
  ScopedThreadRole role(ThreadRole::kMain);
  if (!info || paramIndex < 0 || paramIndex >= getParameterCount()) return kInvalidArgument;
  *info = ParameterInfo{};
  info->unitId = kRootUnitId;
  const int params = plugin_->NParams();
  if (paramIndex < params) {
    const IParameter* param = plugin_->GetParam(paramIndex);
    info->id = static_cast<ParamID>(paramIndex);
    CopyToUtf16(info->title, param->Name(), kString128);
    CopyToUtf16(info->shortTitle, param->Name(), kString128);
    CopyToUtf16(info->units, param->Label(), kString128);
    info->stepCount = StepCount(*param);
    info->defaultNormalizedValue = param->ToNormalized(param->Default());
    info->flags = kCanAutomate;
    if (param->HasValueTexts() && info->stepCount > 0) info->flags |= kIsList;
  } else if (paramIndex == params) {
    info->id = vst3ids::kProgramParamId;
    CopyToUtf16(info->title, "Program", kString128);
    CopyToUtf16(info->shortTitle, "Program", kString128);
    info->stepCount = plugin_->NPresets() > 1 ? plugin_->NPresets() - 1 : 0;
    info->flags = kIsProgramChange | kIsList;
  } else {
    const int cc = vst3ids::MappedController(paramIndex - params - 1);
    char title[32];
    std::snprintf(title, sizeof title, "MIDI CC %d", cc);
    info->id = vst3ids::kControllerParamBase + static_cast<ParamID>(cc);
    CopyToUtf16(info->title, title, kString128);
    CopyToUtf16(info->shortTitle, title, kString128);
    info->stepCount = 127;
    info->flags = kIsHidden;
  }
  return kResultOk;
}

tresult VST3_CALL Vst3Plugin::getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                    String128 string) {
  ScopedThreadRole role(ThreadRole::kMain);
  if (!string || !std::isfinite(valueNormalized)) return kInvalidArgument;
  const double v = Clamp01(valueNormalized);
  char text[IParameter::kTextCapacity];
  if (const IParameter* param = id < static_cast<ParamID>(plugin_->NParams())
                                    ? plugin_->GetParam(static_cast<int>(id))
                                    : nullptr) {
    // The display text VST 2 hosts see once the parameter took this value.
    param->FormatValue(param->PlainFromNormalized(v), false, text, true);
  } else if (id == vst3ids::kProgramParamId) {
    InstanceLock lock(Mutex());
    const int count = plugin_->NPresets();
    CopyText(text, plugin_->GetPresetName(static_cast<int>(std::floor(v * (count - 1) + 0.5))),
             sizeof text);
  } else if (ControllerSlot(id) >= 0) {
    std::snprintf(text, sizeof text, "%d", static_cast<int>(std::floor(v * 127.0 + 0.5)));
  } else {
    return kInvalidArgument;
  }
  CopyToUtf16(string, text, kString128);
  return kResultOk;
}

tresult VST3_CALL Vst3Plugin::getParamValueByString(ParamID id, char16* string,
                                                    ParamValue* valueNormalized) {
  ScopedThreadRole role(ThreadRole::kMain);
  if (!string || !valueNormalized) return kInvalidArgument;
  char text[kString128 * 3];
  CopyFromUtf16(text, string, kString128, sizeof text);
  if (id < static_cast<ParamID>(plugin_->NParams())) {
    // Parsed as VST 2's effString2Parameter parses it, clamped into the range.
    const IParameter* param = plugin_->GetParam(static_cast<int>(id));
    double plain = 0.0;
    if (!param->PlainFromText(text, &plain) || !std::isfinite(plain)) return kResultFalse;
    if (plain < param->Min()) plain = param->Min();
    if (plain > param->Max()) plain = param->Max();
    *valueNormalized = param->ToNormalized(plain);
    return kResultOk;
  }
  if (id == vst3ids::kProgramParamId) {
    InstanceLock lock(Mutex());
    const int count = plugin_->NPresets();
    for (int i = 0; i < count; ++i) {
      if (std::strcmp(plugin_->GetPresetName(i), text) == 0) {
        *valueNormalized = count > 1 ? static_cast<double>(i) / (count - 1) : 0.0;
        return kResultOk;
      }
    }
    return kResultFalse;
  }
  if (ControllerSlot(id) >= 0) {
    const double v = ParseLeadingNumber(text);
    *valueNormalized = Clamp01(std::floor(v + 0.5) / 127.0);
    return kResultOk;
  }
  return kInvalidArgument;
}

ParamValue VST3_CALL Vst3Plugin::normalizedParamToPlain(ParamID id, ParamValue valueNormalized) {
  if (id < static_cast<ParamID>(plugin_->NParams()) && std::isfinite(valueNormalized))
    return plugin_->GetParam(static_cast<int>(id))->PlainFromNormalized(Clamp01(valueNormalized));
  if (id == vst3ids::kProgramParamId) return Clamp01(valueNormalized) * (plugin_->NPresets() - 1);
  return valueNormalized;
}

ParamValue VST3_CALL Vst3Plugin::plainParamToNormalized(ParamID id, ParamValue plainValue) {
  if (id < static_cast<ParamID>(plugin_->NParams()) && std::isfinite(plainValue)) {
    const IParameter* param = plugin_->GetParam(static_cast<int>(id));
    const double plain = plainValue < param->Min()
                             ? param->Min()
                             : (plainValue > param->Max() ? param->Max() : plainValue);
    return param->ToNormalized(plain);
  }
  if (id == vst3ids::kProgramParamId && plugin_->NPresets() > 1)
    return Clamp01(plainValue / (plugin_->NPresets() - 1));
  return plainValue;
}

ParamValue VST3_CALL Vst3Plugin::getParamNormalized(ParamID id) {
  ScopedThreadRole role(ThreadRole::kMain);
  InstanceLock lock(Mutex());
  if (id < static_cast<ParamID>(plugin_->NParams()))
    return plugin_->GetParam(static_cast<int>(id))->NormalizedValue();
  if (id == vst3ids::kProgramParamId) {
    const int count = plugin_->NPresets();
    return count > 1 ? static_cast<double>(plugin_->GetCurrentPresetIdx()) / (count - 1) : 0.0;
  }
  const int slot = ControllerSlot(id);
  return slot >= 0 ? controllerValues_[slot] : 0.0;
}

// The host's value for the controller side: the editor shows it and, the
// two sides sharing one instance, the parameter takes it (the processor gets
// the same value from the block's queue). A program selects it.
tresult VST3_CALL Vst3Plugin::setParamNormalized(ParamID id, ParamValue value) {
  ScopedThreadRole role(ThreadRole::kMain);
  if (!std::isfinite(value)) return kInvalidArgument;
  const double v = Clamp01(value);
  try {
    if (id < static_cast<ParamID>(plugin_->NParams())) {
      InstanceLock lock(Mutex());
      plugin_->HostSetParameter(static_cast<int>(id), v);
      return kResultOk;
    }
    if (id == vst3ids::kProgramParamId) {
      bool changed = false;
      {
        InstanceLock lock(Mutex());
        const int count = plugin_->NPresets();
        const int index = static_cast<int>(std::floor(v * (count - 1) + 0.5));
        if (index != plugin_->GetCurrentPresetIdx()) {
          plugin_->HostSelectPreset(index);
          plugin_->HostRefreshControls();
          changed = true;
        }
      }
      // Every value changed with the program: the host reads them again.
      if (changed) RestartComponent(kParamValuesChanged);
      return kResultOk;
    }
    const int slot = ControllerSlot(id);
    if (slot < 0) return kInvalidArgument;
    InstanceLock lock(Mutex());
    controllerValues_[slot] = v;
    return kResultOk;
  } catch (...) {
    return kInternalError;
  }
}

tresult VST3_CALL Vst3Plugin::setComponentHandler(IComponentHandler* handler) {
  ScopedThreadRole role(ThreadRole::kMain);
  if (handler == handler_) return kResultOk;
  if (handler) handler->addRef();
  if (handler_) handler_->release();
  handler_ = handler;
  return kResultOk;
}

IPlugView* VST3_CALL Vst3Plugin::createView(FIDString name) {
  ScopedThreadRole role(ThreadRole::kMain);
  if (!name || std::strcmp(name, "editor") != 0 || !plugin_->GetEditor() || view_) return nullptr;
  try {
    return Vst3View::Create(this);
  } catch (...) {
    return nullptr;
  }
}

// ---- MIDI mapping -------------------------------------------------------------

tresult VST3_CALL Vst3Plugin::getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                          CtrlNumber midiController, ParamID* id) {
  if (!id || busIndex != 0 || channel < 0 || channel > 15 ||
      !vst3ids::IsMappedController(midiController))
    return kResultFalse;
  *id = vst3ids::kControllerParamBase + static_cast<ParamID>(midiController);
  return kResultTrue;
}

// ---- Units and the program list ---------------------------------------------------

int32 VST3_CALL Vst3Plugin::getUnitCount() { return 1; }

tresult VST3_CALL Vst3Plugin::getUnitInfo(int32 unitIndex, UnitInfo* info) {
  if (!info || unitIndex != 0) return kInvalidArgument;
  info->id = kRootUnitId;
  info->parentUnitId = kNoParentUnitId;
  CopyToUtf16(info->name, "Root", kString128);
  info->programListId = vst3ids::kProgramListId;
  return kResultOk;
}

int32 VST3_CALL Vst3Plugin::getProgramListCount() { return 1; }

tresult VST3_CALL Vst3Plugin::getProgramListInfo(int32 listIndex, ProgramListInfo* info) {
  if (!info || listIndex != 0) return kInvalidArgument;
  info->id = vst3ids::kProgramListId;
  CopyToUtf16(info->name, "Programs", kString128);
  info->programCount = plugin_->NPresets();
  return kResultOk;
}

tresult VST3_CALL Vst3Plugin::getProgramName(ProgramListID listId, int32 programIndex,
                                             String128 name) {
  ScopedThreadRole role(ThreadRole::kMain);
  if (!name || listId != vst3ids::kProgramListId || programIndex < 0 ||
      programIndex >= plugin_->NPresets())
    return kInvalidArgument;
  InstanceLock lock(Mutex());
  CopyToUtf16(name, plugin_->GetPresetName(programIndex), kString128);
  return kResultOk;
}

tresult VST3_CALL Vst3Plugin::getProgramInfo(ProgramListID, int32, const char*, String128) {
  return kResultFalse;
}

tresult VST3_CALL Vst3Plugin::hasProgramPitchNames(ProgramListID, int32) { return kResultFalse; }

tresult VST3_CALL Vst3Plugin::getProgramPitchName(ProgramListID, int32, int16, String128) {
  return kResultFalse;
}

UnitID VST3_CALL Vst3Plugin::getSelectedUnit() { return kRootUnitId; }

tresult VST3_CALL Vst3Plugin::selectUnit(UnitID unitId) {
  return unitId == kRootUnitId ? kResultOk : kInvalidArgument;
}

tresult VST3_CALL Vst3Plugin::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID* unitId) {
  if (!unitId) return kInvalidArgument;
  *unitId = kRootUnitId;
  return kResultOk;
}

tresult VST3_CALL Vst3Plugin::setUnitProgramData(int32, int32, IBStream*) {
  return kNotImplemented;
}

}  // namespace plug
