// The binding entries of IPlugBase that do more than call one virtual: what
// every format does the same way for presets, parameters, state chunks and
// the editor.
#include <cmath>
#include <string>

#include "plug/FormatState.h"
#include "plug/IPlugBase.h"

namespace plug {

void IPlugBase::HostSelectPreset(int index) {
  Expect(kMainLocked, "RestorePreset");
  ModifyCurrentPreset();
  RestorePreset(index);
}

void IPlugBase::HostRenamePreset(const char* name) {
  Expect(kMainLocked, "ModifyCurrentPreset");
  ModifyCurrentPreset(name);
  OnPresetsChanged();
}

void IPlugBase::HostSetParameter(int index, double normalized) {
  Expect(kAnyLocked, "OnParamChanged");
  IParameter* param = GetParam(index);
  if (!param) return;
  if (editor_) editor_->SetParameterFromPlugin(index, normalized, true);
  param->SetFromNormalized(normalized);
  OnParamChanged(index);
}

void IPlugBase::HostSetParameterPlain(int index, double plain) {
  Expect(kAnyLocked, "OnParamChanged");
  IParameter* param = GetParam(index);
  if (!param || std::isnan(plain)) return;
  // Stepped kinds take whole steps, as from a normalised value.
  if (param->Kind() != ParamKind::Continuous && param->Step() > 0.0)
    plain = std::floor(plain / param->Step() + 0.5) * param->Step();
  if (editor_) editor_->SetParameterFromPlugin(index, plain, false);
  param->SetClamped(plain);
  OnParamChanged(index);
}

bool IPlugBase::HostSetParameterText(int index, const char* text) {
  Expect(kAnyLocked, "OnParamChanged");
  IParameter* param = GetParam(index);
  double plain = 0.0;
  if (!param || !param->PlainFromText(text, &plain)) return false;
  if (editor_) editor_->SetParameterFromPlugin(index, plain, false);
  param->SetClamped(plain);
  OnParamChanged(index);
  return true;
}

bool IPlugBase::HostSaveChunk(StateChunk* chunk, bool bank) {
  Expect(kMainLocked, "SaveState");
  WriteChunkHeader(chunk);
  bool ok;
  if (bank) {
    ModifyCurrentPreset();
    ok = SerializePresets(chunk);
  } else {
    SaveState(chunk);
    ok = chunk->AppendString(GetPresetName(currentPreset_)) > 0;
  }
  return ok && chunk->Size() > 0;
}

int IPlugBase::HostLoadChunk(const StateChunk* chunk, bool bank) {
  Expect(kMainLocked, "LoadState");
  int position = 0;
  const int version = ReadChunkHeader(chunk, &position);
  if (bank && version >= kChunkVersion) return UnserializePresets(chunk, position);
  position = LoadState(chunk, position);
  if (position < chunk->Size()) {
    // The current preset's name follows the values. A name that runs past
    // the end of the data means the chunk was cut: not readable.
    std::string name;
    position = chunk->ReadString(&name, position);
    if (position > chunk->Size()) position = -1;
    ModifyCurrentPreset(position >= 0 ? name.c_str() : "");
  } else {
    ModifyCurrentPreset();
  }
  return position;
}

bool IPlugBase::HostSaveState(StateChunk* chunk) {
  Expect(kMainLocked, "SaveState");
  if (!HostSaveChunk(chunk, true)) return false;
  chunk->AppendInt(currentPreset_);
  return true;
}

bool IPlugBase::HostLoadState(const StateChunk* chunk) {
  Expect(kMainLocked, "LoadState");
  const int index = FormatStatePresetIndex(*chunk, ChunkShape{NParams(), NPresets()});
  if (index < 0) return false;
  // The bank load ends by restoring the current preset: make it the saved one.
  currentPreset_ = index;
  HostLoadChunk(chunk, true);
  return true;
}

bool IPlugBase::HostImportChunk(const StateChunk* chunk, bool bank) {
  Expect(kMainLocked, "LoadState");
  const ChunkShape shape{NParams(), NPresets()};
  const int end = bank ? EndOfBankChunk(*chunk, shape) : EndOfProgramChunk(*chunk, shape);
  if (end != chunk->Size()) return false;
  HostLoadChunk(chunk, bank);
  // A bank load restores the current preset, which refreshes the editor; a
  // program load does not.
  if (!bank) RefreshParamControls();
  return true;
}

// The window is made and destroyed without the instance lock: the audio
// thread need not wait for the window system, and closing the window may end
// a gesture, which calls the host. The plug-in's hooks run under the lock.
bool IPlugBase::HostOpenEditor(void* parentWindow) {
  Expect(kMainUnlocked, "OpenWindow");
  if (!editor_ || !editor_->OpenWindow(parentWindow)) return false;
  InstanceLock lock(mutex_);
  OnEditorOpened();
  return true;
}

bool IPlugBase::HostCloseEditor() {
  Expect(kMainUnlocked, "CloseWindow");
  if (!editor_) return false;
  if (editor_->IsWindowOpen()) {
    InstanceLock lock(mutex_);
    OnEditorClosing();
  }
  editor_->CloseWindow();
  return true;
}

void IPlugBase::HostEditorEvents() {
  Expect(kMainUnlocked, "RunEvents");
  if (editor_) editor_->RunEvents();
}

bool IPlugBase::HostSetEditorScale(double scale) {
  Expect(kMainUnlocked, "HostSetEditorScale");
  return editor_ && editor_->SetHostScale(scale);
}

}  // namespace plug
