// IGraphics: mouse and key routing, and the gestures the host hears around
// the changes the mouse makes (see GESTURES in the header).
#include "graphics/IGraphics.h"
#include "plug/IPlugBase.h"

namespace graphics {

int IGraphics::FindControl(int x, int y) const {
  for (int i = NControls() - 1; i >= 0; --i) {
    IControl* control = controls_[static_cast<size_t>(i)];
    if (!control->IsHidden() && !control->IsGrayed() && control->HitTest(x, y)) return i;
  }
  return -1;
}

void IGraphics::BeginGesture(int paramIndex) {
  EndGesture();
  if (paramIndex < 0 || !plugin_) return;
  plugin_->BeginParamGesture(paramIndex);
  gestureParam_ = paramIndex;
}

void IGraphics::EndGesture() {
  if (gestureParam_ < 0) return;
  const int paramIndex = gestureParam_;
  gestureParam_ = -1;
  if (plugin_) plugin_->EndParamGesture(paramIndex);
}

void IGraphics::RunPress(IControl* control, int x, int y, const IMouseState* state) {
  const int modalBefore = modalLoops_;
  inPress_ = true;
  captureLostInPress_ = false;
  control->MouseDown(x, y, state);
  inPress_ = false;
  if (modalLoops_ == modalBefore && !captureLostInPress_) return;
  EndGesture();
  mouseCapture_ = -1;
}

void IGraphics::OnMouseCaptureLost() {
  // Inside a press the press handling itself ends it (a menu or message box
  // takes the capture on purpose).
  if (inPress_) {
    captureLostInPress_ = true;
    return;
  }
  const int i = mouseCapture_;
  const int x = mouseX_;
  const int y = mouseY_;
  ReleaseMouseState();
  if (i >= 0 && i < NControls()) {
    const IMouseState noButtons;
    controls_[static_cast<size_t>(i)]->MouseUp(x, y, &noButtons);
  }
  EndGesture();
}

void IGraphics::OnMouseDown(int x, int y, const IMouseState* state) {
  EndGesture();  // a press whose release never arrived
  ReleaseMouseState();
  const int i = FindControl(x, y);
  if (i < 0) return;
  IControl* control = controls_[static_cast<size_t>(i)];
  mouseCapture_ = i;
  mouseX_ = x;
  mouseY_ = y;
  BeginGesture(control->ParamIdx());
  RunPress(control, x, y, state);
}

void IGraphics::OnMouseUp(int x, int y, const IMouseState* state) {
  const int i = mouseCapture_ >= 0 ? mouseCapture_ : FindControl(x, y);
  mouseX_ = -1;
  mouseCapture_ = -1;
  if (i >= 0) controls_[static_cast<size_t>(i)]->MouseUp(x, y, state);
  // Only a gesture that a press began ends here.
  EndGesture();
}

void IGraphics::OnMouseDrag(int x, int y, const IMouseState* state) {
  if (mouseCapture_ < 0 || (x == mouseX_ && y == mouseY_)) return;
  const int dX = x - mouseX_;
  const int dY = y - mouseY_;
  mouseX_ = x;
  mouseY_ = y;
  controls_[static_cast<size_t>(mouseCapture_)]->MouseDrag(x, y, dX, dY, state);
}

bool IGraphics::OnMouseOver(int x, int y, const IMouseState* state) {
  if (!handleMouseOver_) return false;
  int target = mouseCapture_;
  if (target < 0) {
    for (int i = NControls() - 1; i >= 0; --i) {
      IControl* control = controls_[static_cast<size_t>(i)];
      if (!control->IsHidden() && control->HitTest(x, y) &&
          (!control->IsGrayed() || control->MouseOverWhenGrayed())) {
        target = i;
        break;
      }
    }
  }
  if (target < 0) return true;
  mouseX_ = x;
  mouseY_ = y;
  controls_[static_cast<size_t>(target)]->MouseOver(x, y, state);
  if (mouseOverIndex_ >= 0 && mouseOverIndex_ != target && mouseOverIndex_ < NControls())
    controls_[static_cast<size_t>(mouseOverIndex_)]->MouseOut();
  mouseOverIndex_ = target;
  return true;
}

void IGraphics::OnMouseOut() {
  for (IControl* control : controls_) control->MouseOut();
  mouseOverIndex_ = -1;
}

bool IGraphics::OnMouseDblClick(int x, int y, const IMouseState* state) {
  EndGesture();
  ReleaseMouseState();
  const int i = FindControl(x, y);
  if (i < 0) return false;
  IControl* control = controls_[static_cast<size_t>(i)];
  BeginGesture(control->ParamIdx());
  if (!control->DoubleClickAsClick()) {
    // The release that follows belongs to no gesture.
    control->MouseDoubleClick(x, y, state);
    EndGesture();
    return false;
  }
  mouseCapture_ = i;
  mouseX_ = x;
  mouseY_ = y;
  RunPress(control, x, y, state);
  return mouseCapture_ >= 0;
}

void IGraphics::OnMouseWheel(int x, int y, const IMouseState* state, int d) {
  if (d == 0) return;
  const int i = mouseCapture_ >= 0 ? mouseCapture_ : FindControl(x, y);
  if (i < 0) return;
  IControl* control = controls_[static_cast<size_t>(i)];
  // Inside a drag's gesture the turn belongs to it; otherwise it is one,
  // begun by the first value the control pushes (BeforeControlPush).
  const bool own = gestureParam_ < 0 || gestureParam_ != control->ParamIdx();
  if (own) {
    EndGesture();
    pendingWheelParam_ = control->ParamIdx();
  }
  control->MouseWheel(x, y, state, d);
  if (own) {
    pendingWheelParam_ = -1;
    EndGesture();
  }
}

void IGraphics::BeforeControlPush(int paramIndex) {
  if (pendingWheelParam_ < 0 || pendingWheelParam_ != paramIndex) return;
  pendingWheelParam_ = -1;
  BeginGesture(paramIndex);
}

bool IGraphics::OnKeyDown(int x, int y, int key) {
  const int i = mouseCapture_ >= 0 ? mouseCapture_ : FindControl(x, y);
  if (i <= 0) return keyCatcher_ ? keyCatcher_->KeyDown(x, y, key) : false;
  return controls_[static_cast<size_t>(i)]->KeyDown(x, y, key);
}

}  // namespace graphics
