#include "graphics/x11/X11Display.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <dlfcn.h>
#include <poll.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "lice/LICE_IBitmap.h"
#include "lice/LICE_NeverDestroyed.h"

namespace graphics {

namespace {

constexpr int kConnectAttempts = 5;
constexpr int kConnectRetryMs = 20;

// The error handler is process-wide in Xlib. Ours counts the errors of our
// own connections and hands every other one to the handler it replaced, so a
// host's toolkit keeps its own error handling. It is installed while any of
// our connections is open.
//
// Another library may install its handler on top of ours meanwhile and keep
// the address of ours to chain to (or put ours back later). Then ours cannot
// be taken out, and the library must never leave memory: the host would call
// into unmapped code at its next X error. So when the last connection closes
// with a foreign handler on top, the library keeps itself loaded for the life
// of the process, and ours goes on handing every error to the one before it.
struct ErrorRegistry {
  std::mutex lock;
  struct Entry {
    Display* display;
    int errors;
  };
  std::vector<Entry> entries;
  // The handler ours replaced when it was last installed, and the one it
  // replaced the first time. They differ when ours went in on top of a
  // library that chains back to ours: a call that comes back through that
  // chain goes on to the first one, never round again.
  XErrorHandler previous = nullptr;
  XErrorHandler first = nullptr;
  bool pinned = false;
  // The threads inside a call to `previous` (no thread-local storage: that
  // would tie the library to the dynamic loader's own).
  std::thread::id forwarding[8];
};
// Never destroyed: a host's handler chain may still reach ours late in the
// process's exit.
ErrorRegistry& Errors() { return LICE_NeverDestroyed<ErrorRegistry>(); }

int OnXError(Display* display, XErrorEvent* event) {
  ErrorRegistry& registry = Errors();
  const std::thread::id self = std::this_thread::get_id();
  XErrorHandler next;
  std::thread::id* slot = nullptr;
  {
    std::lock_guard<std::mutex> hold(registry.lock);
    for (ErrorRegistry::Entry& e : registry.entries) {
      if (e.display == display) {
        ++e.errors;
        return 0;
      }
    }
    bool again = false;
    for (std::thread::id& t : registry.forwarding) {
      if (t == self) again = true;
      if (!slot && t == std::thread::id()) slot = &t;
    }
    next = again ? registry.first : registry.previous;
    if (again) slot = nullptr;
    if (slot) *slot = self;
  }
  const int result = next && next != OnXError ? next(display, event) : 0;
  if (slot) {
    std::lock_guard<std::mutex> hold(registry.lock);
    *slot = std::thread::id();
  }
  return result;
}

// Keeps the library that holds OnXError loaded until the process ends.
void KeepLibraryLoaded(ErrorRegistry& registry) {
  if (registry.pinned) return;
  Dl_info info = {};
  if (!dladdr(reinterpret_cast<void*>(&OnXError), &info) || !info.dli_fname) return;
  // A reference that is never given back, on a library that is already
  // loaded: dlclose can no longer unmap it.
  if (dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE)) registry.pinned = true;
}

void Register(Display* display) {
  ErrorRegistry& registry = Errors();
  std::lock_guard<std::mutex> hold(registry.lock);
  if (registry.entries.empty()) {
    const XErrorHandler replaced = XSetErrorHandler(OnXError);
    // Ours may still be installed, put back by a library that chained to it
    // after our last connection closed: the handler before it stays ours to
    // call.
    if (replaced != OnXError) registry.previous = replaced;
    if (!registry.first) registry.first = registry.previous;
  }
  registry.entries.push_back(ErrorRegistry::Entry{display, 0});
}

void Unregister(Display* display) {
  ErrorRegistry& registry = Errors();
  std::lock_guard<std::mutex> hold(registry.lock);
  registry.entries.erase(
      std::remove_if(registry.entries.begin(), registry.entries.end(),
                     [display](const ErrorRegistry::Entry& e) { return e.display == display; }),
      registry.entries.end());
  if (!registry.entries.empty()) return;
  // Nothing of ours stays on the heap once the last connection is gone.
  std::vector<ErrorRegistry::Entry>().swap(registry.entries);
  // Put the previous handler back, unless someone installed one after ours:
  // that one stays and may chain to ours, which must stay callable.
  XErrorHandler current = XSetErrorHandler(registry.previous);
  if (current == OnXError) return;
  XSetErrorHandler(current);
  KeepLibraryLoaded(registry);
}

bool VisualFits(Display* display, int screen) {
  const int depth = DefaultDepth(display, screen);
  const Visual* visual = DefaultVisual(display, screen);
  if (depth != 24 && depth != 32) return false;
  if (visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF)
    return false;
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
  bool fits = false;
  for (int i = 0; i < count; ++i)
    if (formats[i].depth == depth) fits = formats[i].bits_per_pixel == 32;
  if (formats) XFree(formats);
  return fits;
}

}  // namespace

X11Display* X11Display::Open() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !name[0]) return nullptr;
  // A busy server refuses a connection now and then (its queue of new
  // connections is full): a few more tries before the editor gives up.
  Display* display = nullptr;
  for (int attempt = 0; attempt < kConnectAttempts && !display; ++attempt) {
    if (attempt > 0) {
      const timespec pause = {0, kConnectRetryMs * 1000000L};
      nanosleep(&pause, nullptr);
    }
    display = XOpenDisplay(nullptr);
  }
  if (!display) return nullptr;
  if (!VisualFits(display, DefaultScreen(display))) {
    XCloseDisplay(display);
    return nullptr;
  }
  return new X11Display(display);
}

