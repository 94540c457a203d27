// The VST 3 interfaces this plug-in implements or calls, with their
// identifiers. Each is a class of pure virtual methods in the interface's
// slot order: no data, no virtual destructor (a protected plain one), no
// overloads, so that the compiler's virtual table is the interface's. "Extends" relations other
// than FUnknown and the factory versions are reached with queryInterface only.
#pragma once

#include "plug/vst3/Vst3Abi.h"

namespace vst3 {

#define VST3_METHOD virtual tresult VST3_CALL

class FUnknown {
 public:
  VST3_METHOD queryInterface(const TUID iid, void** obj) = 0;
  virtual uint32 VST3_CALL addRef() = 0;
  virtual uint32 VST3_CALL release() = 0;

 protected:
  ~FUnknown() = default;  // never deleted through the interface
};

// ---- Implemented by the plug-in ------------------------------------------

class IPluginBase : public FUnknown {
 public:
  VST3_METHOD initialize(FUnknown* context) = 0;
  VST3_METHOD terminate() = 0;

 protected:
  ~IPluginBase() = default;  // never deleted through the interface
};

class IPluginFactory : public FUnknown {
 public:
  VST3_METHOD getFactoryInfo(PFactoryInfo* info) = 0;
  virtual int32 VST3_CALL countClasses() = 0;
  VST3_METHOD getClassInfo(int32 index, PClassInfo* info) = 0;
  VST3_METHOD createInstance(FIDString cid, FIDString iid, void** obj) = 0;

 protected:
  ~IPluginFactory() = default;  // never deleted through the interface
};

class IPluginFactory2 : public IPluginFactory {
 public:
  VST3_METHOD getClassInfo2(int32 index, PClassInfo2* info) = 0;

 protected:
  ~IPluginFactory2() = default;  // never deleted through the interface
};

class IPluginFactory3 : public IPluginFactory2 {
 public:
  VST3_METHOD getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
  VST3_METHOD setHostContext(FUnknown* context) = 0;

 protected:
  ~IPluginFactory3() = default;  // never deleted through the interface
};

class IBStream;

class IComponent : public IPluginBase {
 public:
  VST3_METHOD getControllerClassId(TUID classId) = 0;
  VST3_METHOD setIoMode(int32 mode) = 0;
  virtual int32 VST3_CALL getBusCount(MediaType type, BusDirection dir) = 0;
  VST3_METHOD getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo* bus) = 0;
  VST3_METHOD getRoutingInfo(RoutingInfo* inInfo, RoutingInfo* outInfo) = 0;
  VST3_METHOD activateBus(MediaType type, BusDirection dir, int32 index, TBool state) = 0;
  VST3_METHOD setActive(TBool state) = 0;
  VST3_METHOD setState(IBStream* state) = 0;
  VST3_METHOD getState(IBStream* state) = 0;

 protected:
  ~IComponent() = default;  // never deleted through the interface
};

class IAudioProcessor : public FUnknown {
 public:
  VST3_METHOD setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                 SpeakerArrangement* outputs, int32 numOuts) = 0;
  VST3_METHOD getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement* arr) = 0;
  VST3_METHOD canProcessSampleSize(int32 symbolicSampleSize) = 0;
  virtual uint32 VST3_CALL getLatencySamples() = 0;
  VST3_METHOD setupProcessing(ProcessSetup* setup) = 0;
  VST3_METHOD setProcessing(TBool state) = 0;
  VST3_METHOD process(ProcessData* data) = 0;
  virtual uint32 VST3_CALL getTailSamples() = 0;

 protected:
  ~IAudioProcessor() = default;  // never deleted through the interface
};

class IProcessContextRequirements : public FUnknown {
 public:
  virtual uint32 VST3_CALL getProcessContextRequirements() = 0;

 protected:
  ~IProcessContextRequirements() = default;  // never deleted through the interface
};

class IComponentHandler;
class IPlugView;

