// A small CLAP host that loads a .clap binary the way a real host does (the
// library, clap_entry, init, the plug-in factory, one instance) and drives it
// through the format's own functions: activation, process calls with events
// and transport, the plug-in's extensions. Its host side answers the host
// extensions a plug-in may use (params, state, gui, timer and fd support,
// latency, tail, thread check, log, preset load) and records what the plug-in
// asks for, so tests can check it.
//
// Threads: the thread that loads is the main thread; process calls mark
// their thread as the audio thread for the thread check.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "plug/clap/ClapAbi.h"
#include "tools/claphost/ClapEvents.h"
#include "tools/vsthost/PluginLibrary.h"

namespace claphost {

// What the plug-in told its host.
struct HostRecord {
  int requestFlush = 0;
  int requestRestart = 0;
  int requestProcess = 0;
  int requestCallback = 0;
  int markDirty = 0;
  std::vector<std::uint32_t> rescans;  // params rescan flags, in order
  // request_resize's sizes, and the plug-in's get_size answer inside each.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> resizeRequests;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> sizeDuringResize;
  int guiClosed = 0;
  std::vector<std::string> logs;
  std::vector<std::string> presetsLoaded;  // load keys
  std::vector<std::string> presetErrors;
  int offThreadCalls = 0;  // host functions a plug-in called on a wrong thread
};

// One preset a preset-discovery provider listed.
struct DiscoveredPreset {
  std::string name;
  std::string loadKey;
  std::uint32_t locationKind = 0;
  std::vector<std::string> pluginIds;  // "abi:id"
};

class ClapPluginHost {
 public:
  explicit ClapPluginHost(const std::string& hostName = "quillet-claphost");
  ~ClapPluginHost();  // destroys the instance and unloads
  ClapPluginHost(const ClapPluginHost&) = delete;
  ClapPluginHost& operator=(const ClapPluginHost&) = delete;

  // Loads the binary, checks clap_entry and initialises it; false with a
  // one-line reason.
  bool load(const std::string& path, std::string* errorText);
  const clap::PluginEntry* entry() const { return entry_; }
  const clap::PluginFactory* factory() const { return factory_; }
  // Makes the instance (the first descriptor's, or pluginId) and inits it.
  bool create(std::string* errorText, const char* pluginId = nullptr);
  // Destroys the instance (deactivating first, as a host must).
  void destroy();
  // destroy, deinit, unload.
  void unload();

  const clap::Plugin* plugin() const { return plugin_; }
  template <typename T>
  const T* extension(const char* id) const {
    return plugin_ ? static_cast<const T*>(plugin_->getExtension(plugin_, id)) : nullptr;
  }
  const clap::PluginParams* params() const { return params_; }
  const clap::PluginState* state() const { return state_; }
  const clap::PluginGui* gui() const { return gui_; }

  // Life cycle.
  bool activate(double rateHz, std::uint32_t minFrames, std::uint32_t maxFrames);
  bool startProcessing();
  void stopProcessing();
  void deactivate();
  bool isActive() const { return active_; }
  bool isProcessing() const { return processing_; }

  // The events and transport of the next process call.
  InputEventList& input() { return input_; }
  OutputEventList& output() { return output_; }
  // Null for a free-running host.
  void setTransport(const clap::EventTransport* transport);
  // One process call over the given channel pointers (two each way); the
  // input list is cleared afterwards, the output list keeps what came.
  std::int32_t processDouble(double** inputs, double** outputs, std::uint32_t frames);
  std::int32_t processFloat(float** inputs, float** outputs, std::uint32_t frames);
  // params flush with the input list (cleared afterwards).
  void flush();

  // Parameters as a host handles them.
  struct ParamInfo {
    clap::Id id;
    std::uint32_t flags;
    std::string name;
    std::string module;
    double min, max, def;
  };
  std::vector<ParamInfo> paramInfos() const;
  double paramValue(clap::Id id) const;
  std::string paramText(clap::Id id, double value) const;
  bool paramFromText(clap::Id id, const std::string& text, double* value) const;

  // State through the state extension; bytes in, bytes out.
  bool saveState(std::vector<std::uint8_t>* bytes, std::size_t maxPerCall = 0);
  bool loadState(const std::vector<std::uint8_t>& bytes, std::size_t maxPerCall = 0);

  // The presets the library's preset-discovery factory lists; false when it
  // has none or a provider fails.
  bool discoverPresets(std::vector<DiscoveredPreset>* presets, std::string* errorText);
  bool loadPreset(std::uint32_t kind, const char* location, const char* loadKey);

