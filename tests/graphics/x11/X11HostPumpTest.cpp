// A host that drives the X11 editor from its own loop, as CLAP's timer and
// file-descriptor support, VST 3's run loop and an LV2 UI's idle call do: it
// watches the editor's X connection and calls RunEvents when the connection
// is readable or its timer fires, never from a thread of ours.
// GoogleTest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>
// clang-format off
#include "graphics/GraphicsFixture.h"
// clang-format on
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "graphics/x11/IGraphicsX11.h"
#include "tools/vsthost/X11Windows.h"

namespace graphics_test {
namespace {

bool Heard(const ProbeControl* probe, const std::string& what) {
  return std::find(probe->log.begin(), probe->log.end(), what) != probe->log.end();
}

TEST(X11HostPump, TheConnectionWakesTheHostsLoopOnlyWhileTheWindowIsOpen) {
  HostLog log;
  HostLog::current = &log;
  Display* display = vsthost::ConnectX11();
  ASSERT_NE(display, nullptr) << "no X display";
  const Window host =
      XCreateSimpleWindow(display, DefaultRootWindow(display), 40, 40, 300, 200, 0, 0, 0x808080);
  XMapWindow(display, host);
  XSync(display, False);
  GraphicsPlug plug;
  auto* editor = new graphics::IGraphicsX11(&plug, 200, 100);
  plug.AttachEditor(editor);
  auto* probe = new ProbeControl(&plug, graphics::IRect(0, 0, 200, 100));
  editor->AttachControl(probe);
  editor->SetHandleMouseOver(true);
  EXPECT_EQ(editor->EventFileDescriptor(), -1);
  EXPECT_EQ(editor->EventIntervalMs(), 1000 / graphics::IGraphics::kDefaultFps);

  ASSERT_NE(editor->OpenWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(host))), nullptr);
  const int fd = editor->EventFileDescriptor();
  ASSERT_GE(fd, 0);
  // The host's loop until nothing more comes: its timer's period as time-out.
  pollfd watch{fd, POLLIN, 0};
  const auto settle = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  while (std::chrono::steady_clock::now() < settle) {
    poll(&watch, 1, editor->EventIntervalMs());
    editor->RunEvents();
  }
  // The pointer enters the editor: the X server's event makes the connection
  // readable, and the run it wakes delivers it.
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(display, host, DefaultRootWindow(display), 50, 50, &x, &y, &child);
  XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
  XFlush(display);
  watch.revents = 0;
  ASSERT_GT(poll(&watch, 1, 2000), 0) << "the motion did not wake the loop";
  EXPECT_NE(watch.revents & POLLIN, 0);
  editor->RunEvents();
  EXPECT_TRUE(Heard(probe, "over"));

  editor->CloseWindow();
  EXPECT_EQ(editor->EventFileDescriptor(), -1);
  XDestroyWindow(display, host);
  XCloseDisplay(display);
  HostLog::current = nullptr;
}

}  // namespace
}  // namespace graphics_test
