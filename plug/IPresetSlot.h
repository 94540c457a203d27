// One program: whether state was stored into it, its name and its state bytes.
#pragma once

#include <string>

#include "plug/StateChunk.h"

namespace plug {

struct IPresetSlot {
  static constexpr std::size_t kMaxNameLength = 255;

  bool initialised = false;
  std::string name = "empty";
  StateChunk state;

  // Stores name, cut to kMaxNameLength bytes.
  void SetName(const char* text);
};

}  // namespace plug
