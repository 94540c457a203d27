// Presets and state of IPlugBase: the chunk layouts hosts store in projects.
//
//   chunk header   int32 magic 0x70666674 ('pfft', bytes "tffp"), int32 version 0x00010000
//   state          every parameter's plain value as a double, in index order (29 x 8 bytes)
//   program chunk  header, state, int32 L, L bytes of the current preset's name
//   bank chunk     header, then for each preset: int32 L, L name bytes,
//                  1 byte initialised, and when initialised its state bytes
//
// A chunk without the magic is bare state from position 0. Reads return the
// next position, or -1 once something was missing.
#include <cstdio>
#include <cstring>
#include <string>

#include "plug/IPlugBase.h"

namespace plug {

bool IPlugBase::SerializeParams(StateChunk* chunk) {
  InstanceLock lock(mutex_);
  for (IParameter* param : params_) chunk->AppendDouble(param->Value());
  return chunk->Size() > 0;
}

int IPlugBase::UnserializeParams(const StateChunk* chunk, int position) {
  InstanceLock lock(mutex_);
  for (IParameter* param : params_) {
    if (position < 0) break;
    double v = 0.0;
    int next = chunk->ReadDouble(&v, position);
    if (next < 0) {
      // Truncated: this parameter takes 0 clamped into its range, later ones
      // keep their values.
      param->SetClamped(0.0);
      position = -1;
      break;
    }
    position = next;
    param->SetClamped(v);
  }
  NotifyAllParamsChanged();
  return position;
}

void IPlugBase::WriteChunkHeader(StateChunk* chunk) {
  chunk->Clear();
  chunk->AppendInt(kChunkMagic);
  chunk->AppendInt(kChunkVersion);
}

int IPlugBase::ReadChunkHeader(const StateChunk* chunk, int* position) {
  std::int32_t magic = 0;
  int next = chunk->ReadInt(&magic, *position);
  if (next < 0 || magic != kChunkMagic) return 0;
  std::int32_t version = 0;
  next = chunk->ReadInt(&version, next);
  if (next < 0) {
    *position = -1;
    return 0;
  }
  *position = next;
  return version;
}

const char* IPlugBase::GetPresetName(int index) const {
  if (index < 0 || index >= NPresets()) return "";
  return presets_[static_cast<std::size_t>(index)]->name.c_str();
}

IPresetSlot* IPlugBase::GetPreset(int index) {
  return index >= 0 && index < NPresets() ? presets_[static_cast<std::size_t>(index)] : nullptr;
}

void IPlugBase::MakeDefaultPresets(const char* name, int count) {
  for (int n = 0; n < count; ++n) {
    IPresetSlot* slot = nullptr;
    for (IPresetSlot* p : presets_) {
      if (!p->initialised) {
        slot = p;
        break;
      }
    }
    if (!slot) return;
    slot->initialised = true;
    slot->SetName(name ? name : "Empty");
    SaveState(&slot->state);
  }
}

bool IPlugBase::RestorePreset(int index) {
  IPresetSlot* slot = GetPreset(index);
  if (!slot) return false;
  bool ok;
  if (slot->initialised) {
    ok = LoadState(&slot->state, 0) > 0;
  } else {
    // An empty slot becomes a user preset holding the live parameters.
    slot->initialised = true;
    int count = 0;
    for (const IPresetSlot* p : presets_) {
      if (p->name.find("user preset") != std::string::npos) ++count;
    }
    char name[64];
    std::snprintf(name, sizeof name, "%s %d", "user preset", count + 1);
    slot->SetName(name);
    ok = SaveState(&slot->state);
  }
  if (ok) {
    currentPreset_ = index;
    OnPresetsChanged();
    RefreshParamControls();
  }
  return ok;
}

void IPlugBase::ModifyCurrentPreset(const char* name) {
  IPresetSlot* slot = GetPreset(currentPreset_);
  if (!slot) return;
  slot->state.Clear();
  SaveState(&slot->state);
  if (name && *name) slot->SetName(name);
}

bool IPlugBase::SerializePresets(StateChunk* chunk) {
  if (presets_.empty()) return true;
  for (const IPresetSlot* p : presets_) {
    chunk->AppendString(p->name.c_str());
    chunk->AppendByte(p->initialised ? 1 : 0);
    if (p->initialised) chunk->AppendBytes(p->state.Data(), p->state.Size());
  }
  return chunk->Size() > 0;
}

int IPlugBase::UnserializePresets(const StateChunk* chunk, int position) {
  // The last name read successfully in this call; a failed read leaves it.
  std::string scratch;
  for (IPresetSlot* p : presets_) {
    if (position < 0) break;
    position = chunk->ReadString(&scratch, position);
    p->SetName(scratch.c_str());
    std::uint8_t flag = 0;
    int next = position >= 0 ? chunk->ReadByte(&flag, position) : -1;
    if (next < 0) {
      position = -1;
    } else {
      p->initialised = flag != 0;
      position = next;
    }
    if (p->initialised && position >= 0) {
      position = LoadState(chunk, position);
      if (position > 0) {
        p->state.Clear();
        SaveState(&p->state);
      }
    }
  }
  RestorePreset(currentPreset_);
  return position;
}

}  // namespace plug
