#include "plug/vst2/IPlugVST.h"

#include <cmath>
#include <cstring>

#include "plug/vst2/Vst2HostQuirks.h"

namespace plug {

namespace {

vst::int32 ArrangementType(int channels) {
  switch (channels) {
    case 0:
      return vst::kSpeakerArrEmpty;
    case 1:
      return vst::kSpeakerArrMono;
    case 2:
      return vst::kSpeakerArrStereo;
    default:
      return vst::kSpeakerArrUserDefined;
  }
}

void SetArrangement(vst::VstSpeakerArrangement* arrangement, int channels) {
  arrangement->type = ArrangementType(channels);
  arrangement->numChannels = channels;
}

}  // namespace

IPlugVST::IPlugVST(vst::HostCallback host, IPlugBase* plugin) : plugin_(plugin), host_(host) {
  programChunk_.Clear();
  bankChunk_.Clear();
  std::memset(&aEffect_, 0, sizeof aEffect_);
  aEffect_.magic = vst::kEffectMagic;
  aEffect_.dispatcher = Dispatcher;
  aEffect_.process = Process;
  aEffect_.setParameter = SetParameter;
  aEffect_.getParameter = GetParameter;
  aEffect_.numPrograms = plugin_->NPresets();
  aEffect_.numParams = plugin_->NParams();
  aEffect_.numInputs = plugin_->NInChannels();
  aEffect_.numOutputs = plugin_->NOutChannels();
  aEffect_.flags =
      vst::effFlagsCanReplacing | vst::effFlagsProgramChunks | vst::effFlagsCanDoubleReplacing;
  if (plugin_->LegalIO(1, -1)) aEffect_.flags |= vst::effFlagsMonoCapable;
  // The product attached its editor while it was built.
  if (IPlugEditor* editor = plugin_->GetEditor()) {
    aEffect_.flags |= vst::effFlagsHasEditor;
    SetEditRect(editor->Width(), editor->Height());
  }
  aEffect_.initialDelay = plugin_->GetLatency();
  aEffect_.ioRatio = 1.0f;
  aEffect_.object = this;
  aEffect_.uniqueID = plugin_->GetUniqueID();
  aEffect_.version = plugin_->GetDecimalVersion();
  aEffect_.processReplacing = ProcessReplacing;
  aEffect_.processDoubleReplacing = ProcessDoubleReplacing;
  SetArrangement(&inputArrangement_, plugin_->NInChannels());
  SetArrangement(&outputArrangement_, plugin_->NOutChannels());
  InstanceLock lock(Mutex());
  plugin_->SetInputConnections(0, plugin_->NInChannels(), true);
  plugin_->SetOutputConnections(0, plugin_->NOutChannels(), true);
  plugin_->HostSetBlockSize(1024);
  // Last: a constructor that throws leaves the instance without services, so
  // its deletion calls nothing of ours.
  plugin_->SetHostServices(this);
}

// The effect record points back at this binding; after deletion a host that
// still held it would find no object. The instance goes while its services
// are still there.
IPlugVST::~IPlugVST() {
  delete plugin_;
  aEffect_.object = nullptr;
}

IPlugVST* IPlugVST::FromAEffect(vst::AEffect* effect) {
  return effect ? static_cast<IPlugVST*>(effect->object) : nullptr;
}

vst::intptr IPlugVST::CallHost(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                               float opt) {
  return host_ ? host_(&aEffect_, opcode, index, value, ptr, opt) : 0;
}

// ---- Host services ---------------------------------------------------------

void IPlugVST::BeginParamGesture(int paramIndex) {
  CallHost(vst::audioMasterBeginEdit, paramIndex);
}

void IPlugVST::NotifyHostParamValue(int paramIndex, double normalized) {
  CallHost(vst::audioMasterAutomate, paramIndex, 0, nullptr, static_cast<float>(normalized));
}

void IPlugVST::EndParamGesture(int paramIndex) { CallHost(vst::audioMasterEndEdit, paramIndex); }

void IPlugVST::NotifyHostDisplayChanged() { CallHost(vst::audioMasterUpdateDisplay); }

bool IPlugVST::IsOfflineRender() {
  return CallHost(vst::audioMasterGetCurrentProcessLevel) == vst::kProcessLevelOffline;
}

vst::VstTimeInfo* IPlugVST::GetTimeInfo(vst::int32 wantedFlags) {
  return reinterpret_cast<vst::VstTimeInfo*>(CallHost(vst::audioMasterGetTime, 0, wantedFlags));
}

int IPlugVST::GetSamplePosition() {
  const vst::VstTimeInfo* info = GetTimeInfo(0);
  if (!info || !(info->samplePos >= 0.0)) return 0;
  double rounded = info->samplePos + pieceOffset_ + 0.5;
  // Positions past the int range (a day at 48 kHz is far below it) saturate.
  return rounded < 2147483647.0 ? static_cast<int>(rounded) : 2147483647;
}

double IPlugVST::GetHostTempo() {
  const vst::VstTimeInfo* info = GetTimeInfo(vst::kVstTempoValid);
  if (info && (info->flags & vst::kVstTempoValid) && info->tempo >= 0.0 &&
      std::isfinite(info->tempo))
    return info->tempo;
  return 0.0;
}

void IPlugVST::GetTimeSignature(int* numerator, int* denominator) {
  *numerator = 0;
  *denominator = 0;
  const vst::VstTimeInfo* info = GetTimeInfo(vst::kVstTimeSigValid);
  if (info && (info->flags & vst::kVstTimeSigValid) && info->timeSigNumerator >= 0 &&
      info->timeSigDenominator >= 0) {
    *numerator = info->timeSigNumerator;
    *denominator = info->timeSigDenominator;
  }
}

void IPlugVST::GetTransportInfo(ITransportInfo* info) {
  constexpr vst::int32 kWanted = vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstBarsValid |
                                 vst::kVstCyclePosValid | vst::kVstTimeSigValid;
  const vst::VstTimeInfo* t = GetTimeInfo(kWanted);
  if (!t || !(t->flags & kWanted)) return;
  // Non-finite host values are treated as not confirmed: they would poison
  // every position derived from them.
  const bool tempoConfirmed =
      (t->flags & vst::kVstTempoValid) && t->tempo > 0.0 && std::isfinite(t->tempo);
  if (tempoConfirmed) info->tempo = t->tempo;
  // The host's positions are those of the call's first frame; a piece of a
  // long call starts pieceOffset_ frames later (see ProcessFloat). Musical
  // time advances with the tempo, so only a confirmed tempo moves it.
  if (std::isfinite(t->samplePos)) info->samplePos = t->samplePos + pieceOffset_;
  if ((t->flags & vst::kVstPpqPosValid) && t->ppqPos >= 0.0 && std::isfinite(t->ppqPos)) {
    info->ppqPos = t->ppqPos;
    if (tempoConfirmed && pieceOffset_ > 0)
      info->ppqPos += pieceOffset_ / plugin_->GetSampleRate() * t->tempo / 60.0;
  }
  if ((t->flags & vst::kVstBarsValid) && t->barStartPos >= 0.0 && std::isfinite(t->barStartPos))
    info->lastBarPos = t->barStartPos;
  if ((t->flags & vst::kVstCyclePosValid) && t->cycleStartPos >= 0.0 && t->cycleEndPos >= 0.0 &&
      std::isfinite(t->cycleStartPos) && std::isfinite(t->cycleEndPos)) {
    info->cycleStart = t->cycleStartPos;
    info->cycleEnd = t->cycleEndPos;
  }
  if ((t->flags & vst::kVstTimeSigValid) && t->timeSigNumerator > 0 && t->timeSigDenominator > 0) {
    info->numerator = t->timeSigNumerator;
    info->denominator = t->timeSigDenominator;
  }
  info->transportRunning = (t->flags & vst::kVstTransportPlaying) != 0;
  info->cycleActive = (t->flags & vst::kVstTransportCycleActive) != 0;
}

void IPlugVST::AskHostText(vst::int32 opcode, char* text, int capacity) {
  // The host writes without knowing our size; 256 bytes is far above every
  // limit the interface documents. Terminate in case it wrote to the end.
  text[0] = '\0';
  CallHost(opcode, 0, 0, text);
  text[capacity - 1] = '\0';
}

void IPlugVST::GetHostProduct(char* product, int capacity, int* version) {
  AskHostText(vst::audioMasterGetProductString, product, capacity);
  *version = product[0] ? HostVersionFromDecimal(CallHost(vst::audioMasterGetVendorVersion)) : 0;
}

bool IPlugVST::IsChunkQuirkHost() {
  if (!quirkChecked_) {
    char vendor[256];
    AskHostText(vst::audioMasterGetVendorString, vendor, sizeof vendor);
    quirkAnswer_ = IsChunkQuirkVendor(vendor);
    quirkChecked_ = true;
  }
  return quirkAnswer_;
}

void IPlugVST::InitForHost() {
  hostSetUpDone_ = true;
  plugin_->HostInit();
  aEffect_.numInputs = plugin_->NInChannels();
  aEffect_.numOutputs = plugin_->NOutChannels();
  SetArrangement(&inputArrangement_, plugin_->NInChannels());
  SetArrangement(&outputArrangement_, plugin_->NOutChannels());
}

void IPlugVST::SetEditRect(int width, int height) {
  editRect_.top = 0;
  editRect_.left = 0;
  editRect_.bottom = static_cast<std::int16_t>(height);
  editRect_.right = static_cast<std::int16_t>(width);
}

void IPlugVST::ResizeEditor(int width, int height) {
  SetEditRect(width, height);
  // The host sizes its own window to the editor's new size.
  CallHost(vst::audioMasterSizeWindow, width, height);
}

bool IPlugVST::RequestEditorResize(int width, int height) {
  const vst::ERect old = editRect_;
  SetEditRect(width, height);
  if (CallHost(vst::audioMasterSizeWindow, width, height) != 0) return true;
  editRect_ = old;
  return false;
}

void IPlugVST::SetLatencySamples(int samples) { aEffect_.initialDelay = samples; }

bool IPlugVST::SendMidiToHost(const IMidiMessage* msg) {
  vst::VstMidiEvent event{};
  event.type = vst::kVstMidiType;
  event.byteSize = sizeof(vst::VstMidiEvent);
  event.deltaFrames = msg->offset;
  event.midiData[0] = static_cast<char>(msg->status);
  event.midiData[1] = static_cast<char>(msg->data1);
  event.midiData[2] = static_cast<char>(msg->data2);
  vst::VstEvents events{};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<vst::VstEvent*>(&event);
  return CallHost(vst::audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool IPlugVST::SendSysExToHost(const ISysExMessage* msg) {
  vst::VstMidiSysexEvent event{};
  event.type = vst::kVstSysExType;
  event.byteSize = 48;
  event.deltaFrames = msg->offset;
  event.dumpBytes = msg->size;
  event.sysexDump = const_cast<char*>(reinterpret_cast<const char*>(msg->data));
  vst::VstEvents events{};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<vst::VstEvent*>(&event);
  return CallHost(vst::audioMasterProcessEvents, 0, 0, &events) == 1;
}

// ---- Process entries ---------------------------------------------------------

void IPlugVST::AskForMidi() {
  if (plugin_->DoesMidi()) CallHost(vst::audioMasterWantMidi, 0, 1);
}

void IPlugVST::ProcessFloat(float** inputs, float** outputs, int frames, bool accumulate) {
  AskForMidi();
  IPlugBase* p = plugin_;
  if (frames <= 0 || (!inputs && p->NInChannels() > 0) || (!outputs && p->NOutChannels() > 0))
    return;
  p->AttachOutputBuffers(outputs);
  // The scratch buffers hold one announced block; a longer call is processed
  // in pieces of that size, each seeing the host's transport as it stands at
  // the piece's first frame.
  const int piece = p->GetBlockSize() > 0 ? p->GetBlockSize() : 1;
  for (int done = 0; done < frames;) {
    const int n = frames - done < piece ? frames - done : piece;
    p->AttachInputBuffers(inputs, done, n);
    pieceOffset_ = done;
    p->HostProcess(p->InputPointers(), p->OutputPointers(), n);
    p->WriteFloatOutputs(done, n, accumulate);
    done += n;
  }
  pieceOffset_ = 0;
}

void IPlugVST::ProcessDouble(double** inputs, double** outputs, int frames) {
  AskForMidi();
  IPlugBase* p = plugin_;
  if (frames <= 0 || (!inputs && p->NInChannels() > 0) || (!outputs && p->NOutChannels() > 0))
    return;
  const int piece = p->GetBlockSize() > 0 ? p->GetBlockSize() : 1;
  for (int done = 0; done < frames;) {
    const int n = frames - done < piece ? frames - done : piece;
    p->AttachDoubleBuffers(inputs, outputs, done);
    pieceOffset_ = done;
    p->HostProcess(p->InputPointers(), p->OutputPointers(), n);
    done += n;
  }
  pieceOffset_ = 0;
}

void VST_CALL IPlugVST::Process(vst::AEffect* effect, float** inputs, float** outputs,
                                vst::int32 frames) {
  IPlugVST* plug = FromAEffect(effect);
  if (!plug) return;
  ScopedThreadRole role(ThreadRole::kAudio);
  InstanceLock lock(plug->Mutex());
  plug->ProcessFloat(inputs, outputs, frames, true);
}

void VST_CALL IPlugVST::ProcessReplacing(vst::AEffect* effect, float** inputs, float** outputs,
                                         vst::int32 frames) {
  IPlugVST* plug = FromAEffect(effect);
  if (!plug) return;
  ScopedThreadRole role(ThreadRole::kAudio);
  InstanceLock lock(plug->Mutex());
  plug->ProcessFloat(inputs, outputs, frames, false);
}

void VST_CALL IPlugVST::ProcessDoubleReplacing(vst::AEffect* effect, double** inputs,
                                               double** outputs, vst::int32 frames) {
  IPlugVST* plug = FromAEffect(effect);
  if (!plug) return;
  ScopedThreadRole role(ThreadRole::kAudio);
  InstanceLock lock(plug->Mutex());
  plug->ProcessDouble(inputs, outputs, frames);
}

// ---- Parameter entries -------------------------------------------------------

void VST_CALL IPlugVST::SetParameter(vst::AEffect* effect, vst::int32 index, float value) {
  IPlugVST* plug = FromAEffect(effect);
  if (!plug) return;
  InstanceLock lock(plug->Mutex());
  plug->plugin_->HostSetParameter(index, value);
}

float VST_CALL IPlugVST::GetParameter(vst::AEffect* effect, vst::int32 index) {
  IPlugVST* plug = FromAEffect(effect);
  if (!plug) return 0.0f;
  InstanceLock lock(plug->Mutex());
  const IParameter* param = plug->plugin_->GetParam(index);
  return param ? static_cast<float>(param->NormalizedValue()) : 0.0f;
}

}  // namespace plug
