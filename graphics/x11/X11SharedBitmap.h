// The editor's drawing bitmap in memory shared with the X server (the MIT-SHM
// extension): the panel is drawn straight into the pixels the server copies
// to the window, so putting a redrawn area costs the server one copy and us
// none. Only for a server on this machine that offers the extension and lets
// us attach, with the extension's client library (libXext.so.6, looked up at
// run time) on the system; Make answers null otherwise and the window layer
// draws into a plain bitmap and puts the plain way.
//
// READING
//   The server reads a put's pixels some time after Put returns. Drawing
//   there before it has would show a half-drawn area, so the window layer
//   calls WaitUntilRead before it draws: it returns at once unless an
//   unfinished put overlaps the area. The server's completion events say
//   which puts are done; the layer's event loop passes them to
//   TakeCompletion, and WaitUntilRead looks for them itself (a round trip
//   only when they have not come yet).
//
// The segment is marked for removal as soon as the server has attached it,
// so it goes with the process whatever happens. The connection must outlive
// the bitmap. [main]
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include "graphics/IRect.h"
#include "lice/LICE_IBitmap.h"

namespace graphics {

class X11Display;

class X11SharedBitmap : public LICE_IBitmap {
 public:
  // A bitmap of w x h pixels for windows of display's default visual, or
  // null when the server cannot share memory with us.
  static X11SharedBitmap* Make(X11Display* display, int w, int h);
  // Detaches the segment from the server and from us.
  ~X11SharedBitmap() override;
  X11SharedBitmap(const X11SharedBitmap&) = delete;
  X11SharedBitmap& operator=(const X11SharedBitmap&) = delete;

  LICE_pixel* Bits() override { return reinterpret_cast<LICE_pixel*>(image_->data); }
  int Width() override { return image_->width; }
  int Height() override { return image_->height; }
  int RowSpan() override { return image_->bytes_per_line / 4; }
  bool IsFlipped() override { return false; }
  // The segment has one size: true only for the size it has.
  bool ResizeTo(int widthPx, int heightPx) override;
  LICE_DC DeviceContext() override { return nullptr; }
  void* Query(int id, void* data) override { return nullptr; }

  // Asks the server to copy area (x, y, w, h) to the same place of window.
  // False when the area does not fit.
  bool Put(Window window, int x, int y, int w, int h);
  // True when event is the server's word that it finished a put of ours.
  bool TakeCompletion(const XEvent& event);
  // Returns once the server has read every put that overlaps area.
  void WaitUntilRead(const IRect& area);
  // Puts the server has not yet said it finished (tests).
  int PutsInFlight() const { return inFlight_; }

 private:
  X11SharedBitmap(X11Display* display, XImage* image, const XShmSegmentInfo& segment,
                  int completionType);
  // event is the server's completion of a put into this segment.
  bool IsOurCompletion(const XEvent& event) const;
  void TakeQueuedCompletions();

  X11Display* display_;  // not owned
  XImage* image_;
  XShmSegmentInfo segment_;
  GC gc_;
  const int completionType_;
  // Unfinished puts and the union of their areas.
  int inFlight_ = 0;
  IRect inFlightArea_;
};

}  // namespace graphics
