#include "graphics/x11/X11TextEntry.h"

#include <algorithm>

#include "graphics/controls/IControl.h"
#include "graphics/IGraphics.h"
#include "graphics/x11/X11Display.h"
#include "graphics/x11/X11Font.h"
#include "lice/LICE_FillRect.h"
#include "lice/LICE_Line.h"

namespace graphics {

namespace {

constexpr LICE_pixel kSelection = 0xFF3399FFu;
constexpr LICE_pixel kSelectedText = 0xFFFFFFFFu;
constexpr int kMarginPx = 2;

}  // namespace

X11TextEntry::X11TextEntry(X11Display* display, Window parent, const IRect& r,
                           const ITextStyle& style, const char* text, IControl* control,
                           plug::IParameter* param)
    : display_(display),
      control_(control),
      param_(param),
      style_(style),
      font_(new X11Font(style.fontName, style.size, style.style == ITextStyleWeight::kBold,
                        style.style == ITextStyleWeight::kItalic)),
      bitmap_(r.W() + 1, r.H() + 1),
      maxChars_(control ? control->TextEntryLength() : 0) {
  text_ = text ? text : "";
  if (static_cast<int>(text_.size()) > maxChars_) text_.resize(static_cast<size_t>(maxChars_));
  caret_ = text_.size();
  window_ = display_->CreateWindow(parent, r.left, r.top, r.W() + 1, r.H() + 1,
                                   ExposureMask | KeyPressMask | FocusChangeMask, false);
  if (!window_) return;
  XMapRaised(display_->Get(), window_);
  XSetInputFocus(display_->Get(), window_, RevertToParent, CurrentTime);
  Paint();
}

X11TextEntry::~X11TextEntry() {
  if (window_) XDestroyWindow(display_->Get(), window_);
  delete font_;
}

void X11TextEntry::Insert(char c) {
  if (allSelected_) {
    text_.clear();
    caret_ = 0;
    allSelected_ = false;
  }
  if (static_cast<int>(text_.size()) >= maxChars_) return;
  text_.insert(caret_, 1, c);
  ++caret_;
}

int X11TextEntry::OnKey(XKeyEvent* event) {
  char typed[8];
  const int vk = X11Display::VirtualKeyOf(event, typed, sizeof typed);
  switch (vk) {
    case 0x0D:  // Return
      return 4;
    case 0x1B:  // Escape
      return 3;
    case 0x08:  // BackSpace
      if (allSelected_) {
        text_.clear();
        caret_ = 0;
      } else if (caret_ > 0) {
        text_.erase(--caret_, 1);
      }
      allSelected_ = false;
      break;
    case 0x2E:  // Delete
      if (allSelected_) {
        text_.clear();
        caret_ = 0;
      } else if (caret_ < text_.size()) {
        text_.erase(caret_, 1);
      }
      allSelected_ = false;
      break;
    case 0x25:  // Left
      if (allSelected_)
        caret_ = 0;
      else if (caret_ > 0)
        --caret_;
      allSelected_ = false;
      break;
    case 0x27:  // Right
      if (!allSelected_ && caret_ < text_.size()) ++caret_;
      allSelected_ = false;
      break;
    case 0x24:  // Home
      caret_ = 0;
      allSelected_ = false;
      break;
    case 0x23:  // End
      caret_ = text_.size();
      allSelected_ = false;
      break;
    default:
      // Printable ASCII only: the field's text goes to the control as it is.
      for (const char* p = typed; *p; ++p) {
        const int c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c > 0x7E) continue;
        if (param_ && !IGraphics::TextEntryAccepts(param_, c)) continue;
        Insert(static_cast<char>(c));
      }
      break;
  }
  Paint();
  return 0;
}

void X11TextEntry::Paint() {
  if (!window_) return;
  const int w = bitmap_.Width();
  const int h = bitmap_.Height();
  LICE_FillRect(&bitmap_, 0, 0, w, h, style_.entryBackground.Packed() | 0xFF000000u, 1.0f,
                LICE_BLIT_MODE_COPY);
  const int textW = font_->TextWidth(text_.c_str());
  int x = kMarginPx;
  if (style_.align == ITextAlign::kCenter) x = (w - textW) / 2;
  if (style_.align == ITextAlign::kRight) x = w - kMarginPx - textW;
  x = std::max(x, kMarginPx);
  const int lineH = font_->LineHeight();
  const int y = 1;
  LICE_pixel textColour = style_.entryText.Packed() | 0xFF000000u;
  if (allSelected_ && !text_.empty()) {
    LICE_FillRect(&bitmap_, x, y, textW, lineH, kSelection, 1.0f, LICE_BLIT_MODE_COPY);
    textColour = kSelectedText;
  }
  const LICE_Rect at = {x, y, w, h};
  font_->Draw(&bitmap_, text_.c_str(), at, LICE_TEXT_NOCLIP, textColour);
  if (!allSelected_) {
    const int caretX = x + font_->TextWidth(text_.substr(0, caret_).c_str());
    LICE_Line(&bitmap_, caretX, y, caretX, y + lineH - 1, style_.entryText.Packed(), 1.0f,
              LICE_BLIT_MODE_COPY);
  }
  display_->PutPixels(window_, &bitmap_, 0, 0, w, h, 0, 0);
  XFlush(display_->Get());
}

}  // namespace graphics
