// The audio path: control ports, then the block in pieces that each begin at
// an event of the atom input, so notes and transport changes land on their
// sample (the sound VST 2 gives for events at the start of a block). Nothing
// here allocates, waits on anything but the instance lock, or logs.
#include <cmath>
#include <cstring>

#include "lv2/atom/util.h"
#include "plug/lv2/IPlugLV2.h"

namespace plug {

namespace {

// A number from an atom of one of the numeric types, or false.
struct NumberTypes {
  LV2_URID i, l, f, d;
};

bool AtomNumber(const LV2_Atom* atom, const NumberTypes& t, double* out) {
  if (!atom) return false;
  if (atom->type == t.i && atom->size >= sizeof(int32_t))
    *out = reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
  else if (atom->type == t.l && atom->size >= sizeof(int64_t))
    *out = static_cast<double>(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
  else if (atom->type == t.f && atom->size >= sizeof(float))
    *out = reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
  else if (atom->type == t.d && atom->size >= sizeof(double))
    *out = reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
  else
    return false;
  return std::isfinite(*out);
}

}  // namespace

void IPlugLV2::Run(uint32_t frames) {
  ScopedThreadRole role(ThreadRole::kAudio);
  InstanceLock lock(plugin_->Mutex());
  if (!audioIn_[0] || !audioIn_[1] || !audioOut_[0] || !audioOut_[1]) return;
  doubleIn_ = nullptr;
  doubleOut_ = nullptr;
  RunPieces(static_cast<int>(frames < 0x40000000u ? frames : 0x40000000u));
}

void IPlugLV2::RunDouble(const double* const* inputs, double* const* outputs, uint32_t frames) {
  ScopedThreadRole role(ThreadRole::kAudio);
  InstanceLock lock(plugin_->Mutex());
  if (!inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1]) return;
  doubleIn_ = inputs;
  doubleOut_ = outputs;
  RunPieces(static_cast<int>(frames < 0x40000000u ? frames : 0x40000000u));
  doubleIn_ = nullptr;
  doubleOut_ = nullptr;
}

void IPlugLV2::RunPieces(int frames) {
  BeginMidiOut();
  ApplyControlPorts();
  int done = 0;
  // Events arrive in time order; one out of order or past the end is taken
  // where the run stands, never before what was already processed.
  if (map_ && eventsIn_ && eventsIn_->atom.type == urids_.atomSequence &&
      eventsIn_->atom.size >= sizeof(LV2_Atom_Sequence_Body)) {
    LV2_ATOM_SEQUENCE_FOREACH(eventsIn_, event) {
      // The host's size bounds the walk; a body running past it ends it.
      const auto* end = reinterpret_cast<const uint8_t*>(&eventsIn_->body) + eventsIn_->atom.size;
      const auto* body = reinterpret_cast<const uint8_t*>(event + 1);
      if (body > end || event->body.size > static_cast<uint64_t>(end - body)) break;
      int64_t at = event->time.frames;
      if (at < done) at = done;
      if (at > frames) at = frames;
      if (at > done) {
        ProcessPiece(done, static_cast<int>(at) - done);
        done = static_cast<int>(at);
      }
      // The event's frame is where a position it carries stands.
      position_.framesSince += done - pieceStart_;
      pieceStart_ = done;
      HandleEvent(event);
    }
  }
  if (done < frames) ProcessPiece(done, frames - done);
  position_.framesSince += frames - pieceStart_;
  pieceStart_ = 0;
  ReportLearnMode(frames);
}

void IPlugLV2::ProcessPiece(int offset, int frames) {
  IPlugBase* p = plugin_;
  const int block = p->GetBlockSize() > 0 ? p->GetBlockSize() : 1;
  for (int done = 0; done < frames;) {
    const int n = frames - done < block ? frames - done : block;
    const int at = offset + done;
    position_.framesSince += at - pieceStart_;
    pieceStart_ = at;
    if (doubleIn_) {
      p->AttachDoubleBuffers(const_cast<double**>(doubleIn_), const_cast<double**>(doubleOut_), at);
      p->HostProcess(p->InputPointers(), p->OutputPointers(), n);
    } else {
      p->AttachOutputBuffers(audioOut_);
      p->AttachInputBuffers(const_cast<float**>(audioIn_), at, n);
      p->HostProcess(p->InputPointers(), p->OutputPointers(), n);
      p->WriteFloatOutputs(at, n, false);
    }
    done += n;
  }
}

void IPlugLV2::ApplyControlPorts() {
  for (int i = 0; i < lv2::kParamPorts; ++i) {
    const float* port = controls_[i];
    if (!port) continue;
    const float v = *port;
    // Only a change the host made counts: the product's own changes (MIDI
    // learn, restored state) stay until the host writes the port anew. A
    // value that is not a number is no change.
    if (v == lastControls_[i] || std::isnan(v)) continue;
    lastControls_[i] = v;
    // Plain values, taken exactly (60 ms is 60 ms, not what a round trip
    // through a normalised value makes of it); out of range they are clamped
    // (hosts need not clamp).
    plugin_->HostSetParameterPlain(i, v);
  }
}

void IPlugLV2::HandleEvent(const LV2_Atom_Event* event) {
  const LV2_Atom& body = event->body;
  if (body.type == urids_.midiEvent) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&body + 1);
    // Channel messages only (SysEx and system messages mean nothing here),
    // with as many data bytes as the host gave.
    if (body.size < 1 || bytes[0] < 0x80 || bytes[0] >= 0xF0) return;
    IMidiMessage msg;
    msg.offset = 0;
    msg.status = bytes[0];
    msg.data1 = body.size > 1 ? bytes[1] & 0x7F : 0;
    msg.data2 = body.size > 2 ? bytes[2] & 0x7F : 0;
    plugin_->HostMidi(&msg);
    return;
  }
  if ((body.type == urids_.atomObject || body.type == urids_.atomBlank) &&
      body.size >= sizeof(LV2_Atom_Object_Body)) {
    const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&body);
    if (object->body.otype == urids_.timePosition) ReadPosition(object);
    // The UI's learn switch: the sequence walk has bounded the body.
    int mode = kMidiLearnOff;
    if (lv2::ReadLearnMessage(learnUrids_, &body, sizeof(LV2_Atom) + body.size, &mode)) {
      plugin_->HostSetMidiLearn(mode);
      reportedLearnMode_ = -1;
    }
  }
}

