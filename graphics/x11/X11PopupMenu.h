// A popup menu of the X11 editor: one borderless window per open level,
// drawn with the drawing layer, holding the pointer and the keyboard while it
// is open (as menus on X do). Items show the checked, grayed (gray text, not
// choosable), disabled (not choosable) and separator flags and an arrow for a
// sub-menu.
//
// Keys: Up and Down move through the items of the innermost level (over
// separators), Right or Return on a sub-menu opens it on its first item,
// Left or Escape closes the innermost sub-menu, Escape on the top level
// closes the menu, Return or space choose. Mouse: moving over an item
// highlights it (and opens its sub-menu), releasing a button over a
// choosable item chooses it, a press outside every level closes the menu.
// Choices are numbered as MenuCommandMap numbers them. [main]
#pragma once

#include <X11/Xlib.h>

#include <vector>

#include "graphics/IMenu.h"
#include "graphics/x11/X11ModalWindow.h"

namespace graphics {

class IGraphicsX11;
class X11Font;

class X11PopupMenu : public X11ModalWindow {
 public:
  X11PopupMenu(IGraphicsX11* editor, IMenu* menu);
  ~X11PopupMenu() override;
  X11PopupMenu(const X11PopupMenu&) = delete;
  X11PopupMenu& operator=(const X11PopupMenu&) = delete;

  // Shows the menu with its top-left corner at (rootX, rootY) of the screen
  // and runs it; the (sub-)menu an item was chosen in, with its chosen item
  // set, or null.
  IMenu* Run(int rootX, int rootY);

  void HandleEvent(XEvent* event) override;
  bool Done() const override { return done_; }
  void Abandon() override;

 private:
  struct Level;

  // Opens menu beside (rootX, rootY); highlight: the item to start on, or -1.
  void OpenLevel(IMenu* menu, int rootX, int rootY, int highlight);
  void CloseLevelsAfter(size_t keep);
  void Paint(Level* level);
  // The level and item under a screen point; false when over no level.
  bool Find(int rootX, int rootY, size_t* level, int* item) const;
  void MoveHighlight(int step);
  // Opens the sub-menu of the innermost level's highlighted item, if any.
  bool OpenHighlightedSubMenu(int highlight);
  void Choose(size_t level, int item);
  bool Choosable(const IMenu* menu, int item) const;
  void OnMotion(int rootX, int rootY);
  void OnKey(XKeyEvent* event);

  IGraphicsX11* editor_;  // not owned
  IMenu* root_;           // not owned
  MenuCommandMap commands_;
  X11Font* font_;               // owned
  std::vector<Level*> levels_;  // owned; the top level first
  IMenu* chosen_ = nullptr;
  bool done_ = false;
};

}  // namespace graphics
