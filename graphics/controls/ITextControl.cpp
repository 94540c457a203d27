#include "graphics/controls/ITextControl.h"

#include "graphics/IGraphics.h"

namespace graphics {

ITextControl::ITextControl(plug::IPlugBase* plugin, const IRect& rect, const ITextStyle& style,
                           const char* text)
    : IControl(plugin, rect, -1), text_(text ? text : "") {
  textStyle_ = style;
}

bool ITextControl::Draw(IGraphics* graphics) {
  if (!text_.empty()) {
    IRect r = rect_;
    graphics->DrawText(&textStyle_, text_.c_str(), &r);
  }
  return true;
}

void ITextControl::SetText(const char* text) {
  const char* t = text ? text : "";
  if (text_ == t) return;
  MarkDirty(false);
  text_ = t;
}

}  // namespace graphics
