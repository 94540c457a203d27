#include "plug/vst3/Vst3Factory.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>

#include "plug/PluginFactory.h"
#include "plug/TextUtil.h"
#include "plug/vst3/Vst3Ids.h"
#include "plug/vst3/Vst3Plugin.h"
#include "plug/vst3/Vst3Text.h"

#ifndef QUILLET_VERSION_TEXT
#define QUILLET_VERSION_TEXT "0.0.0"
#endif
#ifndef QUILLET_WEB_HOST
#define QUILLET_WEB_HOST ""
#endif

namespace plug {

namespace {

using namespace vst3;

constexpr const char* kCategory = "Audio Module Class";

std::atomic<uint32>& FactoryRefs() {
  static std::atomic<uint32> refs{0};
  return refs;
}

std::mutex& CreationLock() {
  static std::mutex lock;
  return lock;
}

void FillClassInfo(PClassInfo* info) {
  std::memset(info, 0, sizeof *info);
  UidToBytes(vst3ids::kClassId, info->cid);
  info->cardinality = kManyInstances;
  CopyText(info->category, kCategory, sizeof info->category);
  CopyText(info->name, vst3ids::kClassName, sizeof info->name);
}

}  // namespace

Vst3Factory* Vst3Factory::Get() {
  static Vst3Factory factory;
  factory.addRef();
  return &factory;
}

tresult VST3_CALL Vst3Factory::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (UidEquals(iid, iid::kFUnknown) || UidEquals(iid, iid::kPluginFactory) ||
      UidEquals(iid, iid::kPluginFactory2) || UidEquals(iid, iid::kPluginFactory3)) {
    *obj = static_cast<IPluginFactory3*>(this);
    addRef();
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 VST3_CALL Vst3Factory::addRef() { return ++FactoryRefs(); }

uint32 VST3_CALL Vst3Factory::release() {
  uint32 now = FactoryRefs().load();
  // A host releasing more often than it took must not wrap the count.
  while (now > 0 && !FactoryRefs().compare_exchange_weak(now, now - 1)) {
  }
  return now > 0 ? now - 1 : 0;
}

tresult VST3_CALL Vst3Factory::getFactoryInfo(PFactoryInfo* info) {
  if (!info) return kInvalidArgument;
  std::memset(info, 0, sizeof *info);
  CopyText(info->vendor, vst3ids::kVendor, sizeof info->vendor);
  char url[sizeof info->url] = "https://";
  CopyText(url + 8, QUILLET_WEB_HOST, sizeof url - 8);
  CopyText(info->url, url, sizeof info->url);
  info->flags = kUnicode;
  return kResultOk;
}

int32 VST3_CALL Vst3Factory::countClasses() { return 1; }

tresult VST3_CALL Vst3Factory::getClassInfo(int32 index, PClassInfo* info) {
  if (!info || index != 0) return kInvalidArgument;
  FillClassInfo(info);
  return kResultOk;
}

tresult VST3_CALL Vst3Factory::getClassInfo2(int32 index, PClassInfo2* info) {
  if (!info || index != 0) return kInvalidArgument;
  std::memset(info, 0, sizeof *info);
  PClassInfo base;
  FillClassInfo(&base);
  std::memcpy(info->cid, base.cid, sizeof info->cid);
  info->cardinality = base.cardinality;
  CopyText(info->category, base.category, sizeof info->category);
  CopyText(info->name, base.name, sizeof info->name);
  info->classFlags = 0;  // a single component: never distributed
  CopyText(info->subCategories, vst3ids::kSubCategories, sizeof info->subCategories);
  CopyText(info->vendor, vst3ids::kVendor, sizeof info->vendor);
  CopyText(info->version, QUILLET_VERSION_TEXT, sizeof info->version);
  CopyText(info->sdkVersion, vst3ids::kSdkVersion, sizeof info->sdkVersion);
  return kResultOk;
}

tresult VST3_CALL Vst3Factory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
  if (!info || index != 0) return kInvalidArgument;
  std::memset(info, 0, sizeof *info);
  PClassInfo base;
  FillClassInfo(&base);
  std::memcpy(info->cid, base.cid, sizeof info->cid);
  info->cardinality = base.cardinality;
  CopyText(info->category, base.category, sizeof info->category);
  CopyToUtf16(info->name, base.name, 64);
  info->classFlags = 0;
  CopyText(info->subCategories, vst3ids::kSubCategories, sizeof info->subCategories);
  CopyToUtf16(info->vendor, vst3ids::kVendor, 64);
  CopyToUtf16(info->version, QUILLET_VERSION_TEXT, 64);
  CopyToUtf16(info->sdkVersion, vst3ids::kSdkVersion, 64);
  return kResultOk;
}

tresult VST3_CALL Vst3Factory::createInstance(FIDString cid, FIDString iid, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !iid) return kInvalidArgument;
  if (!UidEquals(cid, vst3ids::kClassId)) return kNoInterface;
  ScopedThreadRole role(ThreadRole::kMain);
  std::lock_guard<std::mutex> lock(CreationLock());
  // No exception may reach the host: an instance that cannot be made is
  // reported as out of memory.
  try {
    std::unique_ptr<IPlugBase> product(CreatePlugin());
    if (!product) return kOutOfMemory;
    auto* binding = new Vst3Plugin(product.get());
    IPlugBase* plugin = product.release();  // owned by the binding
    plugin->MakeDefaultPresets("Empty", plugin->NPresets());
    const tresult result = binding->queryInterface(iid, obj);
    binding->release();  // the query's reference is the caller's
    return result;
  } catch (...) {
    return kOutOfMemory;
  }
}

tresult VST3_CALL Vst3Factory::setHostContext(FUnknown*) { return kResultOk; }

}  // namespace plug
