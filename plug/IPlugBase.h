// The format-independent core of a plug-in instance: identity, parameters,
// presets, audio channels with their conversion buffers, processing settings
// and the editor pointer, all guarded by one recursive lock per instance.
// It is the product's only view of a host.
//
// THE SEAM
//   The product (effect::Effect, then Quillet) derives from IPlugBase and
//   knows no plug-in format. Each format is a binding in plug/<format>/: an
//   adapter that owns one product instance and drives it through the entries
//   below, and that implements IHostServices (IHostServices.h) for it.
//
//   Creating. The binding calls plug::CreatePlugin() (PluginFactory.h; the
//   product defines it) once per instance; the instance is fully built then:
//   parameters, the ten presets, the editor object (GetEditor, 984 x 432, or
//   null without a window system). The binding sets what its format decides
//   (channel connections with SetInputConnections / SetOutputConnections, the
//   block size, the sample rate), fills preset slots the product left empty
//   (MakeDefaultPresets("Empty", NPresets()), as the VST 2 entry does), and
//   hands the instance its services (SetHostServices) before any host call
//   can happen. Deleting: close the editor first (HostCloseEditor), take and
//   release the lock to wait for a running entry, then delete the instance;
//   the services must stay valid until the deletion has returned.
//
//   Calling. A binding calls only the Host... entries and the non-virtual
//   operations (names, parameters, presets, channels, buffers), never the
//   virtuals directly. Each entry states its contract, checked in check builds
//   (ThreadContract.h): [main] or [audio] thread, lock held or not. The
//   binding holds the instance lock (Mutex(), an InstanceLock) around every
//   entry tagged "lock", and says which thread a call comes on with a
//   ScopedThreadRole where its format tells (VST 2: its process entries are
//   audio; CLAP and VST 3: every call). Nothing may throw across the host
//   boundary: a binding catches at its own entry points.
//
//   Format codes: PlugFormat in IHostServices.h (VST 2 0, VST 3 1, CLAP 4,
//   LV2 5). The base stores the binding's code when the services are set;
//   the Windows editor grows the host's parent windows on a resize only for
//   VST 2, whose hosts expect it; the others size their own windows.
//
//   Processing. Per block, under the lock on the audio thread: point the
//   channels at the host's buffers (AttachDoubleBuffers, or AttachInputBuffers
//   / AttachOutputBuffers / WriteFloatOutputs for 32-bit hosts), deliver the
//   block's MIDI (HostMidi, offsets within the block), then HostProcess with
//   InputPointers() / OutputPointers(). A block never exceeds GetBlockSize():
//   split longer ones (the VST 2 binding shows how, also for the transport of
//   each piece). Formats that apply events at their sample offsets split the
//   block at each event (or parameter change) and deliver it at offset 0 of
//   its piece: the sound is then identical to VST 2's for events on a block
//   start. GetTransportInfo (the services) must answer for the current piece.
//
//   Parameters from the host: HostSetParameter(index, normalised) is VST 2's
//   setParameter: the editor is told first (SetParameterFromPlugin), then the
//   value is set (stepped kinds round) and OnParamChanged runs. The host is
//   not told back. HostSetParameterText parses a display text as VST 2's
//   effString2Parameter does; IParameter::FormatValue gives display texts.
//   Index i is the parameter's stable id in every format.
//
//   State: HostSaveChunk / HostLoadChunk write and read the chunks VST 2
//   hosts store (layouts in IPlugBasePresets.cpp). New formats store the bank
//   chunk (every preset, the live values kept in the current one) and the
//   current preset index, so a project carries exactly what a VST 2 project
//   does: HostSaveState and HostLoadState (FormatState.h) write and read that,
//   all or nothing. HostLoadChunk keeps what it read of a cut chunk, as VST 2
//   hosts expect; HostImportChunk loads a VST 2 chunk handed to a newer
//   format only when it is whole.
//
//   The editor: HostOpenEditor(parent window: HWND on Windows, X window id on
//   Linux), HostCloseEditor, both without the lock on the main thread. On
//   Linux nothing runs on a thread of ours: the host pumps the editor with
//   HostEditorEvents from its idle call, its timer
//   (IPlugEditor::EventIntervalMs) and its watch on
//   IPlugEditor::EventFileDescriptor() (valid while the window is open; ask
//   again after each pump and after opening, it goes away with the window).
//   HostIdle (the lamp and other idle work) runs under the lock from the
//   host's idle or timer. Edits reach the host as BeginParamGesture,
//   NotifyHostParamValue and EndParamGesture of the services, on the main
//   thread, each begin with exactly one end.
//
//   EDITOR SCALE. The editor draws at 100, 150 or 200 %; its size queries
//   (GetEditor()->Width(), Height()) answer the window's size in device
//   pixels at that scale, so a binding answers its format's size query from
//   them every time it is asked (never from a copy kept since creation).
//   What each binding calls:
//     - the host's scale, whenever the host gives or changes it:
//       HostSetEditorScale(scale), scale 1.0 = 100 %. Where it comes from:
//         CLAP   clap_plugin_gui.set_scale(scale)         (answer its result)
//         VST 3  IPlugViewContentScaleSupport::setContentScaleFactor(f)
//         LV2    the ui:scaleFactor option (LV2_OPTIONS__interface / the
//                options feature at instantiate, and options set later)
//         VST 2  none: the editor follows the system's scale.
//     - the size queries: Width() x Height() of GetEditor():
//         CLAP get_size, VST 3 IPlugView::getSize (and the size given to
//         IPlugFrame::resizeView), LV2 the ui:resize feature's ui_resize()
//         after instantiate, VST 2 effEditGetRect.
//     - the resize request: the binding implements
//       IHostServices::RequestEditorResize(width, height) -> bool:
//         CLAP   clap_host_gui.request_resize(host, w, h)
//         VST 3  IPlugFrame::resizeView(view, rect) == kResultTrue
//         LV2    ui:resize's ui_resize(handle, w, h) == 0
//         VST 2  audioMasterSizeWindow (plug/vst2, returns non-zero)
//       answering false when the host refuses or cannot be asked: the
//       editor then stays at its old scale and size. Inside the request the
//       editor's Width()/Height() already answer the new size (hosts that
//       ask the size again from inside the request see it).
//     - a host that resizes on its own (CLAP set_size, VST 3 onSize) gets no
//       free sizing: answer with the editor's Width() x Height() (CLAP
//       adjust_size, can_resize false; VST 3 canResize kResultFalse).
//
// Thread tags of the virtuals:
//   [audio]       called from the host's audio thread inside a process entry;
//                 must not allocate, wait on anything but the instance lock,
//                 or log.
//   [main]        called from the host's user-interface thread.
//   [any thread]  either of them, or a host's own worker thread.
//   [lock]        the instance lock is held by the caller; "takes the lock"
//                 means the operation takes it itself.
#pragma once

