// A control drawn as one frame of a bitmap strip, chosen by its value:
// frame 1 at 0, the last frame at 1.
#pragma once

#include "graphics/controls/IControl.h"

namespace graphics {

class IBitmapControl : public IControl {
 public:
  // rect = (x, y, x + frame width, y + frame height) of the strip.
  IBitmapControl(plug::IPlugBase* plugin, int x, int y, int paramIndex, const IFrameStrip& strip,
                 IBlendMode blendMode = IBlendMode::kNormal);

  bool Draw(IGraphics* graphics) override;

  const IFrameStrip& Strip() const { return strip_; }
  void SetStrip(const IFrameStrip& strip) { strip_ = strip; }
  // The 1-based frame the current value shows.
  int FrameForValue() const;

 protected:
  IFrameStrip strip_;
};

}  // namespace graphics
