// The assignments of MIDI continuous controllers 0 to 119 to parameters, and
// their place in the settings file:
//
//   [MIDI Control]
//   CC7=3          controller 7 drives parameter 3
//
// one key per assigned controller, made with "CC%i", the parameter index in
// decimal. Unassigned controllers (-1) have no key; controllers 120 to 127
// (channel-mode messages) have no entry at all.
//
// Indices are kept as the file gives them, without a range test: an index that
// names no parameter stays in the map, drives nothing and is written back by
// the next save. Callers range-check before using an entry.
#pragma once

#include "effect/SettingsFile.h"

namespace effect {

class ControllerMap {
 public:
  static constexpr int kControllerCount = 120;
  static constexpr int kUnassigned = -1;
  static constexpr const char* kSection = "MIDI Control";

  ControllerMap() { Clear(); }

  // The parameter the controller drives; kUnassigned for unassigned
  // controllers and for numbers outside 0..119.
  int ParamFor(int controller) const;

  // Makes the controller drive paramIndex, taking paramIndex away from every
  // other controller first, so no parameter has two controllers. Numbers
  // outside 0..119 are ignored.
  void Assign(int controller, int paramIndex);
  void ClearController(int controller);
  // Every controller that drives paramIndex becomes unassigned.
  void ClearParam(int paramIndex);
  void Clear();

  // Reads every controller's key: a missing key reads as unassigned, an empty
  // value leaves the entry as it was, anything else as ParseStoredIndex says.
  void Load(const SettingsFile& file);

  // Replaces the section with one key per assigned controller, ascending.
  // False when the file could not be written.
  bool Save(const SettingsFile& file) const;

  // A stored value as an index, locale-independently: the leading decimal
  // integer after blanks and one sign, as atoi reads it but saturated to the
  // int range instead of overflowing; then a result of 0 counts only when the
  // text begins with '0' ("07" is 7, "x" and " 0" are unassigned).
  // text must not be empty.
  static int ParseStoredIndex(const char* text);

 private:
  int paramFor_[kControllerCount];
};

}  // namespace effect
