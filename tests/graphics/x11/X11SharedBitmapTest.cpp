// The drawing bitmap shared with the virtual display: exactly the area asked
// for reaches the window, pixel for pixel; an area that does not fit is
// refused (the window layer then puts the plain way); the server's word that
// it has read a put is counted, and waiting for an area returns once nothing
// overlapping it is being read.
// GoogleTest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>
// clang-format off
#include "graphics/x11/X11Display.h"
#include "graphics/x11/X11SharedBitmap.h"
// clang-format on
#include <X11/Xutil.h>

#include <memory>

namespace graphics_test {
namespace {

using graphics::IRect;
using graphics::X11Display;
using graphics::X11SharedBitmap;

TEST(X11SharedBitmap, PutsExactlyTheAreaAskedForAndCountsWhatTheServerHasRead) {
  std::unique_ptr<X11Display> display(X11Display::Open());
  ASSERT_NE(display, nullptr);
  Display* d = display->Get();
  const int w = 40;
  const int h = 30;
  const Window window = display->CreateWindow(display->Root(), 0, 0, w, h, 0, true);
  XMapWindow(d, window);
  display->Sync();
  // The virtual display runs on this machine and shares memory.
  std::unique_ptr<X11SharedBitmap> bitmap(X11SharedBitmap::Make(display.get(), w, h));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), w);
  EXPECT_EQ(bitmap->Height(), h);
  EXPECT_TRUE(bitmap->ResizeTo(w, h));
  EXPECT_FALSE(bitmap->ResizeTo(w + 1, h));
  const int span = bitmap->RowSpan();
  ASSERT_GE(span, w);

  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bitmap->Bits()[y * span + x] = 0xFF000000u;
  ASSERT_TRUE(bitmap->Put(window, 0, 0, w, h));
  EXPECT_EQ(bitmap->PutsInFlight(), 1);
  // Waiting for the area it covers: the server has read it afterwards.
  bitmap->WaitUntilRead(IRect(5, 7, 25, 17));
  EXPECT_EQ(bitmap->PutsInFlight(), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bitmap->Bits()[y * span + x] = 0xFF000000u | (x * 6) << 16 | (y * 8) << 8 | 77;
  ASSERT_TRUE(bitmap->Put(window, 5, 7, 20, 10));
  // Areas that do not fit are refused.
  EXPECT_FALSE(bitmap->Put(window, 30, 0, 11, 5));
  EXPECT_FALSE(bitmap->Put(window, -1, 0, 5, 5));
  EXPECT_FALSE(bitmap->Put(window, 0, 0, 0, 5));
  EXPECT_EQ(bitmap->PutsInFlight(), 1);
  // An area apart from the put does not wait.
  bitmap->WaitUntilRead(IRect(30, 20, 40, 30));
  EXPECT_EQ(bitmap->PutsInFlight(), 1);
  // The completion comes as an event the layer's loop hands over.
  display->Sync();
  int completions = 0;
  while (XPending(d) > 0) {
    XEvent event;
    XNextEvent(d, &event);
    completions += bitmap->TakeCompletion(event);
  }
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(bitmap->PutsInFlight(), 0);

  XImage* image = XGetImage(d, window, 0, 0, w, h, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  int wrong = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool inside = x >= 5 && x < 25 && y >= 7 && y < 17;
      const unsigned long want = inside ? (bitmap->Bits()[y * span + x] & 0xFFFFFFu) : 0u;
      wrong += (XGetPixel(image, x, y) & 0xFFFFFFu) != want;
    }
  }
  XDestroyImage(image);
  EXPECT_EQ(wrong, 0);
  bitmap.reset();
  XDestroyWindow(d, window);
  display->Sync();
  EXPECT_EQ(display->TakeErrors(), 0);
}

TEST(X11SharedBitmap, APutToAWindowThatIsGoneIsNotWaitedForForever) {
  std::unique_ptr<X11Display> display(X11Display::Open());
  ASSERT_NE(display, nullptr);
  const Window window = display->CreateWindow(display->Root(), 0, 0, 10, 10, 0, true);
  std::unique_ptr<X11SharedBitmap> bitmap(X11SharedBitmap::Make(display.get(), 10, 10));
  ASSERT_NE(bitmap, nullptr);
  XDestroyWindow(display->Get(), window);
  ASSERT_TRUE(bitmap->Put(window, 0, 0, 10, 10));
  bitmap->WaitUntilRead(IRect(0, 0, 10, 10));
  EXPECT_EQ(bitmap->PutsInFlight(), 0);
  EXPECT_GT(display->TakeErrors(), 0);
}

}  // namespace
}  // namespace graphics_test
