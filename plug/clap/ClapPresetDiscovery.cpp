#include "plug/clap/ClapPresetDiscovery.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "plug/IPlugBase.h"
#include "plug/PluginFactory.h"
#include "plug/clap/ClapDescriptor.h"

namespace plug {

namespace {

constexpr const char* kProviderId = "com.vellum-music.quillet.factory-presets";

const clap::PresetDiscoveryProviderDescriptor kProviderDescriptor = {
    clap::kVersion, kProviderId, "Quillet factory presets", "Vellum Music"};

// One provider instance: the preset names, read once from a product instance
// made for the purpose (the names are the product's).
struct Provider {
  clap::PresetDiscoveryProvider clap{};
  const clap::PresetDiscoveryIndexer* indexer = nullptr;
  std::vector<std::string> names;
};

Provider* ProviderOf(const clap::PresetDiscoveryProvider* provider) {
  return provider ? static_cast<Provider*>(provider->providerData) : nullptr;
}

bool CLAP_CALL ProviderInit(const clap::PresetDiscoveryProvider* provider) {
  Provider* self = ProviderOf(provider);
  if (!self || !self->indexer || !self->indexer->declareLocation) return false;
  try {
    std::unique_ptr<IPlugBase> product(CreatePlugin());
    if (!product) return false;
    for (int i = 0; i < product->NPresets(); ++i) {
      const char* name = product->GetPresetName(i);
      self->names.push_back(name && *name ? name : "Empty");
    }
  } catch (...) {
    return false;
  }
  const clap::PresetDiscoveryLocation location = {clap::kPresetIsFactoryContent, "Factory",
                                                  clap::kPresetLocationPlugin, nullptr};
  return self->indexer->declareLocation(self->indexer, &location);
}

void CLAP_CALL ProviderDestroy(const clap::PresetDiscoveryProvider* provider) {
  delete ProviderOf(provider);
}

bool CLAP_CALL ProviderGetMetadata(const clap::PresetDiscoveryProvider* provider,
                                   std::uint32_t locationKind, const char*,
                                   const clap::PresetDiscoveryMetadataReceiver* receiver) {
  Provider* self = ProviderOf(provider);
  if (!self || !receiver || !receiver->beginPreset || locationKind != clap::kPresetLocationPlugin)
    return false;
  const clap::UniversalPluginId id = {"clap", kClapPluginId};
  for (std::size_t i = 0; i < self->names.size(); ++i) {
    char key[16];
    std::snprintf(key, sizeof key, "%u", static_cast<unsigned>(i));
    if (!receiver->beginPreset(receiver, self->names[i].c_str(), key)) break;
    if (receiver->addPluginId) receiver->addPluginId(receiver, &id);
    if (receiver->setFlags) receiver->setFlags(receiver, clap::kPresetIsFactoryContent);
    if (receiver->addCreator) receiver->addCreator(receiver, "Vellum Music");
  }
  return true;
}

const void* CLAP_CALL ProviderGetExtension(const clap::PresetDiscoveryProvider*, const char*) {
  return nullptr;
}

std::uint32_t CLAP_CALL FactoryCount(const clap::PresetDiscoveryFactory*) { return 1; }

const clap::PresetDiscoveryProviderDescriptor* CLAP_CALL
FactoryGetDescriptor(const clap::PresetDiscoveryFactory*, std::uint32_t index) {
  return index == 0 ? &kProviderDescriptor : nullptr;
}

const clap::PresetDiscoveryProvider* CLAP_CALL
FactoryCreate(const clap::PresetDiscoveryFactory*, const clap::PresetDiscoveryIndexer* indexer,
              const char* providerId) {
  if (!indexer || !providerId || std::strcmp(providerId, kProviderId) != 0) return nullptr;
  Provider* provider = new (std::nothrow) Provider();
  if (!provider) return nullptr;
  provider->indexer = indexer;
  provider->clap.desc = &kProviderDescriptor;
  provider->clap.providerData = provider;
  provider->clap.init = ProviderInit;
  provider->clap.destroy = ProviderDestroy;
  provider->clap.getMetadata = ProviderGetMetadata;
  provider->clap.getExtension = ProviderGetExtension;
  return &provider->clap;
}

const clap::PresetDiscoveryFactory kFactory = {FactoryCount, FactoryGetDescriptor, FactoryCreate};

}  // namespace

const clap::PresetDiscoveryFactory* ClapPresetDiscoveryFactory() { return &kFactory; }

}  // namespace plug
