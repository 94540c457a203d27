// A message box of the X11 editor: a dialog window of our own, drawn with the
// drawing layer, owned by (transient for) the host's top-level window, titled
// with the caption, with the buttons of the Windows box type (OK, OK/Cancel,
// Abort/Retry/Ignore, Yes/No/Cancel, Yes/No, Retry/Cancel) and the Windows
// answers (1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No).
//
// The text breaks into lines at CR, LF or CR LF; a tab moves on to the next
// tab stop, one every kTabStopChars average character widths, as the Windows
// box lays them out, so texts that use tabs for columns line up.
//
// Keys: Left, Right and Tab move between the buttons, Return or space press
// the current one (the first at the start), a button's initial letter presses
// it, Escape answers Cancel where there is one (OK in a box with only OK).
// The window manager's close answers as Escape does. [main]
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "graphics/x11/X11ModalWindow.h"
#include "lice/LICE_MemBitmap.h"

namespace graphics {

class IGraphicsX11;
class X11Font;

class X11MessageBox : public X11ModalWindow {
 public:
  static constexpr int kTabStopChars = 8;

  X11MessageBox(IGraphicsX11* editor, const char* text, const char* caption, int type);
  ~X11MessageBox() override;
  X11MessageBox(const X11MessageBox&) = delete;
  X11MessageBox& operator=(const X11MessageBox&) = delete;

  // Shows the box and runs it; the answer, or 0 when the editor went away.
  int Run();

  void HandleEvent(XEvent* event) override;
  bool Done() const override { return answer_ != 0 || abandoned_; }
  void Abandon() override;

 private:
  struct Button {
    const char* label;
    int answer;
    int x, y, w, h;
  };
  void Paint();
  // The x of each tab-separated run of line, from the text's left edge, and
  // the x where the line ends.
  std::vector<int> RunStarts(const std::vector<std::string>& runs, int* end) const;
  // The button under (x, y) of the window, or -1.
  int ButtonAt(int x, int y) const;
  void OnKey(XKeyEvent* event);
  // Escape's answer, or 0 when Escape does nothing.
  int CancelAnswer() const;

  IGraphicsX11* editor_;  // not owned
  std::string caption_;
  std::vector<std::vector<std::string>> lines_;  // each line cut at its tabs
  int tabPx_ = 0;
  std::vector<Button> buttons_;
  X11Font* font_;  // owned
  LICE_MemBitmap bitmap_;
  Window window_ = 0;
  int focus_ = 0;
  int pressed_ = -1;
  int answer_ = 0;
  bool abandoned_ = false;
  bool focusGiven_ = false;
};

}  // namespace graphics
