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
// highlights it (and opens its sub-menu); a press outside every level closes
// the menu. A release chooses the choosable item under it only when the
// user meant it, as desktop menus have it:
//   press-drag-release  the press that opened the menu is still down and the
//                       pointer has moved at least kDeliberateMovePx from
//                       where the menu appeared: its release chooses (and,
//                       off every level, closes the menu);
//   click-move-click    otherwise the opening press's release chooses
//                       nothing and the menu stays open; the release of a
//                       later press in the menu chooses.
// So a menu that appears under a pointer that does not move (it opens at the
// pointer, and near a screen edge it is moved back over it) is never chosen
// from by the click that opened it.
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
  // How far the pointer must move, with the opening press held, before that
  // press's release may choose: a shaky hand's pixel or two does not.
  static constexpr int kDeliberateMovePx = 5;

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
  void OnMotion(XMotionEvent* event);
  void OnPress(XButtonEvent* event);
  void OnRelease(XButtonEvent* event);
  void OnKey(XKeyEvent* event);

  IGraphicsX11* editor_;  // not owned
  IMenu* root_;           // not owned
  MenuCommandMap commands_;
  X11Font* font_;               // owned
  std::vector<Level*> levels_;  // owned; the top level first
  IMenu* chosen_ = nullptr;
  bool done_ = false;
  // The pointer when the menu appeared, and whether the press that opened the
  // menu is still down.
  int openX_ = 0;
  int openY_ = 0;
  bool openingPressHeld_ = false;
  // The opening press has moved the pointer deliberately.
  bool dragged_ = false;
  // A press inside the menu, after it appeared, waits for its release.
  bool pressInMenu_ = false;
};

}  // namespace graphics