#include <string>
#include <vector>

#include "plug/HostTypes.h"
#include "plug/IHostServices.h"
#include "plug/IParameter.h"
#include "plug/IPlugEditor.h"
#include "plug/IPresetSlot.h"
#include "plug/InstanceMutex.h"
#include "plug/StateChunk.h"
#include "plug/ThreadContract.h"

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

  // ---- Virtual operations, in slot order ---------------------------------

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
  // Lock: held when the binding's idle entry calls it, not when the editor's
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
  // Host services: each forwards to the IHostServices the binding set, and
  // does nothing (answers no) without one. Tags as there.
  virtual void BeginParamGesture(int paramIndex);                        // [main]
  virtual void NotifyHostParamValue(int paramIndex, double normalized);  // [any thread]
  virtual void EndParamGesture(int paramIndex);                          // [main]
  virtual void NotifyHostDisplayChanged();                               // [main]
  virtual bool IsOfflineRender();                                        // [audio or main]
  // The host's transport during processing; inside a call longer than the
  // announced block, as it stands at the current piece. [audio, lock]
  virtual int GetSamplePosition();
  virtual double GetHostTempo();
  virtual void GetTimeSignature(int* numerator, int* denominator);
  virtual void GetTransportInfo(ITransportInfo* info);
  // The first call with services set asks the host (its product name, from
  // which HostIdentification.h finds the kind). [main, lock]
  virtual int GetHostKind();
  virtual int GetFormatCode() { return formatCode_; }  // [any thread]
  // Tells the host the editor's current size (the arguments are not used),
  // after OnEditorResized. [main]
  virtual void ResizeEditor(int width, int height);
  // The editor asks the host to give its window this size in device pixels
  // (a scale change): true when the host agreed, and the editor then takes
  // the size; false keeps the old size. True without services (no host to
  // ask). Not a virtual of the slot table. [main]
  bool RequestEditorResize(int width, int height);
  // Once per instance, when the host first opens it: identifies the host
  // (GetHostKind), limits the channels to stereo for the hosts that need it,
  // then OnHostKnown. [main, lock]
  virtual void InitForHost();
  // Binds the editor: every control shows its parameter's value. Takes
  // ownership. [main, takes the lock]
  virtual void AttachEditor(IPlugEditor* editor);
  virtual void SetLatencySamples(int samples);             // [main, lock]
  virtual bool SendMidiToHost(const IMidiMessage* msg);    // [audio or main, lock]
  virtual bool SendSysExToHost(const ISysExMessage* msg);  // [audio or main, lock]
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

  // ---- Virtuals outside the slot table ----------------------------------

  // MIDI learn set from a binding (a MidiLearnMode, IHostServices.h): the
  // mode the editor's switch chose, on the instance that processes, or the
  // mode that instance reports, shown on an editor that learns elsewhere.
  // The base has no learning: it ignores the mode and answers off.
  virtual void OnHostMidiLearn(int mode) {}                       // [any thread, lock]
  virtual int GetMidiLearnMode() const { return kMidiLearnOff; }  // [any thread, lock]

  // ---- Binding entries ---------------------------------------------------
  // What a format binding calls. Each checks its contract in check builds,
  // then runs the operation named on the right.

  // Before any other entry, and null before the services go away. [main]
  void SetHostServices(IHostServices* services);
  IHostServices* HostServices() const { return services_; }

  void HostInit() {  // InitForHost
    Expect(kMainLocked, "InitForHost");
    InitForHost();
  }
  void HostSetSampleRate(double rate) {  // ChangeSampleRate
    Expect(kMainLocked, "ChangeSampleRate");
    ChangeSampleRate(rate);
  }
  void HostSetBlockSize(int frames) {  // ChangeBlockSize
    Expect(kMainLocked, "ChangeBlockSize");
    ChangeBlockSize(frames);
  }
  void HostReset() {  // OnReset
    Expect(kMainLocked, "OnReset");
    OnReset();
  }
  void HostActivate(bool active) {  // OnActivation
    Expect(kMainLocked, "OnActivation");
    OnActivation(active);
  }
  void HostIdle() {  // OnHostIdle
    Expect(kMainLocked, "OnHostIdle");
    OnHostIdle();
  }
  void HostProcess(double** inputs, double** outputs, int frames) {  // ProcessBlock
    Expect(kAudioLocked, "ProcessBlock");
    ProcessBlock(inputs, outputs, frames);
  }
  void HostMidi(const IMidiMessage* msg) {  // OnMidiMessage
    Expect(kAnyLocked, "OnMidiMessage");
    OnMidiMessage(msg);
  }
  void HostSysEx(const ISysExMessage* msg) {  // OnSysEx
    Expect(kAnyLocked, "OnSysEx");
    OnSysEx(msg);
  }
  bool HostMidiNoteName(int note, char* name) {  // GetMidiNoteName
    Expect(kMainLocked, "GetMidiNoteName");
    return GetMidiNoteName(note, name);
  }
  void HostParamsChanged() {  // OnParamChanged for every parameter, in order
    Expect(kAnyLocked, "OnParamChanged");
    NotifyAllParamsChanged();
  }
  void HostRefreshControls() {  // RefreshParamControls
    Expect(kMainLocked, "RefreshParamControls");
    RefreshParamControls();
  }
  // The live values stay in the current preset, then preset index is loaded
  // (an index naming no preset loads nothing). [main, lock]
  void HostSelectPreset(int index);
  // Renames the current preset (keeping its name for an empty one) and keeps
  // the live values in it; OnPresetsChanged. [main, lock]
  void HostRenamePreset(const char* name);
  // A normalised value from the host: the editor shows it, the parameter
  // takes it, OnParamChanged. An index naming no parameter does nothing.
  // [any thread, lock]
  void HostSetParameter(int index, double normalized);
  // A plain value from a host whose format carries plain values (LV2): the
  // editor shows it, the parameter takes it exactly (stepped kinds rounded to
  // their step, then clamped), OnParamChanged. An index naming no parameter,
  // or a value that is not a number, does nothing. [any thread, lock]
  void HostSetParameterPlain(int index, double plain);
  // A display text from the host (IParameter::PlainFromText): the editor
  // shows the value, the parameter takes it clamped, OnParamChanged. False
  // and nothing changed for an unknown index or text. [any thread, lock]
  bool HostSetParameterText(int index, const char* text);
  // A chunk as VST 2 hosts store it (the buffer is cleared first): the bank
  // (every preset, the live values kept in the current one) or the program
  // (the live values and the current preset's name). True when written.
  // [main, lock]
  bool HostSaveChunk(StateChunk* chunk, bool bank);
  // Reads a chunk written by HostSaveChunk, or bare parameter values without
  // the header; a bank is read as a program when its header is missing or
  // older. Returns the position after what was read, or -1 when something
  // was missing (what was read stays applied). Does not refresh the editor
  // (HostRefreshControls). [main, lock]
  int HostLoadChunk(const StateChunk* chunk, bool bank);
  // The state of the newer formats (FormatState.h): the bank chunk and the
  // current preset's index. True when written. [main, lock]
  bool HostSaveState(StateChunk* chunk);
  // Loads a whole format state, all or nothing: anything else (cut short,
  // longer, another layout, an index naming no preset) is refused before a
  // value changes. On success every preset, the current one and the live
  // values are the saved ones and the editor shows them. [main, lock]
  bool HostLoadState(const StateChunk* chunk);
  // A VST 2 program or bank chunk handed to a newer format (projects made
  // with the VST 2 build), all or nothing: loaded as HostLoadChunk loads it
  // when it is whole, refused unchanged otherwise. The editor shows the
  // result. [main, lock]
  bool HostImportChunk(const StateChunk* chunk, bool bank);
  // The editor's window in the host's parent window, and OnEditorOpened;
  // false without an editor or when no window could be made. [main, without
  // the lock]
  bool HostOpenEditor(void* parentWindow);
  // OnEditorClosing when a window is open, then the window goes; false
  // without an editor. [main, without the lock]
  bool HostCloseEditor();
  // The editor's events and redraw, for hosts that drive them (effEditIdle, a
  // timer or a file-descriptor watch of the host). [main, without the lock]
  void HostEditorEvents();
  // The host's scale for the editor, 1.0 for 100 % (see EDITOR SCALE above):
  // taken to the nearest of 100, 150 and 200 %; unless the user chose a size,
  // the editor follows it, asking the host for the new window size through
  // RequestEditorResize when a window is open. False without an editor or
  // for a scale that is not a positive finite number of at most 8. [main,
  // without the lock]
  bool HostSetEditorScale(double scale);
  // MIDI learn from a binding whose editor works on an instance of its own
  // (see IHostServices::LearnsElsewhere): the mode to take or to show, and
  // the mode the instance is in now (learning ends on its own when it
  // finishes). [any thread, lock]
  void HostSetMidiLearn(int mode) {  // OnHostMidiLearn
    Expect(kAnyLocked, "OnHostMidiLearn");
    OnHostMidiLearn(mode);
  }
  int HostMidiLearnMode() {  // GetMidiLearnMode
    Expect(kAnyLocked, "GetMidiLearnMode");
    return GetMidiLearnMode();
  }

  // ---- Non-virtual services ------------------------------------------------

  InstanceMutex& Mutex() { return mutex_; }

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

 private:
  // Tests a binding entry's contract for the calling thread (check builds).
  void Expect(const Contract& contract, const char* operation) const {
#if QUILLET_CONTRACT_CHECKS
    CheckContract(contract, mutex_.IsHeldByCurrentThread(), operation);
#endif
  }

  std::vector<IChannelPair*> channelIO_;
  InstanceMutex mutex_;
  std::string effectName_;
  std::string productName_;
  std::string makerName_;
  int uniqueId_ = 0;
  int version_ = 0;
  int formatCode_ = kFormatVst2;
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
  IHostServices* services_ = nullptr;  // not owned
};

}  // namespace plug