void IPlugLV2::ReadPosition(const LV2_Atom_Object* object) {
  const LV2_Atom *frame = nullptr, *speed = nullptr, *bpm = nullptr, *bar = nullptr,
                 *barBeat = nullptr, *beat = nullptr, *beatUnit = nullptr, *beatsPerBar = nullptr;
  lv2_atom_object_get(object, urids_.timeFrame, &frame, urids_.timeSpeed, &speed, urids_.timeBpm,
                      &bpm, urids_.timeBar, &bar, urids_.timeBarBeat, &barBeat, urids_.timeBeat,
                      &beat, urids_.timeBeatUnit, &beatUnit, urids_.timeBeatsPerBar, &beatsPerBar,
                      0);
  const NumberTypes t{urids_.atomInt, urids_.atomLong, urids_.atomFloat, urids_.atomDouble};
  // Each object says what changed; what it leaves out stays as it was, and
  // the position it gives is that of this event.
  Position& p = position_;
  p.known = true;
  p.framesSince = 0.0;
  double v = 0.0;
  if (AtomNumber(frame, t, &v) && v >= 0.0) p.frame = v;
  if (AtomNumber(speed, t, &v)) p.speed = v;
  if (AtomNumber(bpm, t, &v) && v > 0.0) p.bpm = v;
  if (AtomNumber(beatUnit, t, &v) && v >= 1.0 && v <= 256.0) p.beatUnit = static_cast<int>(v);
  if (AtomNumber(beatsPerBar, t, &v) && v >= 1.0 && v <= 256.0) p.beatsPerBar = static_cast<int>(v);
  // Beats count in the time signature's unit; the product counts quarters.
  const double quarter = p.beatUnit > 0 ? 4.0 / p.beatUnit : 1.0;
  double barIndex = 0.0, inBar = 0.0;
  const bool haveBar = AtomNumber(bar, t, &barIndex) && barIndex >= 0.0;
  const bool haveBarBeat = AtomNumber(barBeat, t, &inBar) && inBar >= 0.0;
  if (AtomNumber(beat, t, &v) && v >= 0.0) {
    p.beats = v * quarter;
    if (haveBarBeat) p.barStart = (v - inBar) * quarter;
  } else if (haveBar && haveBarBeat && p.beatsPerBar > 0) {
    p.barStart = barIndex * p.beatsPerBar * quarter;
    p.beats = p.barStart + inBar * quarter;
  }
}

void IPlugLV2::BeginMidiOut() {
  midiOutCapacity_ = 0;
  if (!midiOut_ || !map_) return;
  // The host gives the buffer's capacity as the atom's size; an empty
  // sequence goes out unless the product passes MIDI through.
  const uint32_t capacity = midiOut_->atom.size;
  midiOut_->atom.type = urids_.atomSequence;
  midiOut_->atom.size = sizeof(LV2_Atom_Sequence_Body);
  midiOut_->body.unit = 0;
  midiOut_->body.pad = 0;
  if (capacity >= sizeof(LV2_Atom_Sequence_Body))
    midiOutCapacity_ = capacity - sizeof(LV2_Atom_Sequence_Body);
}

bool IPlugLV2::AppendOutput(int64_t frame, LV2_URID type, const void* body, uint32_t size) {
  if (!midiOut_ || !map_) return false;
  const uint32_t used = midiOut_->atom.size - sizeof(LV2_Atom_Sequence_Body);
  const uint32_t need = lv2_atom_pad_size(sizeof(LV2_Atom_Event) + size);
  if (used + need > midiOutCapacity_) return false;
  auto* event = reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<uint8_t*>(&midiOut_->body) +
                                                  sizeof(LV2_Atom_Sequence_Body) + used);
  event->time.frames = frame;
  event->body.type = type;
  event->body.size = size;
  std::memcpy(event + 1, body, size);
  midiOut_->atom.size += need;
  return true;
}

bool IPlugLV2::SendMidiToHost(const IMidiMessage* msg) {
  if (!msg) return false;
  const uint8_t bytes[3] = {msg->status, msg->data1, msg->data2};
  return AppendOutput(pieceStart_ + msg->offset, urids_.midiEvent, bytes, sizeof bytes);
}

void IPlugLV2::ReportLearnMode(int frames) {
  const int mode = plugin_->HostMidiLearnMode();
  if (mode == reportedLearnMode_ || !learnUrids_.Known()) return;
  // After the run's MIDI, which lies before its last frame; untold while
  // the output is full or absent, so the next run tries again.
  const lv2::LearnMessage message = lv2::MakeLearnMessage(learnUrids_, mode);
  if (AppendOutput(frames > 0 ? frames - 1 : 0, message.object.atom.type, &message.object.body,
                   message.object.atom.size))
    reportedLearnMode_ = mode;
}

}  // namespace plug
