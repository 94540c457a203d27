#include "plug/vst3/Vst3Plugin.h"

#include <cmath>

#include "plug/vst3/Vst3Text.h"
#include "plug/vst3/Vst3View.h"

namespace plug {

namespace {

using namespace vst3;

constexpr double kMinSampleRate = 1000.0;
constexpr double kMaxSampleRate = 1536000.0;

// Releases and clears a held host reference.
template <typename T>
void ReleaseHeld(T*& held) {
  if (held) held->release();
  held = nullptr;
}

}  // namespace

Vst3Plugin::Vst3Plugin(IPlugBase* plugin) : plugin_(plugin) {
  InstanceLock lock(Mutex());
  plugin_->SetInputConnections(0, plugin_->NInChannels(), true);
  plugin_->SetOutputConnections(0, plugin_->NOutChannels(), true);
  plugin_->HostSetBlockSize(1024);
  plugin_->SetHostServices(this);
}

// A view holds a reference, so none is left here. The lock is taken and
// released to wait for a running entry; the instance goes while its services
// are still here.
Vst3Plugin::~Vst3Plugin() {
  plugin_->HostCloseEditor();
  plugin_->Mutex().lock();
  plugin_->Mutex().unlock();
  delete plugin_;
  ReleaseHeld(handler_);
  ReleaseHeld(hostContext_);
}

// ---- FUnknown ------------------------------------------------------------------

tresult VST3_CALL Vst3Plugin::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  void* found = nullptr;
  // FUnknown and IPluginBase always answer through the component, so that
  // identity comparisons of the two sides agree.
  if (UidEquals(iid, iid::kFUnknown) || UidEquals(iid, iid::kPluginBase) ||
      UidEquals(iid, iid::kComponent))
    found = static_cast<IComponent*>(static_cast<Vst3ComponentSide*>(this));
  else if (UidEquals(iid, iid::kAudioProcessor))
    found = static_cast<IAudioProcessor*>(this);
  else if (UidEquals(iid, iid::kProcessContextRequirements))
    found = static_cast<IProcessContextRequirements*>(this);
  else if (UidEquals(iid, iid::kEditController))
    found = static_cast<IEditController*>(static_cast<Vst3ControllerSide*>(this));
  else if (UidEquals(iid, iid::kMidiMapping))
    found = static_cast<IMidiMapping*>(this);
  else if (UidEquals(iid, iid::kUnitInfo))
    found = static_cast<IUnitInfo*>(this);
  *obj = found;
  if (!found) return kNoInterface;
  addRef();
  return kResultOk;
}

uint32 VST3_CALL Vst3Plugin::addRef() { return ++refs_; }

uint32 VST3_CALL Vst3Plugin::release() {
  const uint32 left = --refs_;
  if (left == 0) {
    ScopedThreadRole role(ThreadRole::kMain);
    delete this;
  }
  return left;
}

// ---- IPluginBase -------------------------------------------------------------

tresult VST3_CALL Vst3Plugin::initialize(FUnknown* context) {
  ScopedThreadRole role(ThreadRole::kMain);
  // A single component is initialised once, even though both sides declare it.
  if (initialized_) return kResultFalse;
  initialized_ = true;
  if (context) {
    context->addRef();
    hostContext_ = context;
  }
  try {
    InstanceLock lock(Mutex());
    plugin_->HostInit();
    plugin_->HostParamsChanged();
  } catch (...) {
    return kInternalError;
  }
  return kResultOk;
}

tresult VST3_CALL Vst3Plugin::terminate() {
  ScopedThreadRole role(ThreadRole::kMain);
  if (view_) view_->DetachFromPlugin();
  ReleaseHeld(handler_);
  ReleaseHeld(hostContext_);
  return kResultOk;
}

// ---- IComponent --------------------------------------------------------------

tresult VST3_CALL Vst3Plugin::getControllerClassId(TUID) {
  // The component is its own controller.
  return kResultFalse;
}

tresult VST3_CALL Vst3Plugin::setIoMode(int32) { return kResultOk; }

int32 VST3_CALL Vst3Plugin::getBusCount(MediaType type, BusDirection dir) {
  if (type == kAudio && (dir == kInput || dir == kOutput)) return 1;
  if (type == kEvent && dir == kInput) return 1;
  return 0;
}

