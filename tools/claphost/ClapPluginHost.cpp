#include "tools/claphost/ClapPluginHost.h"

#include <cstring>

#include "tools/claphost/FdWait.h"

namespace claphost {

namespace {

std::string text(const char* s) { return s ? s : ""; }

struct Indexer {
  std::vector<clap::PresetDiscoveryLocation> locations;
  std::vector<std::string> locationStrings;
};

struct Receiver {
  std::vector<DiscoveredPreset>* presets;
  std::uint32_t kind;
  std::string error;
};

}  // namespace

ClapPluginHost::ClapPluginHost(const std::string& hostName)
    : name_(hostName), mainThread_(std::this_thread::get_id()) {
  host_.clapVersion = clap::kVersion;
  host_.hostData = this;
  host_.name = name_.c_str();
  host_.vendor = "Vellum Music";
  host_.url = "";
  host_.version = "1.1.2";
  host_.getExtension = GetExtension;
  host_.requestRestart = RequestRestart;
  host_.requestProcess = RequestProcess;
  host_.requestCallback = RequestCallback;
}

ClapPluginHost::~ClapPluginHost() { unload(); }

ClapPluginHost* ClapPluginHost::From(const clap::Host* host) {
  return host ? static_cast<ClapPluginHost*>(host->hostData) : nullptr;
}

bool ClapPluginHost::load(const std::string& path, std::string* errorText) {
  unload();
  if (!library_.open(path, errorText)) return false;
  entry_ = static_cast<const clap::PluginEntry*>(library_.findSymbol("clap_entry"));
  if (!entry_) {
    if (errorText) *errorText = "no clap_entry";
    library_.close();
    return false;
  }
  if (!clap::IsCompatible(entry_->clapVersion) || !entry_->init || !entry_->deinit ||
      !entry_->getFactory) {
    if (errorText) *errorText = "clap_entry of an incompatible version";
    entry_ = nullptr;
    library_.close();
    return false;
  }
  path_ = path;
  if (!entry_->init(path_.c_str())) {
    if (errorText) *errorText = "clap_entry init failed";
    entry_ = nullptr;
    library_.close();
    return false;
  }
  entryInitialised_ = true;
  factory_ = static_cast<const clap::PluginFactory*>(entry_->getFactory(clap::kPluginFactoryId));
  if (!factory_) {
    if (errorText) *errorText = "no plug-in factory";
    return false;
  }
  return true;
}

bool ClapPluginHost::create(std::string* errorText, const char* pluginId) {
  if (!factory_ || plugin_) return false;
  const clap::PluginDescriptor* descriptor =
      factory_->getPluginCount(factory_) > 0 ? factory_->getPluginDescriptor(factory_, 0) : nullptr;
  const char* id = pluginId ? pluginId : (descriptor ? descriptor->id : nullptr);
  if (!id) {
    if (errorText) *errorText = "no plug-in in the factory";
    return false;
  }
  plugin_ = factory_->createPlugin(factory_, &host_, id);
  if (!plugin_) {
    if (errorText) *errorText = std::string("create_plugin refused ") + id;
    return false;
  }
  if (!plugin_->init(plugin_)) {
    plugin_->destroy(plugin_);
    plugin_ = nullptr;
    if (errorText) *errorText = "plug-in init failed";
    return false;
  }
  params_ = extension<clap::PluginParams>(clap::kExtParams);
  state_ = extension<clap::PluginState>(clap::kExtState);
  gui_ = extension<clap::PluginGui>(clap::kExtGui);
  timerSupport_ = extension<clap::PluginTimerSupport>(clap::kExtTimerSupport);
  fdSupport_ = extension<clap::PluginPosixFdSupport>(clap::kExtPosixFdSupport);
  return true;
}

void ClapPluginHost::destroy() {
  if (!plugin_) return;
  if (guiCreated_) closeGui();
  if (processing_) stopProcessing();
  if (active_) deactivate();
  plugin_->destroy(plugin_);
  plugin_ = nullptr;
  params_ = nullptr;
  state_ = nullptr;
  gui_ = nullptr;
  timerSupport_ = nullptr;
  fdSupport_ = nullptr;
}

void ClapPluginHost::unload() {
  destroy();
  if (entry_ && entryInitialised_) entry_->deinit();
  entryInitialised_ = false;
  entry_ = nullptr;
  factory_ = nullptr;
  library_.close();
}

bool ClapPluginHost::activate(double rateHz, std::uint32_t minFrames, std::uint32_t maxFrames) {
  if (!plugin_ || active_) return false;
  active_ = plugin_->activate(plugin_, rateHz, minFrames, maxFrames);
  return active_;
}

bool ClapPluginHost::startProcessing() {
  if (!active_ || processing_) return false;
  audioThread_ = std::this_thread::get_id();
  processing_ = plugin_->startProcessing(plugin_);
  audioThread_ = std::thread::id();
  return processing_;
}

void ClapPluginHost::stopProcessing() {
  if (!processing_) return;
  audioThread_ = std::this_thread::get_id();
  plugin_->stopProcessing(plugin_);
  audioThread_ = std::thread::id();
  processing_ = false;
}

void ClapPluginHost::deactivate() {
  if (!active_) return;
  if (processing_) stopProcessing();
  plugin_->deactivate(plugin_);
  active_ = false;
}

void ClapPluginHost::setTransport(const clap::EventTransport* transport) {
  hasTransport_ = transport != nullptr;
  if (transport) transport_ = *transport;
}

template <typename Buffer>
std::int32_t ClapPluginHost::process(Buffer** inputs, Buffer** outputs, std::uint32_t frames) {
  if (!processing_) return clap::kProcessError;
  clap::AudioBuffer in{};
  clap::AudioBuffer out{};
  if constexpr (sizeof(Buffer) == sizeof(double)) {
    in.data64 = inputs;
    out.data64 = outputs;
  } else {
    in.data32 = inputs;
    out.data32 = outputs;
  }
  in.channelCount = 2;
  out.channelCount = 2;
  clap::Process p{};
  p.steadyTime = steadyTime_;
  p.framesCount = frames;
  p.transport = hasTransport_ ? &transport_ : nullptr;
  p.audioInputs = &in;
  p.audioOutputs = &out;
  p.audioInputsCount = 1;
  p.audioOutputsCount = 1;
  p.inEvents = input_.list();
  p.outEvents = output_.list();
  audioThread_ = std::this_thread::get_id();
  const std::int32_t status = plugin_->process(plugin_, &p);
  audioThread_ = std::thread::id();
  steadyTime_ += frames;
  input_.events().clear();
  return status;
}

std::int32_t ClapPluginHost::processDouble(double** inputs, double** outputs,
                                           std::uint32_t frames) {
  return process(inputs, outputs, frames);
}

std::int32_t ClapPluginHost::processFloat(float** inputs, float** outputs, std::uint32_t frames) {
  return process(inputs, outputs, frames);
}

void ClapPluginHost::flush() {
  if (!params_) return;
  if (active_) audioThread_ = std::this_thread::get_id();
  params_->flush(plugin_, input_.list(), output_.list());
  audioThread_ = std::thread::id();
  input_.events().clear();
}

std::vector<ClapPluginHost::ParamInfo> ClapPluginHost::paramInfos() const {
  std::vector<ParamInfo> infos;
  if (!params_) return infos;
  const std::uint32_t count = params_->count(plugin_);
  for (std::uint32_t i = 0; i < count; ++i) {
    clap::ParamInfo info{};
    if (!params_->getInfo(plugin_, i, &info)) continue;
    info.name[sizeof info.name - 1] = '\0';
    info.module[sizeof info.module - 1] = '\0';
    infos.push_back({info.id, info.flags, info.name, info.module, info.minValue, info.maxValue,
                     info.defaultValue});
  }
  return infos;
}

double ClapPluginHost::paramValue(clap::Id id) const {
  double value = 0.0;
  if (params_) params_->getValue(plugin_, id, &value);
  return value;
}

std::string ClapPluginHost::paramText(clap::Id id, double value) const {
  char buffer[256] = {};
  if (!params_ || !params_->valueToText(plugin_, id, value, buffer, sizeof buffer)) return "";
  buffer[sizeof buffer - 1] = '\0';
  return buffer;
}

bool ClapPluginHost::paramFromText(clap::Id id, const std::string& text, double* value) const {
  return params_ && params_->textToValue(plugin_, id, text.c_str(), value);
}

bool ClapPluginHost::saveState(std::vector<std::uint8_t>* bytes, std::size_t maxPerCall) {
  if (!state_) return false;
  MemoryOStream stream(maxPerCall);
  const bool ok = state_->save(plugin_, stream.stream());
  *bytes = stream.bytes;
  return ok;
}

bool ClapPluginHost::loadState(const std::vector<std::uint8_t>& bytes, std::size_t maxPerCall) {
  if (!state_) return false;
  MemoryIStream stream(bytes, maxPerCall);
  return state_->load(plugin_, stream.stream());
}

bool ClapPluginHost::discoverPresets(std::vector<DiscoveredPreset>* presets,
                                     std::string* errorText) {
  presets->clear();
  if (!entry_) return false;
  const void* raw = entry_->getFactory(clap::kPresetDiscoveryFactoryId);
  const auto* factory = static_cast<const clap::PresetDiscoveryFactory*>(raw);
  if (!factory) {
    if (errorText) *errorText = "no preset-discovery factory";
    return false;
  }
  Indexer indexerData;
  clap::PresetDiscoveryIndexer indexer{};
  indexer.clapVersion = clap::kVersion;
  indexer.name = name_.c_str();
  indexer.vendor = "";
  indexer.url = "";
  indexer.version = "1";
  indexer.indexerData = &indexerData;
  indexer.declareFiletype = [](const clap::PresetDiscoveryIndexer*,
                               const clap::PresetDiscoveryFiletype*) { return true; };
  indexer.declareLocation = [](const clap::PresetDiscoveryIndexer* self,
                               const clap::PresetDiscoveryLocation* location) {
    auto* data = static_cast<Indexer*>(self->indexerData);
    data->locations.push_back(*location);
    data->locationStrings.push_back(text(location->location));
    return true;
  };
  indexer.declareSoundpack = [](const clap::PresetDiscoveryIndexer*,
                                const clap::PresetDiscoverySoundpack*) { return true; };
  indexer.getExtension = [](const clap::PresetDiscoveryIndexer*, const char*) {
    return static_cast<const void*>(nullptr);
  };
  for (std::uint32_t p = 0; p < factory->count(factory); ++p) {
    const clap::PresetDiscoveryProviderDescriptor* descriptor = factory->getDescriptor(factory, p);
    if (!descriptor) return false;
    const clap::PresetDiscoveryProvider* provider =
        factory->create(factory, &indexer, descriptor->id);
    if (!provider) return false;
    bool ok = provider->init(provider);
    for (std::size_t l = 0; ok && l < indexerData.locations.size(); ++l) {
      Receiver receiverData{presets, indexerData.locations[l].kind, ""};
      clap::PresetDiscoveryMetadataReceiver receiver{};
      receiver.receiverData = &receiverData;
      receiver.onError = [](const clap::PresetDiscoveryMetadataReceiver* r, std::int32_t,
                            const char* message) {
        static_cast<Receiver*>(r->receiverData)->error = text(message);
      };
      receiver.beginPreset = [](const clap::PresetDiscoveryMetadataReceiver* r, const char* name,
                                const char* loadKey) {
        auto* data = static_cast<Receiver*>(r->receiverData);
        DiscoveredPreset preset;
        preset.name = text(name);
        preset.loadKey = text(loadKey);
        preset.locationKind = data->kind;
        data->presets->push_back(preset);
        return true;
      };
      receiver.addPluginId = [](const clap::PresetDiscoveryMetadataReceiver* r,
                                const clap::UniversalPluginId* id) {
        auto* data = static_cast<Receiver*>(r->receiverData);
        if (!data->presets->empty() && id)
          data->presets->back().pluginIds.push_back(text(id->abi) + ":" + text(id->id));
      };
      receiver.setSoundpackId = [](const clap::PresetDiscoveryMetadataReceiver*, const char*) {};
      receiver.setFlags = [](const clap::PresetDiscoveryMetadataReceiver*, std::uint32_t) {};
      receiver.addCreator = [](const clap::PresetDiscoveryMetadataReceiver*, const char*) {};
      receiver.setDescription = [](const clap::PresetDiscoveryMetadataReceiver*, const char*) {};
      receiver.setTimestamps = [](const clap::PresetDiscoveryMetadataReceiver*, std::uint64_t,
                                  std::uint64_t) {};
      receiver.addFeature = [](const clap::PresetDiscoveryMetadataReceiver*, const char*) {};
      receiver.addExtraInfo = [](const clap::PresetDiscoveryMetadataReceiver*, const char*,
                                 const char*) {};
      const char* location = indexerData.locations[l].kind == clap::kPresetLocationPlugin
                                 ? nullptr
                                 : indexerData.locationStrings[l].c_str();
      ok = provider->getMetadata(provider, indexerData.locations[l].kind, location, &receiver);
      if (!receiverData.error.empty() && errorText) *errorText = receiverData.error;
    }
    provider->destroy(provider);
    if (!ok) return false;
  }
  return true;
}

bool ClapPluginHost::loadPreset(std::uint32_t kind, const char* location, const char* loadKey) {
  const auto* load = extension<clap::PluginPresetLoad>(clap::kExtPresetLoad);
  return load && load->fromLocation(plugin_, kind, location, loadKey);
}

bool ClapPluginHost::openGui(void* parent) {
  if (!gui_ || guiCreated_) return false;
  const char* api = nullptr;
  bool floating = false;
  if (!gui_->getPreferredApi(plugin_, &api, &floating) || !api) return false;
  if (!gui_->isApiSupported(plugin_, api, false) || !gui_->create(plugin_, api, false))
    return false;
  guiCreated_ = true;
  gui_->setScale(plugin_, guiScale_);
  std::uint32_t width = 0, height = 0;
  if (!gui_->getSize(plugin_, &width, &height)) return false;
  clap::Window window{};
  window.api = api;
  if (std::strcmp(api, clap::kWindowApiX11) == 0) {
    window.x11 = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(parent));
  } else {
    window.win32 = parent;
  }
  if (!gui_->setParent(plugin_, &window)) return false;
  return gui_->show(plugin_);
}

