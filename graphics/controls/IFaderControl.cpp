#include "graphics/controls/IFaderControl.h"

#include "graphics/IGraphics.h"

namespace graphics {

namespace {
IRect FaderRect(int x, int y, int length, const IFrameStrip& handle, IDirection direction) {
  return direction == IDirection::kVertical ? IRect(x, y, x + handle.w, y + length)
                                            : IRect(x, y, x + length, y + handle.h);
}
}  // namespace

IFaderControl::IFaderControl(plug::IPlugBase* plugin, int x, int y, int length, int paramIndex,
                             const IFrameStrip& handle, IDirection direction)
    : IControl(plugin, FaderRect(x, y, length, handle, direction), paramIndex),
      length_(length),
      handleLength_(direction == IDirection::kVertical ? handle.h : handle.w),
      handle_(handle),
      direction_(direction) {}

void IFaderControl::MouseDown(int x, int y, const IMouseState* state) {
  if (state && state->right) {
    PromptValue();
    return;
  }
  SnapToMouse(x, y);
}

void IFaderControl::MouseDrag(int x, int y, int dX, int dY, const IMouseState* state) {
  SnapToMouse(x, y);
}

void IFaderControl::MouseWheel(int x, int y, const IMouseState* state, int d) {
  StepValue(WheelStep(state, d));
}

void IFaderControl::SnapToMouse(int x, int y) {
  const int h = handleLength_;
  const double travel = length_ - h;
  if (direction_ == IDirection::kVertical) {
    SetValue(1.0 - (y - h / 2 - rect_.top) / travel);
  } else {
    SetValue((x - h / 2 - rect_.left) / travel);
  }
  MarkDirty(true);
}

IRect IFaderControl::HandleRect() const {
  IRect r(rect_.left, rect_.top, rect_.left + handle_.w, rect_.top + handle_.h);
  const double travel = length_ - handleLength_;
  if (direction_ == IDirection::kVertical) {
    const int down = static_cast<int>(travel * (1.0 - Value()));
    return r.Offset(0, down);
  }
  return r.Offset(static_cast<int>(travel * Value()), 0);
}

bool IFaderControl::Draw(IGraphics* graphics) {
  const IRect r = HandleRect();
  graphics->DrawBitmap(&handle_, &r, 0, 0, &blend_);
  return true;
}

bool IFaderControl::HitTest(int x, int y) {
  return handleOnly_ ? HandleRect().Contains(x, y) : targetRect_.Contains(x, y);
}

}  // namespace graphics
