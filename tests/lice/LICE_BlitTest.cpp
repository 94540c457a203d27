#include "lice/LICE_Blit.h"

#include <gtest/gtest.h>

#include "lice/LICE_Combine.h"
#include "lice/LICE_MemBitmap.h"
#include "lice/LiceTestSupport.h"

namespace {

struct OnePixel {
  LICE_MemBitmap dest{1, 1};
  LICE_MemBitmap src{1, 1};
  LICE_pixel Blit(LICE_pixel d, LICE_pixel s, float alpha, int mode) {
    SetPixel(dest, 0, 0, d);
    SetPixel(src, 0, 0, s);
    LICE_Blit(&dest, &src, 0, 0, alpha, mode);
    return PixelAt(dest, 0, 0);
  }
};

TEST(LiceBlit, CopyWithAlphaSkipsTransparentAndReplacesOpaque) {
  OnePixel p;
  EXPECT_EQ(p.Blit(0x12345678u, 0x00FFFFFFu, 1.0f, LICE_BLIT_USE_ALPHA), 0x12345678u);
  EXPECT_EQ(p.Blit(0x00345678u, 0xFFA0B0C0u, 1.0f, LICE_BLIT_USE_ALPHA), 0xFFA0B0C0u);
  // Transparent source pixels are left alone at every weight.
  EXPECT_EQ(p.Blit(0x12345678u, 0x00FFFFFFu, 0.3f, LICE_BLIT_USE_ALPHA), 0x12345678u);
}

TEST(LiceBlit, CopyWithPartialAlphaTruncatesTowardZero) {
  OnePixel p;
  // s = 200, d = 100, sa = 128: 200 + (-100 * 127) / 256 = 200 - 49 = 151.
  // s = 10, d = 90: 10 + (80 * 127) / 256 = 10 + 39 = 49. Alpha: 100 + 128 = 228.
  EXPECT_EQ(
      p.Blit(LICE_RGBA(100, 90, 0, 100), LICE_RGBA(200, 10, 0, 128), 1.0f, LICE_BLIT_USE_ALPHA),
      LICE_RGBA(151, 49, 0, 228));
  // The destination alpha saturates at 255.
  EXPECT_EQ(LICE_GETA(p.Blit(LICE_RGBA(0, 0, 0, 200), LICE_RGBA(0, 0, 0, 128), 1.0f,
                             LICE_BLIT_USE_ALPHA)),
            255);
}

// The full-weight copy with alpha works on groups of pixels (transparent
// groups skipped, opaque ones copied, mixed ones blended together): every
// pixel must come out as the one-pixel formula has it, whatever mix of
// alphas shares its group, at every row length and offset.
TEST(LiceBlit, CopyWithAlphaMatchesThePixelFormulaInEveryMix) {
  const int kWidth = 23;
  const int kHeight = 64;
  LICE_MemBitmap src(kWidth, kHeight);
  LICE_MemBitmap dest(kWidth + 3, kHeight);
  LICE_MemBitmap expected(kWidth + 3, kHeight);
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      // Rows of runs: transparent, opaque, and any alpha, mixed at random.
      const uint32_t kind = (y % 4 == 0) ? 0 : (y % 4 == 1) ? 1 : next() % 3;
      const uint32_t alpha = kind == 0 ? 0 : kind == 1 ? 255 : next() & 0xFF;
      SetPixel(src, x, y, (alpha << 24) | (next() & 0xFFFFFF));
    }
    for (int x = 0; x < kWidth + 3; ++x) {
      const LICE_pixel d = next() | (next() << 24);
      SetPixel(dest, x, y, d);
      SetPixel(expected, x, y, d);
    }
  }
  // Each row at a different width and offset, so every remainder is met.
  for (int y = 0; y < kHeight; ++y) {
    const int width = 1 + y % kWidth;
    const int offset = y % 4;
    LICE_Blit(&dest, &src, offset, y, 0, y, width, 1, 1.0f, LICE_BLIT_USE_ALPHA);
    for (int x = 0; x < width; ++x) {
      LICE_pixel s = PixelAt(src, x, y);
      LICE_pixel d = PixelAt(expected, offset + x, y);
      lice_combine::CopyAlpha::Apply(reinterpret_cast<uint8_t*>(&d),
                                     reinterpret_cast<const uint8_t*>(&s), 256);
      SetPixel(expected, offset + x, y, d);
    }
  }
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth + 3; ++x)
      ASSERT_EQ(PixelAt(dest, x, y), PixelAt(expected, x, y)) << "at " << x << ", " << y;
}

TEST(LiceBlit, CopyWithAlphaAtOtherWeightsScalesBySourceAlpha) {
  OnePixel p;
  // w = 192, sa = 100: k = 192 * 101 / 256 = 75; d = s + (d - s) * 181 / 256.
  // red: 0 + 255 * 181 / 256 = 180; green: 255 + (-255 * 181) / 256 = 255 - 180 = 75; alpha 10
  // + 75.
  EXPECT_EQ(p.Blit(LICE_RGBA(255, 0, 0, 10), LICE_RGBA(0, 255, 0, 100), 0.75f, LICE_BLIT_USE_ALPHA),
            LICE_RGBA(180, 75, 0, 85));
}

TEST(LiceBlit, PlainCopyAtHalfIsTheBytewiseAverageRoundedDown) {
  OnePixel p;
  EXPECT_EQ(p.Blit(LICE_RGBA(255, 0, 3, 101), LICE_RGBA(0, 255, 2, 100), 0.5f, LICE_BLIT_MODE_COPY),
            LICE_RGBA(127, 127, 2, 100));
}

