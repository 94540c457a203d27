// The format-independent core of a plug-in instance: identity, parameters,
// presets, audio channels with their conversion buffers, processing settings
// and the editor pointer, all guarded by one recursive lock per instance.
//
// The format binding (IPlugVST) talks to the concrete plug-in only through the
// virtual operations declared here. Thread tags:
//   [audio]       called from the host's audio thread inside a process entry;
//                 must not allocate, wait on anything but the instance lock,
//                 or log.
//   [main]        called from the host's user-interface thread.
//   [any thread]  either of them, or a host's own worker thread.
//   [lock]        the instance lock is held by the caller; "takes the lock"
//                 means the operation takes it itself.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "plug/IParameter.h"
#include "plug/IPlugEditor.h"
#include "plug/IPresetSlot.h"
#include "plug/StateChunk.h"

namespace plug {

struct IChannelPair {
  int inputs = 0;
  int outputs = 0;
};

struct IInputChannel {
  bool connected = false;
  double** entry = nullptr;  // this channel's slot in the input pointer array
  std::vector<double> scratch;
  std::string label;
};

struct IOutputChannel {
  bool connected = false;
  double** entry = nullptr;     // this channel's slot in the output pointer array
  float* hostOutput = nullptr;  // the host's float buffer during a float process call
  std::vector<double> scratch;
  std::string label;
};

struct IMidiMessage {
  int offset = 0;  // frame within the current block
  unsigned char status = 0;
  unsigned char data1 = 0;
  unsigned char data2 = 0;
};

struct ISysExMessage {
  int offset = 0;
  int size = 0;
  const unsigned char* data = nullptr;  // owned by the caller, valid during the call
};

struct ITransportInfo {
  double tempo = 120.0;
  double samplePos = -1.0;
  double ppqPos = -1.0;
  double lastBarPos = -1.0;
  double cycleStart = -1.0;
  double cycleEnd = -1.0;
  int numerator = 4;
  int denominator = 4;
  bool transportRunning = false;
  bool cycleActive = false;
};

// Product-specific facts the base is built from.
struct IPlugConfig {
  const char* effectName;
  const char* productName;
  const char* makerName;
  int uniqueId;
  int version;  // 0xMMMMmmpp
  int paramCount;
  int presetCount;
  const char* channelIO;  // e.g. "2-2"
};

class IPlugBase {
 public:
  // Version numbers of the framework's chunk header.
  static constexpr int kChunkMagic = 0x70666674;  // 'pfft', "tffp" in file order
  static constexpr int kChunkVersion = 0x00010000;

  explicit IPlugBase(const IPlugConfig& config);  // [main]
  virtual ~IPlugBase();                           // [main]
  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // ---- Virtual operations, in the binding's slot order -------------------

