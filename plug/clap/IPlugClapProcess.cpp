// The process call: the host's buffers, its events at their sample offsets
// and its transport, turned into the base's process entries; the editor's
// edits and the MIDI thru out as events.
//
// The block is split at every event time and the event delivered at offset 0
// of its piece (see IPlugBase.h): the sound is then the VST 2 build's for the
// same events on block starts. Pieces never exceed the activated block size.
#include <cmath>
#include <cstring>

#include "plug/clap/IPlugClap.h"

namespace plug {

namespace {

constexpr int kMaxChannels = 8;

bool HasChannels(const clap::AudioBuffer& buffer, bool doubles) {
  void* const* data = doubles ? reinterpret_cast<void* const*>(buffer.data64)
                              : reinterpret_cast<void* const*>(buffer.data32);
  if (!data || buffer.channelCount < 1) return false;
  for (std::uint32_t c = 0; c < buffer.channelCount && c < 2; ++c)
    if (!data[c]) return false;
  return true;
}

}  // namespace

std::int32_t IPlugClap::Process(const clap::Process* process) {
  IPlugBase* p = plugin_;
  const int frames = static_cast<int>(process->framesCount);
  if (process->framesCount > 0x7FFFFFFFu) return clap::kProcessError;
  if (process->audioOutputsCount < 1 || !process->audioOutputs) return clap::kProcessError;
  const clap::AudioBuffer& out = process->audioOutputs[0];
  const bool useDouble = out.data64 != nullptr;
  if (!HasChannels(out, useDouble) ||
      out.channelCount < static_cast<std::uint32_t>(p->NOutChannels()))
    return clap::kProcessError;
  process->audioOutputs[0].constantMask = 0;
  processThread_.store(std::this_thread::get_id(), std::memory_order_relaxed);
  outEvents_ = process->outEvents && process->outEvents->tryPush ? process->outEvents : nullptr;
  transport_ = process->transport;
  transportFrame_ = 0;
  if (outEvents_) DrainEdits(outEvents_);

  const clap::InputEvents* events = process->inEvents;
  const std::uint32_t eventCount = events && events->size && events->get ? events->size(events) : 0;
  std::uint32_t next = 0;
  const int piece = p->GetBlockSize() > 0 ? p->GetBlockSize() : 1;
  for (int done = 0; done < frames;) {
    int end = frames;
    for (; next < eventCount; ++next) {
      const clap::EventHeader* event = events->get(events, next);
      if (!event) continue;
      if (static_cast<int>(event->time) > done && event->time < process->framesCount) {
        end = static_cast<int>(event->time);
        break;
      }
      pieceOffset_ = done;
      ApplyEvent(event);
    }
    if (end - done > piece) end = done + piece;
    pieceOffset_ = done;
    ProcessPiece(process, done, end - done, useDouble);
    done = end;
  }
  // Events stamped at or past the block's end (a host's slip) have taken
  // effect where the loop reached them; those of a call without frames, and
  // any left, take effect now.
  pieceOffset_ = frames > 0 ? frames - 1 : 0;
  for (; next < eventCount; ++next) {
    if (const clap::EventHeader* event = events->get(events, next)) ApplyEvent(event);
  }
  pieceOffset_ = 0;
  transport_ = nullptr;
  outEvents_ = nullptr;
  processThread_.store(std::thread::id(), std::memory_order_relaxed);
  return clap::kProcessTail;
}

void IPlugClap::ProcessPiece(const clap::Process* process, int offset, int frames, bool useDouble) {
  IPlugBase* p = plugin_;
  const clap::AudioBuffer& out = process->audioOutputs[0];
  const clap::AudioBuffer* in =
      process->audioInputsCount >= 1 && process->audioInputs ? &process->audioInputs[0] : nullptr;
  // An input port in the other sample size (we ask for one common size) or
  // without buffers: silence in.
  if (in && !HasChannels(*in, useDouble)) in = nullptr;
  const int nIn = p->NInChannels() < kMaxChannels ? p->NInChannels() : kMaxChannels;
  const int nOut = p->NOutChannels() < kMaxChannels ? p->NOutChannels() : kMaxChannels;
  if (useDouble) {
    double* ins[kMaxChannels];
    double* outs[kMaxChannels];
    for (int c = 0; c < nIn; ++c) {
      ins[c] = in && static_cast<std::uint32_t>(c) < in->channelCount && in->data64[c]
                   ? in->data64[c] + offset
                   : silence_.data();
    }
    for (int c = 0; c < nOut; ++c) outs[c] = out.data64[c] + offset;
    p->AttachDoubleBuffers(ins, outs, 0);
    p->HostProcess(p->InputPointers(), p->OutputPointers(), frames);
  } else {
    float* ins[kMaxChannels];
    float* outs[kMaxChannels];
    for (int c = 0; c < nIn; ++c) {
      ins[c] = in && static_cast<std::uint32_t>(c) < in->channelCount && in->data32[c]
                   ? in->data32[c] + offset
                   : silenceFloat_.data();
    }
    for (int c = 0; c < nOut; ++c) outs[c] = out.data32[c] + offset;
    p->AttachOutputBuffers(outs);
    p->AttachInputBuffers(ins, 0, frames);
    p->HostProcess(p->InputPointers(), p->OutputPointers(), frames);
    p->WriteFloatOutputs(0, frames, false);
  }
}

void IPlugClap::ApplyEvent(const clap::EventHeader* event) {
  if (event->spaceId != clap::kCoreEventSpace) return;
  switch (event->type) {
    case clap::kEventParamValue:
      if (event->size >= sizeof(clap::EventParamValue))
        ApplyParamValue(reinterpret_cast<const clap::EventParamValue*>(event));
      break;
    case clap::kEventNoteOn:
    case clap::kEventNoteOff:
    case clap::kEventNoteChoke:
      if (event->size >= sizeof(clap::EventNote))
        ApplyNote(reinterpret_cast<const clap::EventNote*>(event));
      break;
    case clap::kEventMidi:
      if (event->size >= sizeof(clap::EventMidi)) {
        const auto* midi = reinterpret_cast<const clap::EventMidi*>(event);
        IMidiMessage msg;
        msg.status = midi->data[0];
        msg.data1 = midi->data[1];
        msg.data2 = midi->data[2];
        plugin_->HostMidi(&msg);
      }
      break;
    case clap::kEventMidiSysex:
      if (event->size >= sizeof(clap::EventMidiSysex)) {
        const auto* sysex = reinterpret_cast<const clap::EventMidiSysex*>(event);
        ISysExMessage msg;
        msg.data = sysex->buffer;
        msg.size = sysex->buffer && sysex->size <= 0x7FFFFFFFu ? static_cast<int>(sysex->size) : 0;
        plugin_->HostSysEx(&msg);
      }
      break;
    case clap::kEventTransport:
      if (event->size >= sizeof(clap::EventTransport)) {
        std::memcpy(&transportCopy_, event, sizeof transportCopy_);
        transport_ = &transportCopy_;
        transportFrame_ = static_cast<int>(event->time) < pieceOffset_
                              ? static_cast<int>(event->time)
                              : pieceOffset_;
      }
      break;
    default:
      break;  // modulation, expressions, MIDI 2: not used
  }
}

void IPlugClap::ApplyParamValue(const clap::EventParamValue* event) {
  const IParameter* param = plugin_->GetParam(static_cast<int>(event->paramId));
  if (!param || event->paramId >= static_cast<clap::Id>(plugin_->NParams())) return;
  if (!std::isfinite(event->value)) return;
  plugin_->HostSetParameter(static_cast<int>(event->paramId),
                            NormalizedFromClap(param, event->value));
}

// CLAP notes become the MIDI messages a VST 2 host would send.
void IPlugClap::ApplyNote(const clap::EventNote* event) {
  if (event->key < 0 || event->key > 127) return;  // wildcards address no one key
  const int channel = event->channel >= 0 && event->channel < 16 ? event->channel : 0;
  IMidiMessage msg;
  msg.data1 = static_cast<unsigned char>(event->key);
  if (event->header.type == clap::kEventNoteOn) {
    double v = std::isfinite(event->velocity) ? event->velocity : 1.0;
    v = v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
    int velocity = static_cast<int>(std::lround(v * 127.0));
    // A note-on stays a note-on: MIDI velocity 0 would mean note-off.
    if (velocity < 1) velocity = 1;
    msg.status = static_cast<unsigned char>(0x90 | channel);
    msg.data2 = static_cast<unsigned char>(velocity);
  } else {
    msg.status = static_cast<unsigned char>(0x80 | channel);
    msg.data2 = 0;
  }
  plugin_->HostMidi(&msg);
}

bool IPlugClap::PushParamValue(const clap::OutputEvents* out, int index, double normalized,
                               std::uint32_t flags, std::uint32_t time) {
  const IParameter* param = plugin_->GetParam(index);
  if (!param) return false;
  clap::EventParamValue event{};
  event.header.size = sizeof event;
  event.header.time = time;
  event.header.spaceId = clap::kCoreEventSpace;
  event.header.type = clap::kEventParamValue;
  event.header.flags = flags;
  event.paramId = static_cast<clap::Id>(index);
  event.cookie = nullptr;
  event.noteId = -1;
  event.portIndex = -1;
  event.channel = -1;
  event.key = -1;
  event.value = ClapValueFromNormalized(param, normalized);
  return out->tryPush(out, &event.header);
}

void IPlugClap::DrainEdits(const clap::OutputEvents* out) {
  ClapEditQueue::Edit edit;
  while (edits_.Pop(&edit)) {
    if (edit.kind == ClapEditQueue::Kind::kValue) {
      PushParamValue(out, edit.param, edit.normalized, clap::kEventIsLive, 0);
      continue;
    }
    clap::EventParamGesture event{};
    event.header.size = sizeof event;
    event.header.time = 0;
    event.header.spaceId = clap::kCoreEventSpace;
    event.header.type = edit.kind == ClapEditQueue::Kind::kBegin ? clap::kEventParamGestureBegin
                                                                 : clap::kEventParamGestureEnd;
    event.header.flags = clap::kEventIsLive;
    event.paramId = static_cast<clap::Id>(edit.param);
    out->tryPush(out, &event.header);
  }
}

}  // namespace plug
