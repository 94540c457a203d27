#include "graphics/controls/IBitmapControl.h"

#include "graphics/IGraphics.h"

namespace graphics {

IBitmapControl::IBitmapControl(plug::IPlugBase* plugin, int x, int y, int paramIndex,
                               const IFrameStrip& strip, IBlendMode blendMode)
    : IControl(plugin, IRect(x, y, x + strip.FrameWidth(), y + strip.FrameHeight()), paramIndex,
               blendMode),
      strip_(strip) {}

int IBitmapControl::FrameForValue() const {
  if (strip_.frames < 2) return 1;
  const int frame = static_cast<int>((strip_.frames - 1) * Value() + 0.5) + 1;
  return frame < 1 ? 1 : (frame > strip_.frames ? strip_.frames : frame);
}

bool IBitmapControl::Draw(IGraphics* graphics) {
  graphics->DrawFrame(&strip_, &rect_, FrameForValue(), &blend_);
  return true;
}

}  // namespace graphics
