#include "tools/vst3host/Vst3Module.h"

#include <cstring>

namespace vst3host {

using namespace vst3;

namespace {

#if defined(_WIN32)
using InitDllProc = bool(VST3_CALL*)();
#else
using ModuleEntryProc = bool (*)(void*);
using ModuleExitProc = bool (*)();
#endif
using GetFactoryProc = IPluginFactory*(VST3_CALL*)();

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string Vst3Module::binaryInBundle(const std::string& bundle) {
  std::string base = bundle;
  while (!base.empty() && (base.back() == '/' || base.back() == '\\')) base.pop_back();
  const std::size_t slash = base.find_last_of("/\\");
  std::string name = base.substr(slash == std::string::npos ? 0 : slash + 1);
  name = name.substr(0, name.size() - 5);  // without ".vst3"
#if defined(_WIN32)
#if defined(_WIN64)
  return base + "/Contents/x86_64-win/" + name + ".vst3";
#else
  return base + "/Contents/x86-win/" + name + ".vst3";
#endif
#else
  return base + "/Contents/x86_64-linux/" + name + ".so";
#endif
}

bool Vst3Module::open(const std::string& path, std::string* errorText) {
  close();
  std::string binary = path;
  // A bundle is a folder ending in .vst3; on Windows the binary has that
  // suffix too, so a folder is told by its Contents.
  if (endsWith(path, ".vst3") || endsWith(path, ".vst3/")) {
    const std::string inside = binaryInBundle(path);
    vsthost::PluginLibrary probe;
    if (probe.open(inside, nullptr)) binary = inside;
  }
  if (!library_.open(binary, errorText)) return false;
#if defined(_WIN32)
  if (auto init = reinterpret_cast<InitDllProc>(library_.findSymbol("InitDll"))) {
    if (!init()) {
      if (errorText) *errorText = "InitDll refused";
      library_.close();
      return false;
    }
  }
#else
  auto entry = reinterpret_cast<ModuleEntryProc>(library_.findSymbol("ModuleEntry"));
  if (!entry || !library_.findSymbol("ModuleExit")) {
    if (errorText) *errorText = "no ModuleEntry/ModuleExit";
    library_.close();
    return false;
  }
  if (!entry(nullptr)) {
    if (errorText) *errorText = "ModuleEntry refused";
    library_.close();
    return false;
  }
#endif
  entered_ = true;
  auto get = reinterpret_cast<GetFactoryProc>(library_.findSymbol("GetPluginFactory"));
  factory_ = get ? get() : nullptr;
  if (!factory_) {
    if (errorText) *errorText = "no factory";
    close();
    return false;
  }
  return true;
}

void Vst3Module::close() {
  if (factory_) factory_->release();
  factory_ = nullptr;
  if (entered_) {
#if defined(_WIN32)
    if (auto exit = reinterpret_cast<InitDllProc>(library_.findSymbol("ExitDll"))) exit();
#else
    if (auto exit = reinterpret_cast<ModuleExitProc>(library_.findSymbol("ModuleExit"))) exit();
#endif
  }
  entered_ = false;
  library_.close();
}

bool Vst3Module::classId(char* cid) {
  PClassInfo info{};
  if (!factory_ || factory_->getClassInfo(0, &info) != kResultOk) return false;
  std::memcpy(cid, info.cid, 16);
  return true;
}

void* Vst3Module::create(const Uid& iid) {
  char cid[16];
  if (!classId(cid)) return nullptr;
  char iidBytes[16];
  UidToBytes(iid, iidBytes);
  void* obj = nullptr;
  if (factory_->createInstance(cid, iidBytes, &obj) != kResultOk) return nullptr;
  return obj;
}

}  // namespace vst3host
