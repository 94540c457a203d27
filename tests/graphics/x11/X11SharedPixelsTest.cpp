// The editor window's shared-memory put on the virtual display: exactly the
// area asked for reaches the window, pixel for pixel; an area that does not
// fit is refused (the window layer then puts the plain way).
// GoogleTest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>
// clang-format off
#include "graphics/x11/X11Display.h"
#include "graphics/x11/X11SharedPixels.h"
// clang-format on
#include <X11/Xutil.h>

#include <memory>

#include "lice/LICE_MemBitmap.h"

namespace graphics_test {
namespace {

using graphics::X11Display;
using graphics::X11SharedPixels;

TEST(X11SharedPixels, PutsExactlyTheAreaAskedFor) {
  std::unique_ptr<X11Display> display(X11Display::Open());
  ASSERT_NE(display, nullptr);
  Display* d = display->Get();
  const int w = 40;
  const int h = 30;
  const Window window = display->CreateWindow(display->Root(), 0, 0, w, h, 0, true);
  XMapWindow(d, window);
  display->Sync();
  // The virtual display runs on this machine and shares memory.
  std::unique_ptr<X11SharedPixels> shared(X11SharedPixels::Make(display.get(), w, h));
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->Width(), w);
  EXPECT_EQ(shared->Height(), h);

  LICE_MemBitmap bitmap(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bitmap.Bits()[y * bitmap.RowSpan() + x] = 0xFF000000u;
  ASSERT_TRUE(shared->Put(window, &bitmap, 0, 0, w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bitmap.Bits()[y * bitmap.RowSpan() + x] = 0xFF000000u | (x * 6) << 16 | (y * 8) << 8 | 77;
  ASSERT_TRUE(shared->Put(window, &bitmap, 5, 7, 20, 10));
  // Areas that do not fit the image or the bitmap are refused.
  EXPECT_FALSE(shared->Put(window, &bitmap, 30, 0, 11, 5));
  EXPECT_FALSE(shared->Put(window, &bitmap, -1, 0, 5, 5));
  EXPECT_FALSE(shared->Put(window, &bitmap, 0, 0, 0, 5));
  display->Sync();

  XImage* image = XGetImage(d, window, 0, 0, w, h, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  int wrong = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool inside = x >= 5 && x < 25 && y >= 7 && y < 17;
      const unsigned long want =
          inside ? (bitmap.Bits()[y * bitmap.RowSpan() + x] & 0xFFFFFFu) : 0u;
      wrong += (XGetPixel(image, x, y) & 0xFFFFFFu) != want;
    }
  }
  XDestroyImage(image);
  EXPECT_EQ(wrong, 0);
  shared.reset();
  XDestroyWindow(d, window);
  display->Sync();
  EXPECT_EQ(display->TakeErrors(), 0);
}

}  // namespace
}  // namespace graphics_test
