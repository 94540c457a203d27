// A channel message (note on/off, controller, ...) at a time in seconds from
// the start of the render. The renderer turns the time into a block and a
// sample offset within it.
#pragma once

#include <cstdint>

namespace render {

struct TimedMidiMessage {
  double seconds = 0.0;
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
};

}  // namespace render
