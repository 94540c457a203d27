#pragma once

namespace quillet {

// The equal-tempered frequencies of MIDI notes 0 to 127 (A4 = note 69 = 440 Hz),
// as a fixed table rounded to three decimals (two for notes 124 to 127). A
// microtuning master, when present, replaces it at note-on; its frequencies
// are exact and do not come from this table.
namespace NoteFrequencyTable {
constexpr int kNoteCount = 128;

// Frequency of `note`; 0 for a note outside 0..127.
double FrequencyHz(int note);
}  // namespace NoteFrequencyTable

}  // namespace quillet