tresult VST3_CALL Vst3Plugin::getBusInfo(MediaType type, BusDirection dir, int32 index,
                                         BusInfo* bus) {
  if (!bus || index != 0 || getBusCount(type, dir) == 0) return kInvalidArgument;
  bus->mediaType = type;
  bus->direction = dir;
  bus->busType = kMain;
  bus->flags = kDefaultActive;
  if (type == kAudio) {
    bus->channelCount = 2;
    CopyToUtf16(bus->name, dir == kInput ? "Input" : "Output", 128);
  } else {
    bus->channelCount = 16;
    CopyToUtf16(bus->name, "MIDI In", 128);
  }
  return kResultOk;
}

tresult VST3_CALL Vst3Plugin::getRoutingInfo(RoutingInfo*, RoutingInfo*) { return kResultFalse; }

tresult VST3_CALL Vst3Plugin::activateBus(MediaType type, BusDirection dir, int32 index, TBool) {
  // The buses are always processed; activation changes nothing.
  return index == 0 && getBusCount(type, dir) > 0 ? kResultOk : kInvalidArgument;
}

tresult VST3_CALL Vst3Plugin::setActive(TBool state) {
  ScopedThreadRole role(ThreadRole::kMain);
  try {
    InstanceLock lock(Mutex());
    active_ = state != 0;
    plugin_->HostActivate(active_);
    if (!active_) plugin_->HostReset();
  } catch (...) {
    return kInternalError;
  }
  return kResultOk;
}

// ---- IAudioProcessor: set-up -------------------------------------------------------

tresult VST3_CALL Vst3Plugin::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts) {
  // Stereo in and out only; anything else is answered with ours.
  if (numIns == 1 && numOuts == 1 && inputs && outputs && inputs[0] == kStereo &&
      outputs[0] == kStereo)
    return kResultTrue;
  return kResultFalse;
}

tresult VST3_CALL Vst3Plugin::getBusArrangement(BusDirection dir, int32 index,
                                                SpeakerArrangement* arr) {
  if (!arr || index != 0 || (dir != kInput && dir != kOutput)) return kInvalidArgument;
  *arr = kStereo;
  return kResultOk;
}

tresult VST3_CALL Vst3Plugin::canProcessSampleSize(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue
                                                                            : kResultFalse;
}

uint32 VST3_CALL Vst3Plugin::getLatencySamples() {
  return latency_ > 0 ? static_cast<uint32>(latency_) : 0;
}

uint32 VST3_CALL Vst3Plugin::getTailSamples() {
  const int tail = plugin_->GetTailSize();
  return tail > 0 ? static_cast<uint32>(tail) : kNoTail;
}

tresult VST3_CALL Vst3Plugin::setupProcessing(ProcessSetup* setup) {
  if (!setup) return kInvalidArgument;
  ScopedThreadRole role(ThreadRole::kMain);
  if (setup->symbolicSampleSize != kSample32 && setup->symbolicSampleSize != kSample64)
    return kResultFalse;
  try {
    InstanceLock lock(Mutex());
    sampleSize_ = setup->symbolicSampleSize;
    processMode_ = setup->processMode;
    // Nonsense rates and sizes keep the last good setting.
    if (std::isfinite(setup->sampleRate) && setup->sampleRate >= kMinSampleRate &&
        setup->sampleRate <= kMaxSampleRate)
      plugin_->HostSetSampleRate(setup->sampleRate);
    if (setup->maxSamplesPerBlock > 0)
      plugin_->HostSetBlockSize(
          setup->maxSamplesPerBlock > kMaxBlockSize ? kMaxBlockSize : setup->maxSamplesPerBlock);
    plugin_->HostReset();
  } catch (...) {
    return kInternalError;
  }
  return kResultOk;
}

// May come on the audio thread: nothing to do that could wait or allocate.
tresult VST3_CALL Vst3Plugin::setProcessing(TBool) { return kResultOk; }

uint32 VST3_CALL Vst3Plugin::getProcessContextRequirements() {
  return kNeedProjectTimeMusic | kNeedBarPositionMusic | kNeedCycleMusic | kNeedTempo |
         kNeedTimeSignature | kNeedTransportState;
}

// ---- Host services -------------------------------------------------------------

// The handler's methods are for the main thread, which is where the base
// calls these services from.
void Vst3Plugin::RestartComponent(int32 flags) {
  if (handler_) handler_->restartComponent(flags);
}

void Vst3Plugin::BeginParamGesture(int paramIndex) {
  if (handler_) handler_->beginEdit(static_cast<ParamID>(paramIndex));
}

