#include "quillet/VoiceTable.h"

namespace quillet {

namespace {
constexpr int kResetNote = 36;
}

VoiceTable::VoiceTable() { Reset(); }

void VoiceTable::Reset() {
  for (int v = 0; v < kVoiceCount; ++v) {
    note_[v] = kResetNote;
    stamp_[v] = 0;
  }
  noteCounter_ = 0;
}

int VoiceTable::ChooseVoice(int note, int polyphony, const Envelope* envelopes) const {
  const int count = polyphony < 1 ? 1 : (polyphony > kVoiceCount ? kVoiceCount : polyphony);
  for (int v = 0; v < count; ++v)
    if (note_[v] == note) return v;
  for (int v = 0; v < count; ++v)
    if (envelopes[v].IsIdle()) return v;
  int oldest = 0;
  for (int v = 1; v < count; ++v)
    if (stamp_[v] < stamp_[oldest]) oldest = v;
  return oldest;
}

void VoiceTable::Assign(int voice, int note) {
  ++noteCounter_;
  note_[voice] = note;
  stamp_[voice] = noteCounter_;
}

}  // namespace quillet
