#include "effect/TuningLibraryFile.h"

#include <dlfcn.h>

namespace effect {

void* TuningLibraryFile::Open() {
  // Local binding: the library's symbols must not satisfy anybody else's.
  return dlopen("libMTS.so", RTLD_NOW | RTLD_LOCAL);
}

void* TuningLibraryFile::FindEntry(void* module, const char* name) {
  if (module == nullptr) return nullptr;
  return dlsym(module, name);
}

void TuningLibraryFile::Close(void* module) {
  if (module != nullptr) dlclose(module);
}

}  // namespace effect
