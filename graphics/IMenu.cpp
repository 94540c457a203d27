#include "graphics/IMenu.h"

#include <cstdio>

namespace graphics {

IMenuItem::IMenuItem(const char* text, int flags, IMenu* subMenu)
    : text_(text ? text : ""), subMenu_(subMenu), flags_(flags) {}

IMenuItem::~IMenuItem() { delete subMenu_; }

void IMenuItem::SetChecked(bool checked) {
  flags_ = checked ? (flags_ | kChecked) : (flags_ & ~kChecked);
}

IMenu::IMenu(int prefixStyle) : prefixStyle_(prefixStyle) {}

IMenu::~IMenu() {
  for (IMenuItem* item : items_) delete item;
}

IMenuItem* IMenu::AddItem(const char* text, int flags, IMenu* subMenu) {
  IMenuItem* item = new IMenuItem(text, flags, subMenu);
  items_.push_back(item);
  return item;
}

IMenuItem* IMenu::AddSeparator() { return AddItem("", IMenuItem::kSeparator); }

IMenuItem* IMenu::Item(int i) const {
  return i >= 0 && i < NItems() ? items_[static_cast<size_t>(i)] : nullptr;
}

void IMenu::CheckItemAlone(int i) {
  for (int k = 0; k < NItems(); ++k) items_[static_cast<size_t>(k)]->SetChecked(k == i);
}

std::string IMenu::DisplayText(int i) const {
  const IMenuItem* item = Item(i);
  if (!item) return std::string();
  static const char* const kPatterns[] = {nullptr, "%1d: %s", "%02d: %s", "%03d: %s"};
  if (prefixStyle_ < kPrefix1 || prefixStyle_ > kPrefix3) return item->Text();
  // Room for the text, the number and the separator; snprintf cuts anything
  // longer instead of writing past the buffer.
  std::vector<char> buffer(item->Text().size() + 51);
  std::snprintf(buffer.data(), buffer.size(), kPatterns[prefixStyle_], i + 1, item->Text().c_str());
  return std::string(buffer.data());
}

MenuCommandMap::MenuCommandMap(IMenu* root) {
  if (root) Number(root);
}

void MenuCommandMap::Number(IMenu* menu) {
  // A menu reserves its whole range before its sub-menus are numbered.
  ranges_.push_back(Range{menu, next_});
  next_ += menu->NItems();
  for (int i = 0; i < menu->NItems(); ++i) {
    IMenu* sub = menu->Item(i)->SubMenu();
    if (sub) Number(sub);
  }
}

int MenuCommandMap::FirstCommand(const IMenu* menu) const {
  for (const Range& r : ranges_) {
    if (r.menu == menu) return r.first;
  }
  return -1;
}

IMenu* MenuCommandMap::Choose(int command) const {
  for (const Range& r : ranges_) {
    if (command >= r.first && command < r.first + r.menu->NItems()) {
      r.menu->SetChosenItem(command - r.first);
      return r.menu;
    }
  }
  return nullptr;
}

}  // namespace graphics
