// The CLAP binding: owns one product instance and the clap_plugin record the
// host sees, answers the plug-in's extensions (audio and note ports, params,
// state, GUI with timer and fd support, latency, tail, render, preset load),
// and gives the instance its host services through the host's extensions.
//
// Threads, as CLAP states them: main-thread functions run with the main role,
// the process functions (and flush while active) with the audio role, so the
// base's contracts check both. Every entry holds the instance lock for its
// whole run, as the VST 2 binding does, except the GUI's window calls
// (IPlugBase::HostOpenEditor). Host input is checked here, at the entries.
//
// Edits from the editor cross to the audio side in a fixed ring (main thread
// in, process or flush out) and leave as gesture-begin, value and gesture-end
// events; a value a mapped MIDI controller sets inside process leaves at once,
// marked not to be recorded.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "plug/IHostServices.h"
#include "plug/IPlugBase.h"
#include "plug/clap/ClapAbi.h"
#include "plug/clap/ClapEditQueue.h"

namespace plug {

class IPlugClap : public IHostServices {
 public:
  // Largest piece the scratch buffers are sized for; longer process calls
  // (and hosts announcing more) are processed in pieces of this size.
  static constexpr int kMaxBlockSize = 65536;

  // Binds plugin (made by plug::CreatePlugin, owned from here on) to host.
  // Calls nothing of the host: CLAP allows that only from init. [main]
  IPlugClap(const clap::Host* host, IPlugBase* plugin);
  ~IPlugClap() override;  // deletes the instance [main]
  IPlugClap(const IPlugClap&) = delete;
  IPlugClap& operator=(const IPlugClap&) = delete;

  const clap::Plugin* ClapPlugin() const { return &clapPlugin_; }
  IPlugBase* Plugin() const { return plugin_; }

  // Host services, through the host's extensions.
  int FormatCode() const override { return kFormatClap; }
  void BeginParamGesture(int paramIndex) override;
  void NotifyHostParamValue(int paramIndex, double normalized) override;
  void EndParamGesture(int paramIndex) override;
  void NotifyHostDisplayChanged() override;
  bool IsOfflineRender() override;
  void GetTransportInfo(ITransportInfo* info) override;
  void GetHostProduct(char* product, int capacity, int* version) override;
  void ResizeEditor(int width, int height) override;
  // request_resize: false without a created editor or the host's gui
  // extension, or when the host refuses. [main]
  bool RequestEditorResize(int width, int height) override;
  bool SendMidiToHost(const IMidiMessage* msg) override;
  bool SendSysExToHost(const ISysExMessage* msg) override;
  void SetLatencySamples(int samples) override;

  // Parameter values as CLAP exchanges them: enumerations, switches and
  // integers in their plain range (hosts show steps and menus), continuous
  // parameters normalised 0..1 so that host knobs and automation follow the
  // same curve as the VST 2 build. [any thread]
  static bool IsSteppedParam(const IParameter* param);
  static double ClapValueOf(const IParameter* param, double plain);
  static double ClapValueFromNormalized(const IParameter* param, double normalized);
  static double NormalizedFromClap(const IParameter* param, double value);

  // The extension tables, one per file (IPlugClap*.cpp).
  static const clap::PluginAudioPorts kAudioPorts;
  static const clap::PluginNotePorts kNotePorts;
  static const clap::PluginParams kParams;
  static const clap::PluginState kState;
  static const clap::PluginGui kGui;
  static const clap::PluginTimerSupport kTimerSupport;
  static const clap::PluginPosixFdSupport kPosixFdSupport;
  static const clap::PluginLatency kLatency;
  static const clap::PluginTail kTail;
  static const clap::PluginRender kRender;
  static const clap::PluginPresetLoad kPresetLoad;

  // The tail after silent input, in samples at the current rate. [any thread]
  std::uint32_t TailSamples() const;

 private:
  static IPlugClap* From(const clap::Plugin* plugin);

