// The in-place text field of the X11 editor: a child window over the value
// being edited, drawn with the drawing layer in the control's text-entry
// colours and font. It starts with all its text selected (typing replaces
// it), keeps at most the control's text-entry length, and with a parameter
// only the characters that parameter takes (IGraphics::TextEntryAccepts).
// Left, Right, Home and End move the caret; BackSpace and Delete erase.
// The editor decides what a commit or cancel does. [main]
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "graphics/IGraphicsTypes.h"
#include "graphics/IRect.h"
#include "lice/LICE_MemBitmap.h"

namespace plug {
class IParameter;
}

namespace graphics {

class IControl;
class X11Display;
class X11Font;

class X11TextEntry {
 public:
  // The window covers r plus one pixel to the right and below, as the Windows
  // field does, and takes the keyboard focus.
  X11TextEntry(X11Display* display, Window parent, const IRect& r, const ITextStyle& style,
               const char* text, IControl* control, plug::IParameter* param);
  ~X11TextEntry();
  X11TextEntry(const X11TextEntry&) = delete;
  X11TextEntry& operator=(const X11TextEntry&) = delete;

  Window Handle() const { return window_; }
  IControl* Control() const { return control_; }
  plug::IParameter* Param() const { return param_; }
  const std::string& Text() const { return text_; }

  // A key in the field: 0 when typing goes on, 4 for Return (commit), 3 for
  // Escape (cancel).
  int OnKey(XKeyEvent* event);
  void Paint();
  // The window is already gone (destroyed with its parent).
  void Forget() { window_ = 0; }

 private:
  void Insert(char c);

  X11Display* display_;  // not owned
  Window window_ = 0;
  IControl* control_;        // not owned
  plug::IParameter* param_;  // not owned
  ITextStyle style_;
  X11Font* font_;  // owned
  LICE_MemBitmap bitmap_;
  std::string text_;
  size_t caret_ = 0;
  bool allSelected_ = true;
  int maxChars_;
};

}  // namespace graphics
