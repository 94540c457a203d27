#include "graphics/x11/X11PopupMenu.h"

#include <X11/Xatom.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>

#include "graphics/x11/IGraphicsX11.h"
#include "graphics/x11/X11Display.h"
#include "graphics/x11/X11Font.h"
#include "lice/LICE_FillRect.h"
#include "lice/LICE_Line.h"
#include "lice/LICE_MemBitmap.h"

namespace graphics {

namespace {

constexpr int kItemH = 20;
constexpr int kSeparatorH = 8;
constexpr int kCheckColumn = 22;
constexpr int kArrowColumn = 22;
constexpr int kMinWidth = 80;
constexpr int kFontPx = 13;
constexpr const char* kFontFace = "Sans";
constexpr LICE_pixel kBackground = 0xFFF0F0F0u;
constexpr LICE_pixel kBorder = 0xFF808080u;
constexpr LICE_pixel kSeparator = 0xFFA0A0A0u;
constexpr LICE_pixel kHighlight = 0xFF3399FFu;
constexpr LICE_pixel kText = 0xFF000000u;
constexpr LICE_pixel kGrayText = 0xFF6D6D6Du;
constexpr LICE_pixel kHighlightText = 0xFFFFFFFFu;
constexpr LICE_pixel kHighlightGrayText = 0xFFC8C8C8u;

void SleepMs(int ms) {
  timespec t = {0, ms * 1000000L};
  nanosleep(&t, nullptr);
}

}  // namespace

struct X11PopupMenu::Level {
  IMenu* menu = nullptr;
  Window window = 0;
  LICE_MemBitmap bitmap;
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  std::vector<int> tops;  // of each item, and the bottom at the end
  int highlight = -1;
};

X11PopupMenu::X11PopupMenu(IGraphicsX11* editor, IMenu* menu)
    : editor_(editor), root_(menu), commands_(menu), font_(new X11Font(kFontFace, kFontPx)) {}

X11PopupMenu::~X11PopupMenu() {
  Abandon();
  delete font_;
}

void X11PopupMenu::Abandon() {
  X11Display* display = editor_->Connection();
  if (display && !levels_.empty()) {
    XUngrabPointer(display->Get(), CurrentTime);
    XUngrabKeyboard(display->Get(), CurrentTime);
  }
  CloseLevelsAfter(0);
  if (!levels_.empty()) {
    if (display) XDestroyWindow(display->Get(), levels_[0]->window);
    delete levels_[0];
    levels_.clear();
  }
  if (display) XFlush(display->Get());
  done_ = true;
}

IMenu* X11PopupMenu::Run(int rootX, int rootY) {
  X11Display* display = editor_->Connection();
  if (!display || !root_) return nullptr;
  OpenLevel(root_, rootX, rootY, -1);
  if (levels_.empty()) return nullptr;
  Display* d = display->Get();
  const Window grabWindow = levels_[0]->window;
  // Where the pointer is, and whether the press that opened the menu is
  // still down, as the menu appears.
  Window rootReturn = 0, childReturn = 0;
  int windowX = 0, windowY = 0;
  unsigned buttons = 0;
  if (XQueryPointer(d, display->Root(), &rootReturn, &childReturn, &openX_, &openY_, &windowX,
                    &windowY, &buttons))
    openingPressHeld_ = (buttons & (Button1Mask | Button2Mask | Button3Mask)) != 0;
  // Another client may hold the pointer for a moment (the host's own press);
  // the menu works without the grabs too, only less well.
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (XGrabPointer(d, grabWindow, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess)
      break;
    SleepMs(5);
  }
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (XGrabKeyboard(d, grabWindow, False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
        GrabSuccess)
      break;
    SleepMs(5);
  }
  editor_->RunModalLoop(this);
  Abandon();
  return chosen_;
}

void X11PopupMenu::OpenLevel(IMenu* menu, int rootX, int rootY, int highlight) {
  X11Display* display = editor_->Connection();
  Level* level = new Level();
  level->menu = menu;
  int widest = 0;
  int y = 1;
  for (int i = 0; i < menu->NItems(); ++i) {
    level->tops.push_back(y);
    if (menu->Item(i)->IsSeparator()) {
      y += kSeparatorH;
      continue;
    }
    widest = std::max(widest, font_->TextWidth(menu->DisplayText(i).c_str()));
    y += kItemH;
  }
  level->tops.push_back(y);
  level->w = std::max(kMinWidth, widest + kCheckColumn + kArrowColumn + 2);
  level->h = y + 1;
  Display* d = display->Get();
  const int screenW = DisplayWidth(d, display->Screen());
  const int screenH = DisplayHeight(d, display->Screen());
  int x = rootX;
  if (x + level->w > screenW) {
    // A sub-menu that does not fit on the right opens to the left of its parent.
    x = levels_.empty() ? screenW - level->w : levels_.back()->x - level->w + 2;
  }
  level->x = std::max(0, x);
  level->y = std::max(0, std::min(rootY, screenH - level->h));
  level->highlight = highlight;
  level->bitmap.ResizeTo(level->w, level->h);
  level->window = display->CreateWindow(display->Root(), level->x, level->y, level->w, level->h,
                                        ExposureMask, true);
  if (!level->window) {
    delete level;
    return;
  }
  XChangeProperty(d, level->window, display->netWmWindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&display->netWmWindowTypePopupMenu), 1);
  XMapRaised(d, level->window);
  levels_.push_back(level);
  Paint(level);
}

