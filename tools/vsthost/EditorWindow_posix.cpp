#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include "lice/LICE_MemBitmap.h"
#include "tools/vsthost/EditorWindow.h"
#include "tools/vsthost/X11Windows.h"
#include "tools/vsthost/PluginHost.h"

namespace vsthost {

namespace {

// How often the host's idle call reaches an open editor while pumping. Real
// hosts call at 25 to 60 per second; more often here, so the editor's own
// timer decides when it draws.
constexpr int kIdleIntervalMs = 10;

// The host's connection, opened on first use and kept for the process.
Display* HostDisplay() {
  static Display* display = ConnectX11();
  return display;
}

// The open editor windows, which pump() gives their idle calls.
std::vector<EditorWindow*>& OpenWindows() {
  static std::vector<EditorWindow*> windows;
  return windows;
}

Window WindowOf(void* w) { return static_cast<Window>(reinterpret_cast<uintptr_t>(w)); }

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

EditorWindow::EditorWindow() = default;

EditorWindow::~EditorWindow() { close(); }

bool EditorWindow::open(PluginHost* plugin, int x, int y, std::string* errorText) {
  close();
  vst::ERect* rect = nullptr;
  if (!plugin || plugin->dispatch(vst::effEditGetRect, 0, 0, &rect) == 0 || !rect) {
    if (errorText) *errorText = "the plug-in reports no editor rectangle";
    return false;
  }
  width_ = rect->right - rect->left;
  height_ = rect->bottom - rect->top;
  Display* d = HostDisplay();
  if (!d) {
    if (errorText) *errorText = "no X display";
    return false;
  }
  const int screen = DefaultScreen(d);
  const Window window = XCreateSimpleWindow(
      d, RootWindow(d, screen), x, y, static_cast<unsigned>(std::max(width_, 1)),
      static_cast<unsigned>(std::max(height_, 1)), 0, BlackPixel(d, screen), 0x808080);
  if (!window) {
    if (errorText) *errorText = "no host window could be made";
    return false;
  }
  XStoreName(d, window, "quillet-host");
  XSelectInput(d, window, StructureNotifyMask | KeyPressMask | KeyReleaseMask);
  XMapWindow(d, window);
  // Shown before the editor opens in it, as hosts do.
  for (int i = 0; i < 100; ++i) {
    XEvent event;
    if (XCheckTypedWindowEvent(d, window, MapNotify, &event)) break;
    timespec pause = {0, 10 * 1000000L};
    nanosleep(&pause, nullptr);
  }
  if (plugin->dispatch(vst::effEditOpen, 0, 0,
                       reinterpret_cast<void*>(static_cast<uintptr_t>(window))) == 0) {
    XDestroyWindow(d, window);
    XSync(d, False);
    if (errorText) *errorText = "effEditOpen failed";
    return false;
  }
  window_ = reinterpret_cast<void*>(static_cast<uintptr_t>(window));
  plugin_ = plugin;
  OpenWindows().push_back(this);
  return true;
}

void EditorWindow::close() {
  if (!window_) return;
  std::vector<EditorWindow*>& open = OpenWindows();
  open.erase(std::remove(open.begin(), open.end(), this), open.end());
  if (plugin_ && plugin_->effect()) plugin_->dispatch(vst::effEditClose);
  Display* d = HostDisplay();
  XDestroyWindow(d, WindowOf(window_));
  XSync(d, False);
  window_ = nullptr;
  plugin_ = nullptr;
  pump(20);
}

void EditorWindow::pump(int ms) {
  Display* d = HostDisplay();
  const long long end = NowMs() + ms;
  do {
    // The host window's own events (keys the editor passed on) are not
    // needed here.
    while (d && XPending(d) > 0) {
      XEvent event;
      XNextEvent(d, &event);
    }
    // A copy: an idle call may close a window.
    const std::vector<EditorWindow*> open = OpenWindows();
    for (EditorWindow* w : open)
      if (w->plugin_ && w->plugin_->effect()) w->plugin_->dispatch(vst::effEditIdle);
    const long long left = end - NowMs();
    const int pause = static_cast<int>(std::min<long long>(std::max(left, 0LL), kIdleIntervalMs));
    if (pause > 0) {
      timespec t = {0, pause * 1000000L};
      nanosleep(&t, nullptr);
    }
  } while (NowMs() < end);
}

void* EditorWindow::editorWindow() const {
  Display* d = HostDisplay();
  if (!window_ || !d) return nullptr;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  Window editor = 0;
  if (XQueryTree(d, WindowOf(window_), &root, &parent, &children, &count) && count > 0)
    editor = children[0];
  if (children) XFree(children);
  return editor ? reinterpret_cast<void*>(static_cast<uintptr_t>(editor)) : nullptr;
}

LICE_MemBitmap* EditorWindow::capture() {
  Display* d = HostDisplay();
  const Window editor = WindowOf(editorWindow());
  if (!editor) return nullptr;
  XSync(d, False);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(d, editor, &attributes)) return nullptr;
  XImage* image = XGetImage(d, editor, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (!image) return nullptr;
  LICE_MemBitmap* picture = new LICE_MemBitmap(attributes.width, attributes.height);
  for (int y = 0; y < attributes.height; ++y) {
    for (int x = 0; x < attributes.width; ++x)
      picture->Bits()[y * picture->RowSpan() + x] =
          static_cast<LICE_pixel>(XGetPixel(image, x, y) & 0xFFFFFFu) | 0xFF000000u;
  }
  XDestroyImage(image);
  return picture;
}

}  // namespace vsthost
