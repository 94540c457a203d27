#include <time.h>

#include <cstdint>

#include "e2e/clap/ClapHostWindow.h"
#include "tools/vsthost/X11Windows.h"

namespace e2e_clap {

namespace {

Display* HostDisplay() {
  static Display* display = vsthost::ConnectX11();
  return display;
}

Window WindowOf(void* w) { return static_cast<Window>(reinterpret_cast<std::uintptr_t>(w)); }

}  // namespace

ClapHostWindow::ClapHostWindow() {
  Display* d = HostDisplay();
  if (!d) return;
  const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1000, 480, 0, 0, 0);
  XStoreName(d, w, "CLAP host");
  XMapWindow(d, w);
  XSync(d, False);
  handle_ = reinterpret_cast<void*>(static_cast<std::uintptr_t>(w));
}

ClapHostWindow::~ClapHostWindow() {
  if (handle_ && HostDisplay()) {
    XDestroyWindow(HostDisplay(), WindowOf(handle_));
    XSync(HostDisplay(), False);
  }
}

int ClapHostWindow::childCount() const {
  if (!handle_ || !HostDisplay()) return -1;
  XSync(HostDisplay(), False);
  return static_cast<int>(vsthost::ChildWindows(HostDisplay(), WindowOf(handle_)).size());
}

void* ClapHostWindow::firstChild() const {
  if (!handle_ || !HostDisplay()) return nullptr;
  const auto children = vsthost::ChildWindows(HostDisplay(), WindowOf(handle_));
  return children.empty() ? nullptr
                          : reinterpret_cast<void*>(static_cast<std::uintptr_t>(children[0]));
}

void ClapHostWindow::pump(claphost::ClapPluginHost* host, int ms) {
  for (int waited = 0; waited < ms; waited += 10) {
    host->pumpGui(0);
    timespec t = {0, 10 * 1000000L};
    nanosleep(&t, nullptr);
  }
  host->pumpGui(0);
}

}  // namespace e2e_clap
