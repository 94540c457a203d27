#include "plug/lv2/Lv2LearnMessage.h"

#include <cstring>

#include "lv2/atom/util.h"

#include "plug/IHostServices.h"
#include "plug/lv2/Lv2Identity.h"

namespace plug {
namespace lv2 {

void LearnUrids::Map(const LV2_URID_Map* map) {
  if (!map || !map->map) return;
  object = map->map(map->handle, LV2_ATOM__Object);
  intType = map->map(map->handle, LV2_ATOM__Int);
  message = map->map(map->handle, kLearnMessageUri);
  mode = map->map(map->handle, kLearnModeUri);
}

LearnMessage MakeLearnMessage(const LearnUrids& urids, int mode) {
  LearnMessage m{};
  m.object.atom.type = urids.object;
  m.object.atom.size = static_cast<uint32_t>(sizeof(LV2_Atom_Object_Body) +
                                             sizeof(LV2_Atom_Property_Body) + sizeof(int32_t));
  m.object.body.otype = urids.message;
  m.property.key = urids.mode;
  m.property.value.type = urids.intType;
  m.property.value.size = sizeof(int32_t);
  m.mode = mode;
  return m;
}

bool ReadLearnMessage(const LearnUrids& urids, const LV2_Atom* atom, uint32_t available,
                      int* mode) {
  if (!urids.Known() || !atom || available < sizeof(LV2_Atom)) return false;
  if (atom->type != urids.object || atom->size < sizeof(LV2_Atom_Object_Body) ||
      atom->size > available - sizeof(LV2_Atom))
    return false;
  const auto* object = reinterpret_cast<const LV2_Atom_Object*>(atom);
  if (object->body.otype != urids.message) return false;
  // The properties, each checked against the object's end before it is read.
  const auto* at = reinterpret_cast<const uint8_t*>(&object->body) + sizeof(LV2_Atom_Object_Body);
  const auto* end = reinterpret_cast<const uint8_t*>(atom + 1) + atom->size;
  while (static_cast<size_t>(end - at) >= sizeof(LV2_Atom_Property_Body)) {
    const auto* property = reinterpret_cast<const LV2_Atom_Property_Body*>(at);
    const size_t room = static_cast<size_t>(end - at) - sizeof(LV2_Atom_Property_Body);
    if (property->value.size > room) return false;
    if (property->key == urids.mode) {
      int32_t value = 0;
      if (property->value.type != urids.intType || property->value.size < sizeof value)
        return false;
      std::memcpy(&value, property + 1, sizeof value);
      if (value != kMidiLearnOff && value != kMidiLearnOn && value != kMidiUnlearnOn) return false;
      *mode = value;
      return true;
    }
    // The last property's padding may lie past the object's end.
    const size_t step = lv2_atom_pad_size(static_cast<uint32_t>(sizeof(LV2_Atom_Property_Body)) +
                                          property->value.size);
    if (step >= static_cast<size_t>(end - at)) break;
    at += step;
  }
  return false;
}

}  // namespace lv2
}  // namespace plug
