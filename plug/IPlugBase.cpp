#include "plug/IPlugBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "plug/HostIdentification.h"
#include "plug/TextUtil.h"

namespace plug {

namespace {

constexpr int kMaxIdentityText = 127;

std::string BoundedName(const char* text) {
  std::string s = text ? text : "";
  if (s.size() > kMaxIdentityText) s.resize(kMaxIdentityText);
  return s;
}

}  // namespace

IPlugBase::IPlugBase(const IPlugConfig& config) {
  uniqueId_ = config.uniqueId;
  version_ = config.version;
  for (int i = 0; i < config.paramCount; ++i) params_.push_back(new IParameter());
  for (int i = 0; i < config.presetCount; ++i) presets_.push_back(new IPresetSlot());
  effectName_ = BoundedName(config.effectName);
  productName_ = BoundedName(config.productName);
  makerName_ = BoundedName(config.makerName);

  // The channel text is a list of "%d-%d" pairs separated by single spaces.
  int maxIn = 0, maxOut = 0;
  const char* p = config.channelIO ? config.channelIO : "";
  while (*p) {
    IChannelPair* pair = new IChannelPair();
    if (std::sscanf(p, "%d-%d", &pair->inputs, &pair->outputs) != 2) {
      pair->inputs = pair->outputs = 0;
    }
    if (pair->inputs < 0) pair->inputs = 0;
    if (pair->outputs < 0) pair->outputs = 0;
    channelIO_.push_back(pair);
    if (pair->inputs > maxIn) maxIn = pair->inputs;
    if (pair->outputs > maxOut) maxOut = pair->outputs;
    const char* space = std::strchr(p, ' ');
    if (!space) break;
    p = space + 1;
  }

  inPointers_.assign(static_cast<std::size_t>(maxIn), nullptr);
  outPointers_.assign(static_cast<std::size_t>(maxOut), nullptr);
  for (int i = 0; i < maxIn; ++i) {
    IInputChannel* ch = new IInputChannel();
    ch->entry = &inPointers_[static_cast<std::size_t>(i)];
    inChannels_.push_back(ch);
  }
  for (int i = 0; i < maxOut; ++i) {
    IOutputChannel* ch = new IOutputChannel();
    ch->entry = &outPointers_[static_cast<std::size_t>(i)];
    outChannels_.push_back(ch);
  }
}

IPlugBase::~IPlugBase() {
  delete editor_;
  for (IParameter* p : params_) delete p;
  for (IPresetSlot* p : presets_) delete p;
  for (IInputChannel* c : inChannels_) delete c;
  for (IOutputChannel* c : outChannels_) delete c;
  for (IChannelPair* c : channelIO_) delete c;
}

void IPlugBase::OnReset() { InstanceLock lock(mutex_); }

void IPlugBase::OnParamChanged(int) { InstanceLock lock(mutex_); }

void IPlugBase::OnActivation(bool) { InstanceLock lock(mutex_); }

void IPlugBase::ProcessBlock(double** inputs, double** outputs, int frames) {
  const int nIn = NInChannels(), nOut = NOutChannels();
  for (int i = 0; i < nOut; ++i) {
    if (!outputs[i]) continue;
    if (i < nIn && inputs[i]) {
      // memmove: a host may hand the same buffer for input and output.
      if (outputs[i] != inputs[i]) std::memmove(outputs[i], inputs[i], sizeof(double) * frames);
    } else {
      std::memset(outputs[i], 0, sizeof(double) * frames);
    }
  }
}

void IPlugBase::OnMidiMessage(const IMidiMessage* msg) { SendMidiToHost(msg); }

bool IPlugBase::GetMidiNoteName(int, char* name) {
  if (name) *name = '\0';
  return false;
}

bool IPlugBase::SaveState(StateChunk* chunk) { return SerializeParams(chunk); }

int IPlugBase::LoadState(const StateChunk* chunk, int position) {
  return UnserializeParams(chunk, position);
}

bool IPlugBase::StateEquals(const double* values, int startIndex) {
  for (int i = 0; i < NParams(); ++i) {
    float live = static_cast<float>(params_[static_cast<std::size_t>(i)]->Value());
    float stored = static_cast<float>(values[startIndex + i]);
    if (!(std::fabs(live - stored) < 1e-5f)) return false;
  }
  return true;
}

void IPlugBase::SetParameterFromEditor(int paramIndex, double normalized) {
  {
    InstanceLock lock(mutex_);
    IParameter* param = GetParam(paramIndex);
    if (!param) return;
    param->SetFromNormalized(normalized);
    OnParamChanged(paramIndex);
  }
  // The host hears of it after the lock is released (a host that calls back
  // into the plug-in from another thread inside the callback would otherwise
  // wait for us forever), and gets exactly the value the editor gave, not the
  // rounded one. A caller that already holds the lock (MIDI learn) still
  // calls the host under it.
  NotifyHostParamValue(paramIndex, normalized);
}

void IPlugBase::InitForHost() {
  if (IsStereoOnlyHost(GetHostKind())) LimitToStereo();
  OnHostKnown();
}

void IPlugBase::AttachEditor(IPlugEditor* editor) {
  if (!editor) return;
  InstanceLock lock(mutex_);
  for (int i = 0; i < NParams(); ++i)
    editor->SetControlsFromPlugin(i, params_[static_cast<std::size_t>(i)]->NormalizedValue());
  editor->PrepareDrawing();
  if (editor_ != editor) delete editor_;
  editor_ = editor;
}

void IPlugBase::RefreshParamControls() {
  if (!editor_) return;
  for (int i = 0; i < NParams(); ++i) {
    editor_->SetParameterFromPlugin(i, params_[static_cast<std::size_t>(i)]->Value(), false);
  }
}

void IPlugBase::ChangeBlockSize(int frames) {
  if (frames == blockSize_) return;
  const std::size_t n = frames > 0 ? static_cast<std::size_t>(frames) : 0u;
  for (IInputChannel* ch : inChannels_) ch->scratch.assign(n, 0.0);
  for (IOutputChannel* ch : outChannels_) ch->scratch.assign(n, 0.0);
  // Channels that point at their scratch buffer (disconnected ones) follow it.
  for (IInputChannel* ch : inChannels_) {
    if (!ch->connected) *ch->entry = ch->scratch.data();
  }
  for (IOutputChannel* ch : outChannels_) {
    if (!ch->connected) *ch->entry = ch->scratch.data();
  }
  blockSize_ = frames;
}

IParameter* IPlugBase::GetParam(int index) {
  return index >= 0 && index < NParams() ? params_[static_cast<std::size_t>(index)] : nullptr;
}

const IParameter* IPlugBase::GetParam(int index) const {
  return index >= 0 && index < NParams() ? params_[static_cast<std::size_t>(index)] : nullptr;
}

bool IPlugBase::IsInChannelConnected(int i) const {
  return i >= 0 && i < NInChannels() && inChannels_[static_cast<std::size_t>(i)]->connected;
}

bool IPlugBase::IsOutChannelConnected(int i) const {
  return i >= 0 && i < NOutChannels() && outChannels_[static_cast<std::size_t>(i)]->connected;
}

const IInputChannel* IPlugBase::InputChannel(int i) const {
  return i >= 0 && i < NInChannels() ? inChannels_[static_cast<std::size_t>(i)] : nullptr;
}

const IOutputChannel* IPlugBase::OutputChannel(int i) const {
  return i >= 0 && i < NOutChannels() ? outChannels_[static_cast<std::size_t>(i)] : nullptr;
}

void IPlugBase::SetInputLabel(int i, const char* label) {
  if (i >= 0 && i < NInChannels())
    inChannels_[static_cast<std::size_t>(i)]->label = label ? label : "";
}

void IPlugBase::SetOutputLabel(int i, const char* label) {
  if (i >= 0 && i < NOutChannels())
    outChannels_[static_cast<std::size_t>(i)]->label = label ? label : "";
}

bool IPlugBase::LegalIO(int inputs, int) const {
  for (const IChannelPair* pair : channelIO_) {
    if (pair->inputs == inputs) return true;
  }
  return false;
}

void IPlugBase::SetInputConnections(int first, int count, bool connected) {
  for (int i = first < 0 ? 0 : first; i < first + count && i < NInChannels(); ++i) {
    IInputChannel* ch = inChannels_[static_cast<std::size_t>(i)];
    ch->connected = connected;
    if (!connected) {
      // The buffer still holds the last block the host gave while the channel
      // was connected; a disconnected input must read as silence.
      std::fill(ch->scratch.begin(), ch->scratch.end(), 0.0);
      *ch->entry = ch->scratch.data();
    }
  }
}

void IPlugBase::SetOutputConnections(int first, int count, bool connected) {
  for (int i = first < 0 ? 0 : first; i < first + count && i < NOutChannels(); ++i) {
    IOutputChannel* ch = outChannels_[static_cast<std::size_t>(i)];
    ch->connected = connected;
    if (!connected) *ch->entry = ch->scratch.data();
  }
}

void IPlugBase::LimitToStereo() {
  SetInputConnections(2, NInChannels() - 2, false);
  if (NOutChannels() >= 3) SetOutputConnections(2, NOutChannels() - 2, true);
}

void IPlugBase::NotifyAllParamsChanged() {
  for (int i = 0; i < NParams(); ++i) OnParamChanged(i);
}

void IPlugBase::NotifyHostAllParams() {
  InstanceLock lock(mutex_);
  for (int i = 0; i < NParams(); ++i)
    NotifyHostParamValue(i, params_[static_cast<std::size_t>(i)]->NormalizedValue());
}

int IPlugBase::GetDecimalVersion() const {
  return ((version_ >> 16) & 0xFFFF) * 10000 + ((version_ >> 8) & 0xFF) * 100 + (version_ & 0xFF);
}

// ---- Float and double attachment ------------------------------------------

void IPlugBase::AttachInputBuffers(float** hostInputs, int frameOffset, int n) {
  int next = 0;
  for (IInputChannel* ch : inChannels_) {
    if (!ch->connected) continue;
    const float* src = hostInputs[next++];
    double* dst = ch->scratch.data();
    if (!src) {
      std::memset(dst, 0, sizeof(double) * static_cast<std::size_t>(n));
    } else {
      src += frameOffset;
      int i = 0;
      for (; i + 4 <= n; i += 4) {
        dst[i] = src[i];
        dst[i + 1] = src[i + 1];
        dst[i + 2] = src[i + 2];
        dst[i + 3] = src[i + 3];
      }
      for (; i < n; ++i) dst[i] = src[i];
    }
    *ch->entry = dst;
  }
}

void IPlugBase::AttachOutputBuffers(float** hostOutputs) {
  int next = 0;
  for (IOutputChannel* ch : outChannels_) {
    if (!ch->connected) continue;
    ch->hostOutput = hostOutputs[next++];
    *ch->entry = ch->scratch.data();
  }
}

void IPlugBase::AttachDoubleBuffers(double** hostInputs, double** hostOutputs, int frameOffset) {
  int next = 0;
  for (IInputChannel* ch : inChannels_) {
    if (!ch->connected) continue;
    double* src = hostInputs[next++];
    if (src) {
      *ch->entry = src + frameOffset;
    } else {
      // A host that connects a channel but passes no buffer gets silence.
      std::fill(ch->scratch.begin(), ch->scratch.end(), 0.0);
      *ch->entry = ch->scratch.data();
    }
  }
  next = 0;
  for (IOutputChannel* ch : outChannels_) {
    if (!ch->connected) continue;
    double* dst = hostOutputs[next++];
    *ch->entry = dst ? dst + frameOffset : ch->scratch.data();
  }
}

void IPlugBase::WriteFloatOutputs(int frameOffset, int n, bool accumulate) {
  for (IOutputChannel* ch : outChannels_) {
    if (!ch->connected || !ch->hostOutput) continue;
    const double* src = *ch->entry;
    float* dst = ch->hostOutput + frameOffset;
    if (accumulate) {
      for (int i = 0; i < n; ++i) dst[i] += static_cast<float>(src[i]);
    } else {
      for (int i = 0; i < n; ++i) dst[i] = static_cast<float>(src[i]);
    }
  }
}

}  // namespace plug
