#pragma once

#include <cstdint>

#include "quillet/Envelope.h"

namespace quillet {

// Which MIDI voice plays which note, and how a note-on chooses its voice.
//
// A voice remembers the last note it took and the note-on count at that moment
// (its stamp). A note-on looks at voices 0 to polyphony - 1 and takes:
//   1. the first voice whose last note is this note (a retrigger, even if that
//      voice has gone idle since);
//   2. else the first voice whose envelope is idle;
//   3. else the voice with the smallest stamp (the oldest note-on; the first of
//      equal stamps).
// After a reset every voice holds note 36 with stamp 0, so a first note of 36
// takes voice 0, as any other first note does.
class VoiceTable {
 public:
  static constexpr int kVoiceCount = 8;

  VoiceTable();

  // Every voice back to note 36, stamp 0, and the note-on count to 0.
  void Reset();

  // The voice for a note-on of `note` among the first `polyphony` voices
  // (clamped to 1..8), judged by their envelopes (kVoiceCount of them).
  int ChooseVoice(int note, int polyphony, const Envelope* envelopes) const;

  // Counts the note-on and records it on `voice`.
  void Assign(int voice, int note);

  int Note(int voice) const { return note_[voice]; }
  std::int64_t Stamp(int voice) const { return stamp_[voice]; }
  std::int64_t NoteCounter() const { return noteCounter_; }

 private:
  int note_[kVoiceCount];
  std::int64_t stamp_[kVoiceCount];
  std::int64_t noteCounter_ = 0;  // 64 bits: never wraps, so the oldest stays the oldest
};

}  // namespace quillet