  // clap_plugin functions.
  static bool CLAP_CALL Init(const clap::Plugin* plugin);
  static void CLAP_CALL Destroy(const clap::Plugin* plugin);
  static bool CLAP_CALL Activate(const clap::Plugin* plugin, double sampleRate,
                                 std::uint32_t minFrames, std::uint32_t maxFrames);
  static void CLAP_CALL Deactivate(const clap::Plugin* plugin);
  static bool CLAP_CALL StartProcessing(const clap::Plugin* plugin);
  static void CLAP_CALL StopProcessing(const clap::Plugin* plugin);
  static void CLAP_CALL Reset(const clap::Plugin* plugin);
  static std::int32_t CLAP_CALL ProcessEntry(const clap::Plugin* plugin,
                                             const clap::Process* process);
  static const void* CLAP_CALL GetExtension(const clap::Plugin* plugin, const char* id);
  static void CLAP_CALL OnMainThread(const clap::Plugin* plugin);

  // Extension functions (their tables above).
  static std::uint32_t CLAP_CALL AudioPortCount(const clap::Plugin* plugin, bool isInput);
  static bool CLAP_CALL AudioPortGet(const clap::Plugin* plugin, std::uint32_t index, bool isInput,
                                     clap::AudioPortInfo* info);
  static std::uint32_t CLAP_CALL NotePortCount(const clap::Plugin* plugin, bool isInput);
  static bool CLAP_CALL NotePortGet(const clap::Plugin* plugin, std::uint32_t index, bool isInput,
                                    clap::NotePortInfo* info);
  static std::uint32_t CLAP_CALL ParamCount(const clap::Plugin* plugin);
  static bool CLAP_CALL ParamGetInfo(const clap::Plugin* plugin, std::uint32_t index,
                                     clap::ParamInfo* info);
  static bool CLAP_CALL ParamGetValue(const clap::Plugin* plugin, clap::Id id, double* value);
  static bool CLAP_CALL ParamValueToText(const clap::Plugin* plugin, clap::Id id, double value,
                                         char* text, std::uint32_t capacity);
  static bool CLAP_CALL ParamTextToValue(const clap::Plugin* plugin, clap::Id id, const char* text,
                                         double* value);
  static void CLAP_CALL ParamFlush(const clap::Plugin* plugin, const clap::InputEvents* in,
                                   const clap::OutputEvents* out);
  static bool CLAP_CALL StateSave(const clap::Plugin* plugin, const clap::OStream* stream);
  static bool CLAP_CALL StateLoad(const clap::Plugin* plugin, const clap::IStream* stream);
  static bool CLAP_CALL GuiIsApiSupported(const clap::Plugin* plugin, const char* api,
                                          bool isFloating);
  static bool CLAP_CALL GuiGetPreferredApi(const clap::Plugin* plugin, const char** api,
                                           bool* isFloating);
  static bool CLAP_CALL GuiCreate(const clap::Plugin* plugin, const char* api, bool isFloating);
  static void CLAP_CALL GuiDestroy(const clap::Plugin* plugin);
  static bool CLAP_CALL GuiSetScale(const clap::Plugin* plugin, double scale);
  static bool CLAP_CALL GuiGetSize(const clap::Plugin* plugin, std::uint32_t* width,
                                   std::uint32_t* height);
  static bool CLAP_CALL GuiCanResize(const clap::Plugin* plugin);
  static bool CLAP_CALL GuiGetResizeHints(const clap::Plugin* plugin, clap::GuiResizeHints* hints);
  static bool CLAP_CALL GuiAdjustSize(const clap::Plugin* plugin, std::uint32_t* width,
                                      std::uint32_t* height);
  static bool CLAP_CALL GuiSetSize(const clap::Plugin* plugin, std::uint32_t width,
                                   std::uint32_t height);
  static bool CLAP_CALL GuiSetParent(const clap::Plugin* plugin, const clap::Window* window);
  static bool CLAP_CALL GuiSetTransient(const clap::Plugin* plugin, const clap::Window* window);
  static void CLAP_CALL GuiSuggestTitle(const clap::Plugin* plugin, const char* title);
  static bool CLAP_CALL GuiShow(const clap::Plugin* plugin);
  static bool CLAP_CALL GuiHide(const clap::Plugin* plugin);
  static void CLAP_CALL OnTimer(const clap::Plugin* plugin, clap::Id timerId);
  static void CLAP_CALL OnFd(const clap::Plugin* plugin, int fd, std::uint32_t flags);
  static std::uint32_t CLAP_CALL LatencyGet(const clap::Plugin* plugin);
  static std::uint32_t CLAP_CALL TailGet(const clap::Plugin* plugin);
  static bool CLAP_CALL RenderHasHardRealtimeRequirement(const clap::Plugin* plugin);
  static bool CLAP_CALL RenderSet(const clap::Plugin* plugin, std::int32_t mode);
  static bool CLAP_CALL PresetLoadFromLocation(const clap::Plugin* plugin,
                                               std::uint32_t locationKind, const char* location,
                                               const char* loadKey);

