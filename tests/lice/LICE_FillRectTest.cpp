#include "lice/LICE_FillRect.h"

#include <gtest/gtest.h>

#include "lice/LICE_MemBitmap.h"
#include "lice/LiceTestSupport.h"

namespace {

LICE_pixel FillOne(LICE_pixel d, LICE_pixel c, float alpha, int mode) {
  LICE_MemBitmap b(1, 1);
  SetPixel(b, 0, 0, d);
  LICE_FillRect(&b, 0, 0, 1, 1, c, alpha, mode);
  return PixelAt(b, 0, 0);
}

TEST(LiceFillRect, QuarterWhiteVeilOverBlackGives3F) {
  // The option menu's highlight: white with alpha 64, use-alpha, weight 1.0.
  const LICE_pixel p =
      FillOne(0xFF000000u, LICE_RGBA(255, 255, 255, 64), 1.0f, LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(LICE_GETR(p), 0x3F);
  EXPECT_EQ(LICE_GETG(p), 0x3F);
  EXPECT_EQ(LICE_GETB(p), 0x3F);
}

TEST(LiceFillRect, CopyUsesShiftFormsAtQuarterSteps) {
  const LICE_pixel d = LICE_RGBA(0, 200, 100, 0), c = LICE_RGBA(255, 0, 100, 255);
  EXPECT_EQ(FillOne(d, c, 1.0f, LICE_BLIT_MODE_COPY), c);
  EXPECT_EQ(FillOne(d, c, 0.5f, LICE_BLIT_MODE_COPY), LICE_RGBA(127, 100, 100, 127));
  // 3/4: c/2 + c/4 + d/4 per byte; 1/4: d/2 + d/4 + c/4.
  EXPECT_EQ(FillOne(d, c, 0.75f, LICE_BLIT_MODE_COPY),
            LICE_RGBA(127 + 63, 50, 50 + 25 + 25, 127 + 63));
  EXPECT_EQ(FillOne(d, c, 0.25f, LICE_BLIT_MODE_COPY), LICE_RGBA(63, 100 + 50, 50 + 25 + 25, 63));
}

TEST(LiceFillRect, OtherWeightsBlendEveryChannel) {
  // k = 100: d = c + (d - c) * 156 / 256.
  EXPECT_EQ(FillOne(LICE_RGBA(0, 255, 0, 0), LICE_RGBA(255, 0, 0, 255), 100 / 256.0f,
                    LICE_BLIT_MODE_COPY),
            LICE_RGBA(255 - 155, 155, 0, 255 - 155));
}

TEST(LiceFillRect, UseAlphaScalesTheWeightOnce) {
  // Add with a half-transparent colour: weight 1.0 * 128 / 255 -> k = 128, and the
  // colour's alpha is not applied a second time.
  EXPECT_EQ(FillOne(LICE_RGBA(10, 0, 0, 0), LICE_RGBA(200, 0, 0, 128), 1.0f,
                    LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA),
            LICE_RGBA(110, 0, 0, 64));
}

TEST(LiceFillRect, ClipsToTheBitmap) {
  LICE_MemBitmap b(4, 3);
  FillAll(b, 0);
  LICE_FillRect(&b, -2, -1, 4, 3, 0xFFFFFFFFu, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(CountPixelsNot(b, 0), 4);
  EXPECT_EQ(PixelAt(b, 1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(b, 2, 1), 0u);
  LICE_FillRect(&b, 3, 2, 0x7FFFFFFF, 0x7FFFFFFF, 0xFFFFFFFFu, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(PixelAt(b, 3, 2), 0xFFFFFFFFu);
  EXPECT_EQ(CountPixelsNot(b, 0), 5);
  // Fully transparent colour with use-alpha, zero size and no bitmap: nothing.
  LICE_FillRect(&b, 0, 0, 4, 3, 0x00FFFFFFu, 1.0f, LICE_BLIT_USE_ALPHA);
  LICE_FillRect(&b, 0, 0, 0, 3, 0xFFFFFFFFu, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_FillRect(nullptr, 0, 0, 4, 3, 0xFFFFFFFFu, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(CountPixelsNot(b, 0), 5);
}

}  // namespace
