// The library's exported entry points. VSTPluginMain and main are the same
// function under two names (the export list maps both to it).
#include <memory>
#include <mutex>
#include <new>

#include "plug/IPlugVST.h"
#include "plug/VstExport.h"

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
    std::unique_ptr<plug::IPlugVST> plug(plug::CreatePluginInstance(host));
    if (!plug) return nullptr;
    plug->MakeDefaultPresets("Empty", plug->NPresets());
    vst::AEffect* effect = plug->GetAEffect();
    if (effect->numPrograms < 1) effect->numPrograms = 1;
    plug.release();  // owned by the host's effect record until effClose
    return effect;
  } catch (...) {
    return nullptr;
  }
}