X11Display::X11Display(Display* display)
    : display_(display), screen_(DefaultScreen(display)), gc_(nullptr) {
  Register(display_);
  gc_ = XCreateGC(display_, Root(), 0, nullptr);
  wmProtocols = XInternAtom(display_, "WM_PROTOCOLS", False);
  wmDeleteWindow = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  clipboard = XInternAtom(display_, "CLIPBOARD", False);
  utf8String = XInternAtom(display_, "UTF8_STRING", False);
  selectionProperty = XInternAtom(display_, "QUILLET_SELECTION", False);
  netWmName = XInternAtom(display_, "_NET_WM_NAME", False);
  netWmWindowType = XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False);
  netWmWindowTypeDialog = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  netWmWindowTypePopupMenu = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
}

X11Display::~X11Display() {
  if (gc_) XFreeGC(display_, gc_);
  XCloseDisplay(display_);
  Unregister(display_);
}

Window X11Display::CreateWindow(Window parent, int x, int y, int w, int h, long events,
                                bool overrideRedirect) {
  XSetWindowAttributes attributes = {};
  attributes.colormap = DefaultColormap(display_, screen_);
  attributes.border_pixel = 0;
  attributes.background_pixmap = None;
  attributes.event_mask = events;
  attributes.override_redirect = overrideRedirect ? True : False;
  return XCreateWindow(display_, parent, x, y, static_cast<unsigned>(std::max(w, 1)),
                       static_cast<unsigned>(std::max(h, 1)), 0, DefaultDepth(display_, screen_),
                       InputOutput, DefaultVisual(display_, screen_),
                       CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask | CWOverrideRedirect,
                       &attributes);
}

void X11Display::PutPixels(Window window, LICE_IBitmap* bitmap, int x, int y, int w, int h, int toX,
                           int toY) {
  if (!bitmap || !bitmap->Bits() || w <= 0 || h <= 0) return;
  // The image borrows the bitmap's pixels: 0xAARRGGBB words in the byte order
  // of this machine, which Xlib converts for the server when it differs.
  XImage* image = XCreateImage(
      display_, DefaultVisual(display_, screen_), DefaultDepth(display_, screen_), ZPixmap, 0,
      reinterpret_cast<char*>(bitmap->Bits()), static_cast<unsigned>(bitmap->RowSpan()),
      static_cast<unsigned>(bitmap->Height()), 32, bitmap->RowSpan() * 4);
  if (!image) return;
  image->byte_order = LSBFirst;
  XPutImage(display_, window, gc_, image, x, y, toX, toY, static_cast<unsigned>(w),
            static_cast<unsigned>(h));
  image->data = nullptr;  // not ours to free
  XDestroyImage(image);
}

bool X11Display::WaitForEvent(int ms) {
  if (XPending(display_) > 0) return true;
  pollfd watch = {ConnectionNumber(display_), POLLIN, 0};
  if (poll(&watch, 1, std::max(ms, 0)) <= 0) return false;
  return XPending(display_) > 0;
}

int X11Display::TakeErrors() {
  ErrorRegistry& registry = Errors();
  std::lock_guard<std::mutex> hold(registry.lock);
  for (ErrorRegistry::Entry& e : registry.entries) {
    if (e.display == display_) {
      const int n = e.errors;
      e.errors = 0;
      return n;
    }
  }
  return 0;
}

void X11Display::Sync() { XSync(display_, False); }

long long X11Display::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int X11Display::VirtualKeyOf(XKeyEvent* event, char* text, int textBytes) {
  KeySym typed = NoSymbol;
  const int n = XLookupString(event, text, textBytes - 1, &typed, nullptr);
  text[std::max(n, 0)] = '\0';
  // Windows names the key, not the character: shifted digits and both cases
  // of a letter are the same key. The keypad goes by what NumLock makes of it.
  KeySym key = XLookupKeysym(event, 0);
  if (IsKeypadKey(typed)) key = typed;
  if (key >= XK_a && key <= XK_z) return 'A' + static_cast<int>(key - XK_a);
  if (key >= XK_A && key <= XK_Z) return 'A' + static_cast<int>(key - XK_A);
  if (key >= XK_0 && key <= XK_9) return '0' + static_cast<int>(key - XK_0);
  if (key >= XK_KP_0 && key <= XK_KP_9) return 0x60 + static_cast<int>(key - XK_KP_0);
  if (key >= XK_F1 && key <= XK_F24) return 0x70 + static_cast<int>(key - XK_F1);
  switch (key) {
    case XK_space:
      return 0x20;
    case XK_Left:
      return 0x25;
    case XK_Up:
      return 0x26;
    case XK_Right:
      return 0x27;
    case XK_Down:
      return 0x28;
    case XK_Return:
    case XK_KP_Enter:
      return 0x0D;
    case XK_Escape:
      return 0x1B;
    case XK_BackSpace:
      return 0x08;
    case XK_Tab:
    case XK_ISO_Left_Tab:
      return 0x09;
    case XK_Delete:
    case XK_KP_Delete:
      return 0x2E;
    case XK_Home:
    case XK_KP_Home:
      return 0x24;
    case XK_End:
    case XK_KP_End:
      return 0x23;
    case XK_Prior:
      return 0x21;
    case XK_Next:
      return 0x22;
    case XK_Insert:
      return 0x2D;
    case XK_KP_Multiply:
      return 0x6A;
    case XK_KP_Add:
      return 0x6B;
    case XK_KP_Separator:
      return 0x6C;
    case XK_KP_Subtract:
      return 0x6D;
    case XK_KP_Decimal:
      return 0x6E;
    case XK_KP_Divide:
      return 0x6F;
    case XK_Shift_L:
    case XK_Shift_R:
      return 0x10;
    case XK_Control_L:
    case XK_Control_R:
      return 0x11;
    case XK_Alt_L:
    case XK_Alt_R:
      return 0x12;
    default:
      return 0;
  }
}

}  // namespace graphics
