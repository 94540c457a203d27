#include "graphics/controls/ISwitchControl.h"

namespace graphics {

void ISwitchControl::Step() {
  double v = Value() + (strip_.frames < 2 ? 1.0 : 1.0 / (strip_.frames - 1));
  if (v > 1.001) v = 0.0;
  SetValue(v);
  MarkDirty(true);
}

void ISwitchControl::MouseDown(int x, int y, const IMouseState* state) { Step(); }

void ISwitchControl::MouseDoubleClick(int x, int y, const IMouseState* state) { Step(); }

}  // namespace graphics
