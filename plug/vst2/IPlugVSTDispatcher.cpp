// The dispatcher: every opcode the host sends, checked here and turned into
// calls on the plug-in base.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "plug/vst2/IPlugVST.h"
#include "plug/TextUtil.h"

namespace plug {

namespace {

// Bounds for texts copied into host buffers. Hosts pass no size, so every copy
// is cut: the effect, vendor and product names, pin labels and short labels to
// the sizes the interface documents (ours fit); program names and parameter
// names, labels and display texts to 32 bytes (our own 31-character limit for
// these fields): the documented 8 and 24 would cut names such as "Grain Length"
// that every mainstream host shows in full from its larger buffers, while no
// text we write is longer than 32 bytes.
constexpr std::size_t kParamTextBound = 32;
constexpr std::size_t kProgramNameBound = 32;

// Sample rates and block sizes a host may announce; anything else is ignored
// and the previous setting stays.
constexpr double kMinSampleRate = 1000.0;
constexpr double kMaxSampleRate = 1536000.0;

}  // namespace

vst::intptr VST_CALL IPlugVST::Dispatcher(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                          vst::intptr value, void* ptr, float opt) {
  IPlugVST* plug = FromAEffect(effect);
  if (!plug) return 0;
  // Hosts call the dispatcher from their user-interface and audio threads
  // alike (and from inside our callbacks): the thread is not known.
  ScopedThreadRole role(ThreadRole::kUnknown);
  if (opcode == vst::effClose) {
    // Hosts may close with the editor still open: its window goes first.
    plug->DispatchEditor(vst::effEditClose, nullptr);
    // The lock dies with the instance: take it to wait for any running entry,
    // release it, then delete.
    plug->Mutex().lock();
    plug->Mutex().unlock();
    delete plug;
    return 0;
  }
  if (opcode == vst::effEditOpen || opcode == vst::effEditClose)
    return plug->DispatchEditor(opcode, ptr);
  // The editor's events first, outside the lock; the plug-in's idle hook then
  // runs under it below.
  if (opcode == vst::effEditIdle) plug->DispatchEditor(opcode, ptr);
  InstanceLock lock(plug->Mutex());
  // Nothing may throw across the host boundary (an allocation in a resize or
  // a chunk copy can): a failure is an answer of 0.
  try {
    return plug->Dispatch(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

vst::intptr IPlugVST::Dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                               float opt) {
  IPlugBase* p = plugin_;
  char* text = static_cast<char*>(ptr);
  const IParameter* param = p->GetParam(index);
  switch (opcode) {
    case vst::effOpen:
      if (!hostSetUpDone_) InitForHost();
      p->HostParamsChanged();
      return 0;

    case vst::effSetProgram:
      // The live state is kept in the program being left.
      p->HostSelectPreset(value >= 0 && value < p->NPresets() ? static_cast<int>(value) : -1);
      return 0;
    case vst::effGetProgram:
      return p->GetCurrentPresetIdx();
    case vst::effSetProgramName:
      if (text) {
        // The host's text need not be terminated within any size we know;
        // read at most a preset name's length.
        char name[IPresetSlot::kMaxNameLength + 1];
        std::size_t n = 0;
        while (n < IPresetSlot::kMaxNameLength && text[n]) ++n;
        std::memcpy(name, text, n);
        name[n] = '\0';
        p->HostRenamePreset(name);
      }
      return 0;
    case vst::effGetProgramName:
      if (text) CopyText(text, p->GetPresetName(p->GetCurrentPresetIdx()), kProgramNameBound);
      return 0;
    case vst::effGetProgramNameIndexed:
      if (!text) return 0;
      CopyText(text, p->GetPresetName(index), kProgramNameBound);
      return text[0] ? 1 : 0;

    case vst::effGetParamLabel:
      if (text && param) CopyText(text, param->UnitLabel(), kParamTextBound);
      return 0;
    case vst::effGetParamDisplay:
      if (text && param) {
        char display[IParameter::kTextCapacity];
        param->FormatValue(param->Value(), false, display, true);
        CopyText(text, display, kParamTextBound);
      }
      return 0;
    case vst::effGetParamName:
      if (text && param) CopyText(text, param->Name(), kParamTextBound);
      return 0;
    case vst::effCanBeAutomated:
      return 1;
    case vst::effString2Parameter:
      return String2Parameter(index, text);

    case vst::effSetSampleRate:
      if (std::isfinite(opt) && opt >= kMinSampleRate && opt <= kMaxSampleRate) {
        p->HostSetSampleRate(opt);
        p->HostReset();
      }
      return 0;
    case vst::effSetBlockSize:
      // Some hosts announce 0 or nonsense: keep the last good size. Larger
      // calls are processed in pieces, so the cap loses nothing.
      if (value > 0) {
        p->HostSetBlockSize(value > kMaxBlockSize ? kMaxBlockSize : static_cast<int>(value));
        p->HostReset();
      }
      return 0;
    case vst::effMainsChanged:
      if (value == 0) {
        p->HostActivate(false);
        p->HostReset();
      } else {
        p->HostActivate(true);
      }
      return 0;

    case vst::effEditGetRect:
      if (ptr && p->GetEditor()) {
        // The editor's size at its scale now (it changes with the scale).
        SetEditRect(p->GetEditor()->Width(), p->GetEditor()->Height());
        *static_cast<vst::ERect**>(ptr) = &editRect_;
        return 1;
      }
      return 0;
    case vst::effEditIdle:
    case vst::effIdle:
      p->HostIdle();
      return 0;

    case vst::effIdentify:
      return vst::kIdentifyAnswer;
    case vst::effGetChunk:
      if (!ptr) return 0;
      return GetChunk(static_cast<void**>(ptr), index == 0);
    case vst::effSetChunk:
      if (!ptr) return 0;
      return SetChunk(ptr, value, index == 0);
    case vst::effProcessEvents:
      if (!ptr) return 0;
      ProcessEvents(static_cast<const vst::VstEvents*>(ptr));
      return 1;

    case vst::effGetInputProperties:
      return PinProperties(static_cast<vst::VstPinProperties*>(ptr), index, true);
    case vst::effGetOutputProperties:
      return PinProperties(static_cast<vst::VstPinProperties*>(ptr), index, false);
    case vst::effGetPlugCategory:
      return p->IsInstrument() ? vst::kPlugCategorySynth : vst::kPlugCategoryEffect;
    case vst::effSetSpeakerArrangement:
      SetSpeakerArrangement(reinterpret_cast<const vst::VstSpeakerArrangement*>(value),
                            static_cast<const vst::VstSpeakerArrangement*>(ptr));
      return 1;
    case vst::effGetSpeakerArrangement:
      if (value) *reinterpret_cast<vst::VstSpeakerArrangement**>(value) = &inputArrangement_;
      if (ptr) *static_cast<vst::VstSpeakerArrangement**>(ptr) = &outputArrangement_;
      return 1;

    case vst::effGetEffectName:
      if (!text) return 0;
      CopyText(text, p->GetEffectName(), vst::kMaxEffectNameLength);
      return 1;
    case vst::effGetVendorString:
      if (!text) return 0;
      CopyText(text, p->GetMakerName(), vst::kMaxVendorStringLength);
      return 1;
    case vst::effGetProductString:
      if (!text) return 0;
      CopyText(text, p->GetProductName(), vst::kMaxProductStringLength);
      return 1;
    case vst::effGetVendorVersion:
      return p->GetDecimalVersion();
    case vst::effVendorSpecific:
      return VendorSpecific(index, value, ptr, opt);
    case vst::effCanDo:
      return CanDo(text);
    case vst::effGetTailSize:
      return p->GetTailSize();
    case vst::effGetVstVersion:
      return vst::kVstVersion;
    case vst::effGetMidiKeyName: {
      if (!ptr) return 0;
      vst::VstMidiKeyName* key = static_cast<vst::VstMidiKeyName*>(ptr);
      key->keyName[0] = '\0';
      char name[sizeof key->keyName] = {0};
      bool named = p->HostMidiNoteName(key->thisKeyNumber, name);
      CopyText(key->keyName, name, sizeof key->keyName);
      return named ? 1 : 0;
    }

    // Answered 0 without action: effProcessVarIo, effSetBypass,
    // effGetParameterProperties, effStartProcess, effStopProcess,
    // effSetProcessPrecision and every opcode not listed above.
    default:
      return 0;
  }
}

// The editor's window opcodes run without the lock (IPlugBase::HostOpenEditor).
vst::intptr IPlugVST::DispatchEditor(vst::int32 opcode, void* ptr) {
  if (!plugin_->GetEditor()) return 0;
  try {
    if (opcode == vst::effEditIdle) {
      plugin_->HostEditorEvents();
      return 0;
    }
    if (opcode == vst::effEditOpen) return plugin_->HostOpenEditor(ptr) ? 1 : 0;
    return plugin_->HostCloseEditor() ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

vst::intptr IPlugVST::CanDo(const char* text) const {
  if (!text) return 0;
  if (std::strcmp(text, "receiveVstTimeInfo") == 0) return 1;
  if (std::strcmp(text, "sendVstEvents") == 0 || std::strcmp(text, "sendVstMidiEvent") == 0 ||
      std::strcmp(text, "receiveVstEvents") == 0 || std::strcmp(text, "receiveVstMidiEvent") == 0)
    return plugin_->DoesMidi() ? 1 : 0;
  if (std::strcmp(text, "hasCockosExtensions") == 0 ||
      std::strcmp(text, "hasCockosViewAsConfig") == 0)
    return vst::kCanDoVendorExtension;
  return 0;
}

vst::intptr IPlugVST::VendorSpecific(vst::int32 index, vst::intptr value, void* ptr, float opt) {
  if (index == vst::kVendorFormatParamValue) {
    if (!ptr) return 0;
    const IParameter* param = (value >= 0 && value < plugin_->NParams())
                                  ? plugin_->GetParam(static_cast<int>(value))
                                  : nullptr;
    if (param) {
      char display[IParameter::kTextCapacity];
      param->FormatValue(opt, true, display, true);
      CopyText(static_cast<char*>(ptr), display, kParamTextBound);
    }
    return vst::kVendorSpecificYes;
  }
  if (index == vst::kVendorIsParamStepped) {
    const IParameter* param = (value >= 0 && value < plugin_->NParams())
                                  ? plugin_->GetParam(static_cast<int>(value))
                                  : nullptr;
    return param && param->Kind() != ParamKind::Continuous ? vst::kVendorSpecificYes : 0;
  }
  return 0;
}

vst::intptr IPlugVST::String2Parameter(int index, const char* text) {
  if (!plugin_->GetParam(index)) return 0;
  if (!text) return 1;  // "can convert"
  return plugin_->HostSetParameterText(index, text) ? 1 : 0;
}

vst::intptr IPlugVST::PinProperties(vst::VstPinProperties* pin, int index, bool isInput) const {
  const int count = isInput ? plugin_->NInChannels() : plugin_->NOutChannels();
  if (!pin || index < 0 || index >= count) return 0;
  pin->flags = vst::kVstPinIsActive;
  if (index % 2 == 0 && index < count - 1) pin->flags |= vst::kVstPinIsStereo;
  const std::string& label =
      isInput ? plugin_->InputChannel(index)->label : plugin_->OutputChannel(index)->label;
  if (!label.empty()) {
    CopyText(pin->label, label.c_str(), sizeof pin->label);
  } else {
    char generic[sizeof pin->label];
    std::snprintf(generic, sizeof generic, isInput ? "Input %d" : "Output %d", index + 1);
    CopyText(pin->label, generic, sizeof pin->label);
  }
  return 1;
}

void IPlugVST::SetSpeakerArrangement(const vst::VstSpeakerArrangement* in,
                                     const vst::VstSpeakerArrangement* out) {
  IPlugBase* p = plugin_;
  if (in) {
    const int n = in->numChannels < 0 ? 0 : in->numChannels;
    p->SetInputConnections(0, n < p->NInChannels() ? n : p->NInChannels(), true);
    p->SetInputConnections(n, p->NInChannels() - n, false);
  }
  if (out) {
    const int n = out->numChannels < 0 ? 0 : out->numChannels;
    p->SetOutputConnections(0, n < p->NOutChannels() ? n : p->NOutChannels(), true);
    p->SetOutputConnections(n, p->NOutChannels() - n, false);
  }
}

void IPlugVST::ProcessEvents(const vst::VstEvents* events) {
  // The record declares two entries; hosts append numEvents of them.
  const vst::VstEvent* const* list = events->events;
  for (int i = 0; i < events->numEvents; ++i) {
    const vst::VstEvent* event = list[i];
    if (!event) continue;
    if (event->type == vst::kVstMidiType) {
      const vst::VstMidiEvent* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
      IMidiMessage msg;
      msg.offset = midi->deltaFrames;
      msg.status = static_cast<unsigned char>(midi->midiData[0]);
      msg.data1 = static_cast<unsigned char>(midi->midiData[1]);
      msg.data2 = static_cast<unsigned char>(midi->midiData[2]);
      plugin_->HostMidi(&msg);
    } else if (event->type == vst::kVstSysExType) {
      const vst::VstMidiSysexEvent* sysex = reinterpret_cast<const vst::VstMidiSysexEvent*>(event);
      ISysExMessage msg;
      msg.offset = sysex->deltaFrames;
      msg.data = reinterpret_cast<const unsigned char*>(sysex->sysexDump);
      msg.size = msg.data && sysex->dumpBytes > 0 ? sysex->dumpBytes : 0;
      plugin_->HostSysEx(&msg);
    }
  }
}

}  // namespace plug
