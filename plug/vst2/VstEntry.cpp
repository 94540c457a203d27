// The VST 2 module's exported entry points. VSTPluginMain and main are the
// same function under two names (the export list maps both to it).
#include <memory>
#include <mutex>

#include "plug/ModuleExport.h"
#include "plug/PluginFactory.h"
#include "plug/vst2/IPlugVST.h"

namespace {

// Serialises instance creation across the process. A function-local static
// with a constexpr constructor: made on first use, no destructor work at
// unload, so a host that unloads the library mid-way cannot trip over it.
std::mutex& CreationLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

extern "C" QUILLET_EXPORT vst::AEffect* VST_CALL VSTPluginMain(vst::HostCallback host) {
  std::lock_guard<std::mutex> lock(CreationLock());
  // No exception may reach the host: an instance that cannot be allocated or
  // built is reported as null, with the lock released on the way out.
  try {
    std::unique_ptr<plug::IPlugBase> product(plug::CreatePlugin());
    if (!product) return nullptr;
    std::unique_ptr<plug::IPlugVST> binding(new plug::IPlugVST(host, product.get()));
    plug::IPlugBase* plugin = product.release();  // owned by the binding
    plugin->MakeDefaultPresets("Empty", plugin->NPresets());
    vst::AEffect* effect = binding->GetAEffect();
    if (effect->numPrograms < 1) effect->numPrograms = 1;
    binding.release();  // owned by the host's effect record until effClose
    return effect;
  } catch (...) {
    return nullptr;
  }
}
