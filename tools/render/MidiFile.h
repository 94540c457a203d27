// Standard MIDI Files, formats 0 and 1 (format 2, independent sequences, is
// refused): every channel message of every track, merged into one list in
// time order with times in seconds.
//
// Times follow the file's tempo map (meta event 0x51, from any track, as
// format 1 files keep it in the first track). A file without tempo events is
// played at defaultTempoBpm. SMPTE time divisions (frames per second and ticks
// per frame) are honoured too; they ignore tempo.
//
// Running status is followed; a status byte of a SysEx or meta event does not
// set it. SysEx and meta events other than tempo are skipped. Every length and
// count is checked against the data: a truncated or corrupt file gives false
// with a one-line reason, never a partial list presented as complete.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/render/TimedMidiMessage.h"

namespace render {

class MidiFile {
 public:
  static bool parse(const std::vector<std::uint8_t>& bytes, double defaultTempoBpm,
                    std::vector<TimedMidiMessage>* messages, std::string* errorText);
  static bool read(const std::string& path, double defaultTempoBpm,
                   std::vector<TimedMidiMessage>* messages, std::string* errorText);
};

}  // namespace render
