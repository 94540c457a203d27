// A popup menu as the controls describe it: items with flags, optional
// sub-menus, and the item the user chose.
//
// COMMAND NUMBERS
//   A window layer shows the menu with its own native menu and gives every
//   item a number. Numbers are consecutive from 0: a menu's own items first,
//   then, in item order, the items of its sub-menus, each numbered the same
//   way. MenuCommandMap computes them and finds the (sub-)menu and item of a
//   number, so every window layer numbers alike.
#pragma once

#include <string>
#include <vector>

namespace graphics {

class IMenu;

class IMenuItem {
 public:
  enum Flags : int {
    kGrayed = 1,
    kDisabled = 2,
    kChecked = 4,
    kSeparator = 8,  // the text is ignored
  };

  // Takes ownership of subMenu.
  explicit IMenuItem(const char* text, int flags = 0, IMenu* subMenu = nullptr);
  virtual ~IMenuItem();
  IMenuItem(const IMenuItem&) = delete;
  IMenuItem& operator=(const IMenuItem&) = delete;

  const std::string& Text() const { return text_; }
  IMenu* SubMenu() const { return subMenu_; }
  int Flags() const { return flags_; }
  bool IsSeparator() const { return (flags_ & kSeparator) != 0; }
  bool IsChecked() const { return (flags_ & kChecked) != 0; }
  void SetChecked(bool checked);

 private:
  std::string text_;
  IMenu* subMenu_;
  int flags_;
};

class IMenu {
 public:
  enum PrefixStyle : int { kNoPrefix = 0, kPrefix1 = 1, kPrefix2 = 2, kPrefix3 = 3 };

  explicit IMenu(int prefixStyle = kNoPrefix);
  virtual ~IMenu();
  IMenu(const IMenu&) = delete;
  IMenu& operator=(const IMenu&) = delete;

  // Appends an item; returns it (owned by the menu).
  IMenuItem* AddItem(const char* text, int flags = 0, IMenu* subMenu = nullptr);
  IMenuItem* AddSeparator();
  int NItems() const { return static_cast<int>(items_.size()); }
  IMenuItem* Item(int i) const;
  // Checks item i and unchecks every other item.
  void CheckItemAlone(int i);

  int PrefixStyle() const { return prefixStyle_; }
  // The item chosen when the menu was last shown, or -1.
  int ChosenItem() const { return chosenItem_; }
  void SetChosenItem(int i) { chosenItem_ = i; }
  // What a window layer shows for item i: the text, or with a prefix style
  // its 1-based position and the text ("%1d: %s", "%02d: %s", "%03d: %s").
  std::string DisplayText(int i) const;

 private:
  int prefixStyle_;
  int chosenItem_ = -1;
  std::vector<IMenuItem*> items_;
};

// The command numbers of a menu tree (see COMMAND NUMBERS above).
class MenuCommandMap {
 public:
  explicit MenuCommandMap(IMenu* root);

  // The first number of a menu's items; -1 for a menu not in the tree.
  int FirstCommand(const IMenu* menu) const;
  // Finds the menu holding command, sets its chosen item to the command's
  // position in it and returns it; null for a number no item has.
  IMenu* Choose(int command) const;
  int CommandCount() const { return next_; }

 private:
  struct Range {
    IMenu* menu;
    int first;
  };
  void Number(IMenu* menu);

  std::vector<Range> ranges_;
  int next_ = 0;
};

}  // namespace graphics
