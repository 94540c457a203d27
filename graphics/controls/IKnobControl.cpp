#include "graphics/controls/IKnobControl.h"

namespace graphics {

double WheelStep(const IMouseState* state, int d) {
  const bool fine = state && (state->control || state->shift);
  return d * (fine ? 0.001 : 0.01);
}

IKnobControl::IKnobControl(plug::IPlugBase* plugin, const IRect& rect, int paramIndex,
                           IDirection direction, double gearing)
    : IControl(plugin, rect, paramIndex), direction_(direction), gearing_(gearing) {}

void IKnobControl::MouseDrag(int x, int y, int dX, int dY, const IMouseState* state) {
  double g = gearing_;
  if (state && (state->shift || state->control)) g *= 10.0;
  if (direction_ == IDirection::kVertical) {
    SetValue(Value() + static_cast<double>(dY) / (rect_.top - rect_.bottom) / g);
  } else {
    SetValue(Value() + static_cast<double>(dX) / (rect_.right - rect_.left) / g);
  }
  MarkDirty(true);
}

void IKnobControl::MouseWheel(int x, int y, const IMouseState* state, int d) {
  StepValue(WheelStep(state, d));
}

}  // namespace graphics
