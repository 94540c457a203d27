// The host's window an embedded CLAP editor lives in: an X window on the
// display of DISPLAY natively, a top-level window under Wine. pump runs the
// window system's messages and the host's GUI timers and descriptor watches
// (ClapPluginHost::pumpGui) for a while, as a host's main loop does.
#pragma once

#include "tools/claphost/ClapPluginHost.h"

namespace e2e_clap {

class ClapHostWindow {
 public:
  ClapHostWindow();
  ~ClapHostWindow();
  ClapHostWindow(const ClapHostWindow&) = delete;
  ClapHostWindow& operator=(const ClapHostWindow&) = delete;

  // The window (HWND or X window id), null when none could be made.
  void* handle() const { return handle_; }
  // The windows inside it (the editor's), -1 when they cannot be counted.
  int childCount() const;
  // The first of them, or null.
  void* firstChild() const;
  static void pump(claphost::ClapPluginHost* host, int ms);

 private:
  void* handle_ = nullptr;
};

}  // namespace e2e_clap
