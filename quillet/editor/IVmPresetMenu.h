// The preset menu: a marker shown while the pointer is over it; a click lists
// the programs (the current one checked), a separator and "Reset Current
// Preset". Choosing a program switches to it, keeping the edits of the one
// left in its slot; the reset puts the current program back to its factory
// content. Every control is redrawn afterwards, chosen or not.
#pragma once

#include "graphics/controls/IControl.h"

class Quillet;

namespace quillet {

class IVmPresetMenu : public graphics::IControl {
 public:
  static constexpr int kX = 137;
  static constexpr int kY = 26;

  // At (137, 26), the marker's size.
  IVmPresetMenu(Quillet* plugin, const graphics::IFrameStrip& marker);

  bool Draw(graphics::IGraphics* graphics) override;
  void MouseDown(int x, int y, const graphics::IMouseState* state) override;
  void MouseOver(int x, int y, const graphics::IMouseState* state) override;
  void MouseOut() override;

  bool Hovering() const { return hover_; }

 private:
  Quillet* quillet_;
  graphics::IFrameStrip marker_;
  bool hover_ = false;
};

}  // namespace quillet
