#include "lice/LICE_Line.h"

#include <gtest/gtest.h>

#include <climits>

#include "lice/LICE_MemBitmap.h"
#include "lice/LiceTestSupport.h"

namespace {

TEST(LiceLine, HorizontalAndVerticalIncludeBothEnds) {
  LICE_MemBitmap b(16, 16);
  FillAll(b, kBlack);
  LICE_Line(&b, 0, 0, 10, 0, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(CountPixelsNot(b, kBlack), 11);
  EXPECT_EQ(PixelAt(b, 10, 0), kWhite);
  EXPECT_EQ(PixelAt(b, 11, 0), kBlack);
  FillAll(b, kBlack);
  LICE_Line(&b, 3, 9, 3, 2, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(CountPixelsNot(b, kBlack), 8);
  EXPECT_EQ(PixelAt(b, 3, 2), kWhite);
  EXPECT_EQ(PixelAt(b, 3, 9), kWhite);
}

TEST(LiceLine, HalfAndQuarterWeightsUseTheShiftForms) {
  LICE_MemBitmap b(4, 1);
  FillAll(b, kBlack);
  LICE_Line(&b, 0, 0, 3, 0, kWhite, 0.5f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(PixelAt(b, 2, 0), 0xFE7F7F7Fu);
  FillAll(b, kBlack);
  LICE_Line(&b, 0, 0, 3, 0, kWhite, 0.25f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(LICE_GETR(PixelAt(b, 1, 0)), 0x3F);
}

TEST(LiceLine, IsClippedToTheBitmap) {
  LICE_MemBitmap b(10, 5);
  FillAll(b, kBlack);
  LICE_Line(&b, -5, 2, 100, 2, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(CountPixelsNot(b, kBlack), 10);
  FillAll(b, kBlack);
  LICE_Line(&b, -5, -1, 100, -1, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Line(&b, 20, -30, 40, 60, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(CountPixelsNot(b, kBlack), 0);
  // Extreme coordinates must neither overflow nor hang.
  LICE_Line(&b, INT_MIN, INT_MIN, INT_MAX, INT_MAX, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Line(&b, INT_MAX, INT_MIN, INT_MIN, INT_MAX, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_GT(CountPixelsNot(b, kBlack), 0);
}

TEST(LiceLine, ClipLineKeepsSegmentsInside) {
  int x1 = -10, y1 = 5, x2 = 30, y2 = 5;
  ASSERT_TRUE(LICE_ClipLine(&x1, &y1, &x2, &y2, 20, 10));
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(x2, 19);
  x1 = -10, y1 = -10, x2 = -1, y2 = 30;
  EXPECT_FALSE(LICE_ClipLine(&x1, &y1, &x2, &y2, 20, 10));
}

TEST(LiceLine, ExactDiagonalWritesThreeQuartersAndQuarterNeighbours) {
  LICE_MemBitmap b(6, 6);
  FillAll(b, kBlack);
  LICE_Line(&b, 0, 0, 3, 3, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  // On the line: c/2 + c/4 + d/4 = 0xBE for white over black; neighbours d/2 + d/4 + c/4.
  for (int i = 0; i <= 3; ++i) EXPECT_EQ(LICE_GETR(PixelAt(b, i, i)), 0xBE) << i;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(LICE_GETR(PixelAt(b, i + 1, i)), 0x3F) << i;
    EXPECT_EQ(LICE_GETR(PixelAt(b, i, i + 1)), 0x3F) << i;
  }
  EXPECT_EQ(CountPixelsNot(b, kBlack), 4 + 6);
}

TEST(LiceLine, AntiAliasedSegmentIsSymmetricWithFullEnds) {
  LICE_MemBitmap b(12, 4);
  FillAll(b, 0);
  LICE_Line(&b, 0, 0, 10, 3, kWhite, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(PixelAt(b, 0, 0), kWhite);
  EXPECT_EQ(PixelAt(b, 10, 3), kWhite);
  int total = 0;
  for (int x = 1; x < 10; ++x) {
    int column = 0;
    for (int y = 0; y < 4; ++y) column += LICE_GETR(PixelAt(b, x, y));
    EXPECT_GE(column, 250) << "column " << x << " carries one pixel of ink";
    EXPECT_LE(column, 256) << "column " << x;
    total += column;
    // Drawn from both ends: column x mirrors column 10 - x (the middle column
    // is written once, from the start).
    if (x == 5) continue;
    for (int y = 0; y < 4; ++y)
      EXPECT_EQ(PixelAt(b, x, y), PixelAt(b, 10 - x, 3 - y)) << x << "," << y;
  }
  EXPECT_GT(total, 0);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(PixelAt(b, 11, y), 0u);
}

TEST(LiceLine, DodgeBrightensGreyAndLeavesBlack) {
  LICE_MemBitmap b(8, 2);
  FillAll(b, LICE_RGBA(100, 100, 100, 255));
  for (int x = 0; x < 8; ++x) SetPixel(b, x, 1, kBlack);
  const LICE_pixel colour = LICE_RGBA(176, 128, 112, 128);
  LICE_Line(&b, 0, 0, 7, 0, colour, 0.5f, LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA);
  LICE_Line(&b, 0, 1, 7, 1, colour, 0.5f, LICE_BLIT_MODE_DODGE);
  // Weight 128: t = 176 * 128 / 256 = 88, 100 * 256 / 168 = 152.
  EXPECT_EQ(LICE_GETR(PixelAt(b, 3, 0)), 152);
  EXPECT_EQ(LICE_GETR(PixelAt(b, 3, 1)), 0);
}

}  // namespace