void ClapPluginHost::closeGui() {
  if (!gui_ || !guiCreated_) return;
  gui_->hide(plugin_);
  gui_->destroy(plugin_);
  guiCreated_ = false;
}

void ClapPluginHost::pumpGui(int waitMs) {
  // Copies: a callback may register or unregister.
  const std::map<int, std::uint32_t> fds = fds_;
  for (const auto& fd : fds) {
    if (fdSupport_ && fdReadable(fd.first, waitMs))
      fdSupport_->onFd(plugin_, fd.first, clap::kFdRead);
  }
  const std::map<clap::Id, std::uint32_t> timers = timers_;
  for (const auto& timer : timers) {
    if (timerSupport_) timerSupport_->onTimer(plugin_, timer.first);
  }
}

// ---- The host's side -----------------------------------------------------------

const void* CLAP_CALL ClapPluginHost::GetExtension(const clap::Host* host, const char* id) {
  static const clap::HostParams params = {ParamsRescan, ParamsClear, ParamsRequestFlush};
  static const clap::HostState state = {StateMarkDirty};
  static const clap::HostGui gui = {GuiResizeHintsChanged, GuiRequestResize, GuiRequestShow,
                                    GuiRequestHide, GuiClosed};
  static const clap::HostTimerSupport timer = {RegisterTimer, UnregisterTimer};
  static const clap::HostPosixFdSupport fd = {RegisterFd, ModifyFd, UnregisterFd};
  static const clap::HostLatency latency = {LatencyChanged};
  static const clap::HostTail tail = {TailChanged};
  static const clap::HostThreadCheck threadCheck = {IsMainThread, IsAudioThread};
  static const clap::HostLog log = {Log};
  static const clap::HostPresetLoad presetLoad = {PresetOnError, PresetLoaded};
  ClapPluginHost* self = From(host);
  if (!self || !id) return nullptr;
  for (const std::string& withheld : self->withheld_)
    if (withheld == id) return nullptr;
  const std::string name = id;
  if (name == clap::kExtParams) return &params;
  if (name == clap::kExtState) return &state;
  if (name == clap::kExtGui) return &gui;
  if (name == clap::kExtTimerSupport) return &timer;
  if (name == clap::kExtPosixFdSupport) return &fd;
  if (name == clap::kExtLatency) return &latency;
  if (name == clap::kExtTail) return &tail;
  if (name == clap::kExtThreadCheck) return &threadCheck;
  if (name == clap::kExtLog) return &log;
  if (name == clap::kExtPresetLoad) return &presetLoad;
  return nullptr;
}

