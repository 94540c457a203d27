// A vertical fader in the panel's fader column, with its parameter's value
// text above the track. The track is 192 pixels from y = 136; the control
// also takes the mouse over its read-out.
//
// Grain Sync and Frame Sync (note lengths): a click on the read-out opens
// the menu of the 20 note lengths, and a drag inside the track puts the
// handle under the pointer. Every other parameter: dragging moves the value
// by the pointer's movement, 192 pixels for the whole range (a hundredth of
// that with shift or control). A click on the track moves nothing.
#pragma once

#include "graphics/controls/IFaderControl.h"

namespace quillet {

class IVmSliderControl : public graphics::IFaderControl {
 public:
  static constexpr int kTrackTop = 136;
  static constexpr int kTrackLength = 192;

  IVmSliderControl(plug::IPlugBase* plugin, int x, int paramIndex,
                   const graphics::IFrameStrip& handle);

  bool Draw(graphics::IGraphics* graphics) override;
  void MouseDown(int x, int y, const graphics::IMouseState* state) override;
  void MouseDrag(int x, int y, int dX, int dY, const graphics::IMouseState* state) override;
  void SnapToMouse(int x, int y) override;

  const graphics::IRect& TextRect() const { return textRect_; }
  const graphics::IRect& TrackRect() const { return trackRect_; }
  // Where the handle is drawn for the current value.
  graphics::IRect SliderHandleRect() const;
  bool IsNoteLength() const;

 private:
  graphics::IRect textRect_;
  graphics::IRect topHandleRect_;
  graphics::IRect trackRect_;
};

}  // namespace quillet