void Vst3Plugin::NotifyHostParamValue(int paramIndex, double normalized) {
  if (paramIndex < 0) return;
  const ParamID id = static_cast<ParamID>(paramIndex);
  {
    // Holding the lock while a block is set means being inside process: a
    // mapped controller (MIDI learn) changed the value, and the host hears
    // of it through the block's output changes, not the handler.
    InstanceLock lock(Mutex());
    if (block_) {
      IParameterChanges* out = block_->outputParameterChanges;
      int32 index = 0;
      IParamValueQueue* queue = out ? out->addParameterData(&id, &index) : nullptr;
      int32 point = 0;
      if (queue) queue->addPoint(pieceOffset_, normalized, &point);
      return;
    }
  }
  if (handler_) handler_->performEdit(id, normalized);
}

void Vst3Plugin::EndParamGesture(int paramIndex) {
  if (handler_) handler_->endEdit(static_cast<ParamID>(paramIndex));
}

void Vst3Plugin::NotifyHostDisplayChanged() { RestartComponent(kParamValuesChanged); }

bool Vst3Plugin::IsOfflineRender() { return processMode_ == kOffline; }

void Vst3Plugin::GetTransportInfo(ITransportInfo* info) {
  const ProcessContext* t = block_ ? block_->processContext : nullptr;
  if (!t) return;
  // Non-finite host values are treated as not confirmed, as in VST 2.
  const bool tempoConfirmed = (t->state & kTempoValid) && t->tempo > 0.0 && std::isfinite(t->tempo);
  if (tempoConfirmed) info->tempo = t->tempo;
  // The context describes the block's first frame; a piece starts later.
  info->samplePos = static_cast<double>(t->projectTimeSamples) + pieceOffset_;
  if ((t->state & kProjectTimeMusicValid) && t->projectTimeMusic >= 0.0 &&
      std::isfinite(t->projectTimeMusic)) {
    info->ppqPos = t->projectTimeMusic;
    const double rate = plugin_->GetSampleRate();
    if (tempoConfirmed && pieceOffset_ > 0 && rate > 0.0)
      info->ppqPos += pieceOffset_ / rate * t->tempo / 60.0;
  }
  if ((t->state & kBarPositionValid) && t->barPositionMusic >= 0.0 &&
      std::isfinite(t->barPositionMusic))
    info->lastBarPos = t->barPositionMusic;
  if ((t->state & kCycleValid) && t->cycleStartMusic >= 0.0 && t->cycleEndMusic >= 0.0 &&
      std::isfinite(t->cycleStartMusic) && std::isfinite(t->cycleEndMusic)) {
    info->cycleStart = t->cycleStartMusic;
    info->cycleEnd = t->cycleEndMusic;
  }
  if ((t->state & kTimeSigValid) && t->timeSigNumerator > 0 && t->timeSigDenominator > 0) {
    info->numerator = t->timeSigNumerator;
    info->denominator = t->timeSigDenominator;
  }
  info->transportRunning = (t->state & kPlaying) != 0;
  info->cycleActive = (t->state & kCycleActive) != 0;
}

void Vst3Plugin::GetHostProduct(char* product, int capacity, int* version) {
  product[0] = '\0';
  *version = 0;
  if (!hostContext_) return;
  void* found = nullptr;
  char bytes[16];
  UidToBytes(iid::kHostApplication, bytes);
  if (hostContext_->queryInterface(bytes, &found) != kResultOk || !found) return;
  auto* app = static_cast<IHostApplication*>(found);
  String128 name = {};
  if (app->getName(name) == kResultOk)
    CopyFromUtf16(product, name, 128, static_cast<std::size_t>(capacity));
  app->release();
}

void Vst3Plugin::ResizeEditor(int width, int height) {
  if (view_) view_->RequestSize(width, height);
}

bool Vst3Plugin::RequestEditorResize(int width, int height) {
  return view_ && view_->RequestSize(width, height);
}

// VST 3 has no MIDI output for an effect: the product's MIDI thru goes nowhere.
bool Vst3Plugin::SendMidiToHost(const IMidiMessage*) { return false; }
bool Vst3Plugin::SendSysExToHost(const ISysExMessage*) { return false; }

void Vst3Plugin::SetLatencySamples(int samples) {
  if (samples == latency_) return;
  latency_ = samples;
  RestartComponent(kLatencyChanged);
}

}  // namespace plug
