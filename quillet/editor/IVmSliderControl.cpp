#include "quillet/editor/IVmSliderControl.h"

#include <cmath>

#include "graphics/IGraphics.h"
#include "plug/IParameter.h"
#include "quillet/Quillet.h"
#include "quillet/editor/EditorText.h"

namespace quillet {

namespace {
constexpr int kReadOutAbove = 33;  // the read-out's top, above the track
constexpr int kReadOutBottom = 17;
constexpr int kReadOutOverhang = 12;  // on each side of the track
constexpr int kNoteLengths = 20;
}  // namespace

IVmSliderControl::IVmSliderControl(plug::IPlugBase* plugin, int x, int paramIndex,
                                   const graphics::IFrameStrip& handle)
    : IFaderControl(plugin, x, kTrackTop, kTrackLength, paramIndex, handle) {
  textStyle_ = ValueTextStyle();
  trackRect_ = rect_;
  topHandleRect_ = graphics::IRect(x, kTrackTop, x + handle.w, kTrackTop + handle.h);
  textRect_ = graphics::IRect(x - kReadOutOverhang, kTrackTop - kReadOutAbove,
                              x + handle.w + kReadOutOverhang, kTrackTop - kReadOutBottom);
  rect_ = graphics::IRect(textRect_.left, textRect_.top, textRect_.right, trackRect_.bottom);
  targetRect_ = rect_;
}

bool IVmSliderControl::IsNoteLength() const {
  return paramIndex_ == quillet::kGrainSync || paramIndex_ == quillet::kFrameSync;
}

graphics::IRect IVmSliderControl::SliderHandleRect() const {
  const int down = static_cast<int>((kTrackLength - handleLength_) * (1.0 - Value()));
  return topHandleRect_.Offset(0, down);
}

bool IVmSliderControl::Draw(graphics::IGraphics* graphics) {
  const graphics::IRect handle = SliderHandleRect();
  graphics->DrawBitmap(&handle_, &handle, 0, 0, &blend_);
  // The read-out follows the parameter (its rounded value), not the handle.
  const plug::IParameter* param = Param();
  if (param) {
    char text[plug::IParameter::kTextCapacity];
    param->FormatValue(param->Value(), false, text, true);
    if (text[0]) {
      graphics::IRect r = textRect_;
      graphics->DrawText(&textStyle_, text, &r);
    }
  }
  return true;
}

void IVmSliderControl::MouseDown(int x, int y, const graphics::IMouseState* state) {
  if (!IsNoteLength() || !textRect_.Contains(x, y) || !GetGUI()) return;
  const plug::IParameter* param = Param();
  if (!param) return;
  graphics::IMenu menu;
  for (int i = 0; i < kNoteLengths; ++i) {
    const char* text = param->FindValueText(i);
    menu.AddItem(text ? text : "");
  }
  menu.CheckItemAlone(static_cast<int>(std::floor(param->NormalizedValue() * (kNoteLengths - 1))));
  const graphics::IRect at(x, y, x, y);
  graphics::IMenu* chosen = GetGUI()->ShowPopupMenu(&menu, &at);
  if (chosen && chosen->ChosenItem() >= 0) {
    SetValueFromUser(chosen->ChosenItem() / static_cast<double>(kNoteLengths - 1));
    MarkDirty(true);
  }
}

void IVmSliderControl::MouseDrag(int x, int y, int dX, int dY, const graphics::IMouseState* state) {
  if (IsNoteLength()) {
    SnapToMouse(x, y);
    return;
  }
  const double f = state && (state->control || state->shift) ? 100.0 : 1.0;
  double v = Value() + dY / static_cast<double>(-kTrackLength) / f;
  v = v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
  SetValue(v);
  MarkDirty(true);
}

void IVmSliderControl::SnapToMouse(int x, int y) {
  if (!trackRect_.Contains(x, y)) return;
  const int h = handleLength_;
  SetValue(1.0 - (y - h / 2 - kTrackTop) / static_cast<double>(kTrackLength - h));
  MarkDirty(true);
}

}  // namespace quillet
