// A parameter's value as a text that opens a menu of its values: Grain Mode
// ("M.SEC", "SYNC", "FREQ", "MIDI") and MIDI Polyphony ("1" to "8"). Any
// other parameter gets no items: the control then draws nothing and ignores
// clicks.
#pragma once

#include "graphics/controls/IControl.h"
#include "graphics/IMenu.h"

namespace quillet {

class IVmMenuControl : public graphics::IControl {
 public:
  IVmMenuControl(plug::IPlugBase* plugin, const graphics::IRect& rect, int paramIndex);

  bool Draw(graphics::IGraphics* graphics) override;
  // Any button: the menu at the pointer, the current item checked; a choice
  // sets the value.
  void MouseDown(int x, int y, const graphics::IMouseState* state) override;

  const graphics::IMenu& Items() const { return items_; }
  const graphics::IRect& TextRect() const { return textRect_; }
  // The item the parameter's value shows, or -1.
  int CurrentItem() const;

 private:
  graphics::IMenu items_;
  graphics::IRect textRect_;
  int count_ = 0;
};

}  // namespace quillet
