#include "graphics/controls/IKnobMultiControl.h"

#include "graphics/IGraphics.h"

namespace graphics {

IKnobMultiControl::IKnobMultiControl(plug::IPlugBase* plugin, int x, int y, int paramIndex,
                                     const IFrameStrip& strip, double gearing)
    : IKnobControl(plugin, IRect(x, y, x + strip.FrameWidth(), y + strip.FrameHeight()), paramIndex,
                   IDirection::kVertical, gearing),
      strip_(strip) {}

int IKnobMultiControl::FrameForValue() const {
  const int i = static_cast<int>((strip_.frames - 1) * Value() + 0.5);
  if (i < 0) return 1;
  return i + 1 < strip_.frames ? i + 1 : strip_.frames;
}

bool IKnobMultiControl::Draw(IGraphics* graphics) {
  graphics->DrawFrame(&strip_, &rect_, FrameForValue(), &blend_);
  return true;
}

}  // namespace graphics
