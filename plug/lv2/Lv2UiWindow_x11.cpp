// The X11 seam of the LV2 UI: the window the editor made in the host's parent
// (LV2 wants it as the UI's widget; the editor's window layer keeps its own
// connection and does not hand it out).
#include <X11/Xlib.h>

#include "plug/lv2/Lv2UiWindow.h"

namespace plug {

unsigned long NewestChildWindow(unsigned long parent) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 0;
  Window root = 0, parentOfParent = 0, newest = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  // Children come bottom to top: the last is the one made last.
  if (XQueryTree(display, parent, &root, &parentOfParent, &children, &count) && count > 0)
    newest = children[count - 1];
  if (children) XFree(children);
  XCloseDisplay(display);
  return newest;
}

}  // namespace plug
