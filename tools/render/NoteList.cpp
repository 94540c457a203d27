#include "tools/render/NoteList.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "tools/render/NumberText.h"

namespace render {

namespace {

constexpr int kDefaultVelocity = 100;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kNoteOff = 0x80;

std::vector<std::string> splitEntries(const std::string& text) {
  std::vector<std::string> entries;
  std::string current;
  for (char c : text) {
    if (c == ',' || std::isspace(static_cast<unsigned char>(c))) {
      if (!current.empty()) entries.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) entries.push_back(current);
  return entries;
}

}  // namespace

bool NoteList::parseNote(const std::string& text, int* note) {
  long number;
  if (parseInteger(text, &number)) {
    if (number < 0 || number > 127) return false;
    *note = static_cast<int>(number);
    return true;
  }
  if (text.empty()) return false;
  static const int kLetterSemitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  if (letter < 'A' || letter > 'G') return false;
  int semitone = kLetterSemitones[letter - 'A'];
  std::size_t position = 1;
  if (position < text.size() && (text[position] == '#' || text[position] == 'b')) {
    semitone += text[position] == '#' ? 1 : -1;
    ++position;
  }
  long octave;
  if (!parseInteger(text.substr(position), &octave) || octave < -1 || octave > 9) return false;
  const long value = (octave + 1) * 12 + semitone;
  if (value < 0 || value > 127) return false;
  *note = static_cast<int>(value);
  return true;
}

bool NoteList::parse(const std::string& text, double tempoBpm,
                     std::vector<TimedMidiMessage>* messages, std::string* errorText) {
  messages->clear();
  const double secondsPerBeat = 60.0 / tempoBpm;
  for (const std::string& entry : splitEntries(text)) {
    const std::size_t at = entry.find('@');
    const std::size_t plus = entry.find('+', at == std::string::npos ? 0 : at);
    const std::size_t colon = entry.find(':', plus == std::string::npos ? 0 : plus);
    int note = 0;
    double startBeats = 0.0, lengthBeats = 0.0;
    long velocity = kDefaultVelocity;
    const bool ok =
        at != std::string::npos && plus != std::string::npos &&
        parseNote(entry.substr(0, at), &note) &&
        parseNumber(entry.substr(at + 1, plus - at - 1), &startBeats) && startBeats >= 0.0 &&
        parseNumber(entry.substr(plus + 1,
                                 colon == std::string::npos ? std::string::npos : colon - plus - 1),
                    &lengthBeats) &&
        lengthBeats > 0.0 &&
        (colon == std::string::npos ||
         (parseInteger(entry.substr(colon + 1), &velocity) && velocity >= 1 && velocity <= 127));
    if (!ok) {
      *errorText = "bad note \"" + entry + "\" (NOTE@START+LENGTH[:VELOCITY], e.g. C4@0+1:100)";
      return false;
    }
    TimedMidiMessage on;
    on.seconds = startBeats * secondsPerBeat;
    on.status = kNoteOn;
    on.data1 = static_cast<std::uint8_t>(note);
    on.data2 = static_cast<std::uint8_t>(velocity);
    TimedMidiMessage off = on;
    off.seconds = (startBeats + lengthBeats) * secondsPerBeat;
    off.status = kNoteOff;
    off.data2 = 0;
    messages->push_back(on);
    messages->push_back(off);
  }
  if (messages->empty()) {
    *errorText = "the note list is empty";
    return false;
  }
  // At equal times a note-off goes before a note-on, so a repeated note
  // restarts instead of being cut off at once.
  std::stable_sort(messages->begin(), messages->end(),
                   [](const TimedMidiMessage& a, const TimedMidiMessage& b) {
                     if (a.seconds != b.seconds) return a.seconds < b.seconds;
                     return (a.status & 0xF0) == kNoteOff && (b.status & 0xF0) == kNoteOn;
                   });
  return true;
}

}  // namespace render
