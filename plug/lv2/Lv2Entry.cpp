// The LV2 module's exported entry: lv2_descriptor, the one plug-in of the
// bundle. Every function checks the handle the host passes and catches
// everything: nothing may throw across the host boundary.
#include <memory>
#include <cstring>
#include <mutex>

#include "plug/ModuleExport.h"
#include "plug/PluginFactory.h"
#include "plug/lv2/IPlugLV2.h"

namespace {

using plug::IPlugLV2;

// Serialises instance creation across the process (see VstEntry.cpp).
std::mutex& CreationLock() {
  static std::mutex lock;
  return lock;
}

IPlugLV2* Binding(LV2_Handle instance) { return static_cast<IPlugLV2*>(instance); }

LV2_Handle Instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features) {
  if (!(rate >= IPlugLV2::kMinSampleRate && rate <= IPlugLV2::kMaxSampleRate)) return nullptr;
  std::lock_guard<std::mutex> lock(CreationLock());
  try {
    std::unique_ptr<plug::IPlugBase> product(plug::CreatePlugin());
    if (!product) return nullptr;
    std::unique_ptr<IPlugLV2> binding(new IPlugLV2(product.get(), rate, features));
    plug::IPlugBase* plugin = product.release();  // owned by the binding
    {
      plug::InstanceLock instanceLock(plugin->Mutex());
      plugin->MakeDefaultPresets("Empty", plugin->NPresets());
    }
    return binding.release();
  } catch (...) {
    return nullptr;
  }
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* data) {
  if (IPlugLV2* b = Binding(instance)) b->ConnectPort(port, data);
}

void Activate(LV2_Handle instance) {
  if (IPlugLV2* b = Binding(instance)) b->Activate();
}

void Run(LV2_Handle instance, uint32_t frames) {
  if (IPlugLV2* b = Binding(instance)) b->Run(frames);
}

void RunDouble(LV2_Handle instance, const double* const* inputs, double* const* outputs,
               uint32_t frames) {
  if (IPlugLV2* b = Binding(instance)) b->RunDouble(inputs, outputs, frames);
}

void Deactivate(LV2_Handle instance) {
  if (IPlugLV2* b = Binding(instance)) b->Deactivate();
}

void Cleanup(LV2_Handle instance) {
  IPlugLV2* b = Binding(instance);
  if (!b) return;
  // Wait for any running entry, then delete (the lock dies with the instance).
  b->Plugin()->Mutex().lock();
  b->Plugin()->Mutex().unlock();
  delete b;
}

LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      uint32_t, const LV2_Feature* const*) {
  IPlugLV2* b = Binding(instance);
  if (!b) return LV2_STATE_ERR_UNKNOWN;
  try {
    return b->SaveState(store, handle);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle handle, uint32_t, const LV2_Feature* const*) {
  IPlugLV2* b = Binding(instance);
  if (!b) return LV2_STATE_ERR_UNKNOWN;
  try {
    return b->RestoreState(retrieve, handle);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const LV2_State_Interface kStateInterface = {Save, Restore};
const plug::Lv2DoubleRun kDoubleRun = {RunDouble};

const void* ExtensionData(const char* uri) {
  if (!uri) return nullptr;
  if (std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
  if (std::strcmp(uri, plug::lv2::kDoubleRunUri) == 0) return &kDoubleRun;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {
    plug::lv2::kPluginUri, Instantiate, ConnectPort, Activate, Run, Deactivate, Cleanup,
    ExtensionData};

}  // namespace

extern "C" QUILLET_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
