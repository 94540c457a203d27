#include <windows.h>

#include "lice/LICE_ResourceSource.h"

bool LICE_ResourceSource::Find(LICE_ModuleHandle module, int id, const char* type,
                               const unsigned char** data, size_t* sizeBytes) {
  *data = nullptr;
  *sizeBytes = 0;
  HMODULE handle = static_cast<HMODULE>(module);
  HRSRC info = FindResourceA(handle, MAKEINTRESOURCEA(id), type);
  if (!info) return false;
  const DWORD size = SizeofResource(handle, info);
  HGLOBAL loaded = LoadResource(handle, info);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return false;
  *data = static_cast<const unsigned char*>(bytes);
  *sizeBytes = size;
  return true;
}

void LICE_ResourceSource::Register(const LICE_EmbeddedResource* table, int count) {}
