#include "plug/IPresetSlot.h"

namespace plug {

void IPresetSlot::SetName(const char* text) {
  name = text ? text : "";
  if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);
}

}  // namespace plug
