// The editor window's pixels in memory shared with the X server (the MIT-SHM
// extension), so that putting a redrawn area on the window costs the server
// one copy instead of sending the pixels through the connection. Only for a
// server on this machine that offers the extension and lets us attach, with
// the extension's client library (libXext.so.6, looked up at run time) on the
// system; Make answers null otherwise and the window layer puts the pixels the
// plain way.
//
// Put copies an area of the drawing bitmap into the shared image at the same
// place and asks the server to show it. The server may still be reading an
// earlier put when the next one writes the shared image: it then shows the
// newer pixels of that area, which the later request shows again anyway.
//
// The segment is marked for removal as soon as the server has attached it,
// so it goes with the process whatever happens. [main]
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

class LICE_IBitmap;

namespace graphics {

class X11Display;

class X11SharedPixels {
 public:
  // A shared image of w x h pixels for windows of display's default visual,
  // or null when the server cannot share memory with us.
  static X11SharedPixels* Make(X11Display* display, int w, int h);
  // Detaches the segment from the server and from us. The connection must
  // still be open.
  ~X11SharedPixels();
  X11SharedPixels(const X11SharedPixels&) = delete;
  X11SharedPixels& operator=(const X11SharedPixels&) = delete;

  int Width() const { return image_->width; }
  int Height() const { return image_->height; }
  // Copies (x, y, w, h) of bitmap (at least that large) to the same place of
  // window, through the shared image. False when the area does not fit.
  bool Put(Window window, LICE_IBitmap* bitmap, int x, int y, int w, int h);

 private:
  X11SharedPixels(X11Display* display, XImage* image, const XShmSegmentInfo& segment);

  X11Display* display_;  // not owned
  XImage* image_;
  XShmSegmentInfo segment_;
  GC gc_;
};

}  // namespace graphics
