// process: the host's block, split at every parameter change point and note
// event so that each lands on its own sample, as VST 2 sees events delivered
// at the start of a block.
#include <algorithm>
#include <cmath>

#include "plug/vst3/Vst3Plugin.h"

namespace plug {

namespace {

using namespace vst3;

constexpr unsigned char kNoteOffStatus = 0x80;
constexpr unsigned char kNoteOnStatus = 0x90;
constexpr unsigned char kControlChangeStatus = 0xB0;

double Clamp01(double v) { return v > 1.0 ? 1.0 : (v > 0.0 ? v : 0.0); }

// A normalised value as a 7-bit MIDI value, as hosts scale them (v / 127).
unsigned char SevenBit(double normalized) {
  return static_cast<unsigned char>(std::floor(Clamp01(normalized) * 127.0 + 0.5));
}

// Host offsets are clamped into the block.
int ClampOffset(int32 offset, int numSamples) {
  if (offset < 0) return 0;
  return offset >= numSamples ? numSamples - 1 : offset;
}

// Whether a bus carries two usable channels of the given width.
bool UsableBus(const AudioBusBuffers* bus, bool doubles) {
  if (!bus || bus->numChannels < 2) return false;
  if (doubles) return bus->channelBuffers64 && bus->channelBuffers64[0] && bus->channelBuffers64[1];
  return bus->channelBuffers32 && bus->channelBuffers32[0] && bus->channelBuffers32[1];
}

}  // namespace

void Vst3Plugin::ApplyQueuedValue(ParamID id, double value) {
  if (!std::isfinite(value)) return;
  if (id < static_cast<ParamID>(plugin_->NParams())) {
    plugin_->HostSetParameter(static_cast<int>(id), Clamp01(value));
    return;
  }
  if (id >= vst3ids::kControllerParamBase) {
    const ParamID cc = id - vst3ids::kControllerParamBase;
    if (cc > 127 || !vst3ids::IsMappedController(static_cast<int>(cc))) return;
    const int slot = cc <= 120 ? static_cast<int>(cc) : 121;
    controllerValues_[slot] = Clamp01(value);
    IMidiMessage msg;
    msg.status = kControlChangeStatus;
    msg.data1 = static_cast<unsigned char>(cc);
    msg.data2 = SevenBit(value);
    plugin_->HostMidi(&msg);
  }
  // The program parameter is applied on the controller side only.
}

void Vst3Plugin::DeliverEvent(const Event& event) {
  if (event.busIndex != 0) return;
  IMidiMessage msg;  // offset 0: the piece starts at the event
  switch (event.type) {
    case kNoteOnEvent:
    case kNoteOffEvent: {
      const bool on = event.type == kNoteOnEvent;
      const int16 channel = on ? event.noteOn.channel : event.noteOff.channel;
      const int16 pitch = on ? event.noteOn.pitch : event.noteOff.pitch;
      if (channel < 0 || channel > 15 || pitch < 0 || pitch > 127) return;
      msg.status = static_cast<unsigned char>((on ? kNoteOnStatus : kNoteOffStatus) | channel);
      msg.data1 = static_cast<unsigned char>(pitch);
      if (on) {
        // A note-on keeps at least velocity 1: 0 would make it a note-off.
        const float velocity = event.noteOn.velocity;
        msg.data2 = velocity > 0.0f ? SevenBit(velocity) : 0;
        if (velocity > 0.0f && msg.data2 == 0) msg.data2 = 1;
      } else {
        msg.data2 = SevenBit(event.noteOff.velocity);
      }
      plugin_->HostMidi(&msg);
      break;
    }
    case kDataEvent:
      if (event.data.type == kMidiSysEx && event.data.bytes && event.data.size > 0 &&
          event.data.size < 0x7FFFFFFF) {
        ISysExMessage sysex;
        sysex.data = event.data.bytes;
        sysex.size = static_cast<int>(event.data.size);
        plugin_->HostSysEx(&sysex);
      }
      break;
    default:
      break;
  }
}

int Vst3Plugin::DeliverDue(int at, int numSamples) {
  int next = numSamples;
  for (int i = 0; i < cursorCount_; ++i) {
    QueueCursor& c = cursors_[i];
    while (c.next < c.points) {
      int32 offset = 0;
      ParamValue value = 0.0;
      if (c.queue->getPoint(c.next, &offset, &value) != kResultOk) {
        c.next = c.points;
        break;
      }
      const int frame = ClampOffset(offset, numSamples);
      if (frame > at) {
        if (frame < next) next = frame;
        break;
      }
      ApplyQueuedValue(c.id, value);
      ++c.next;
    }
  }
  IEventList* events = block_->inputEvents;
  while (haveEvent_) {
    const int frame = ClampOffset(event_.sampleOffset, numSamples);
    if (frame > at) {
      if (frame < next) next = frame;
      break;
    }
    DeliverEvent(event_);
    haveEvent_ = false;
    while (!haveEvent_ && nextEvent_ < eventCount_)
      haveEvent_ = events->getEvent(nextEvent_++, &event_) == kResultOk;
  }
  return next;
}

void Vst3Plugin::ProcessPieces(ProcessData* data, bool doubles) {
  IPlugBase* p = plugin_;
  const int numSamples = data->numSamples;
  const bool audio = numSamples > 0 && data->numInputs > 0 && data->numOutputs > 0 &&
                     UsableBus(data->inputs, doubles) && UsableBus(data->outputs, doubles);
  // Parameter queues: the first kMaxFollowedQueues followed at their
  // offsets, any others applied at once (their last point).
  cursorCount_ = 0;
  if (IParameterChanges* changes = data->inputParameterChanges) {
    const int32 count = changes->getParameterCount();
    for (int32 i = 0; i < count; ++i) {
      IParamValueQueue* queue = changes->getParameterData(i);
      if (!queue) continue;
      const int32 points = queue->getPointCount();
      if (points <= 0) continue;
      const ParamID id = queue->getParameterId();
      if (audio && cursorCount_ < kMaxFollowedQueues) {
        cursors_[cursorCount_++] = QueueCursor{queue, id, points, 0};
      } else {
        int32 offset = 0;
        ParamValue value = 0.0;
        if (queue->getPoint(points - 1, &offset, &value) == kResultOk) ApplyQueuedValue(id, value);
      }
    }
  }
  if (!audio) {
    // A flush (no audio) brings parameters only; a block without usable
    // input still owes its outputs: silence.
    if (numSamples > 0 && data->numOutputs > 0 && UsableBus(data->outputs, doubles)) {
      for (int c = 0; c < 2; ++c) {
        if (doubles)
          std::fill_n(data->outputs[0].channelBuffers64[c], numSamples, 0.0);
        else
          std::fill_n(data->outputs[0].channelBuffers32[c], numSamples, 0.0f);
      }
      data->outputs[0].silenceFlags = 3;
    }
    return;
  }
  eventCount_ = data->inputEvents ? data->inputEvents->getEventCount() : 0;
  nextEvent_ = 0;
  haveEvent_ = false;
  while (!haveEvent_ && nextEvent_ < eventCount_)
    haveEvent_ = data->inputEvents->getEvent(nextEvent_++, &event_) == kResultOk;

  data->outputs[0].silenceFlags = 0;
  const int piece = p->GetBlockSize() > 0 ? p->GetBlockSize() : 1;
  if (!doubles) p->AttachOutputBuffers(data->outputs[0].channelBuffers32);
  for (int done = 0; done < numSamples;) {
    int end = DeliverDue(done, numSamples);
    if (end - done > piece) end = done + piece;
    const int n = end - done;
    pieceOffset_ = done;
    if (doubles) {
      p->AttachDoubleBuffers(data->inputs[0].channelBuffers64, data->outputs[0].channelBuffers64,
                             done);
      p->HostProcess(p->InputPointers(), p->OutputPointers(), n);
    } else {
      p->AttachInputBuffers(data->inputs[0].channelBuffers32, done, n);
      p->HostProcess(p->InputPointers(), p->OutputPointers(), n);
      p->WriteFloatOutputs(done, n, false);
    }
    done = end;
  }
  pieceOffset_ = 0;
}

tresult VST3_CALL Vst3Plugin::process(ProcessData* data) {
  if (!data) return kInvalidArgument;
  const bool doubles = data->symbolicSampleSize == kSample64;
  if (!doubles && data->symbolicSampleSize != kSample32) return kInvalidArgument;
  ScopedThreadRole role(ThreadRole::kAudio);
  InstanceLock lock(Mutex());
  processMode_ = data->processMode;
  block_ = data;
  ProcessPieces(data, doubles);
  block_ = nullptr;
  return kResultOk;
}

}  // namespace plug