TEST(LiceBlit, PlainCopyAtOtherWeightsBlendsEveryChannelIncludingAlpha) {
  OnePixel p;
  // w = 64: d = s + (d - s) * 192 / 256.
  EXPECT_EQ(p.Blit(LICE_RGBA(0, 0, 0, 0), LICE_RGBA(255, 128, 4, 255), 0.25f, LICE_BLIT_MODE_COPY),
            LICE_RGBA(255 - 191, 128 - 96, 4 - 3, 255 - 191));
}

TEST(LiceBlit, AddSaturatesAndAddWithAlphaSkipsTransparent) {
  OnePixel p;
  EXPECT_EQ(p.Blit(LICE_RGBA(200, 10, 0, 255), LICE_RGBA(100, 20, 0, 0), 1.0f, LICE_BLIT_MODE_ADD),
            LICE_RGBA(255, 30, 0, 255));
  EXPECT_EQ(p.Blit(LICE_RGBA(1, 2, 3, 4), LICE_RGBA(100, 100, 100, 0), 1.0f,
                   LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA),
            LICE_RGBA(1, 2, 3, 4));
  // sa = 127: k = 256 * 128 / 256 = 128; red 10 + 200 * 128 / 256 = 110; alpha 0 + 127 * 128 / 256
  // = 63.
  EXPECT_EQ(p.Blit(LICE_RGBA(10, 0, 0, 0), LICE_RGBA(200, 0, 0, 127), 1.0f,
                   LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA),
            LICE_RGBA(110, 0, 0, 63));
}

TEST(LiceBlit, DodgeDividesByTheInverseAndSaturates) {
  OnePixel p;
  // t = 128: 100 * 256 / 128 = 200. t = 255 > 254: 1 * 256 clamps to 255; black stays black.
  EXPECT_EQ(
      p.Blit(LICE_RGBA(100, 1, 0, 0), LICE_RGBA(128, 255, 255, 0), 1.0f, LICE_BLIT_MODE_DODGE),
      LICE_RGBA(200, 255, 0, 0));
}

TEST(LiceBlit, ClipsSourceAndDestination) {
  LICE_MemBitmap dest(4, 4), src(4, 4);
  FillAll(dest, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) SetPixel(src, x, y, LICE_pixel(0xFF000000u | (y << 4) | x));
  // A negative destination moves the source start: source (1, 2) lands on (0, 0).
  LICE_Blit(&dest, &src, -1, -2, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(PixelAt(dest, 0, 0), 0xFF000021u);
  EXPECT_EQ(PixelAt(dest, 2, 1), 0xFF000033u);
  EXPECT_EQ(PixelAt(dest, 3, 0), 0u) << "beyond the source's right edge";
  EXPECT_EQ(PixelAt(dest, 0, 2), 0u) << "beyond the source's bottom edge";

  FillAll(dest, 0);
  // A source rectangle reaching outside the source is cut to it.
  LICE_Blit(&dest, &src, 2, 2, 3, 3, 10, 10, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(PixelAt(dest, 2, 2), 0xFF000033u);
  EXPECT_EQ(CountPixelsNot(dest, 0), 1);
}

TEST(LiceBlit, DrawsNothingForEmptyInputs) {
  LICE_MemBitmap dest(2, 2), src(2, 2), empty;
  FillAll(dest, 0x11111111u);
  FillAll(src, 0xFFFFFFFFu);
  LICE_Blit(&dest, &src, 0, 0, 0.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(&dest, &src, 2, 0, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(&dest, &src, -2, 0, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(&dest, &src, 0, 0, 0, 0, 0, 2, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(&dest, &src, 0, 0, 0x7FFFFFFF, 0, 0x7FFFFFFF, 2, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(&dest, &empty, 0, 0, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(&empty, &src, 0, 0, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(nullptr, &src, 0, 0, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Blit(&dest, nullptr, 0, 0, 1.0f, LICE_BLIT_MODE_COPY);
  // A weight that rounds to 0 in 1/256 units draws nothing either.
  LICE_Blit(&dest, &src, 0, 0, 0.001f, LICE_BLIT_MODE_ADD);
  EXPECT_EQ(CountPixelsNot(dest, 0x11111111u), 0);
}

TEST(LiceBlit, CopyOntoItselfShiftsRowsWithoutSmearing) {
  LICE_MemBitmap b(1, 4);
  for (int y = 0; y < 4; ++y) SetPixel(b, 0, y, LICE_pixel(y + 1));
  LICE_Blit(&b, &b, 0, 1, 0, 0, 1, 3, 1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(PixelAt(b, 0, 0), 1u);
  EXPECT_EQ(PixelAt(b, 0, 1), 1u);
  EXPECT_EQ(PixelAt(b, 0, 2), 2u);
  EXPECT_EQ(PixelAt(b, 0, 3), 3u);
}

TEST(LiceBlit, ChannelCopyMovesOneByte) {
  OnePixel p;
  const int redToAlpha = LICE_BLIT_MODE_CHANCOPY | LICE_CHANNEL_RED | (LICE_CHANNEL_ALPHA << 2);
  EXPECT_EQ(p.Blit(LICE_RGBA(1, 2, 3, 4), LICE_RGBA(99, 5, 6, 7), 1.0f, redToAlpha),
            LICE_RGBA(1, 2, 3, 99));
}

}  // namespace
