#include "tools/vsthost/X11Windows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <time.h>

#include <string>

namespace vsthost {

namespace {

void SleepMs(int ms) {
  timespec t = {0, ms * 1000000L};
  nanosleep(&t, nullptr);
}

bool IsMappedPopup(Display* d, Window w, Atom type, Atom popup) {
  Atom actual = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  bool is = XGetWindowProperty(d, w, type, 0, 1, False, XA_ATOM, &actual, &format, &items, &after,
                               &data) == Success &&
            data && items == 1 && *reinterpret_cast<Atom*>(data) == popup;
  if (data) XFree(data);
  XWindowAttributes attributes;
  return is && XGetWindowAttributes(d, w, &attributes) && attributes.map_state == IsViewable;
}

}  // namespace

Display* ConnectX11() {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (Display* d = XOpenDisplay(nullptr)) return d;
    SleepMs(20);
  }
  return nullptr;
}

std::vector<Window> ChildWindows(Display* d, Window w) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  std::vector<Window> list;
  if (XQueryTree(d, w, &root, &parent, &children, &count)) list.assign(children, children + count);
  if (children) XFree(children);
  return list;
}

Window FindNamedWindow(Display* d, const char* name) {
  for (Window w : ChildWindows(d, DefaultRootWindow(d))) {
    char* title = nullptr;
    const bool match = XFetchName(d, w, &title) && title && std::string(title) == name;
    if (title) XFree(title);
    if (match) return w;
  }
  return 0;
}

bool PopupMenuShown(Display* d) {
  const Atom type = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False);
  const Atom popup = XInternAtom(d, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
  for (Window w : ChildWindows(d, DefaultRootWindow(d)))
    if (IsMappedPopup(d, w, type, popup)) return true;
  return false;
}

bool WaitForWindow(Display* d, const char* name) {
  for (int i = 0; i < 300; ++i) {
    const bool found = name ? FindNamedWindow(d, name) != 0 : PopupMenuShown(d);
    if (found) {
      SleepMs(50);
      return true;
    }
    SleepMs(10);
  }
  return false;
}

}  // namespace vsthost