  // After a sample-rate or block-size change and on deactivation. [main, lock]
  virtual void OnReset();
  // Hosts automate from the audio thread as well as from their user
  // interface; the editor and mapped MIDI controllers change parameters too.
  // [any thread, lock]
  virtual void OnParamChanged(int paramIndex);
  // Default: copies input i to output i below both counts, zeros the rest.
  virtual void ProcessBlock(double** inputs, double** outputs, int frames);  // [audio, lock]
  virtual void OnEditorOpened() {}                                           // [main, lock]
  virtual void OnEditorClosing() {}                                          // [main, lock]
  // Lock: held when effEditIdle or effIdle calls it, not when the editor's
  // timer does (every 21st tick with nothing to draw).
  virtual void OnHostIdle() {}             // [main]
  virtual void OnActivation(bool active);  // [main, lock]
  // Default: passes the message on to the host unchanged. [audio or main, lock]
  virtual void OnMidiMessage(const IMidiMessage* msg);
  virtual void OnSysEx(const ISysExMessage* msg) {}                // [audio or main, lock]
  virtual bool GetMidiNoteName(int note, char* name);              // [main, lock]
  virtual bool SaveState(StateChunk* chunk);                       // [main, lock]
  virtual int LoadState(const StateChunk* chunk, int position);    // [main, lock]
  virtual bool StateEquals(const double* values, int startIndex);  // [main, lock]
  virtual void OnEditorResized() {}                                // [main]
  virtual bool ReservedHook15() { return false; }                  // reserved; never called
  virtual void OnHostKnown() {}     // [main, lock] after the host was identified
  virtual void ReservedHook17() {}  // reserved; never called
  // Store and react under the lock, then tell the host. The editor calls it
  // on the main thread, a MIDI controller mapped to the parameter on the
  // thread that delivers MIDI (which already holds the lock). [any thread,
  // takes the lock]
  virtual void SetParameterFromEditor(int paramIndex, double normalized);
  virtual void BeginParamGesture(int paramIndex) = 0;                        // [main]
  virtual void NotifyHostParamValue(int paramIndex, double normalized) = 0;  // [any thread]
  virtual void EndParamGesture(int paramIndex) = 0;                          // [main]
  virtual void NotifyHostDisplayChanged() = 0;                               // [main]
  virtual bool IsOfflineRender() { return false; }                           // [audio or main]
  // The host's transport during processing; inside a call longer than the
  // announced block, as it stands at the current piece. [audio, lock]
  virtual int GetSamplePosition() = 0;
  virtual double GetHostTempo() = 0;
  virtual void GetTimeSignature(int* numerator, int* denominator) = 0;
  virtual void GetTransportInfo(ITransportInfo* info) = 0;
  // The first call asks the host. [main, lock]
  virtual int GetHostKind() { return hostKind_; }
  virtual int GetFormatCode() { return formatCode_; }    // [any thread]
  virtual void ResizeEditor(int width, int height) = 0;  // [main]
  virtual void InitForHost() {}                          // [main, lock]
  // Binds the editor: every control shows its parameter's value. Takes
  // ownership. [main, takes the lock]
  virtual void AttachEditor(IPlugEditor* editor);
  virtual void SetLatencySamples(int samples) { latency_ = samples; }       // [main, lock]
  virtual bool SendMidiToHost(const IMidiMessage* msg) = 0;                 // [audio or main, lock]
  virtual bool SendSysExToHost(const ISysExMessage* msg) { return false; }  // [audio or main, lock]
  // Every parameter's plain value to the editor, on the thread that loaded a
  // program or chunk. Takes no lock of its own. [any thread, lock]
  virtual void RefreshParamControls();
  virtual int UnserializePresets(const StateChunk* chunk, int position);  // [main, lock]
  virtual void ModifyCurrentPreset(const char* name = nullptr);           // [main, lock]
  virtual void ReservedHook39() {}                                        // reserved; never called
  virtual void OnPresetsChanged() {}                                      // [main, lock]
  virtual void ChangeSampleRate(double rate) { sampleRate_ = rate; }      // [main, lock]
  // Resizes every scratch buffer to frames doubles (zero-filled) when the size
  // changes. Allocates: never from the audio path. [main, lock]
  virtual void ChangeBlockSize(int frames);

  // ---- Non-virtual services ------------------------------------------------

  std::recursive_mutex& Mutex() { return mutex_; }

  int NParams() const { return static_cast<int>(params_.size()); }
  IParameter* GetParam(int index);
  const IParameter* GetParam(int index) const;
  int NInChannels() const { return static_cast<int>(inChannels_.size()); }
  int NOutChannels() const { return static_cast<int>(outChannels_.size()); }
  bool IsInChannelConnected(int i) const;
  bool IsOutChannelConnected(int i) const;
  const IInputChannel* InputChannel(int i) const;
  const IOutputChannel* OutputChannel(int i) const;
  void SetInputLabel(int i, const char* label);
  void SetOutputLabel(int i, const char* label);
  bool LegalIO(int inputs, int anyOutputs) const;
  void SetInputConnections(int first, int count, bool connected);
  void SetOutputConnections(int first, int count, bool connected);
  void LimitToStereo();
  void NotifyAllParamsChanged();
  void NotifyHostAllParams();

