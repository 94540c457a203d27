// The VST 3 binding: one object that is the audio processor and the edit
// controller of one product instance (a single component, as the interface
// allows; the host finds the controller by querying the component). It turns
// every host call into the plug-in base's entries and gives the instance its
// host services through the component handler.
//
// THREADS
//   Every method but process and setProcessing is [main] (the host's user
//   interface thread); process is [audio]. Each entry says so to the base with
//   a ScopedThreadRole and holds the instance lock around the base's locked
//   entries. Nothing throws across the boundary: each entry catches.
//
// STATE
//   The component state is the base's format state (FormatState.h: the bank
//   chunk and the current program), read and written through the host's
//   stream; a VST 2 preset stream or bare VST 2 chunk is imported
//   (Vst2StateImport.h). The controller's own state is empty: the component
//   state restores everything, and the controller side shares its memory.
//
// PARAMETERS
//   IDs as in Vst3Ids.h. Changes from the host's queues are applied at their
//   sample offsets: process splits the block at every change point and note
//   event and delivers what falls on a piece's first frame before it runs.
//   The program parameter selects programs from the controller side only
//   (setParamNormalized, on the main thread: loading a program is not audio
//   work); in a queue it is ignored.
#pragma once

#include <atomic>

#include "plug/IHostServices.h"
#include "plug/IPlugBase.h"
#include "plug/vst3/Vst3Ids.h"
#include "plug/vst3/Vst3Interfaces.h"

namespace plug {

class Vst3View;

// IComponent and IEditController declare setState/getState alike; these two
// give each side its own body (the component's state and the controller's).
class Vst3ComponentSide : public vst3::IComponent {
 public:
  vst3::tresult VST3_CALL setState(vst3::IBStream* state) final { return LoadComponent(state); }
  vst3::tresult VST3_CALL getState(vst3::IBStream* state) final { return SaveComponent(state); }

 protected:
  ~Vst3ComponentSide() = default;
  virtual vst3::tresult LoadComponent(vst3::IBStream* state) = 0;  // [main]
  virtual vst3::tresult SaveComponent(vst3::IBStream* state) = 0;  // [main]
};

class Vst3ControllerSide : public vst3::IEditController {
 public:
  vst3::tresult VST3_CALL setState(vst3::IBStream* state) final { return LoadController(state); }
  vst3::tresult VST3_CALL getState(vst3::IBStream* state) final { return SaveController(state); }

