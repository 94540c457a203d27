// A knob drawn from a strip of frames: frame 1 at value 0, the last frame at 1.
#pragma once

#include "graphics/controls/IKnobControl.h"

namespace graphics {

class IKnobMultiControl : public IKnobControl {
 public:
  // rect as a bitmap control of the strip at (x, y); vertical, normal blend.
  IKnobMultiControl(plug::IPlugBase* plugin, int x, int y, int paramIndex, const IFrameStrip& strip,
                    double gearing = 4.0);

  bool Draw(IGraphics* graphics) override;
  // The 1-based frame the current value shows.
  int FrameForValue() const;

 protected:
  IFrameStrip strip_;
};

}  // namespace graphics
