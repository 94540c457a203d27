// The VST 2.4 binding: owns one product instance and the effect record the
// host sees, turns every host request into the plug-in base's entries, and
// gives the instance its host services through the host callback.
//
// The static entries (dispatcher, process, parameters) are the one place
// where host input is checked; everything below them receives clean values.
// Every entry holds the instance lock for its whole run, except the editor's
// window opcodes (see IPlugBase::HostOpenEditor). VST 2 does not say which
// thread calls the dispatcher or the parameter entries (hosts use their user
// interface and their audio threads alike): only the process entries tell
// the base their thread (audio).
#pragma once

#include "plug/IHostServices.h"
#include "plug/IPlugBase.h"
#include "plug/vst2/VstAbi.h"

namespace plug {

class IPlugVST : public IHostServices {
 public:
  // Largest block the scratch buffers are sized for; a host announcing more
  // is processed in pieces of this size.
  static constexpr int kMaxBlockSize = 65536;

  // Binds plugin (the product's instance, plug::CreatePlugin), owned from
  // here on: the effect record (with the editor flag and size when it has an
  // editor), every channel connected, blocks of 1024, its host services.
  // [main]
  IPlugVST(vst::HostCallback host, IPlugBase* plugin);
  // Deletes the instance. [main]
  ~IPlugVST() override;
  IPlugVST(const IPlugVST&) = delete;
  IPlugVST& operator=(const IPlugVST&) = delete;

  vst::AEffect* GetAEffect() { return &aEffect_; }
  static IPlugVST* FromAEffect(vst::AEffect* effect);
  IPlugBase* Plugin() const { return plugin_; }

  // Host services, through the host callback.
  int FormatCode() const override { return kFormatVst2; }
  void BeginParamGesture(int paramIndex) override;
  void NotifyHostParamValue(int paramIndex, double normalized) override;
  void EndParamGesture(int paramIndex) override;
  void NotifyHostDisplayChanged() override;
  bool IsOfflineRender() override;
  int GetSamplePosition() override;
  double GetHostTempo() override;
  void GetTimeSignature(int* numerator, int* denominator) override;
  void GetTransportInfo(ITransportInfo* info) override;
  void GetHostProduct(char* product, int capacity, int* version) override;
  void ResizeEditor(int width, int height) override;
  // audioMasterSizeWindow; effEditGetRect answers the new size while the
  // host handles it, the old one again when the host refuses.
  bool RequestEditorResize(int width, int height) override;
  bool SendMidiToHost(const IMidiMessage* msg) override;
  bool SendSysExToHost(const ISysExMessage* msg) override;
  void SetLatencySamples(int samples) override;

  // True for the hosts whose bank-chunk handling needs program-only chunks
  // (Vst2HostQuirks.h); asks the host once. [main, lock]
  bool IsChunkQuirkHost();

 private:
  static void VST_CALL Process(vst::AEffect* effect, float** inputs, float** outputs,
                               vst::int32 frames);
  static void VST_CALL ProcessReplacing(vst::AEffect* effect, float** inputs, float** outputs,
                                        vst::int32 frames);
  static void VST_CALL ProcessDoubleReplacing(vst::AEffect* effect, double** inputs,
                                              double** outputs, vst::int32 frames);
  static void VST_CALL SetParameter(vst::AEffect* effect, vst::int32 index, float value);
  static float VST_CALL GetParameter(vst::AEffect* effect, vst::int32 index);
  static vst::intptr VST_CALL Dispatcher(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                         vst::intptr value, void* ptr, float opt);

  InstanceMutex& Mutex() { return plugin_->Mutex(); }
  // At the first effOpen: the host identified, the channel counts written.
  void InitForHost();
  // One opcode, lock held.
  vst::intptr Dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                       float opt);
  // effEditOpen, effEditClose (also at effClose) and the editor's part of
  // effEditIdle, without the lock.
  vst::intptr DispatchEditor(vst::int32 opcode, void* ptr);
  vst::intptr GetChunk(void** data, bool isBank);
  vst::intptr SetChunk(const void* data, vst::intptr size, bool isBank);
  vst::intptr CanDo(const char* text) const;
  vst::intptr VendorSpecific(vst::int32 index, vst::intptr value, void* ptr, float opt);
  vst::intptr String2Parameter(int index, const char* text);
  vst::intptr PinProperties(vst::VstPinProperties* pin, int index, bool isInput) const;
  void SetSpeakerArrangement(const vst::VstSpeakerArrangement* in,
                             const vst::VstSpeakerArrangement* out);
  void ProcessEvents(const vst::VstEvents* events);
  void ProcessFloat(float** inputs, float** outputs, int frames, bool accumulate);
  void ProcessDouble(double** inputs, double** outputs, int frames);
  void AskForMidi();
  vst::VstTimeInfo* GetTimeInfo(vst::int32 wantedFlags);
  vst::intptr CallHost(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
  // Host texts; each asks the host once per call.
  void AskHostText(vst::int32 opcode, char* text, int capacity);
  void SetEditRect(int width, int height);

  IPlugBase* plugin_;  // owned
  vst::ERect editRect_{0, 0, 0, 0};
  vst::HostCallback host_ = nullptr;
  vst::VstSpeakerArrangement inputArrangement_{};
  vst::VstSpeakerArrangement outputArrangement_{};
  bool hostSetUpDone_ = false;
  StateChunk programChunk_;
  StateChunk bankChunk_;
  bool quirkChecked_ = false;
  bool quirkAnswer_ = false;
  // Frames from the start of the current process call to the piece being
  // processed; 0 outside a call. The transport queries add it to the host's
  // positions.
  int pieceOffset_ = 0;
  vst::AEffect aEffect_{};
};

}  // namespace plug