void CLAP_CALL ClapPluginHost::RequestRestart(const clap::Host* host) {
  if (auto* self = From(host)) ++self->record_.requestRestart;
}
void CLAP_CALL ClapPluginHost::RequestProcess(const clap::Host* host) {
  if (auto* self = From(host)) ++self->record_.requestProcess;
}
void CLAP_CALL ClapPluginHost::RequestCallback(const clap::Host* host) {
  if (auto* self = From(host)) ++self->record_.requestCallback;
}
void CLAP_CALL ClapPluginHost::ParamsRescan(const clap::Host* host, std::uint32_t flags) {
  auto* self = From(host);
  if (!self) return;
  if (!self->onMainThread()) ++self->record_.offThreadCalls;
  self->record_.rescans.push_back(flags);
}
void CLAP_CALL ClapPluginHost::ParamsClear(const clap::Host*, clap::Id, std::uint32_t) {}
void CLAP_CALL ClapPluginHost::ParamsRequestFlush(const clap::Host* host) {
  auto* self = From(host);
  if (!self) return;
  // Never from the audio thread.
  if (self->audioThread_.load() == std::this_thread::get_id()) ++self->record_.offThreadCalls;
  ++self->record_.requestFlush;
}
void CLAP_CALL ClapPluginHost::StateMarkDirty(const clap::Host* host) {
  if (auto* self = From(host)) ++self->record_.markDirty;
}
void CLAP_CALL ClapPluginHost::GuiResizeHintsChanged(const clap::Host*) {}
bool CLAP_CALL ClapPluginHost::GuiRequestResize(const clap::Host* host, std::uint32_t w,
                                                std::uint32_t h) {
  auto* self = From(host);
  if (!self) return false;
  self->record_.resizeRequests.emplace_back(w, h);
  std::uint32_t now[2] = {0, 0};
  if (self->gui_) self->gui_->getSize(self->plugin_, &now[0], &now[1]);
  self->record_.sizeDuringResize.emplace_back(now[0], now[1]);
  return self->resizeAnswer_;
}
bool CLAP_CALL ClapPluginHost::GuiRequestShow(const clap::Host*) { return false; }
bool CLAP_CALL ClapPluginHost::GuiRequestHide(const clap::Host*) { return false; }
void CLAP_CALL ClapPluginHost::GuiClosed(const clap::Host* host, bool) {
  if (auto* self = From(host)) ++self->record_.guiClosed;
}

