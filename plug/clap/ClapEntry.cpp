// The CLAP module's one export, clap_entry, and its plug-in factory.
//
// Hosts may call init and deinit any number of times and only try to pair
// them: a count under a lock keeps the library's state right whatever they do.
#include <cstring>
#include <memory>
#include <mutex>

#include "plug/ModuleExport.h"
#include "plug/PluginFactory.h"
#include "plug/clap/ClapAbi.h"
#include "plug/clap/ClapDescriptor.h"
#include "plug/clap/ClapPresetDiscovery.h"
#include "plug/clap/IPlugClap.h"

namespace {

// Function-local statics with constexpr constructors: made on first use, no
// destructor work at unload.
std::mutex& EntryLock() {
  static std::mutex lock;
  return lock;
}
int gInitCount = 0;  // guarded by EntryLock

bool CLAP_CALL EntryInit(const char*) {
  std::lock_guard<std::mutex> lock(EntryLock());
  ++gInitCount;
  return true;
}

void CLAP_CALL EntryDeinit() {
  std::lock_guard<std::mutex> lock(EntryLock());
  if (gInitCount > 0) --gInitCount;
}

bool Initialized() {
  std::lock_guard<std::mutex> lock(EntryLock());
  return gInitCount > 0;
}

std::uint32_t CLAP_CALL GetPluginCount(const clap::PluginFactory*) { return 1; }

const clap::PluginDescriptor* CLAP_CALL GetPluginDescriptor(const clap::PluginFactory*,
                                                            std::uint32_t index) {
  return index == 0 ? &plug::ClapDescriptor() : nullptr;
}

// No exception reaches the host: an instance that cannot be made is null.
const clap::Plugin* CLAP_CALL CreateClapPlugin(const clap::PluginFactory*, const clap::Host* host,
                                               const char* pluginId) {
  if (!host || !pluginId || std::strcmp(pluginId, plug::kClapPluginId) != 0) return nullptr;
  if (!clap::IsCompatible(host->clapVersion) || !Initialized()) return nullptr;
  try {
    std::unique_ptr<plug::IPlugBase> product(plug::CreatePlugin());
    if (!product) return nullptr;
    std::unique_ptr<plug::IPlugClap> binding(new plug::IPlugClap(host, product.get()));
    plug::IPlugBase* plugin = product.release();  // owned by the binding
    {
      plug::ScopedThreadRole role(plug::ThreadRole::kMain);
      plug::InstanceLock lock(plugin->Mutex());
      plugin->MakeDefaultPresets("Empty", plugin->NPresets());
    }
    return binding.release()->ClapPlugin();  // owned by the host until destroy
  } catch (...) {
    return nullptr;
  }
}

const clap::PluginFactory kPluginFactory = {GetPluginCount, GetPluginDescriptor, CreateClapPlugin};

const void* CLAP_CALL GetFactory(const char* factoryId) {
  if (!factoryId) return nullptr;
  if (std::strcmp(factoryId, clap::kPluginFactoryId) == 0) return &kPluginFactory;
  if (std::strcmp(factoryId, clap::kPresetDiscoveryFactoryId) == 0 ||
      std::strcmp(factoryId, clap::kPresetDiscoveryFactoryIdCompat) == 0)
    return plug::ClapPresetDiscoveryFactory();
  return nullptr;
}

}  // namespace

extern "C" QUILLET_EXPORT const clap::PluginEntry clap_entry = {clap::kVersion, EntryInit,
                                                                EntryDeinit, GetFactory};