  // Presets and state.
  int NPresets() const { return static_cast<int>(presets_.size()); }
  int GetCurrentPresetIdx() const { return currentPreset_; }
  const char* GetPresetName(int index) const;
  IPresetSlot* GetPreset(int index);
  bool SerializeParams(StateChunk* chunk);
  int UnserializeParams(const StateChunk* chunk, int position);
  bool SerializePresets(StateChunk* chunk);
  void MakeDefaultPresets(const char* name, int count);
  bool RestorePreset(int index);
  static void WriteChunkHeader(StateChunk* chunk);
  // The framework version; 0 when the magic is missing (position unchanged)
  // or the chunk ends after it (position -1); otherwise position += 8.
  static int ReadChunkHeader(const StateChunk* chunk, int* position);

  // Identity and settings.
  const char* GetEffectName() const { return effectName_.c_str(); }
  const char* GetProductName() const { return productName_.c_str(); }
  const char* GetMakerName() const { return makerName_.c_str(); }
  int GetUniqueID() const { return uniqueId_; }
  int GetVersion() const { return version_; }
  // major * 10000 + minor * 100 + patch, as the host sees it.
  int GetDecimalVersion() const;
  int GetHostVersion() const { return hostVersion_; }
  bool IsInstrument() const { return isInstrument_; }
  bool DoesMidi() const { return doesMidi_; }
  double GetSampleRate() const { return sampleRate_; }
  int GetBlockSize() const { return blockSize_; }
  int GetLatency() const { return latency_; }
  int GetTailSize() const { return tailSize_; }
  IPlugEditor* GetEditor() { return editor_; }

  // ---- Float and double attachment, used by the format binding ------------

  // Points every connected input channel at its scratch buffer filled with n
  // widened samples of the next host input, from frameOffset on; disconnected
  // channels consume no host pointer. [audio, lock]
  void AttachInputBuffers(float** hostInputs, int frameOffset, int n);
  // Points every connected output channel at its scratch buffer and remembers
  // the next host output pointer. [audio, lock]
  void AttachOutputBuffers(float** hostOutputs);
  // Points connected channels straight at the host's double buffers, offset
  // by frameOffset. [audio, lock]
  void AttachDoubleBuffers(double** hostInputs, double** hostOutputs, int frameOffset);
  // After ProcessBlock: n samples of every connected output to the remembered
  // host pointer at frameOffset, replacing or adding. [audio, lock]
  void WriteFloatOutputs(int frameOffset, int n, bool accumulate);
  double** InputPointers() { return inPointers_.data(); }
  double** OutputPointers() { return outPointers_.data(); }

 protected:
  void SetHostKind(int kind) { hostKind_ = kind; }
  void SetHostVersion(int version) { hostVersion_ = version; }

  int formatCode_ = 0;

 private:
  std::vector<IChannelPair*> channelIO_;
  std::recursive_mutex mutex_;
  std::string effectName_;
  std::string productName_;
  std::string makerName_;
  int uniqueId_ = 0;
  int version_ = 0;
  int hostKind_ = -1;
  int hostVersion_ = 0;
  bool isInstrument_ = false;
  bool doesMidi_ = true;
  int currentPreset_ = 0;
  double sampleRate_ = 44100.0;
  int blockSize_ = 0;
  int latency_ = 0;
  int tailSize_ = 0;
  std::vector<IParameter*> params_;
  IPlugEditor* editor_ = nullptr;
  std::vector<IPresetSlot*> presets_;
  std::vector<double*> inPointers_;
  std::vector<double*> outPointers_;
  std::vector<IInputChannel*> inChannels_;
  std::vector<IOutputChannel*> outChannels_;
};

}  // namespace plug