void X11PopupMenu::CloseLevelsAfter(size_t keep) {
  X11Display* display = editor_->Connection();
  while (levels_.size() > keep + 1) {
    Level* level = levels_.back();
    levels_.pop_back();
    if (display) XDestroyWindow(display->Get(), level->window);
    delete level;
  }
}

bool X11PopupMenu::Choosable(const IMenu* menu, int item) const {
  const IMenuItem* it = menu->Item(item);
  return it && !it->IsSeparator() && !it->SubMenu() &&
         !(it->Flags() & (IMenuItem::kGrayed | IMenuItem::kDisabled));
}

void X11PopupMenu::Paint(Level* level) {
  LICE_IBitmap* b = &level->bitmap;
  const int w = level->w;
  const int h = level->h;
  LICE_FillRect(b, 0, 0, w, h, kBackground, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Line(b, 0, 0, w - 1, 0, kBorder, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Line(b, 0, h - 1, w - 1, h - 1, kBorder, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Line(b, 0, 0, 0, h - 1, kBorder, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Line(b, w - 1, 0, w - 1, h - 1, kBorder, 1.0f, LICE_BLIT_MODE_COPY);
  for (int i = 0; i < level->menu->NItems(); ++i) {
    const IMenuItem* item = level->menu->Item(i);
    const int top = level->tops[static_cast<size_t>(i)];
    if (item->IsSeparator()) {
      const int mid = top + kSeparatorH / 2;
      LICE_Line(b, 4, mid, w - 5, mid, kSeparator, 1.0f, LICE_BLIT_MODE_COPY);
      continue;
    }
    const bool gray = (item->Flags() & IMenuItem::kGrayed) != 0;
    const bool lit = i == level->highlight;
    if (lit) LICE_FillRect(b, 2, top, w - 4, kItemH, kHighlight, 1.0f, LICE_BLIT_MODE_COPY);
    const LICE_pixel colour =
        lit ? (gray ? kHighlightGrayText : kHighlightText) : (gray ? kGrayText : kText);
    const LICE_Rect at = {kCheckColumn, top, w - kArrowColumn, top + kItemH};
    font_->Draw(b, level->menu->DisplayText(i).c_str(), at, LICE_TEXT_VCENTER, colour);
    const int mid = top + kItemH / 2;
    if (item->IsChecked()) {
      for (int t = 0; t < 2; ++t) {
        LICE_Line(b, 7, mid - 1 + t, 10, mid + 2 + t, colour, 1.0f, LICE_BLIT_MODE_COPY);
        LICE_Line(b, 10, mid + 2 + t, 16, mid - 4 + t, colour, 1.0f, LICE_BLIT_MODE_COPY);
      }
    }
    if (item->SubMenu()) {
      for (int k = 0; k < 5; ++k)
        LICE_Line(b, w - 14 + k, mid - 4 + k, w - 14 + k, mid + 4 - k, colour, 1.0f,
                  LICE_BLIT_MODE_COPY);
    }
  }
  X11Display* display = editor_->Connection();
  if (!display) return;
  display->PutPixels(level->window, b, 0, 0, w, h, 0, 0);
  XFlush(display->Get());
}

bool X11PopupMenu::Find(int rootX, int rootY, size_t* level, int* item) const {
  for (size_t l = levels_.size(); l-- > 0;) {
    const Level* lv = levels_[l];
    if (rootX < lv->x || rootX >= lv->x + lv->w || rootY < lv->y || rootY >= lv->y + lv->h)
      continue;
    *level = l;
    *item = -1;
    const int y = rootY - lv->y;
    for (int i = 0; i < lv->menu->NItems(); ++i) {
      if (y >= lv->tops[static_cast<size_t>(i)] && y < lv->tops[static_cast<size_t>(i) + 1])
        *item = lv->menu->Item(i)->IsSeparator() ? -1 : i;
    }
    return true;
  }
  return false;
}

void X11PopupMenu::MoveHighlight(int step) {
  Level* level = levels_.back();
  const int n = level->menu->NItems();
  if (n == 0) return;
  int i = level->highlight;
  if (i < 0) i = step > 0 ? -1 : n;
  for (int k = 0; k < n; ++k) {
    i = ((i + step) % n + n) % n;
    if (!level->menu->Item(i)->IsSeparator()) {
      level->highlight = i;
      break;
    }
  }
  Paint(level);
}

bool X11PopupMenu::OpenHighlightedSubMenu(int highlight) {
  Level* level = levels_.back();
  const IMenuItem* item = level->menu->Item(level->highlight);
  if (!item || !item->SubMenu() || (item->Flags() & (IMenuItem::kGrayed | IMenuItem::kDisabled)))
    return false;
  IMenu* sub = item->SubMenu();
  int first = -1;
  if (highlight >= 0) {
    for (int i = 0; i < sub->NItems() && first < 0; ++i)
      if (!sub->Item(i)->IsSeparator()) first = i;
  }
  OpenLevel(sub, level->x + level->w - 2,
            level->y + level->tops[static_cast<size_t>(level->highlight)] - 1, first);
  return true;
}

void X11PopupMenu::Choose(size_t level, int item) {
  chosen_ = commands_.Choose(commands_.FirstCommand(levels_[level]->menu) + item);
  done_ = true;
}

void X11PopupMenu::OnMotion(XMotionEvent* event) {
  const int rootX = event->x_root;
  const int rootY = event->y_root;
  if (openingPressHeld_) {
    if (!(event->state & (Button1Mask | Button2Mask | Button3Mask))) {
      // The opening press ended where we did not see it.
      openingPressHeld_ = false;
    } else if (std::abs(rootX - openX_) >= kDeliberateMovePx ||
               std::abs(rootY - openY_) >= kDeliberateMovePx) {
      dragged_ = true;
    }
  }
  size_t l = 0;
  int item = -1;
  if (!Find(rootX, rootY, &l, &item)) return;
  Level* level = levels_[l];
  const bool subMenuOfItemOpen = item >= 0 && l + 1 < levels_.size() &&
                                 levels_[l + 1]->menu == level->menu->Item(item)->SubMenu();
  if (!subMenuOfItemOpen) CloseLevelsAfter(l);
  if (level->highlight != item) {
    level->highlight = item;
    Paint(level);
  }
  if (!subMenuOfItemOpen && item >= 0) OpenHighlightedSubMenu(-1);
}

void X11PopupMenu::OnPress(XButtonEvent* event) {
  // The wheel scrolls nothing here.
  if (event->button != Button1 && event->button != Button2 && event->button != Button3) return;
  size_t l = 0;
  int item = -1;
  if (!Find(event->x_root, event->y_root, &l, &item)) {
    done_ = true;
    return;
  }
  openingPressHeld_ = false;
  pressInMenu_ = true;
}

void X11PopupMenu::OnRelease(XButtonEvent* event) {
  if (event->button != Button1 && event->button != Button2 && event->button != Button3) return;
  size_t l = 0;
  int item = -1;
  const bool overMenu = Find(event->x_root, event->y_root, &l, &item);
  bool mayChoose = false;
  if (openingPressHeld_) {
    openingPressHeld_ = false;
    // Press-drag-release: dragged off every level, the user gave up.
    if (dragged_ && !overMenu) done_ = true;
    mayChoose = dragged_;
  } else if (pressInMenu_) {
    pressInMenu_ = false;
    mayChoose = true;
  }
  if (mayChoose && overMenu && item >= 0 && Choosable(levels_[l]->menu, item)) Choose(l, item);
}

void X11PopupMenu::OnKey(XKeyEvent* event) {
  char text[8];
  Level* level = levels_.back();
  switch (X11Display::VirtualKeyOf(event, text, sizeof text)) {
    case 0x28:  // Down
      MoveHighlight(1);
      break;
    case 0x26:  // Up
      MoveHighlight(-1);
      break;
    case 0x27:  // Right
      OpenHighlightedSubMenu(0);
      break;
    case 0x25:  // Left
      if (levels_.size() > 1) CloseLevelsAfter(levels_.size() - 2);
      break;
    case 0x1B:  // Escape
      if (levels_.size() > 1) {
        CloseLevelsAfter(levels_.size() - 2);
      } else {
        done_ = true;
      }
      break;
    case 0x0D:  // Return
    case 0x20:  // space
      if (level->highlight < 0 || OpenHighlightedSubMenu(0)) break;
      if (Choosable(level->menu, level->highlight)) Choose(levels_.size() - 1, level->highlight);
      break;
    default:
      break;
  }
}

void X11PopupMenu::HandleEvent(XEvent* event) {
  if (levels_.empty()) return;
  switch (event->type) {
    case MotionNotify:
      OnMotion(&event->xmotion);
      break;
    case ButtonPress:
      OnPress(&event->xbutton);
      break;
    case ButtonRelease:
      OnRelease(&event->xbutton);
      break;
    case KeyPress:
      OnKey(&event->xkey);
      break;
    case Expose:
      for (Level* level : levels_)
        if (level->window == event->xexpose.window && event->xexpose.count == 0) Paint(level);
      break;
    default:
      break;
  }
}

}  // namespace graphics
