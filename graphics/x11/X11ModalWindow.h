// A window of the editor that runs a modal loop (a popup menu, a message
// box): IGraphicsX11::RunModalLoop hands it every event that is not the
// editor window's own until it is done. [main]
#pragma once

#include <X11/Xlib.h>

namespace graphics {

class X11ModalWindow {
 public:
  virtual ~X11ModalWindow() = default;
  virtual void HandleEvent(XEvent* event) = 0;
  virtual bool Done() const = 0;
  // The editor window went away: end without an answer, windows closed.
  virtual void Abandon() = 0;
};

}  // namespace graphics
