#include "graphics/win32/ScaledMessageBox.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "graphics/win32/ScaledSystemFont.h"

namespace graphics {

namespace {

struct ButtonSpec {
  const char* label;
  int answer;
};

// The buttons of a box type, in the system's order.
std::vector<ButtonSpec> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
      return {{"&Abort", IDABORT}, {"&Retry", IDRETRY}, {"&Ignore", IDIGNORE}};
    case MB_YESNOCANCEL:
      return {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}};
    case MB_YESNO:
      return {{"&Yes", IDYES}, {"&No", IDNO}};
    case MB_RETRYCANCEL:
      return {{"&Retry", IDRETRY}, {"Cancel", IDCANCEL}};
    default:
      return {{"OK", IDOK}};
  }
}

LPCSTR IconOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
      return IDI_HAND;
    case MB_ICONQUESTION:
      return IDI_QUESTION;
    case MB_ICONEXCLAMATION:
      return IDI_EXCLAMATION;
    case MB_ICONASTERISK:
      return IDI_ASTERISK;
    default:
      return nullptr;
  }
}

struct Box {
  const char* text = "";
  const char* caption = "";
  UINT type = 0;
  double ratio = 1.0;
  HFONT font = nullptr;
  HICON icon = nullptr;
  std::vector<ButtonSpec> buttons;

  int Px(double logical) const { return static_cast<int>(std::lround(logical * ratio)); }
  // Escape's answer, or 0 where Escape does nothing.
  int EscapeAnswer() const {
    for (const ButtonSpec& b : buttons)
      if (b.answer == IDCANCEL) return IDCANCEL;
    return buttons.size() == 1 ? buttons[0].answer : 0;
  }
  void Lay(HWND dialog);
};

// The controls, their font and the window's size, all in pixels at the
// editor's scale.
void Box::Lay(HWND dialog) {
  SetWindowTextA(dialog, caption);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
  const int margin = Px(11), gap = Px(7), iconSize = Px(32);
  const int buttonW = Px(75), buttonH = Px(23);
  // The text's size in the box's font, wrapped at a width the system's box
  // would also use.
  HDC dc = GetDC(dialog);
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  RECT textRect = {0, 0, Px(420), 0};
  DrawTextA(dc, text, -1, &textRect, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  const int textW = textRect.right - textRect.left, textH = textRect.bottom - textRect.top;
  int x = margin;
  if (icon) {
    HWND picture = CreateWindowExA(0, "STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ICON, x, margin,
                                   iconSize, iconSize, dialog, nullptr, instance, nullptr);
    SendMessageA(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    SetWindowPos(picture, nullptr, x, margin, iconSize, iconSize, SWP_NOZORDER);
    x += iconSize + margin;
  }
  const int top = icon && textH < iconSize ? margin + (iconSize - textH) / 2 : margin;
  HWND label = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, x,
                               top, textW + 1, textH, dialog, nullptr, instance, nullptr);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  const int n = static_cast<int>(buttons.size());
  const int rowW = n * buttonW + (n - 1) * gap;
  const int bodyBottom = margin + (icon && iconSize > textH ? iconSize : textH);
  const int clientW = std::max(x + textW + margin, rowW + 2 * margin);
  const int buttonsY = bodyBottom + margin;
  const int clientH = buttonsY + buttonH + margin;
  int bx = (clientW - rowW) / 2;
  HWND first = nullptr;
  for (int i = 0; i < n; ++i) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : 0);
    HWND button = CreateWindowExA(
        0, "BUTTON", buttons[static_cast<size_t>(i)].label, style, bx, buttonsY, buttonW, buttonH,
        dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(buttons[static_cast<size_t>(i)].answer)),
        instance, nullptr);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (i == 0) first = button;
    bx += buttonW + gap;
  }
  // Without Escape's answer the close box does nothing either.
  if (!EscapeAnswer()) EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_GRAYED);
  RECT frame = {0, 0, clientW, clientH};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)));
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  // Centred over the owner, or the screen.
  RECT over = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  HWND owner = GetWindow(dialog, GW_OWNER);
  if (owner) GetWindowRect(owner, &over);
  SetWindowPos(dialog, nullptr, over.left + (over.right - over.left - w) / 2,
               over.top + (over.bottom - over.top - h) / 2, w, h, SWP_NOZORDER);
  if (first) SetFocus(first);
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  Box* box = reinterpret_cast<Box*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      reinterpret_cast<Box*>(lParam)->Lay(dialog);
      return FALSE;  // the focus is set
    case WM_COMMAND: {
      if (!box || HIWORD(wParam) != BN_CLICKED) return FALSE;
      int answer = LOWORD(wParam);
      if (answer == IDCANCEL) answer = box->EscapeAnswer();  // Escape, the close box
      if (answer) EndDialog(dialog, answer);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

int ShowScaledMessageBox(HINSTANCE module, HWND owner, const char* text, const char* caption,
                         UINT type, double ratio) {
  Box box;
  box.text = text ? text : "";
  box.caption = caption ? caption : "";
  box.type = type;
  box.ratio = ratio > 0.0 ? ratio : 1.0;
  box.buttons = ButtonsOf(type);
  box.font = CreateScaledSystemFont(SystemFont::kMessage, box.ratio);
  if (LPCSTR icon = IconOf(type))
    box.icon = static_cast<HICON>(
        LoadImageA(nullptr, icon, IMAGE_ICON, box.Px(32), box.Px(32), LR_SHARED | LR_DEFAULTSIZE));
  // An empty dialog; Lay makes its controls.
  struct alignas(4) Template {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
  } t = {};
  t.dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFOREGROUND;
  t.dialog.dwExtendedStyle = WS_EX_DLGMODALFRAME;
  const INT_PTR answer =
      DialogBoxIndirectParamA(module, &t.dialog, owner, BoxProc, reinterpret_cast<LPARAM>(&box));
  if (box.font) DeleteObject(box.font);
  return answer > 0 ? static_cast<int>(answer) : 0;
}

}  // namespace graphics
