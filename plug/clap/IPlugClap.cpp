#include "plug/clap/IPlugClap.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "plug/TextUtil.h"
#include "plug/clap/ClapDescriptor.h"

namespace plug {

namespace {

// Sample rates a host may activate with; anything else fails the activation.
constexpr double kMinSampleRate = 1000.0;
constexpr double kMaxSampleRate = 1536000.0;

template <typename T>
const T* HostExtension(const clap::Host* host, const char* id) {
  return host && host->getExtension ? static_cast<const T*>(host->getExtension(host, id)) : nullptr;
}

}  // namespace

IPlugClap::IPlugClap(const clap::Host* host, IPlugBase* plugin) : plugin_(plugin), host_(host) {
  clapPlugin_.desc = &ClapDescriptor();
  clapPlugin_.pluginData = this;
  clapPlugin_.init = Init;
  clapPlugin_.destroy = Destroy;
  clapPlugin_.activate = Activate;
  clapPlugin_.deactivate = Deactivate;
  clapPlugin_.startProcessing = StartProcessing;
  clapPlugin_.stopProcessing = StopProcessing;
  clapPlugin_.reset = Reset;
  clapPlugin_.process = ProcessEntry;
  clapPlugin_.getExtension = GetExtension;
  clapPlugin_.onMainThread = OnMainThread;
  ScopedThreadRole role(ThreadRole::kMain);
  InstanceLock lock(Mutex());
  plugin_->SetInputConnections(0, plugin_->NInChannels(), true);
  plugin_->SetOutputConnections(0, plugin_->NOutChannels(), true);
  plugin_->HostSetBlockSize(1024);
  // Last, as in the VST 2 binding: a constructor that throws leaves the
  // instance without services.
  plugin_->SetHostServices(this);
}

IPlugClap::~IPlugClap() {
  delete plugin_;
  clapPlugin_.pluginData = nullptr;
}

IPlugClap* IPlugClap::From(const clap::Plugin* plugin) {
  return plugin ? static_cast<IPlugClap*>(plugin->pluginData) : nullptr;
}

void IPlugClap::QueryHostExtensions() {
  hostParams_ = HostExtension<clap::HostParams>(host_, clap::kExtParams);
  hostState_ = HostExtension<clap::HostState>(host_, clap::kExtState);
  hostGui_ = HostExtension<clap::HostGui>(host_, clap::kExtGui);
  hostTimer_ = HostExtension<clap::HostTimerSupport>(host_, clap::kExtTimerSupport);
  hostFd_ = HostExtension<clap::HostPosixFdSupport>(host_, clap::kExtPosixFdSupport);
  hostLatency_ = HostExtension<clap::HostLatency>(host_, clap::kExtLatency);
  hostThreadCheck_ = HostExtension<clap::HostThreadCheck>(host_, clap::kExtThreadCheck);
  hostLog_ = HostExtension<clap::HostLog>(host_, clap::kExtLog);
  hostPresetLoad_ = HostExtension<clap::HostPresetLoad>(host_, clap::kExtPresetLoad);
  if (!hostPresetLoad_)
    hostPresetLoad_ = HostExtension<clap::HostPresetLoad>(host_, clap::kExtPresetLoadCompat);
  // Tables with a missing function count as absent: we never call through null.
  if (hostParams_ && (!hostParams_->rescan || !hostParams_->requestFlush)) hostParams_ = nullptr;
  if (hostState_ && !hostState_->markDirty) hostState_ = nullptr;
  if (hostTimer_ && (!hostTimer_->registerTimer || !hostTimer_->unregisterTimer))
    hostTimer_ = nullptr;
  if (hostFd_ && (!hostFd_->registerFd || !hostFd_->modifyFd || !hostFd_->unregisterFd))
    hostFd_ = nullptr;
  if (hostThreadCheck_ && !hostThreadCheck_->isMainThread) hostThreadCheck_ = nullptr;
  if (hostLog_ && !hostLog_->log) hostLog_ = nullptr;
  if (hostGui_ && !hostGui_->requestResize) hostGui_ = nullptr;
  if (hostPresetLoad_ && (!hostPresetLoad_->onError || !hostPresetLoad_->loaded))
    hostPresetLoad_ = nullptr;
}

void IPlugClap::CheckMainThread(const char* function) {
  if (!hostThreadCheck_ || hostThreadCheck_->isMainThread(host_)) return;
  if (hostLog_) {
    char message[160];
    std::snprintf(message, sizeof message, "Quillet: %s called off the main thread", function);
    hostLog_->log(host_, clap::kLogHostMisbehaving, message);
  }
}

// ---- clap_plugin -------------------------------------------------------------

bool CLAP_CALL IPlugClap::Init(const clap::Plugin* plugin) {
  IPlugClap* self = From(plugin);
  if (!self || self->initialized_) return false;
  ScopedThreadRole role(ThreadRole::kMain);
  try {
    self->QueryHostExtensions();
    self->CheckMainThread("init");
    InstanceLock lock(self->Mutex());
    self->plugin_->HostInit();
    self->plugin_->HostParamsChanged();
    self->initialized_ = true;
    return true;
  } catch (...) {
    return false;
  }
}

void CLAP_CALL IPlugClap::Destroy(const clap::Plugin* plugin) {
  IPlugClap* self = From(plugin);
  if (!self) return;
  ScopedThreadRole role(ThreadRole::kMain);
  try {
    // A host that destroys with the editor open or still active: the window
    // and the host's timer and fd go first, then the activation.
    self->CloseEditor();
    self->guiCreated_ = false;
    if (self->active_) Deactivate(plugin);
  } catch (...) {
  }
  // The lock dies with the instance: take it to wait for any running entry.
  self->Mutex().lock();
  self->Mutex().unlock();
  delete self;
}

bool CLAP_CALL IPlugClap::Activate(const clap::Plugin* plugin, double sampleRate,
                                   std::uint32_t minFrames, std::uint32_t maxFrames) {
  IPlugClap* self = From(plugin);
  if (!self || !self->initialized_ || self->active_) return false;
  if (!std::isfinite(sampleRate) || sampleRate < kMinSampleRate || sampleRate > kMaxSampleRate)
    return false;
  if (maxFrames < 1 || minFrames > maxFrames) return false;
  ScopedThreadRole role(ThreadRole::kMain);
  self->CheckMainThread("activate");
  try {
    InstanceLock lock(self->Mutex());
    IPlugBase* p = self->plugin_;
    const int block = maxFrames > static_cast<std::uint32_t>(kMaxBlockSize)
                          ? kMaxBlockSize
                          : static_cast<int>(maxFrames);
    // As a VST 2 host's rate, block size and resume do it.
    p->HostSetSampleRate(sampleRate);
    p->HostReset();
    p->HostSetBlockSize(block);
    p->HostReset();
    self->silence_.assign(static_cast<std::size_t>(block), 0.0);
    self->silenceFloat_.assign(static_cast<std::size_t>(block), 0.0f);
    p->HostActivate(true);
    self->active_ = true;
    return true;
  } catch (...) {
    return false;
  }
}

void CLAP_CALL IPlugClap::Deactivate(const clap::Plugin* plugin) {
  IPlugClap* self = From(plugin);
  if (!self || !self->active_) return;
  ScopedThreadRole role(ThreadRole::kMain);
  self->CheckMainThread("deactivate");
  try {
    InstanceLock lock(self->Mutex());
    self->plugin_->HostActivate(false);
    self->plugin_->HostReset();
  } catch (...) {
  }
  self->active_ = false;
  self->processing_ = false;
}

bool CLAP_CALL IPlugClap::StartProcessing(const clap::Plugin* plugin) {
  IPlugClap* self = From(plugin);
  if (!self || !self->active_) return false;
  self->processing_ = true;
  return true;
}

void CLAP_CALL IPlugClap::StopProcessing(const clap::Plugin* plugin) {
  IPlugClap* self = From(plugin);
  if (self) self->processing_ = false;
}

// The audio thread's reset: every voice ends now, as an all-sound-off ends
// them. The buffers and filters are cleared by the main thread's reset at the
// next activation (the base's reset may allocate for a new rate, which the
// audio thread must not).
void CLAP_CALL IPlugClap::Reset(const clap::Plugin* plugin) {
  IPlugClap* self = From(plugin);
  if (!self || !self->active_) return;
  ScopedThreadRole role(ThreadRole::kAudio);
  InstanceLock lock(self->Mutex());
  IMidiMessage allSoundOff;
  allSoundOff.data1 = 120;  // all sound off, on every channel
  for (int channel = 0; channel < 16; ++channel) {
    allSoundOff.status = static_cast<unsigned char>(0xB0 | channel);
    self->plugin_->HostMidi(&allSoundOff);
  }
}

std::int32_t CLAP_CALL IPlugClap::ProcessEntry(const clap::Plugin* plugin,
                                               const clap::Process* process) {
  IPlugClap* self = From(plugin);
  if (!self || !process || !self->active_) return clap::kProcessError;
  ScopedThreadRole role(ThreadRole::kAudio);
  InstanceLock lock(self->Mutex());
  return self->Process(process);
}

const void* CLAP_CALL IPlugClap::GetExtension(const clap::Plugin* plugin, const char* id) {
  IPlugClap* self = From(plugin);
  if (!self || !id) return nullptr;
  if (std::strcmp(id, clap::kExtAudioPorts) == 0) return &kAudioPorts;
  if (std::strcmp(id, clap::kExtNotePorts) == 0) return &kNotePorts;
  if (std::strcmp(id, clap::kExtParams) == 0) return &kParams;
  if (std::strcmp(id, clap::kExtState) == 0) return &kState;
  if (std::strcmp(id, clap::kExtLatency) == 0) return &kLatency;
  if (std::strcmp(id, clap::kExtTail) == 0) return &kTail;
  if (std::strcmp(id, clap::kExtRender) == 0) return &kRender;
  if (std::strcmp(id, clap::kExtPresetLoad) == 0 ||
      std::strcmp(id, clap::kExtPresetLoadCompat) == 0)
    return &kPresetLoad;
  if (self->plugin_->GetEditor()) {
    if (std::strcmp(id, clap::kExtGui) == 0) return &kGui;
    if (std::strcmp(id, clap::kExtTimerSupport) == 0) return &kTimerSupport;
#if !defined(_WIN32)
    if (std::strcmp(id, clap::kExtPosixFdSupport) == 0) return &kPosixFdSupport;
#endif
  }
  return nullptr;
}

void CLAP_CALL IPlugClap::OnMainThread(const clap::Plugin*) {}

// ---- Host services ---------------------------------------------------------

void IPlugClap::RequestFlush() {
  if (hostParams_) hostParams_->requestFlush(host_);
}

void IPlugClap::BeginParamGesture(int paramIndex) {
  if (edits_.Push(ClapEditQueue::Kind::kBegin, paramIndex, 0.0)) RequestFlush();
}

void IPlugClap::NotifyHostParamValue(int paramIndex, double normalized) {
  const IParameter* param = plugin_->GetParam(paramIndex);
  if (!param) return;
  // Inside process (a mapped MIDI controller): out at once, not to be
  // recorded. The process call holds the lock on this thread.
  if (processThread_.load(std::memory_order_relaxed) == std::this_thread::get_id() && outEvents_) {
    PushParamValue(outEvents_, paramIndex, normalized, clap::kEventDontRecord,
                   static_cast<std::uint32_t>(pieceOffset_));
    return;
  }
  if (edits_.Push(ClapEditQueue::Kind::kValue, paramIndex, normalized)) RequestFlush();
}

void IPlugClap::EndParamGesture(int paramIndex) {
  if (edits_.Push(ClapEditQueue::Kind::kEnd, paramIndex, 0.0)) RequestFlush();
}

void IPlugClap::NotifyHostDisplayChanged() {
  if (hostParams_) hostParams_->rescan(host_, clap::kParamRescanValues | clap::kParamRescanText);
  if (hostState_) hostState_->markDirty(host_);
}

bool IPlugClap::IsOfflineRender() { return offline_.load(std::memory_order_relaxed); }

void IPlugClap::GetTransportInfo(ITransportInfo* info) {
  const clap::EventTransport* t = transport_;
  if (!t) return;  // a free-running host: as VST 2 without time info
  const double rate = plugin_->GetSampleRate();
  const int offset = pieceOffset_ - transportFrame_;
  const bool tempoConfirmed =
      (t->flags & clap::kTransportHasTempo) && t->tempo > 0.0 && std::isfinite(t->tempo);
  if (tempoConfirmed) info->tempo = t->tempo;
  // Hosts count whole frames; CLAP carries the position in fixed-point
  // seconds (or beats), which give the frame back after rounding.
  double frames = -1.0;
  if (t->flags & clap::kTransportHasSecondsTimeline) {
    frames = std::floor(static_cast<double>(t->songPosSeconds) / clap::kSecTimeFactor * rate + 0.5);
  } else if ((t->flags & clap::kTransportHasBeatsTimeline) && tempoConfirmed) {
    frames = std::floor(static_cast<double>(t->songPosBeats) / clap::kBeatTimeFactor * 60.0 /
                            t->tempo * rate +
                        0.5);
  }
  if (frames >= 0.0 || (t->flags & clap::kTransportHasSecondsTimeline))
    info->samplePos = frames + offset;
  if (t->flags & clap::kTransportHasBeatsTimeline) {
    const double beats = static_cast<double>(t->songPosBeats) / clap::kBeatTimeFactor;
    if (beats >= 0.0) {
      info->ppqPos = beats;
      if (tempoConfirmed && offset > 0) info->ppqPos += offset / rate * t->tempo / 60.0;
    }
    const double bar = static_cast<double>(t->barStart) / clap::kBeatTimeFactor;
    if (bar >= 0.0) info->lastBarPos = bar;
    if (t->flags & clap::kTransportIsLoopActive) {
      const double start = static_cast<double>(t->loopStartBeats) / clap::kBeatTimeFactor;
      const double end = static_cast<double>(t->loopEndBeats) / clap::kBeatTimeFactor;
      if (start >= 0.0 && end >= 0.0) {
        info->cycleStart = start;
        info->cycleEnd = end;
      }
    }
  }
  if ((t->flags & clap::kTransportHasTimeSignature) && t->tsigNum > 0 && t->tsigDenom > 0) {
    info->numerator = t->tsigNum;
    info->denominator = t->tsigDenom;
  }
  info->transportRunning = (t->flags & clap::kTransportIsPlaying) != 0;
  info->cycleActive = (t->flags & clap::kTransportIsLoopActive) != 0;
}

void IPlugClap::GetHostProduct(char* product, int capacity, int* version) {
  *version = 0;
  CopyText(product, host_ && host_->name ? host_->name : "", static_cast<std::size_t>(capacity));
  if (!host_ || !host_->version) return;
  // "MAJOR[.MINOR[.REVISION]]..." as 0xMMMMmmpp.
  int parts[3] = {0, 0, 0};
  const char* s = host_->version;
  for (int i = 0; i < 3; ++i) {
    if (*s < '0' || *s > '9') break;
    int n = 0;
    while (*s >= '0' && *s <= '9') {
      if (n < 100000) n = n * 10 + (*s - '0');
      ++s;
    }
    parts[i] = n;
    if (*s != '.') break;
    ++s;
  }
  const int major = parts[0] > 0xFFFF ? 0xFFFF : parts[0];
  const int minor = parts[1] > 0xFF ? 0xFF : parts[1];
  const int patch = parts[2] > 0xFF ? 0xFF : parts[2];
  *version = (major << 16) | (minor << 8) | patch;
}

void IPlugClap::ResizeEditor(int width, int height) { RequestEditorResize(width, height); }

// The editor already answers the new size (get_size) while the host handles
// the request: a host that sizes its window from inside request_resize, or
// later through set_size, sees the size it was asked for.
bool IPlugClap::RequestEditorResize(int width, int height) {
  if (!hostGui_ || !guiCreated_ || width <= 0 || height <= 0) return false;
  return hostGui_->requestResize(host_, static_cast<std::uint32_t>(width),
                                 static_cast<std::uint32_t>(height));
}

bool IPlugClap::SendMidiToHost(const IMidiMessage* msg) {
  // Only a process call has somewhere to send to.
  if (!outEvents_ || !msg) return false;
  clap::EventMidi event{};
  event.header.size = sizeof event;
  event.header.time =
      static_cast<std::uint32_t>(pieceOffset_ + (msg->offset > 0 ? msg->offset : 0));
  event.header.spaceId = clap::kCoreEventSpace;
  event.header.type = clap::kEventMidi;
  event.portIndex = 0;
  event.data[0] = msg->status;
  event.data[1] = msg->data1;
  event.data[2] = msg->data2;
  return outEvents_->tryPush(outEvents_, &event.header);
}

bool IPlugClap::SendSysExToHost(const ISysExMessage* msg) {
  if (!outEvents_ || !msg || !msg->data || msg->size <= 0) return false;
  clap::EventMidiSysex event{};
  event.header.size = sizeof event;
  event.header.time =
      static_cast<std::uint32_t>(pieceOffset_ + (msg->offset > 0 ? msg->offset : 0));
  event.header.spaceId = clap::kCoreEventSpace;
  event.header.type = clap::kEventMidiSysex;
  event.buffer = msg->data;
  event.size = static_cast<std::uint32_t>(msg->size);
  return outEvents_->tryPush(outEvents_, &event.header);
}

void IPlugClap::SetLatencySamples(int) {
  // Latency is read at activation; while active the host must restart us.
  if (active_ && host_ && host_->requestRestart) host_->requestRestart(host_);
}

std::uint32_t IPlugClap::TailSamples() const {
  // A grain plays from the frame captured last: after the input falls silent
  // the sound lasts at most the longest frame and grain (5 s and 2 s) plus
  // the longest MIDI release, within 8 seconds.
  constexpr double kTailSeconds = 8.0;
  return static_cast<std::uint32_t>(std::ceil(kTailSeconds * plugin_->GetSampleRate()));
}

}  // namespace plug
