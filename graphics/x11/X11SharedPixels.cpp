#include "graphics/x11/X11SharedPixels.h"

#include <X11/Xutil.h>
#include <dlfcn.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>

#include "graphics/x11/X11Display.h"
#include "lice/LICE_IBitmap.h"

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
    ok = queryExtension && createImage && attach && detach && putImage;
  }
};

const ShmLibrary& Shm() {
  static const ShmLibrary library;
  return library;
}

}  // namespace

X11SharedPixels* X11SharedPixels::Make(X11Display* display, int w, int h) {
  if (!display || w <= 0 || h <= 0 || !Shm().ok) return nullptr;
  Display* d = display->Get();
  if (!Shm().queryExtension(d)) return nullptr;
  XShmSegmentInfo segment = {};
  XImage* image =
      Shm().createImage(d, DefaultVisual(d, display->Screen()),
                        static_cast<unsigned>(DefaultDepth(d, display->Screen())), ZPixmap, nullptr,
                        &segment, static_cast<unsigned>(w), static_cast<unsigned>(h));
  if (!image) return nullptr;
  // The drawing bitmap's rows are copied as they are: 32-bit pixels in this
  // machine's byte order, which a server sharing our memory has too.
  if (image->bits_per_pixel != 32) {
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
  if (refused) {
    if (attached) Shm().detach(d, &segment);
    shmdt(memory);
    image->data = nullptr;
    XDestroyImage(image);
    return nullptr;
  }
  return new X11SharedPixels(display, image, segment);
}

X11SharedPixels::X11SharedPixels(X11Display* display, XImage* image, const XShmSegmentInfo& segment)
    : display_(display), image_(image), segment_(segment) {
  // The image names its segment by address: ours from now on.
  image_->obdata = reinterpret_cast<char*>(&segment_);
  gc_ = XCreateGC(display->Get(), display->Root(), 0, nullptr);
}

X11SharedPixels::~X11SharedPixels() {
  Display* d = display_->Get();
  Shm().detach(d, &segment_);
  // The server lets go of the segment before our mapping goes.
  XSync(d, False);
  XFreeGC(d, gc_);
  shmdt(segment_.shmaddr);
  image_->data = nullptr;
  XDestroyImage(image_);
}

bool X11SharedPixels::Put(Window window, LICE_IBitmap* bitmap, int x, int y, int w, int h) {
  if (!bitmap || !bitmap->Bits() || w <= 0 || h <= 0 || x < 0 || y < 0 || x + w > image_->width ||
      y + h > image_->height || x + w > bitmap->Width() || y + h > bitmap->Height())
    return false;
  const int span = bitmap->RowSpan();
  const LICE_pixel* from = bitmap->Bits() + static_cast<long>(y) * span + x;
  char* to = image_->data + static_cast<long>(y) * image_->bytes_per_line + x * 4;
  for (int row = 0; row < h; ++row, from += span, to += image_->bytes_per_line)
    std::memcpy(to, from, static_cast<size_t>(w) * 4);
  Shm().putImage(display_->Get(), window, gc_, image_, x, y, x, y, static_cast<unsigned>(w),
                 static_cast<unsigned>(h), False);
  return true;
}

}  // namespace graphics
