// The option menu over the logo: a translucent veil while the pointer is over
// it; a click offers "Check Online for Update", a visit to the maker's web
// site and the editor's "Size" ("Automatic" or 100, 150, 200 %; the current
// choice checked), which the editor takes at once and the settings file
// keeps for the user's next editors (effect/EditorSizeSetting.h).
#pragma once

#include <string>

#include "graphics/controls/IControl.h"

namespace effect {
class Effect;
}

namespace quillet {

class IVmOptionMenu : public graphics::IControl {
 public:
  static constexpr int kSizeChoices = 4;
  static const char* const kSizeTexts[kSizeChoices];
  // 0: automatic.
  static const int kSizePercents[kSizeChoices];

  IVmOptionMenu(effect::Effect* plugin, const graphics::IRect& rect);

  bool Draw(graphics::IGraphics* graphics) override;
  void MouseDown(int x, int y, const graphics::IMouseState* state) override;
  void MouseOver(int x, int y, const graphics::IMouseState* state) override;
  void MouseOut() override;

  void SetHighlight(const graphics::IArgb& colour) { highlight_ = colour; }
  bool Hovering() const { return hover_; }

 private:
  effect::Effect* effect_;
  graphics::IArgb highlight_;
  bool hover_ = false;
};

}  // namespace quillet
