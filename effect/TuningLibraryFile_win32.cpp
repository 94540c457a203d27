#include "effect/TuningLibraryFile.h"

#include <windows.h>

#include <cstring>

namespace effect {

namespace {
const char kLibraryName[] = "\\LIBMTS.dll";
}

void* TuningLibraryFile::Open() {
  char path[MAX_PATH + sizeof(kLibraryName)] = {};
  // The answer is the needed size, not the length, when the buffer is too
  // small: then nothing usable was written.
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::memcpy(path + length, kLibraryName, sizeof(kLibraryName));
  return reinterpret_cast<void*>(LoadLibraryA(path));
}

void* TuningLibraryFile::FindEntry(void* module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void TuningLibraryFile::Close(void* module) {
  if (module != nullptr) FreeLibrary(static_cast<HMODULE>(module));
}

}  // namespace effect