  InstanceMutex& Mutex() { return plugin_->Mutex(); }
  // Queries the host's extensions (from init on).
  void QueryHostExtensions();
  // A main-thread function called on another thread, as the host's thread
  // check sees it: told to the host's log. [main]
  void CheckMainThread(const char* function);

  // Processing (IPlugClapProcess.cpp). [audio, lock]
  std::int32_t Process(const clap::Process* process);
  void ApplyEvent(const clap::EventHeader* event);
  void ApplyParamValue(const clap::EventParamValue* event);
  void ApplyNote(const clap::EventNote* event);
  void ProcessPiece(const clap::Process* process, int offset, int frames, bool useDouble);
  // Editor edits waiting in the ring, out as events at time 0.
  void DrainEdits(const clap::OutputEvents* out);
  bool PushParamValue(const clap::OutputEvents* out, int index, double clapValue,
                      std::uint32_t flags, std::uint32_t time);
  void RequestFlush();

  // Editor (IPlugClapGui.cpp). [main]
  bool OpenEditor(const clap::Window* window);
  void CloseEditor();
  void PumpEditor();
  void WatchEditorFd();

  IPlugBase* plugin_;  // owned
  const clap::Host* host_;
  clap::Plugin clapPlugin_{};

  // The host's extensions, null where it has none (queried in init).
  const clap::HostParams* hostParams_ = nullptr;
  const clap::HostState* hostState_ = nullptr;
  const clap::HostGui* hostGui_ = nullptr;
  const clap::HostTimerSupport* hostTimer_ = nullptr;
  const clap::HostPosixFdSupport* hostFd_ = nullptr;
  const clap::HostLatency* hostLatency_ = nullptr;
  const clap::HostThreadCheck* hostThreadCheck_ = nullptr;
  const clap::HostLog* hostLog_ = nullptr;
  const clap::HostPresetLoad* hostPresetLoad_ = nullptr;

  bool initialized_ = false;
  bool active_ = false;
  bool processing_ = false;
  std::atomic<bool> offline_{false};

  // During a process call: the host's output list, the transport in force
  // (the host's, or the last transport event's copy), and the piece's first
  // frame. Null / 0 outside. [audio, lock]
  const clap::OutputEvents* outEvents_ = nullptr;
  // The thread inside a process call (none outside): a value the plug-in
  // sets from there goes straight to outEvents_. [any thread]
  std::atomic<std::thread::id> processThread_{};
  const clap::EventTransport* transport_ = nullptr;
  clap::EventTransport transportCopy_{};
  int pieceOffset_ = 0;
  int transportFrame_ = 0;  // the frame transport_ describes
  // Silence for a host that gives no input port, one piece long.
  std::vector<double> silence_;
  std::vector<float> silenceFloat_;

  ClapEditQueue edits_;

  // The editor's window and the host's timer and fd watch for it. [main]
  bool guiCreated_ = false;
  bool timerRegistered_ = false;
  clap::Id timerId_ = clap::kInvalidId;
  int watchedFd_ = -1;
};

}  // namespace plug
