// The module's factory: one class, the plug-in (Vst3Ids.h), as a single
// component. One static object for the module's life; its reference count is
// kept but never frees it.
#pragma once

#include "plug/vst3/Vst3Interfaces.h"

namespace plug {

class Vst3Factory : public vst3::IPluginFactory3 {
 public:
  // The module's factory, with a reference for the caller. [main]
  static Vst3Factory* Get();

  vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_CALL addRef() override;
  vst3::uint32 VST3_CALL release() override;
  vst3::tresult VST3_CALL getFactoryInfo(vst3::PFactoryInfo* info) override;
  vst3::int32 VST3_CALL countClasses() override;
  vst3::tresult VST3_CALL getClassInfo(vst3::int32 index, vst3::PClassInfo* info) override;
  vst3::tresult VST3_CALL createInstance(vst3::FIDString cid, vst3::FIDString iid,
                                         void** obj) override;
  vst3::tresult VST3_CALL getClassInfo2(vst3::int32 index, vst3::PClassInfo2* info) override;
  vst3::tresult VST3_CALL getClassInfoUnicode(vst3::int32 index, vst3::PClassInfoW* info) override;
  vst3::tresult VST3_CALL setHostContext(vst3::FUnknown* context) override;

 private:
  Vst3Factory() = default;
  ~Vst3Factory() = default;
};

}  // namespace plug
