#include "tools/vsthost/HostCallbackRegistry.h"

#include <map>
#include <mutex>

#include "tools/vsthost/ScriptedHost.h"

namespace vsthost {

namespace {

std::mutex& registryMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<vst::AEffect*, ScriptedHost*>& registry() {
  static std::map<vst::AEffect*, ScriptedHost*> hosts;
  return hosts;
}

thread_local ScriptedHost* tCreatingHost = nullptr;

}  // namespace

vst::HostCallback HostCallbackRegistry::callback() { return &HostCallbackRegistry::dispatch; }

void HostCallbackRegistry::add(vst::AEffect* effect, ScriptedHost* host) {
  std::lock_guard<std::mutex> lock(registryMutex());
  registry()[effect] = host;
}

void HostCallbackRegistry::remove(vst::AEffect* effect) {
  std::lock_guard<std::mutex> lock(registryMutex());
  registry().erase(effect);
}

ScriptedHost* HostCallbackRegistry::find(vst::AEffect* effect) {
  std::lock_guard<std::mutex> lock(registryMutex());
  auto found = registry().find(effect);
  return found != registry().end() ? found->second : nullptr;
}

HostCallbackRegistry::CreationScope::CreationScope(ScriptedHost* host) : previous_(tCreatingHost) {
  tCreatingHost = host;
}

HostCallbackRegistry::CreationScope::~CreationScope() { tCreatingHost = previous_; }

vst::intptr VST_CALL HostCallbackRegistry::dispatch(vst::AEffect* effect, vst::int32 opcode,
                                                    vst::int32 index, vst::intptr value, void* ptr,
                                                    float opt) {
  ScriptedHost* host = effect != nullptr ? find(effect) : nullptr;
  if (host == nullptr) {
    host = tCreatingHost;
  }
  if (host == nullptr) {
    return opcode == vst::audioMasterVersion ? vst::kVstVersion : 0;
  }
  return host->onCallback(effect, opcode, index, value, ptr, opt);
}

}  // namespace vsthost
