#include "lice/LICE_SysBitmap.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "lice/LiceTestSupport.h"

namespace {

TEST(LiceSysBitmap, KeepsItsAllocationWhileTheSizeFits) {
  LICE_SysBitmap b(10, 10);
  ASSERT_NE(b.Bits(), nullptr);
  EXPECT_EQ(b.RowSpan(), 12);
  LICE_pixel* bits = b.Bits();
  EXPECT_TRUE(b.ResizeTo(6, 9));
  EXPECT_EQ(b.Bits(), bits);
  EXPECT_EQ(b.RowSpan(), 12);
  EXPECT_EQ(b.Width(), 6);
  EXPECT_FALSE(b.ResizeTo(6, 9));
  EXPECT_TRUE(b.ResizeTo(21, 9));
  EXPECT_EQ(b.RowSpan(), 24);
  SetPixel(b, 20, 8, 0xFFFFFFFFu);
  EXPECT_FALSE(b.ResizeTo(0, 5));
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.Width(), 0);
}

TEST(LiceSysBitmap, RefusesSizesTooLargeToBeRealAndRecovers) {
  LICE_SysBitmap b(8, 8);
  // A width at the int limit must not overflow when rows are padded.
  EXPECT_TRUE(b.ResizeTo(0x7FFFFFFF, 2));
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.RowSpan(), 0);
  EXPECT_TRUE(b.ResizeTo(20000, 20000));
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.Height(), 0);
  ASSERT_TRUE(b.ResizeTo(9, 3));
  ASSERT_NE(b.Bits(), nullptr);
  EXPECT_EQ(b.RowSpan(), 12);
  SetPixel(b, 8, 2, 0x12345678u);
  EXPECT_EQ(PixelAt(b, 8, 2), 0x12345678u);
}

#ifdef _WIN32
TEST(LiceSysBitmap, IsATopDownDibSectionThatGdiDrawsInto) {
  LICE_SysBitmap b(16, 8);
  ASSERT_NE(b.DeviceContext(), nullptr);
  FillAll(b, 0);
  HDC dc = static_cast<HDC>(b.DeviceContext());
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT top = {0, 0, 16, 2};
  FillRect(dc, &top, red);
  DeleteObject(red);
  GdiFlush();
  // Row 0 is the top row: the section runs top-down.
  EXPECT_EQ(PixelAt(b, 5, 0) & 0xFFFFFFu, 0xFF0000u);
  EXPECT_EQ(PixelAt(b, 5, 1) & 0xFFFFFFu, 0xFF0000u);
  EXPECT_EQ(PixelAt(b, 5, 7), 0u);
  // The section follows a resize.
  ASSERT_TRUE(b.ResizeTo(40, 40));
  FillAll(b, 0);
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  RECT corner = {38, 38, 40, 40};
  FillRect(dc, &corner, green);
  DeleteObject(green);
  GdiFlush();
  EXPECT_EQ(PixelAt(b, 39, 39) & 0xFFFFFFu, 0x00FF00u);
}
#else
TEST(LiceSysBitmap, HasNoDeviceContextNatively) {
  LICE_SysBitmap b(4, 4);
  EXPECT_EQ(b.DeviceContext(), nullptr);
  EXPECT_NE(b.Bits(), nullptr);
}
#endif

}  // namespace
