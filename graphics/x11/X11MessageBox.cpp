#include "graphics/x11/X11MessageBox.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "graphics/x11/IGraphicsX11.h"
#include "graphics/x11/X11Display.h"
#include "graphics/x11/X11Font.h"
#include "lice/LICE_FillRect.h"
#include "lice/LICE_Line.h"

namespace graphics {

namespace {

constexpr int kMargin = 18;
constexpr int kButtonW = 80;
constexpr int kButtonH = 26;
constexpr int kButtonGap = 10;
constexpr int kMinTextW = 200;
constexpr int kFontPx = 13;
constexpr const char* kFontFace = "Sans";
constexpr LICE_pixel kBackground = 0xFFF0F0F0u;
constexpr LICE_pixel kButtonFace = 0xFFE1E1E1u;
constexpr LICE_pixel kButtonPressed = 0xFFCCE4F7u;
constexpr LICE_pixel kButtonBorder = 0xFFADADADu;
constexpr LICE_pixel kFocusBorder = 0xFF0078D7u;
constexpr LICE_pixel kText = 0xFF000000u;

enum Answer : int { kOk = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7 };

struct Label {
  const char* text;
  int answer;
};

// The buttons of a Windows message box type (its low four bits).
std::vector<Label> ButtonsOf(int type) {
  switch (type & 0xF) {
    case 1:
      return {{"OK", kOk}, {"Cancel", kCancel}};
    case 2:
      return {{"Abort", kAbort}, {"Retry", kRetry}, {"Ignore", kIgnore}};
    case 3:
      return {{"Yes", kYes}, {"No", kNo}, {"Cancel", kCancel}};
    case 4:
      return {{"Yes", kYes}, {"No", kNo}};
    case 5:
      return {{"Retry", kRetry}, {"Cancel", kCancel}};
    default:
      return {{"OK", kOk}};
  }
}

void Frame(LICE_IBitmap* b, int x, int y, int w, int h, LICE_pixel colour) {
  LICE_Line(b, x, y, x + w - 1, y, colour, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Line(b, x, y + h - 1, x + w - 1, y + h - 1, colour, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Line(b, x, y, x, y + h - 1, colour, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Line(b, x + w - 1, y, x + w - 1, y + h - 1, colour, 1.0f, LICE_BLIT_MODE_COPY);
}

}  // namespace

X11MessageBox::X11MessageBox(IGraphicsX11* editor, const char* text, const char* caption, int type)
    : editor_(editor), caption_(caption ? caption : ""), font_(new X11Font(kFontFace, kFontPx)) {
  // Lines at CR, LF or CR LF, runs at tabs.
  const char* p = text ? text : "";
  std::vector<std::string> runs(1);
  for (; *p; ++p) {
    if (*p == '\r' || *p == '\n') {
      lines_.push_back(runs);
      runs.assign(1, std::string());
      if (*p == '\r' && p[1] == '\n') ++p;
    } else if (*p == '\t') {
      runs.push_back(std::string());
    } else {
      runs.back() += *p;
    }
  }
  lines_.push_back(runs);
  // The average character width, as Windows measures its tab stops in it.
  const char* alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  tabPx_ = std::max(1, kTabStopChars * ((font_->TextWidth(alphabet) + 26) / 52));
  for (const Label& label : ButtonsOf(type))
    buttons_.push_back(Button{label.text, label.answer, 0, 0, kButtonW, kButtonH});
}

X11MessageBox::~X11MessageBox() {
  Abandon();
  delete font_;
}

void X11MessageBox::Abandon() {
  X11Display* display = editor_->Connection();
  if (window_ && display) {
    XDestroyWindow(display->Get(), window_);
    XFlush(display->Get());
  }
  window_ = 0;
  abandoned_ = true;
}

int X11MessageBox::Run() {
  X11Display* display = editor_->Connection();
  if (!display) return 0;
  Display* d = display->Get();
  int textW = kMinTextW;
  for (const std::vector<std::string>& runs : lines_) {
    int end = 0;
    RunStarts(runs, &end);
    textW = std::max(textW, end);
  }
  const int lineH = font_->LineHeight();
  const int buttonsW = static_cast<int>(buttons_.size()) * (kButtonW + kButtonGap) - kButtonGap;
  const int w = std::max(textW, buttonsW) + 2 * kMargin;
  const int h = kMargin + static_cast<int>(lines_.size()) * lineH + kMargin + kButtonH + kMargin;
  int x = buttonsW > 0 ? (w - buttonsW) / 2 : 0;
  for (Button& b : buttons_) {
    b.x = x;
    b.y = h - kMargin - kButtonH;
    x += kButtonW + kButtonGap;
  }
  bitmap_.ResizeTo(w, h);

  // Centred over the editor.
  int centreX = DisplayWidth(d, display->Screen()) / 2;
  int centreY = DisplayHeight(d, display->Screen()) / 2;
  Window child;
  int ex = 0, ey = 0;
  if (editor_->EditorWindow() &&
      XTranslateCoordinates(d, editor_->EditorWindow(), display->Root(), 0, 0, &ex, &ey, &child)) {
    centreX = ex + editor_->Width() / 2;
    centreY = ey + editor_->Height() / 2;
  }
  window_ = display->CreateWindow(
      display->Root(), std::max(0, centreX - w / 2), std::max(0, centreY - h / 2), w, h,
      ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask | StructureNotifyMask,
      false);
  if (!window_) return 0;
  XStoreName(d, window_, caption_.c_str());
  XChangeProperty(d, window_, display->netWmName, display->utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(caption_.c_str()),
                  static_cast<int>(caption_.size()));
  XChangeProperty(d, window_, display->netWmWindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&display->netWmWindowTypeDialog), 1);
  const Window owner = editor_->GetMainWindow();
  if (owner) XSetTransientForHint(d, window_, owner);
  Atom protocols[] = {display->wmDeleteWindow};
  XSetWMProtocols(d, window_, protocols, 1);
  XSizeHints* size = XAllocSizeHints();
  if (size) {
    size->flags = PPosition | PMinSize | PMaxSize;
    size->min_width = size->max_width = w;
    size->min_height = size->max_height = h;
    XSetWMNormalHints(d, window_, size);
    XFree(size);
  }
  XWMHints* hints = XAllocWMHints();
  if (hints) {
    hints->flags = InputHint;
    hints->input = True;
    XSetWMHints(d, window_, hints);
    XFree(hints);
  }
  XMapRaised(d, window_);
  XFlush(d);
  editor_->RunModalLoop(this);
  const int answer = answer_;
  Abandon();
  return answer;
}

std::vector<int> X11MessageBox::RunStarts(const std::vector<std::string>& runs, int* end) const {
  std::vector<int> starts;
  int x = 0;
  for (size_t i = 0; i < runs.size(); ++i) {
    // Every run after the first begins at the first tab stop past the text
    // before it.
    if (i > 0) x = (x / tabPx_ + 1) * tabPx_;
    starts.push_back(x);
    x += font_->TextWidth(runs[i].c_str());
  }
  *end = x;
  return starts;
}

int X11MessageBox::ButtonAt(int x, int y) const {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const Button& b = buttons_[i];
    if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h) return static_cast<int>(i);
  }
  return -1;
}

int X11MessageBox::CancelAnswer() const {
  for (const Button& b : buttons_)
    if (b.answer == kCancel) return kCancel;
  return buttons_.size() == 1 ? buttons_[0].answer : 0;
}

void X11MessageBox::OnKey(XKeyEvent* event) {
  char text[8];
  const int n = static_cast<int>(buttons_.size());
  const int vk = X11Display::VirtualKeyOf(event, text, sizeof text);
  switch (vk) {
    case 0x25:  // Left
      focus_ = (focus_ + n - 1) % n;
      break;
    case 0x27:  // Right
    case 0x09:  // Tab
      focus_ = (focus_ + 1) % n;
      break;
    case 0x0D:  // Return
    case 0x20:  // space
      answer_ = buttons_[static_cast<size_t>(focus_)].answer;
      break;
    case 0x1B:  // Escape
      answer_ = CancelAnswer();
      break;
    default:
      for (const Button& b : buttons_)
        if (vk != 0 && vk == std::toupper(static_cast<unsigned char>(b.label[0])))
          answer_ = b.answer;
      break;
  }
  Paint();
}

void X11MessageBox::HandleEvent(XEvent* event) {
  if (!window_ || event->xany.window != window_) return;
  X11Display* display = editor_->Connection();
  switch (event->type) {
    case MapNotify:
      if (!focusGiven_ && display) {
        XSetInputFocus(display->Get(), window_, RevertToParent, CurrentTime);
        focusGiven_ = true;
      }
      break;
    case Expose:
      if (event->xexpose.count == 0) Paint();
      break;
    case KeyPress:
      OnKey(&event->xkey);
      break;
    case ButtonPress:
      if (event->xbutton.button == Button1) {
        pressed_ = ButtonAt(event->xbutton.x, event->xbutton.y);
        if (pressed_ >= 0) focus_ = pressed_;
        Paint();
      }
      break;
    case ButtonRelease:
      if (event->xbutton.button == Button1) {
        if (pressed_ >= 0 && ButtonAt(event->xbutton.x, event->xbutton.y) == pressed_)
          answer_ = buttons_[static_cast<size_t>(pressed_)].answer;
        pressed_ = -1;
        Paint();
      }
      break;
    case ClientMessage:
      if (display && static_cast<Atom>(event->xclient.data.l[0]) == display->wmDeleteWindow)
        answer_ = CancelAnswer();
      break;
    case DestroyNotify:
      window_ = 0;
      abandoned_ = true;
      break;
    default:
      break;
  }
}

void X11MessageBox::Paint() {
  X11Display* display = editor_->Connection();
  if (!window_ || !display) return;
  LICE_IBitmap* b = &bitmap_;
  LICE_FillRect(b, 0, 0, b->Width(), b->Height(), kBackground, 1.0f, LICE_BLIT_MODE_COPY);
  const int lineH = font_->LineHeight();
  int y = kMargin;
  for (const std::vector<std::string>& runs : lines_) {
    int end = 0;
    const std::vector<int> starts = RunStarts(runs, &end);
    for (size_t i = 0; i < runs.size(); ++i) {
      const LICE_Rect at = {kMargin + starts[i], y, b->Width() - kMargin, y + lineH};
      font_->Draw(b, runs[i].c_str(), at, 0, kText);
    }
    y += lineH;
  }
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const Button& button = buttons_[i];
    const bool focused = static_cast<int>(i) == focus_;
    LICE_FillRect(b, button.x, button.y, button.w, button.h,
                  static_cast<int>(i) == pressed_ ? kButtonPressed : kButtonFace, 1.0f,
                  LICE_BLIT_MODE_COPY);
    Frame(b, button.x, button.y, button.w, button.h, focused ? kFocusBorder : kButtonBorder);
    if (focused) Frame(b, button.x + 1, button.y + 1, button.w - 2, button.h - 2, kFocusBorder);
    const LICE_Rect at = {button.x, button.y, button.x + button.w, button.y + button.h};
    font_->Draw(b, button.label, at, LICE_TEXT_CENTER | LICE_TEXT_VCENTER, kText);
  }
  display->PutPixels(window_, b, 0, 0, b->Width(), b->Height(), 0, 0);
  XFlush(display->Get());
}

}  // namespace graphics