  // The editor, embedded in parent (X window id or HWND), given the host's
  // scale (setGuiScale, 1.0 by default) before its size is asked. The host's
  // timers and watched descriptors are kept here and run by pumpGui.
  bool openGui(void* parent);
  void setGuiScale(double scale) { guiScale_ = scale; }
  // request_resize's answer (false, a host that refuses, by default).
  void setResizeAnswer(bool accept) { resizeAnswer_ = accept; }
  void closeGui();
  // Every registered timer once, and each watched descriptor that is
  // readable (POSIX; waits up to waitMs for one).
  void pumpGui(int waitMs = 0);
  std::size_t timerCount() const { return timers_.size(); }
  std::size_t fdCount() const { return fds_.size(); }
  const std::map<int, std::uint32_t>& fds() const { return fds_; }

  HostRecord& record() { return record_; }
  // Host extensions the host answers (all by default); a name listed here
  // is answered null, as by a host without it.
  void withhold(const std::string& extensionId) { withheld_.push_back(extensionId); }

 private:
  static ClapPluginHost* From(const clap::Host* host);
  static const void* CLAP_CALL GetExtension(const clap::Host* host, const char* id);
  static void CLAP_CALL RequestRestart(const clap::Host* host);
  static void CLAP_CALL RequestProcess(const clap::Host* host);
  static void CLAP_CALL RequestCallback(const clap::Host* host);
  static void CLAP_CALL ParamsRescan(const clap::Host* host, std::uint32_t flags);
  static void CLAP_CALL ParamsClear(const clap::Host* host, clap::Id id, std::uint32_t flags);
  static void CLAP_CALL ParamsRequestFlush(const clap::Host* host);
  static void CLAP_CALL StateMarkDirty(const clap::Host* host);
  static void CLAP_CALL GuiResizeHintsChanged(const clap::Host* host);
  static bool CLAP_CALL GuiRequestResize(const clap::Host* host, std::uint32_t w, std::uint32_t h);
  static bool CLAP_CALL GuiRequestShow(const clap::Host* host);
  static bool CLAP_CALL GuiRequestHide(const clap::Host* host);
  static void CLAP_CALL GuiClosed(const clap::Host* host, bool wasDestroyed);
  static bool CLAP_CALL RegisterTimer(const clap::Host* host, std::uint32_t periodMs,
                                      clap::Id* timerId);
  static bool CLAP_CALL UnregisterTimer(const clap::Host* host, clap::Id timerId);
  static bool CLAP_CALL RegisterFd(const clap::Host* host, int fd, std::uint32_t flags);
  static bool CLAP_CALL ModifyFd(const clap::Host* host, int fd, std::uint32_t flags);
  static bool CLAP_CALL UnregisterFd(const clap::Host* host, int fd);
  static void CLAP_CALL LatencyChanged(const clap::Host* host);
  static void CLAP_CALL TailChanged(const clap::Host* host);
  static bool CLAP_CALL IsMainThread(const clap::Host* host);
  static bool CLAP_CALL IsAudioThread(const clap::Host* host);
  static void CLAP_CALL Log(const clap::Host* host, std::int32_t severity, const char* message);
  static void CLAP_CALL PresetOnError(const clap::Host* host, std::uint32_t kind,
                                      const char* location, const char* loadKey,
                                      std::int32_t osError, const char* message);
  static void CLAP_CALL PresetLoaded(const clap::Host* host, std::uint32_t kind,
                                     const char* location, const char* loadKey);

  template <typename Buffer>
  std::int32_t process(Buffer** inputs, Buffer** outputs, std::uint32_t frames);
  bool onMainThread() const { return std::this_thread::get_id() == mainThread_; }

  std::string name_;
  std::string path_;
  vsthost::PluginLibrary library_;
  const clap::PluginEntry* entry_ = nullptr;
  bool entryInitialised_ = false;
  const clap::PluginFactory* factory_ = nullptr;
  const clap::Plugin* plugin_ = nullptr;
  const clap::PluginParams* params_ = nullptr;
  const clap::PluginState* state_ = nullptr;
  const clap::PluginGui* gui_ = nullptr;
  const clap::PluginTimerSupport* timerSupport_ = nullptr;
  const clap::PluginPosixFdSupport* fdSupport_ = nullptr;
  clap::Host host_{};
  bool active_ = false;
  bool processing_ = false;
  bool guiCreated_ = false;
  double guiScale_ = 1.0;
  bool resizeAnswer_ = false;
  std::thread::id mainThread_;
  std::atomic<std::thread::id> audioThread_{};
  InputEventList input_;
  OutputEventList output_;
  clap::EventTransport transport_{};
  bool hasTransport_ = false;
  std::int64_t steadyTime_ = 0;
  std::map<clap::Id, std::uint32_t> timers_;
  clap::Id nextTimer_ = 1;
  std::map<int, std::uint32_t> fds_;
  HostRecord record_;
  std::vector<std::string> withheld_;
};

}  // namespace claphost
