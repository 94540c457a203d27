// The VST 2.4 binding of the plug-in base: owns the effect record the host
// sees, turns every host request into calls on IPlugBase, and implements the
// base's host services through the host callback.
//
// The static entries (dispatcher, process, parameters) are the one place
// where host input is checked; everything below them receives clean values.
// Every entry holds the instance lock for its whole run.
#pragma once

#include "plug/IPlugBase.h"
#include "plug/VstAbi.h"

namespace plug {

class IPlugVST : public IPlugBase {
 public:
  // Largest block the scratch buffers are sized for; a host announcing more
  // is processed in pieces of this size.
  static constexpr int kMaxBlockSize = 65536;

  IPlugVST(const IPlugConfig& config, vst::HostCallback host);
  ~IPlugVST() override;

  vst::AEffect* GetAEffect() { return &aEffect_; }
  static IPlugVST* FromAEffect(vst::AEffect* effect);

  // Host services.
  void BeginParamGesture(int paramIndex) override;
  void NotifyHostParamValue(int paramIndex, double normalized) override;
  void EndParamGesture(int paramIndex) override;
  void NotifyHostDisplayChanged() override;
  bool IsOfflineRender() override;
  int GetSamplePosition() override;
  double GetHostTempo() override;
  void GetTimeSignature(int* numerator, int* denominator) override;
  void GetTransportInfo(ITransportInfo* info) override;
  int GetHostKind() override;
  void ResizeEditor(int width, int height) override;
  void InitForHost() override;
  void AttachEditor(IPlugEditor* editor) override;
  void SetLatencySamples(int samples) override;
  bool SendMidiToHost(const IMidiMessage* msg) override;
  bool SendSysExToHost(const ISysExMessage* msg) override;

  // True for the hosts whose bank-chunk handling needs program-only chunks.
  bool IsChunkQuirkHost();

 protected:
  // Host texts; each asks the host once per call.
  void AskHostText(vst::int32 opcode, char* text, int capacity);

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

  // One opcode, lock held.
  vst::intptr Dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                       float opt);
  // effEditOpen, effEditClose (also at effClose) and the editor's part of
  // effEditIdle.
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
  void SetEditRect();

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

// What the product provides: a new instance bound to the host's callback, or
// null. Called by the exported entry points under the creation lock.
IPlugVST* CreatePluginInstance(vst::HostCallback host);

}  // namespace plug
