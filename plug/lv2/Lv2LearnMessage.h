// The MIDI-learn message between the LV2 UI and the plug-in. The UI works on
// an instance of its own, so the learn switch cannot start learning there:
// the UI writes the mode the user chose to the events input (an atom:Object
// of type kLearnMessageUri, its kLearnModeUri property an atom:Int holding a
// plug::MidiLearnMode, sent with atom:eventTransfer), and the plug-in writes
// the same message to its atom output whenever its mode changes (a learn
// that finishes turns it off) and after every message it got, which the
// host passes to the UI (ui:portNotification) to show on the switch.
#pragma once

#include <cstdint>

#include "lv2/atom/atom.h"
#include "lv2/urid/urid.h"

namespace plug {
namespace lv2 {

struct LearnUrids {
  LV2_URID object = 0;   // atom:Object
  LV2_URID intType = 0;  // atom:Int
  LV2_URID message = 0;  // kLearnMessageUri
  LV2_URID mode = 0;     // kLearnModeUri

  // All four from the host's map; all stay 0 without one.
  void Map(const LV2_URID_Map* map);
  bool Known() const { return message != 0; }
};

// The whole message as it goes out: the object atom and its one property.
struct LearnMessage {
  LV2_Atom_Object object;
  LV2_Atom_Property_Body property;
  int32_t mode;
  int32_t pad;

  // The atom's size with its header, as hosts take it.
  uint32_t AtomSize() const { return static_cast<uint32_t>(sizeof(LV2_Atom)) + object.atom.size; }
};

LearnMessage MakeLearnMessage(const LearnUrids& urids, int mode);

// The mode a message carries: false for anything else, and for a message
// cut short (available: the bytes the host gave from atom on) or naming no
// MidiLearnMode.
bool ReadLearnMessage(const LearnUrids& urids, const LV2_Atom* atom, uint32_t available, int* mode);

}  // namespace lv2
}  // namespace plug
