// The state extension: the base's format state (every preset, the live
// values, the current preset) as one chunk, and the factory presets' program
// chunks. A host may hand anything back: what is refused leaves the instance
// exactly as it was.
#include "plug/lv2/IPlugLV2.h"

namespace plug {

LV2_State_Status IPlugLV2::SaveState(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (!map_) return LV2_STATE_ERR_NO_FEATURE;
  if (!store) return LV2_STATE_ERR_UNKNOWN;
  ScopedThreadRole role(ThreadRole::kMain);
  InstanceLock lock(plugin_->Mutex());
  if (!plugin_->HostSaveState(&stateChunk_)) return LV2_STATE_ERR_UNKNOWN;
  return store(handle, urids_.stateKey, stateChunk_.Data(), static_cast<size_t>(stateChunk_.Size()),
               urids_.atomChunk, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status IPlugLV2::RestoreState(LV2_State_Retrieve_Function retrieve,
                                        LV2_State_Handle handle) {
  if (!map_) return LV2_STATE_ERR_NO_FEATURE;
  if (!retrieve) return LV2_STATE_ERR_UNKNOWN;
  ScopedThreadRole role(ThreadRole::kMain);
  // A whole project state first; a factory preset carries a program chunk.
  bool isProgram = false;
  size_t size = 0;
  uint32_t type = 0, flags = 0;
  const void* data = retrieve(handle, urids_.stateKey, &size, &type, &flags);
  if (!data) {
    data = retrieve(handle, urids_.programKey, &size, &type, &flags);
    isProgram = true;
  }
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  // A chunk of some other type, or one too large to be ours, is refused.
  if (type != urids_.atomChunk || size > (1u << 24)) return LV2_STATE_ERR_BAD_TYPE;
  InstanceLock lock(plugin_->Mutex());
  stateChunk_.Clear();
  stateChunk_.AppendBytes(data, static_cast<int>(size));
  const bool loaded = isProgram ? plugin_->HostImportChunk(&stateChunk_, false)
                                : plugin_->HostLoadState(&stateChunk_);
  if (!loaded) return LV2_STATE_ERR_UNKNOWN;
  SyncControlsToValues();
  return LV2_STATE_SUCCESS;
}

}  // namespace plug
