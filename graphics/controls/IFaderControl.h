// A handle bitmap sliding along a track. A press or drag moves the handle's
// centre to the pointer; the wheel steps like a knob's. With handle-only hit
// the fader takes the mouse only on its handle.
#pragma once

#include "graphics/controls/IKnobControl.h"

namespace graphics {

class IFaderControl : public IControl {
 public:
  // A vertical fader: track (x, y, x + handle width, y + length); the handle
  // length is the strip's height. A horizontal one: track (x, y, x + length,
  // y + handle height), handle length the strip's width.
  IFaderControl(plug::IPlugBase* plugin, int x, int y, int length, int paramIndex,
                const IFrameStrip& handle, IDirection direction = IDirection::kVertical);

  void MouseDown(int x, int y, const IMouseState* state) override;
  void MouseDrag(int x, int y, int dX, int dY, const IMouseState* state) override;
  void MouseWheel(int x, int y, const IMouseState* state, int d) override;
  bool Draw(IGraphics* graphics) override;
  bool HitTest(int x, int y) override;
  // The value that puts the handle's centre at (x, y), pushed to the plug-in.
  virtual void SnapToMouse(int x, int y);

  // Where the handle is drawn for the current value.
  IRect HandleRect() const;
  void SetHandleOnlyHit(bool handleOnly) { handleOnly_ = handleOnly; }
  int Length() const { return length_; }
  int HandleLength() const { return handleLength_; }

 protected:
  int length_;
  int handleLength_;
  IFrameStrip handle_;
  IDirection direction_;
  bool handleOnly_ = false;
};

}  // namespace graphics