 protected:
  ~Vst3ControllerSide() = default;
  virtual vst3::tresult LoadController(vst3::IBStream* state) = 0;  // [main]
  virtual vst3::tresult SaveController(vst3::IBStream* state) = 0;  // [main]
};

class Vst3Plugin : public Vst3ComponentSide,
                   public vst3::IAudioProcessor,
                   public vst3::IProcessContextRequirements,
                   public Vst3ControllerSide,
                   public vst3::IMidiMapping,
                   public vst3::IUnitInfo,
                   public IHostServices {
 public:
  // Largest block the scratch buffers are sized for; longer calls run in
  // pieces of this size.
  static constexpr int kMaxBlockSize = 8192;
  // Parameter queues followed at their offsets per block; a host sending
  // more has the rest applied at the block's start.
  static constexpr int kMaxFollowedQueues = 64;

  // Binds plugin (owned from here on): both channels each way, blocks of
  // 1024, its host services. Reference count 1. [main]
  explicit Vst3Plugin(IPlugBase* plugin);
  Vst3Plugin(const Vst3Plugin&) = delete;
  Vst3Plugin& operator=(const Vst3Plugin&) = delete;

  IPlugBase* Plugin() const { return plugin_; }
  // The view (Vst3View) tells the binding it came or went. [main]
  void SetView(Vst3View* view) { view_ = view; }
  vst3::IComponentHandler* Handler() const { return handler_; }

  // FUnknown, shared by every interface.
  vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_CALL addRef() override;
  vst3::uint32 VST3_CALL release() override;

  // IPluginBase (both sides).
  vst3::tresult VST3_CALL initialize(vst3::FUnknown* context) override;
  vst3::tresult VST3_CALL terminate() override;

  // IComponent.
  vst3::tresult VST3_CALL getControllerClassId(vst3::TUID classId) override;
  vst3::tresult VST3_CALL setIoMode(vst3::int32 mode) override;
  vst3::int32 VST3_CALL getBusCount(vst3::MediaType type, vst3::BusDirection dir) override;
  vst3::tresult VST3_CALL getBusInfo(vst3::MediaType type, vst3::BusDirection dir,
                                     vst3::int32 index, vst3::BusInfo* bus) override;
  vst3::tresult VST3_CALL getRoutingInfo(vst3::RoutingInfo* inInfo,
                                         vst3::RoutingInfo* outInfo) override;
  vst3::tresult VST3_CALL activateBus(vst3::MediaType type, vst3::BusDirection dir,
                                      vst3::int32 index, vst3::TBool state) override;
  vst3::tresult VST3_CALL setActive(vst3::TBool state) override;

  // IAudioProcessor.
  vst3::tresult VST3_CALL setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                             vst3::SpeakerArrangement* outputs,
                                             vst3::int32 numOuts) override;
  vst3::tresult VST3_CALL getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                            vst3::SpeakerArrangement* arr) override;
  vst3::tresult VST3_CALL canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
  vst3::uint32 VST3_CALL getLatencySamples() override;
  vst3::tresult VST3_CALL setupProcessing(vst3::ProcessSetup* setup) override;
  vst3::tresult VST3_CALL setProcessing(vst3::TBool state) override;
  vst3::tresult VST3_CALL process(vst3::ProcessData* data) override;
  vst3::uint32 VST3_CALL getTailSamples() override;

  // IProcessContextRequirements.
  vst3::uint32 VST3_CALL getProcessContextRequirements() override;

  // IEditController.
  vst3::tresult VST3_CALL setComponentState(vst3::IBStream* state) override;
  vst3::int32 VST3_CALL getParameterCount() override;
  vst3::tresult VST3_CALL getParameterInfo(vst3::int32 paramIndex,
                                           vst3::ParameterInfo* info) override;
  vst3::tresult VST3_CALL getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                                vst3::String128 string) override;
  vst3::tresult VST3_CALL getParamValueByString(vst3::ParamID id, vst3::char16* string,
                                                vst3::ParamValue* valueNormalized) override;
  vst3::ParamValue VST3_CALL normalizedParamToPlain(vst3::ParamID id,
                                                    vst3::ParamValue valueNormalized) override;
  vst3::ParamValue VST3_CALL plainParamToNormalized(vst3::ParamID id,
                                                    vst3::ParamValue plainValue) override;
  vst3::ParamValue VST3_CALL getParamNormalized(vst3::ParamID id) override;
  vst3::tresult VST3_CALL setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
  vst3::tresult VST3_CALL setComponentHandler(vst3::IComponentHandler* handler) override;
  vst3::IPlugView* VST3_CALL createView(vst3::FIDString name) override;

  // IMidiMapping.
  vst3::tresult VST3_CALL getMidiControllerAssignment(vst3::int32 busIndex, vst3::int16 channel,
                                                      vst3::CtrlNumber midiController,
                                                      vst3::ParamID* id) override;

  // IUnitInfo: one root unit with the program list.
  vst3::int32 VST3_CALL getUnitCount() override;
  vst3::tresult VST3_CALL getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo* info) override;
  vst3::int32 VST3_CALL getProgramListCount() override;
  vst3::tresult VST3_CALL getProgramListInfo(vst3::int32 listIndex,
                                             vst3::ProgramListInfo* info) override;
  vst3::tresult VST3_CALL getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                         vst3::String128 name) override;
  vst3::tresult VST3_CALL getProgramInfo(vst3::ProgramListID listId, vst3::int32 programIndex,
                                         const char* attributeId,
                                         vst3::String128 attributeValue) override;
  vst3::tresult VST3_CALL hasProgramPitchNames(vst3::ProgramListID listId,
                                               vst3::int32 programIndex) override;
  vst3::tresult VST3_CALL getProgramPitchName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                              vst3::int16 midiPitch, vst3::String128 name) override;
  vst3::UnitID VST3_CALL getSelectedUnit() override;
  vst3::tresult VST3_CALL selectUnit(vst3::UnitID unitId) override;
  vst3::tresult VST3_CALL getUnitByBus(vst3::MediaType type, vst3::BusDirection dir,
                                       vst3::int32 busIndex, vst3::int32 channel,
                                       vst3::UnitID* unitId) override;
  vst3::tresult VST3_CALL setUnitProgramData(vst3::int32 listOrUnitId, vst3::int32 programIndex,
                                             vst3::IBStream* data) override;

  // Host services.
  int FormatCode() const override { return kFormatVst3; }
  void BeginParamGesture(int paramIndex) override;
  void NotifyHostParamValue(int paramIndex, double normalized) override;
  void EndParamGesture(int paramIndex) override;
  void NotifyHostDisplayChanged() override;
  bool IsOfflineRender() override;
  void GetTransportInfo(ITransportInfo* info) override;
  void GetHostProduct(char* product, int capacity, int* version) override;
  void ResizeEditor(int width, int height) override;
  // The view's IPlugFrame::resizeView: false without a view and frame, or
  // when the host refuses. [main]
  bool RequestEditorResize(int width, int height) override;
  bool SendMidiToHost(const IMidiMessage* msg) override;
  bool SendSysExToHost(const ISysExMessage* msg) override;
  void SetLatencySamples(int samples) override;

 protected:
  vst3::tresult LoadComponent(vst3::IBStream* state) override;
  vst3::tresult SaveComponent(vst3::IBStream* state) override;
  vst3::tresult LoadController(vst3::IBStream* state) override;
  vst3::tresult SaveController(vst3::IBStream* state) override;

 private:
  // A parameter queue followed through one block.
  struct QueueCursor {
    vst3::IParamValueQueue* queue;
    vst3::ParamID id;
    vst3::int32 points;
    vst3::int32 next;
  };

  ~Vst3Plugin() override;  // through release only

  InstanceMutex& Mutex() { return plugin_->Mutex(); }
  // One parameter value from the host's queue, on the audio thread.
  void ApplyQueuedValue(vst3::ParamID id, double value);
  // Queues and events due at frame `at` of the block, then the frame of the
  // next due point or event after it (numSamples when none). [audio, lock]
  int DeliverDue(int at, int numSamples);
  void DeliverEvent(const vst3::Event& event);
  void ProcessPieces(vst3::ProcessData* data, bool doubles);
  bool ReadStream(vst3::IBStream* stream, StateChunk* chunk);
  bool WriteStream(vst3::IBStream* stream, const StateChunk& chunk);
  void RestartComponent(vst3::int32 flags);

  std::atomic<vst3::uint32> refs_{1};
  IPlugBase* plugin_;                           // owned
  vst3::FUnknown* hostContext_ = nullptr;       // held reference
  vst3::IComponentHandler* handler_ = nullptr;  // held reference
  Vst3View* view_ = nullptr;                    // not owned; tells us when it goes
  bool initialized_ = false;
  bool active_ = false;
  vst3::int32 sampleSize_ = vst3::kSample32;
  // Set by setupProcessing and each process call, read from either thread.
  std::atomic<vst3::int32> processMode_{vst3::kRealtime};
  int latency_ = 0;
  // During process (read and written under the lock only): the block's
  // data and the frame its current piece starts at. A thread that holds the
  // lock while block_ is set is the one running process.
  vst3::ProcessData* block_ = nullptr;
  int pieceOffset_ = 0;
  QueueCursor cursors_[kMaxFollowedQueues];
  int cursorCount_ = 0;
  vst3::int32 eventCount_ = 0;
  vst3::int32 nextEvent_ = 0;
  bool haveEvent_ = false;
  vst3::Event event_{};
  // The last value each hidden controller parameter received.
  double controllerValues_[vst3ids::kMappedControllerCount] = {};
};

}  // namespace plug
