#include <cstring>
#include <mutex>
#include <vector>

#include "lice/LICE_ResourceSource.h"

namespace {
struct Registry {
  std::mutex lock;
  std::vector<const LICE_EmbeddedResource*> entries;
};
// Built on first use: tables register from static initialisers of other files,
// whose order relative to this one is unknown.
Registry& TheRegistry() {
  static Registry registry;
  return registry;
}
}  // namespace

bool LICE_ResourceSource::Find(LICE_ModuleHandle module, int id, const char* type,
                               const unsigned char** data, size_t* sizeBytes) {
  *data = nullptr;
  *sizeBytes = 0;
  if (!type) return false;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> hold(registry.lock);
  for (const LICE_EmbeddedResource* entry : registry.entries) {
    if (entry->id == id && entry->type && std::strcmp(entry->type, type) == 0) {
      *data = entry->data;
      *sizeBytes = entry->sizeBytes;
      return true;
    }
  }
  return false;
}

void LICE_ResourceSource::Register(const LICE_EmbeddedResource* table, int count) {
  if (!table) return;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> hold(registry.lock);
  for (int i = 0; i < count; ++i) registry.entries.push_back(table + i);
}
