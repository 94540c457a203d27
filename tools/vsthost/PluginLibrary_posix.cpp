#include "tools/vsthost/PluginLibrary.h"

#include <dlfcn.h>

namespace vsthost {

PluginLibrary::PluginLibrary() : handle_(nullptr) {}

PluginLibrary::~PluginLibrary() { close(); }

bool PluginLibrary::open(const std::string& path, std::string* errorText) {
  close();
  // RTLD_LOCAL keeps two plug-ins' symbols apart, as real hosts do; RTLD_NOW
  // reports unresolved symbols here rather than in the middle of a call.
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    if (errorText != nullptr) {
      const char* reason = dlerror();
      *errorText = reason != nullptr ? reason : "dlopen failed";
    }
    return false;
  }
  return true;
}

void PluginLibrary::close() {
  if (handle_ != nullptr) {
    dlclose(handle_);
    handle_ = nullptr;
  }
}

void* PluginLibrary::findSymbol(const char* name) const {
  if (handle_ == nullptr || name == nullptr) {
    return nullptr;
  }
  return dlsym(handle_, name);
}

}  // namespace vsthost
