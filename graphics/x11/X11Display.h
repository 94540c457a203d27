// The editor's own connection to the X server, and what every X window of the
// editor shares: the visual its pixels are shown with, the atoms it asks for,
// waiting for events with a time-out, putting drawing-layer pixels on a
// window, and the virtual-key code of a key event.
//
// The connection is never the host's: the host's toolkit keeps its own, and
// nothing here changes it. Errors on our connections (a window the host has
// destroyed under us) are counted instead of ending the process; errors on
// any other connection go on to the handler that was there before.
//
// A connection belongs to the thread that opened it. [main]
#pragma once

#include <X11/Xlib.h>

class LICE_IBitmap;

namespace graphics {

class X11Display {
 public:
  // A connection to the display named by DISPLAY, or null when there is none,
  // it cannot be reached, or its default visual cannot show our pixels
  // (24- or 32-bit true colour, 0xRRGGBB).
  static X11Display* Open();
  ~X11Display();
  X11Display(const X11Display&) = delete;
  X11Display& operator=(const X11Display&) = delete;

  Display* Get() const { return display_; }
  int Screen() const { return screen_; }
  Window Root() const { return RootWindow(display_, screen_); }

  // A window of ours: the default visual and depth, so it needs nothing of a
  // parent that may use another visual. Input events as given.
  Window CreateWindow(Window parent, int x, int y, int w, int h, long events,
                      bool overrideRedirect);
  // Copies (x, y, w, h) of bitmap to the same size at (toX, toY) of window.
  void PutPixels(Window window, LICE_IBitmap* bitmap, int x, int y, int w, int h, int toX, int toY);

  // Waits at most ms milliseconds for an event; true when one is queued.
  bool WaitForEvent(int ms);
  // Errors reported on this connection since the last call.
  int TakeErrors();
  // Sends everything and waits for the server, so that errors are in.
  void Sync();

  // The Windows virtual-key code of a key event (0 when it has none) and, in
  // text, the characters it types (zero-terminated, at most textBytes - 1).
  static int VirtualKeyOf(XKeyEvent* event, char* text, int textBytes);
  // The desktop's scale in percent from the Xft.dpi resource of display
  // (96 dpi = 100 %), 100 when it has none or a value that is not a
  // positive number.
  static int ScalePercentOf(Display* display);
  // The same from the text of a resource database ("Xft.dpi:\t144\n...").
  static int ScalePercentOfResources(const char* resources);
  // Milliseconds of a monotonic clock.
  static long long NowMs();

  Atom wmProtocols = 0;
  Atom wmDeleteWindow = 0;
  Atom clipboard = 0;
  Atom utf8String = 0;
  Atom selectionProperty = 0;
  Atom netWmName = 0;
  Atom netWmWindowType = 0;
  Atom netWmWindowTypeDialog = 0;
  Atom netWmWindowTypePopupMenu = 0;

 private:
  explicit X11Display(Display* display);

  Display* display_;
  int screen_;
  GC gc_;
};

}  // namespace graphics
