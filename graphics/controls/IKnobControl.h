// A knob turned by dragging: moving up (or right, for a horizontal knob)
// raises the value, and a drag over `gearing` times the control's height (or
// width) covers the whole range; shift or control gear it down ten times.
// The wheel adds 0.01 per step (0.001 with shift or control).
#pragma once

#include "graphics/controls/IControl.h"

namespace graphics {

enum class IDirection : int { kVertical = 0, kHorizontal = 1 };

class IKnobControl : public IControl {
 public:
  IKnobControl(plug::IPlugBase* plugin, const IRect& rect, int paramIndex,
               IDirection direction = IDirection::kVertical, double gearing = 4.0);

  void MouseDrag(int x, int y, int dX, int dY, const IMouseState* state) override;
  void MouseWheel(int x, int y, const IMouseState* state, int d) override;

  double Gearing() const { return gearing_; }

 protected:
  IDirection direction_;
  double gearing_;
};

// The wheel step shared by knobs and faders.
double WheelStep(const IMouseState* state, int d);

}  // namespace graphics
