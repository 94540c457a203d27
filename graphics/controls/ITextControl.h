// A text drawn in a rectangle with a style. It binds no parameter.
#pragma once

#include <string>

#include "graphics/controls/IControl.h"

namespace graphics {

class ITextControl : public IControl {
 public:
  ITextControl(plug::IPlugBase* plugin, const IRect& rect, const ITextStyle& style,
               const char* text = "");

  bool Draw(IGraphics* graphics) override;
  // Replaces the text and marks the control dirty; an equal text changes
  // nothing. [main]
  void SetText(const char* text);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace graphics