class IEditController : public IPluginBase {
 public:
  VST3_METHOD setComponentState(IBStream* state) = 0;
  VST3_METHOD setState(IBStream* state) = 0;
  VST3_METHOD getState(IBStream* state) = 0;
  virtual int32 VST3_CALL getParameterCount() = 0;
  VST3_METHOD getParameterInfo(int32 paramIndex, ParameterInfo* info) = 0;
  VST3_METHOD getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) = 0;
  VST3_METHOD getParamValueByString(ParamID id, char16* string, ParamValue* valueNormalized) = 0;
  virtual ParamValue VST3_CALL normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
  virtual ParamValue VST3_CALL plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
  virtual ParamValue VST3_CALL getParamNormalized(ParamID id) = 0;
  VST3_METHOD setParamNormalized(ParamID id, ParamValue value) = 0;
  VST3_METHOD setComponentHandler(IComponentHandler* handler) = 0;
  virtual IPlugView* VST3_CALL createView(FIDString name) = 0;

 protected:
  ~IEditController() = default;  // never deleted through the interface
};

class IMidiMapping : public FUnknown {
 public:
  VST3_METHOD getMidiControllerAssignment(int32 busIndex, int16 channel, CtrlNumber midiController,
                                          ParamID* id) = 0;

 protected:
  ~IMidiMapping() = default;  // never deleted through the interface
};

class IUnitInfo : public FUnknown {
 public:
  virtual int32 VST3_CALL getUnitCount() = 0;
  VST3_METHOD getUnitInfo(int32 unitIndex, UnitInfo* info) = 0;
  virtual int32 VST3_CALL getProgramListCount() = 0;
  VST3_METHOD getProgramListInfo(int32 listIndex, ProgramListInfo* info) = 0;
  VST3_METHOD getProgramName(ProgramListID listId, int32 programIndex, String128 name) = 0;
  VST3_METHOD getProgramInfo(ProgramListID listId, int32 programIndex, const char* attributeId,
                             String128 attributeValue) = 0;
  VST3_METHOD hasProgramPitchNames(ProgramListID listId, int32 programIndex) = 0;
  VST3_METHOD getProgramPitchName(ProgramListID listId, int32 programIndex, int16 midiPitch,
                                  String128 name) = 0;
  virtual UnitID VST3_CALL getSelectedUnit() = 0;
  VST3_METHOD selectUnit(UnitID unitId) = 0;
  VST3_METHOD getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                           UnitID* unitId) = 0;
  VST3_METHOD setUnitProgramData(int32 listOrUnitId, int32 programIndex, IBStream* data) = 0;

 protected:
  ~IUnitInfo() = default;  // never deleted through the interface
};

class IPlugFrame;

class IPlugView : public FUnknown {
 public:
  VST3_METHOD isPlatformTypeSupported(FIDString type) = 0;
  VST3_METHOD attached(void* parent, FIDString type) = 0;
  VST3_METHOD removed() = 0;
  VST3_METHOD onWheel(float distance) = 0;
  VST3_METHOD onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
  VST3_METHOD onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
  VST3_METHOD getSize(ViewRect* size) = 0;
  VST3_METHOD onSize(ViewRect* newSize) = 0;
  VST3_METHOD onFocus(TBool state) = 0;
  VST3_METHOD setFrame(IPlugFrame* frame) = 0;
  VST3_METHOD canResize() = 0;
  VST3_METHOD checkSizeConstraint(ViewRect* rect) = 0;

 protected:
  ~IPlugView() = default;  // never deleted through the interface
};

// On the view, optional: the host's scale for the view's content, 1.0 for
// 100 %, at any time the view exists.
class IPlugViewContentScaleSupport : public FUnknown {
 public:
  VST3_METHOD setContentScaleFactor(float factor) = 0;

 protected:
  ~IPlugViewContentScaleSupport() = default;  // never deleted through the interface
};

class IEventHandler : public FUnknown {  // Linux::IEventHandler
 public:
  virtual void VST3_CALL onFDIsSet(int fd) = 0;

 protected:
  ~IEventHandler() = default;  // never deleted through the interface
};

class ITimerHandler : public FUnknown {  // Linux::ITimerHandler
 public:
  virtual void VST3_CALL onTimer() = 0;

 protected:
  ~ITimerHandler() = default;  // never deleted through the interface
};

// ---- Implemented by the host ---------------------------------------------

class IHostApplication : public FUnknown {
 public:
  VST3_METHOD getName(String128 name) = 0;
  VST3_METHOD createInstance(TUID cid, TUID iid, void** obj) = 0;

