// A bitmap control that steps through its frames on each click (a two-frame
// switch toggles between 0 and 1; a double click counts as a further click).
#pragma once

#include "graphics/controls/IBitmapControl.h"

namespace graphics {

class ISwitchControl : public IBitmapControl {
 public:
  using IBitmapControl::IBitmapControl;

  void MouseDown(int x, int y, const IMouseState* state) override;
  void MouseDoubleClick(int x, int y, const IMouseState* state) override;

 protected:
  // value += 1 / (frames - 1) (1 for fewer than two frames), wrapping to 0
  // beyond 1.001; then pushed to the plug-in.
  void Step();
};

}  // namespace graphics
