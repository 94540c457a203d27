#include "graphics/win32/ScaledMenuLook.h"

#include <cmath>

#include "graphics/win32/ScaledSystemFont.h"

namespace graphics {

ScaledMenuLook::ScaledMenuLook(double ratio) : ratio_(ratio > 0.0 ? ratio : 1.0) {
  font_ = CreateScaledSystemFont(SystemFont::kMenu, ratio_);
  // The symbol font's "a" is the check mark the system draws in its menus.
  LOGFONTA check = {};
  check.lfHeight = -CheckWidth();
  check.lfCharSet = SYMBOL_CHARSET;
  lstrcpynA(check.lfFaceName, "Marlett", LF_FACESIZE);
  checkFont_ = CreateFontIndirectA(&check);
}

ScaledMenuLook::~ScaledMenuLook() {
  if (font_) DeleteObject(font_);
  if (checkFont_) DeleteObject(checkFont_);
}

ULONG_PTR ScaledMenuLook::AddItem(const std::string& text) {
  texts_.push_back(text);
  return reinterpret_cast<ULONG_PTR>(&texts_.back());
}

bool ScaledMenuLook::Ours(ULONG_PTR data) const {
  for (const std::string& text : texts_)
    if (reinterpret_cast<ULONG_PTR>(&text) == data) return true;
  return false;
}

int ScaledMenuLook::CheckWidth() const {
  return static_cast<int>(std::lround(GetSystemMetrics(SM_CXMENUCHECK) * ratio_));
}

bool ScaledMenuLook::Measure(HWND owner, MEASUREITEMSTRUCT* item) const {
  if (!item || item->CtlType != ODT_MENU || !Ours(item->itemData)) return false;
  const std::string& text = *reinterpret_cast<const std::string*>(item->itemData);
  HDC dc = GetDC(owner);
  HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  RECT r = {0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(owner, dc);
  // The check mark's room on the left; on the right the same for the
  // sub-menu arrow, which the system adds to the width it is told.
  const int padding = static_cast<int>(std::lround(3 * ratio_));
  item->itemWidth = static_cast<UINT>(r.right - r.left + CheckWidth() + padding);
  const int line = metrics.tmHeight + metrics.tmExternalLeading;
  item->itemHeight = static_cast<UINT>((line > CheckWidth() ? line : CheckWidth()) + 2 * padding);
  return true;
}

bool ScaledMenuLook::Draw(const DRAWITEMSTRUCT* item) const {
  if (!item || item->CtlType != ODT_MENU || !Ours(item->itemData)) return false;
  const std::string& text = *reinterpret_cast<const std::string*>(item->itemData);
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  const bool grayed = (item->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  HDC dc = item->hDC;
  RECT r = item->rcItem;
  FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, GetSysColor(grayed     ? COLOR_GRAYTEXT
                                                          : selected ? COLOR_HIGHLIGHTTEXT
                                                                     : COLOR_MENUTEXT));
  RECT check = r;
  check.right = check.left + CheckWidth();
  if ((item->itemState & ODS_CHECKED) && checkFont_) {
    HGDIOBJ old = SelectObject(dc, checkFont_);
    DrawTextA(dc, "a", 1, &check, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, old);
  }
  RECT label = r;
  label.left = check.right;
  HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &label,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS);
  SelectObject(dc, old);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
  return true;
}

}  // namespace graphics
