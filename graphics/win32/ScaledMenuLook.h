// Popup menu items drawn by the editor at its own scale. The system draws its
// menus at the scale of the window's DPI; when the user chose another editor
// size than that (the "Size" menu), the menu would come out at the wrong size
// beside the panel. Its items are then owner-drawn: the system asks their size
// and has them drawn through WM_MEASUREITEM and WM_DRAWITEM to the menu's
// owner, the editor window, which passes them here. The menu font is the
// system's, its height scaled; the check mark is the system's symbol font at
// the item's height. Separators and the sub-menu arrow stay the system's.
//
// One look serves one menu (with its sub-menus) while it is open, on the
// window's thread.
#pragma once

#include <windows.h>

#include <deque>
#include <string>

namespace graphics {

class ScaledMenuLook {
 public:
  // ratio: the editor's scale over the system's for the window (2.0 for an
  // editor at 200 % on a monitor at 100 %).
  explicit ScaledMenuLook(double ratio);
  ~ScaledMenuLook();  // deletes its fonts
  ScaledMenuLook(const ScaledMenuLook&) = delete;
  ScaledMenuLook& operator=(const ScaledMenuLook&) = delete;

  // The item data of an owner-drawn item showing text; valid while the look
  // lives.
  ULONG_PTR AddItem(const std::string& text);
  // The system's questions, for items of this look; false for others.
  bool Measure(HWND owner, MEASUREITEMSTRUCT* item) const;
  bool Draw(const DRAWITEMSTRUCT* item) const;

  // Where the check mark goes, and the room at either end of an item.
  int CheckWidth() const;

 private:
  bool Ours(ULONG_PTR data) const;

  double ratio_;
  HFONT font_ = nullptr;
  HFONT checkFont_ = nullptr;
  std::deque<std::string> texts_;  // stable addresses as item data
};

}  // namespace graphics