 protected:
  ~IHostApplication() = default;  // never deleted through the interface
};

class IComponentHandler : public FUnknown {
 public:
  VST3_METHOD beginEdit(ParamID id) = 0;
  VST3_METHOD performEdit(ParamID id, ParamValue valueNormalized) = 0;
  VST3_METHOD endEdit(ParamID id) = 0;
  VST3_METHOD restartComponent(int32 flags) = 0;

 protected:
  ~IComponentHandler() = default;  // never deleted through the interface
};

class IBStream : public FUnknown {
 public:
  VST3_METHOD read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
  VST3_METHOD write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
  VST3_METHOD seek(int64 pos, int32 mode, int64* result) = 0;
  VST3_METHOD tell(int64* pos) = 0;

 protected:
  ~IBStream() = default;  // never deleted through the interface
};

class IParamValueQueue : public FUnknown {
 public:
  virtual ParamID VST3_CALL getParameterId() = 0;
  virtual int32 VST3_CALL getPointCount() = 0;
  VST3_METHOD getPoint(int32 index, int32* sampleOffset, ParamValue* value) = 0;
  VST3_METHOD addPoint(int32 sampleOffset, ParamValue value, int32* index) = 0;

 protected:
  ~IParamValueQueue() = default;  // never deleted through the interface
};

class IParameterChanges : public FUnknown {
 public:
  virtual int32 VST3_CALL getParameterCount() = 0;
  virtual IParamValueQueue* VST3_CALL getParameterData(int32 index) = 0;
  virtual IParamValueQueue* VST3_CALL addParameterData(const ParamID* id, int32* index) = 0;

 protected:
  ~IParameterChanges() = default;  // never deleted through the interface
};

class IEventList : public FUnknown {
 public:
  virtual int32 VST3_CALL getEventCount() = 0;
  VST3_METHOD getEvent(int32 index, Event* e) = 0;
  VST3_METHOD addEvent(Event* e) = 0;

 protected:
  ~IEventList() = default;  // never deleted through the interface
};

class IPlugFrame : public FUnknown {
 public:
  VST3_METHOD resizeView(IPlugView* view, ViewRect* newSize) = 0;

 protected:
  ~IPlugFrame() = default;  // never deleted through the interface
};

class IRunLoop : public FUnknown {  // Linux::IRunLoop
 public:
  VST3_METHOD registerEventHandler(IEventHandler* handler, int fd) = 0;
  VST3_METHOD unregisterEventHandler(IEventHandler* handler) = 0;
  VST3_METHOD registerTimer(ITimerHandler* handler, uint64 milliseconds) = 0;
  VST3_METHOD unregisterTimer(ITimerHandler* handler) = 0;

 protected:
  ~IRunLoop() = default;  // never deleted through the interface
};

#undef VST3_METHOD

// ---- Interface identifiers -------------------------------------------------

namespace iid {
constexpr Uid kFUnknown{0x00000000, 0x00000000, 0xC0000000, 0x00000046};
constexpr Uid kPluginBase{0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625};
constexpr Uid kPluginFactory{0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F};
constexpr Uid kPluginFactory2{0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB};
constexpr Uid kPluginFactory3{0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931};
constexpr Uid kComponent{0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802};
constexpr Uid kAudioProcessor{0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D};
constexpr Uid kProcessContextRequirements{0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0};
constexpr Uid kEditController{0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E};
constexpr Uid kMidiMapping{0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5};
constexpr Uid kUnitInfo{0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1};
constexpr Uid kPlugView{0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29};
constexpr Uid kPlugViewContentScaleSupport{0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F};
constexpr Uid kEventHandler{0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983};
constexpr Uid kTimerHandler{0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9};
constexpr Uid kHostApplication{0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5};
constexpr Uid kComponentHandler{0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6};
constexpr Uid kBStream{0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B};
constexpr Uid kParameterChanges{0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D};
constexpr Uid kParamValueQueue{0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA};
constexpr Uid kEventList{0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44};
constexpr Uid kPlugFrame{0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3};
constexpr Uid kRunLoop{0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389};
}  // namespace iid

}  // namespace vst3
