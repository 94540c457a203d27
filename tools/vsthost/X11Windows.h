// What the native editor tests look for on the X display, through a
// connection of the caller's own (natively only): a connection that is tried
// again when a busy server refuses one, a top-level window by its name, a
// window's children, and waiting for an editor's popup menu or a named window
// (a message box) to come up, so that input for a modal loop is sent only
// when the loop's window is there.
#pragma once

#include <X11/Xlib.h>

#include <vector>

namespace vsthost {

// A new connection to the display of DISPLAY, or null. The caller closes it.
Display* ConnectX11();
// The top-level window with this name, or 0.
Window FindNamedWindow(Display* d, const char* name);
std::vector<Window> ChildWindows(Display* d, Window w);
// Whether a popup menu is mapped now.
bool PopupMenuShown(Display* d);
// Waits at most three seconds for a mapped popup menu (without name) or a
// top-level window named name; true when it came. A little time is left for
// its grabs and focus.
bool WaitForWindow(Display* d, const char* name = nullptr);

}  // namespace vsthost