bool CLAP_CALL ClapPluginHost::RegisterTimer(const clap::Host* host, std::uint32_t periodMs,
                                             clap::Id* timerId) {
  auto* self = From(host);
  if (!self || !timerId) return false;
  if (!self->onMainThread()) ++self->record_.offThreadCalls;
  *timerId = self->nextTimer_++;
  self->timers_[*timerId] = periodMs;
  return true;
}
bool CLAP_CALL ClapPluginHost::UnregisterTimer(const clap::Host* host, clap::Id timerId) {
  auto* self = From(host);
  return self && self->timers_.erase(timerId) == 1;
}
bool CLAP_CALL ClapPluginHost::RegisterFd(const clap::Host* host, int fd, std::uint32_t flags) {
  auto* self = From(host);
  if (!self || fd < 0 || self->fds_.count(fd)) return false;
  if (!self->onMainThread()) ++self->record_.offThreadCalls;
  self->fds_[fd] = flags;
  return true;
}
bool CLAP_CALL ClapPluginHost::ModifyFd(const clap::Host* host, int fd, std::uint32_t flags) {
  auto* self = From(host);
  if (!self || !self->fds_.count(fd)) return false;
  self->fds_[fd] = flags;
  return true;
}
bool CLAP_CALL ClapPluginHost::UnregisterFd(const clap::Host* host, int fd) {
  auto* self = From(host);
  return self && self->fds_.erase(fd) == 1;
}
void CLAP_CALL ClapPluginHost::LatencyChanged(const clap::Host*) {}
void CLAP_CALL ClapPluginHost::TailChanged(const clap::Host*) {}
bool CLAP_CALL ClapPluginHost::IsMainThread(const clap::Host* host) {
  auto* self = From(host);
  return self && self->onMainThread();
}
bool CLAP_CALL ClapPluginHost::IsAudioThread(const clap::Host* host) {
  auto* self = From(host);
  return self && self->audioThread_.load() == std::this_thread::get_id();
}
void CLAP_CALL ClapPluginHost::Log(const clap::Host* host, std::int32_t severity,
                                   const char* message) {
  if (auto* self = From(host))
    self->record_.logs.push_back(std::to_string(severity) + ": " + text(message));
}
void CLAP_CALL ClapPluginHost::PresetOnError(const clap::Host* host, std::uint32_t, const char*,
                                             const char* loadKey, std::int32_t,
                                             const char* message) {
  if (auto* self = From(host))
    self->record_.presetErrors.push_back(text(loadKey) + ": " + text(message));
}
void CLAP_CALL ClapPluginHost::PresetLoaded(const clap::Host* host, std::uint32_t, const char*,
                                            const char* loadKey) {
  if (auto* self = From(host)) self->record_.presetsLoaded.push_back(text(loadKey));
}

}  // namespace claphost
