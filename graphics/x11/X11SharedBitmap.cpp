#include "graphics/x11/X11SharedBitmap.h"

#include <X11/Xutil.h>
#include <dlfcn.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <new>

#include "graphics/x11/X11Display.h"

namespace graphics {

namespace {

// The extension's client library, looked up when first needed rather than
// linked: the plug-in loads on desktops without it and puts the plain way.
struct ShmLibrary {
  Bool (*queryExtension)(Display*) = nullptr;
  XImage* (*createImage)(Display*, Visual*, unsigned, int, char*, XShmSegmentInfo*, unsigned,
                         unsigned) = nullptr;
  Bool (*attach)(Display*, XShmSegmentInfo*) = nullptr;
  Bool (*detach)(Display*, XShmSegmentInfo*) = nullptr;
  Bool (*putImage)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned,
                   Bool) = nullptr;
  int (*eventBase)(Display*) = nullptr;
  bool ok = false;

  ShmLibrary() {
    // Kept loaded for the process: images made with it may outlive any
    // one editor.
    void* library = dlopen("libXext.so.6", RTLD_NOW | RTLD_LOCAL);
    if (!library) return;
    queryExtension =
        reinterpret_cast<decltype(queryExtension)>(dlsym(library, "XShmQueryExtension"));
    createImage = reinterpret_cast<decltype(createImage)>(dlsym(library, "XShmCreateImage"));
    attach = reinterpret_cast<decltype(attach)>(dlsym(library, "XShmAttach"));
    detach = reinterpret_cast<decltype(detach)>(dlsym(library, "XShmDetach"));
    putImage = reinterpret_cast<decltype(putImage)>(dlsym(library, "XShmPutImage"));
    eventBase = reinterpret_cast<decltype(eventBase)>(dlsym(library, "XShmGetEventBase"));
    ok = queryExtension && createImage && attach && detach && putImage && eventBase;
  }
};

const ShmLibrary& Shm() {
  static const ShmLibrary library;
  return library;
}

}  // namespace

X11SharedBitmap* X11SharedBitmap::Make(X11Display* display, int w, int h) {
  if (!display || w <= 0 || h <= 0 || !Shm().ok) return nullptr;
  Display* d = display->Get();
  if (!Shm().queryExtension(d)) return nullptr;
  XShmSegmentInfo segment = {};
  XImage* image =
      Shm().createImage(d, DefaultVisual(d, display->Screen()),
                        static_cast<unsigned>(DefaultDepth(d, display->Screen())), ZPixmap, nullptr,
                        &segment, static_cast<unsigned>(w), static_cast<unsigned>(h));
  if (!image) return nullptr;
  // The panel is drawn in 32-bit pixels in this machine's byte order, which
  // a server sharing our memory has too.
  if (image->bits_per_pixel != 32 || image->bytes_per_line % 4 != 0) {
    XDestroyImage(image);
    return nullptr;
  }
  segment.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * image->height,
                         IPC_CREAT | 0600);
  if (segment.shmid < 0) {
    XDestroyImage(image);
    return nullptr;
  }
  void* memory = shmat(segment.shmid, nullptr, 0);
  if (memory == reinterpret_cast<void*>(-1)) {
    shmctl(segment.shmid, IPC_RMID, nullptr);
    XDestroyImage(image);
    return nullptr;
  }
  segment.shmaddr = image->data = static_cast<char*>(memory);
  segment.readOnly = True;
  // A server elsewhere, or one not allowed to see our segment, answers the
  // attach with an error: counted on our connection, seen after the sync.
  display->TakeErrors();
  const bool attached = Shm().attach(d, &segment) != 0;
  display->Sync();
  const bool refused = !attached || display->TakeErrors() > 0;
  shmctl(segment.shmid, IPC_RMID, nullptr);
  X11SharedBitmap* bitmap =
      refused ? nullptr
              : new (std::nothrow)
                    X11SharedBitmap(display, image, segment, Shm().eventBase(d) + ShmCompletion);
  if (!bitmap) {
    if (attached) {
      // The server lets go of the segment before our mapping goes.
      Shm().detach(d, &segment);
      display->Sync();
    }
    shmdt(memory);
    image->data = nullptr;
    XDestroyImage(image);
  }
  return bitmap;
}

X11SharedBitmap::X11SharedBitmap(X11Display* display, XImage* image, const XShmSegmentInfo& segment,
                                 int completionType)
    : display_(display), image_(image), segment_(segment), completionType_(completionType) {
  // The image names its segment by address: ours from now on.
  image_->obdata = reinterpret_cast<char*>(&segment_);
  gc_ = XCreateGC(display->Get(), display->Root(), 0, nullptr);
}

X11SharedBitmap::~X11SharedBitmap() {
  Display* d = display_->Get();
  Shm().detach(d, &segment_);
  // The server lets go of the segment (and finishes every put) before our
  // mapping goes.
  XSync(d, False);
  TakeQueuedCompletions();
  XFreeGC(d, gc_);
  shmdt(segment_.shmaddr);
  image_->data = nullptr;
  XDestroyImage(image_);
}

bool X11SharedBitmap::ResizeTo(int widthPx, int heightPx) {
  return widthPx == image_->width && heightPx == image_->height;
}

bool X11SharedBitmap::Put(Window window, int x, int y, int w, int h) {
  if (w <= 0 || h <= 0 || x < 0 || y < 0 || x + w > image_->width || y + h > image_->height)
    return false;
  // With a completion event: the server says when it has read the pixels.
  Shm().putImage(display_->Get(), window, gc_, image_, x, y, x, y, static_cast<unsigned>(w),
                 static_cast<unsigned>(h), True);
  ++inFlight_;
  inFlightArea_ = inFlightArea_.Union(IRect(x, y, x + w, y + h));
  return true;
}

bool X11SharedBitmap::IsOurCompletion(const XEvent& event) const {
  return event.type == completionType_ &&
         reinterpret_cast<const XShmCompletionEvent&>(event).shmseg == segment_.shmseg;
}

bool X11SharedBitmap::TakeCompletion(const XEvent& event) {
  if (!IsOurCompletion(event)) return false;
  if (inFlight_ > 0 && --inFlight_ == 0) inFlightArea_ = IRect();
  return true;
}

void X11SharedBitmap::TakeQueuedCompletions() {
  struct Match {
    static Bool Ours(Display*, XEvent* event, XPointer self) {
      return reinterpret_cast<const X11SharedBitmap*>(self)->IsOurCompletion(*event);
    }
  };
  // Asking once more than needed would cost a read and a flush of the
  // connection: each tick's puts would go out one by one.
  XEvent event;
  while (inFlight_ > 0 &&
         XCheckIfEvent(display_->Get(), &event, &Match::Ours, reinterpret_cast<XPointer>(this)))
    TakeCompletion(event);
}

void X11SharedBitmap::WaitUntilRead(const IRect& area) {
  if (inFlight_ == 0 || !area.Intersects(inFlightArea_)) return;
  // The events may have come already; if not, the server's answer to a sync
  // comes after everything it did for our earlier requests.
  TakeQueuedCompletions();
  if (inFlight_ == 0) return;
  XSync(display_->Get(), False);
  TakeQueuedCompletions();
  // A put the server refused (its window gone) finishes without an event:
  // after the sync nothing of ours is being read any more.
  inFlight_ = 0;
  inFlightArea_ = IRect();
}

}  // namespace graphics
