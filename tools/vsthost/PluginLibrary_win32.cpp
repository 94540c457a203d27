#include "tools/vsthost/PluginLibrary.h"

#include <windows.h>

#include <cstdio>

namespace vsthost {

PluginLibrary::PluginLibrary() : handle_(nullptr) {}

PluginLibrary::~PluginLibrary() { close(); }

bool PluginLibrary::open(const std::string& path, std::string* errorText) {
  close();
  // The documented form of a LoadLibrary path uses backslashes only.
  std::string windowsPath = path;
  for (char& c : windowsPath) {
    if (c == '/') {
      c = '\\';
    }
  }
  // No error dialog boxes for a missing or broken binary: this runs headless.
  const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(windowsPath.c_str());
  const DWORD error = module == nullptr ? GetLastError() : 0;
  SetErrorMode(previousMode);
  if (module == nullptr) {
    if (errorText != nullptr) {
      char text[64];
      std::snprintf(text, sizeof text, "LoadLibraryA failed, error %lu",
                    static_cast<unsigned long>(error));
      *errorText = text;
    }
    return false;
  }
  handle_ = module;
  return true;
}

void PluginLibrary::close() {
  if (handle_ != nullptr) {
    FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
  }
}

void* PluginLibrary::findSymbol(const char* name) const {
  if (handle_ == nullptr || name == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace vsthost
