// A short list of notes written on the command line, for example
//   "A3@0+2, C4@0+2:90, 64@2+1.5"
// Each entry is NOTE@START+LENGTH[:VELOCITY], entries separated by commas or
// spaces. NOTE is a MIDI note number 0..127 or a name with an optional sharp
// or flat and an octave, where C4 is 60 (so A4 is 69, C-1 is 0). START and
// LENGTH are in quarter-note beats at the render's tempo; VELOCITY is 1..127
// (default 100). All notes go to MIDI channel 1.
#pragma once

#include <string>
#include <vector>

#include "tools/render/TimedMidiMessage.h"

namespace render {

class NoteList {
 public:
  // Note-on and note-off messages in time order. On a malformed entry returns
  // false and names it in errorText.
  static bool parse(const std::string& text, double tempoBpm,
                    std::vector<TimedMidiMessage>* messages, std::string* errorText);

  // "C4" -> 60, "A#3" -> 58, "Bb3" -> 58, "69" -> 69. False when not a note.
  static bool parseNote(const std::string& text, int* note);
};

}  // namespace render
