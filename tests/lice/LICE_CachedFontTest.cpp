#include "lice/LICE_CachedFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "lice/LICE_FontScratch.h"
#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_SysBitmap.h"
#include "lice/LICE_SystemText.h"
#include "lice/LiceTestSupport.h"

namespace {

constexpr int kCache = static_cast<int>(LICE_DT_FORCE_CACHE);

// A font made the way the editor makes its fonts: owned, system drawing allowed.
class LiceCachedFontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LICE_FontSpec request;
    request.heightPx = 16;
    request.weight = 700;
    request.face = "Arial";
    font.SetFontHandle(LICE_SystemText::MakeFont(request),
                       LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
    ASSERT_NE(font.FontHandle(), nullptr);
    ASSERT_GT(font.LineHeight(), 0);
    font.SetForeground(0xFFFFFFFFu);
  }

  int Width(const char* text, int flags = 0) {
    LICE_Rect r = {0, 0, 0, 0};
    font.DrawString(nullptr, text, -1, &r, flags | kCache | LICE_DT_CALCRECT);
    return r.right - r.left;
  }

  // Bounding box of the pixels that differ from black.
  static LICE_Rect Ink(LICE_IBitmap& b) {
    LICE_Rect box = {b.Width(), b.Height(), -1, -1};
    for (int y = 0; y < b.Height(); ++y) {
      for (int x = 0; x < b.Width(); ++x) {
        if (PixelAt(b, x, y) == kBlack) continue;
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
    }
    return box;
  }

  LICE_CachedFont font;
};

TEST_F(LiceCachedFontTest, GlyphsAreRenderedOncePerCharacter) {
  LICE_MemBitmap b(200, 40);
  FillAll(b, kBlack);
  LICE_Rect r = {0, 0, 200, 40};
  EXPECT_EQ(font.DrawString(&b, "AAA", -1, &r, kCache), font.LineHeight());
  EXPECT_EQ(font.RenderedGlyphCount(), 1);
  font.DrawString(&b, "AB\xC3\xA9\xC3\xA9", -1, &r, kCache);
  EXPECT_EQ(font.RenderedGlyphCount(), 3);
  EXPECT_GT(CountPixelsNot(b, kBlack), 0);
  // Setting the font again empties the cache.
  LICE_FontSpec request;
  request.heightPx = 12;
  font.SetFontHandle(LICE_SystemText::MakeFont(request), LICE_FONT_FLAG_OWNS_HFONT);
  EXPECT_EQ(font.RenderedGlyphCount(), 0);
}

TEST_F(LiceCachedFontTest, LineFeedStartsANewLineUnlessSingleLine) {
  const int lineHeight = font.LineHeight();
  LICE_Rect r = {5, 7, 5, 7};
  EXPECT_EQ(font.DrawString(nullptr, "ab\r\ncd", -1, &r, kCache | LICE_DT_CALCRECT),
            2 * lineHeight);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 7);
  EXPECT_EQ(r.bottom, 7 + 2 * lineHeight);
  EXPECT_EQ(r.right - r.left, std::max(Width("ab"), Width("cd")));
  // Single line: the carriage return is skipped and the line feed is a blank.
  r = {0, 0, 0, 0};
  EXPECT_EQ(
      font.DrawString(nullptr, "ab\r\ncd", -1, &r, kCache | LICE_DT_CALCRECT | LICE_DT_SINGLELINE),
      lineHeight);
  EXPECT_EQ(r.right, Width("ab cd"));

  // Drawn, the two lines put ink into two bands.
  LICE_MemBitmap b(120, 3 * lineHeight);
  FillAll(b, kBlack);
  LICE_Rect place = {0, 0, 120, 3 * lineHeight};
  font.DrawString(&b, "ab\r\ncd", -1, &place, kCache);
  const LICE_Rect ink = Ink(b);
  EXPECT_GT(ink.bottom, lineHeight) << "second line below the first";
  EXPECT_LE(ink.bottom, 2 * lineHeight);
}

TEST_F(LiceCachedFontTest, FourByteSequencesMeasureAsBlanks) {
  EXPECT_EQ(Width("a\xF0\x9F\x8E\xB5"
                  "b"),
            Width("a b"));
  // A truncated sequence at the end is read byte by byte, never beyond.
  EXPECT_GT(Width("x\xE2\x82", 0), Width("x"));
}

TEST_F(LiceCachedFontTest, AlignsByMeasuringFirst) {
  LICE_MemBitmap b(200, 60);
  const int textWidth = Width("Mix");
  FillAll(b, kBlack);
  LICE_Rect r = {0, 0, 200, 60};
  font.DrawString(&b, "Mix", -1, &r, kCache | LICE_DT_RIGHT | LICE_DT_BOTTOM);
  LICE_Rect ink = Ink(b);
  EXPECT_LE(ink.right, 200);
  EXPECT_GE(ink.left, 200 - textWidth - 4);
  EXPECT_GT(ink.top, 60 - font.LineHeight() - 1);

  FillAll(b, kBlack);
  font.DrawString(&b, "Mix", -1, &r, kCache | LICE_DT_CENTER | LICE_DT_VCENTER);
  ink = Ink(b);
  const int middle = (ink.left + ink.right) / 2;
  EXPECT_NEAR(middle, 100, 4);
  EXPECT_NEAR((ink.top + ink.bottom) / 2, 30, font.LineHeight() / 2);
}

TEST_F(LiceCachedFontTest, ClipsToTheRectangleUnlessAskedNotTo) {
  LICE_MemBitmap b(100, 40);
  FillAll(b, kBlack);
  LICE_Rect r = {10, 5, 20, 30};
  font.DrawString(&b, "WWWW", -1, &r, kCache);
  LICE_Rect ink = Ink(b);
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 20);
  FillAll(b, kBlack);
  font.DrawString(&b, "WWWW", -1, &r, kCache | LICE_DT_NOCLIP);
  ink = Ink(b);
  EXPECT_GT(ink.right, 20);
}

TEST_F(LiceCachedFontTest, ForegroundAlphaScalesTheInkWhenAskedFor) {
  LICE_MemBitmap full(60, 30), half(60, 30);
  FillAll(full, kBlack);
  FillAll(half, kBlack);
  LICE_Rect r = {0, 0, 60, 30};
  font.SetForeground(LICE_RGBA(255, 255, 255, 128));
  font.DrawString(&full, "H", -1, &r, kCache);
  font.DrawString(&half, "H", -1, &r, kCache | static_cast<int>(LICE_DT_USEFGALPHA));
  int sumFull = 0, sumHalf = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 60; ++x) {
      sumFull += LICE_GETR(PixelAt(full, x, y));
      sumHalf += LICE_GETR(PixelAt(half, x, y));
    }
  }
  ASSERT_GT(sumFull, 0);
  EXPECT_NEAR(double(sumHalf) / sumFull, 0.5, 0.08);
}

TEST_F(LiceCachedFontTest, OpaqueBackgroundFillsTheGlyphBox) {
  LICE_MemBitmap b(60, 30);
  FillAll(b, kBlack);
  font.SetBackground(LICE_RGBA(0, 0, 255, 255));
  font.SetBackgroundMode(LICE_BACKGROUND_OPAQUE);
  LICE_Rect r = {0, 0, 60, 30};
  font.DrawString(&b, "I", -1, &r, kCache);
  int blue = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) blue += PixelAt(b, x, y) == LICE_RGBA(0, 0, 255, 255);
  EXPECT_GT(blue, 0);
}

TEST_F(LiceCachedFontTest, DrawGlyphReportsCharactersWithoutPixels) {
  LICE_MemBitmap b(40, 40);
  FillAll(b, kBlack);
  EXPECT_TRUE(font.DrawGlyph(&b, 'X', 2, 2, nullptr));
  EXPECT_FALSE(font.DrawGlyph(&b, ' ', 2, 2, nullptr));
  EXPECT_GT(Width(" "), 0) << "a blank still advances the pen";
  EXPECT_FALSE(font.DrawGlyph(nullptr, 'X', 0, 0, nullptr));
  // Far outside the bitmap: nothing drawn, nothing broken.
  const int before = CountPixelsNot(b, kBlack);
  font.DrawGlyph(&b, 'X', -1000, 1000, nullptr);
  EXPECT_EQ(CountPixelsNot(b, kBlack), before);
}

TEST_F(LiceCachedFontTest, NoBitmapDrawsNothingUnlessMeasuring) {
  LICE_Rect r = {0, 0, 10, 10};
  EXPECT_EQ(font.DrawString(nullptr, "abc", -1, &r, kCache), 0);
  EXPECT_EQ(r.right, 10);
  EXPECT_EQ(font.DrawString(nullptr, nullptr, 3, &r, kCache | LICE_DT_CALCRECT), 0);
}

// Under Wine the system path is never taken; natively (and on Windows itself)
// an opaque single-line text without the foreground-alpha flag is drawn by the
// system and leaves the glyph cache empty.
TEST_F(LiceCachedFontTest, SystemPathDependsOnWine) {
#ifdef _WIN32
  EXPECT_TRUE(LICE_SystemText::RunsUnderWine()) << "these tests run under Wine";
#else
  EXPECT_FALSE(LICE_SystemText::RunsUnderWine());
#endif
  EXPECT_EQ(LICE_SystemText::RunsUnderWine(), LICE_SystemText::RunsUnderWine()) << "answer kept";
  LICE_SysBitmap b(120, 40);
  FillAll(b, kBlack);
  LICE_Rect r = {0, 0, 120, 40};
  font.DrawString(&b, "Hello", -1, &r, LICE_DT_SINGLELINE);
  EXPECT_GT(CountPixelsNot(b, kBlack), 0);
  if (LICE_SystemText::RunsUnderWine()) {
    EXPECT_GT(font.RenderedGlyphCount(), 0);
  } else {
    EXPECT_EQ(font.RenderedGlyphCount(), 0);
  }
  // The foreground-alpha flag always needs the cache.
  font.DrawString(&b, "Q", -1, &r, static_cast<int>(LICE_DT_USEFGALPHA));
  EXPECT_GT(font.RenderedGlyphCount(), 0);
}

TEST_F(LiceCachedFontTest, SystemPathConvertsLongUtf8Text) {
  if (LICE_SystemText::RunsUnderWine()) GTEST_SKIP() << "the system path is off under Wine";
  std::string text;
  for (int i = 0; i < 600; ++i) text += "\xC3\xA9";  // 600 characters fit the fixed buffer
  for (int i = 0; i < 600; ++i) text += "e";         // 1200 need the heap buffer
  LICE_MemBitmap b(100, 40);
  FillAll(b, kBlack);
  LICE_Rect r = {0, 0, 100, 40};
  font.DrawString(&b, text.c_str(), -1, &r, LICE_DT_SINGLELINE);
  EXPECT_GT(CountPixelsNot(b, kBlack), 0);
  EXPECT_EQ(font.RenderedGlyphCount(), 0);
}

// Without antialiasing the coverage is exactly 0 or 255, so the ink follows
// the glyph formulas to the last bit: full weight writes the colour and makes
// the pixel opaque; half weight gives k = 128 * 255 / 256 = 127, so
// d = 255 + (0 - 255) * 129 / 256 = 127 and da = 255 - 255 * 129 / 256 = 127.
TEST_F(LiceCachedFontTest, GlyphInkFollowsTheCoverageFormulas) {
  LICE_FontSpec request;
  request.heightPx = 16;
  request.quality = 1;  // not antialiased
  font.SetFontHandle(LICE_SystemText::MakeFont(request), LICE_FONT_FLAG_OWNS_HFONT);
  LICE_MemBitmap b(40, 40);
  FillAll(b, 0);
  font.SetForeground(LICE_RGBA(255, 255, 255, 255));
  ASSERT_TRUE(font.DrawGlyph(&b, 'I', 2, 2, nullptr));
  int maxRed = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      if (PixelAt(b, x, y) != 0) {
        EXPECT_EQ(PixelAt(b, x, y), 0xFFFFFFFFu) << x << "," << y;
        maxRed = std::max(maxRed, LICE_GETR(PixelAt(b, x, y)));
      }
  EXPECT_EQ(maxRed, 255);
  FillAll(b, 0);
  font.SetCombine(LICE_BLIT_MODE_COPY, 0.5f);
  ASSERT_TRUE(font.DrawGlyph(&b, 'I', 2, 2, nullptr));
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      if (PixelAt(b, x, y) != 0) {
        EXPECT_EQ(PixelAt(b, x, y), LICE_RGBA(127, 127, 127, 127)) << x << "," << y;
      }
    }
  }
}

// Editors of two plug-in instances may draw text on two threads at once; the
// shared glyph scratch bitmap must not mix their glyphs up.
TEST(LiceFontScratch, FontsOnTwoThreadsRenderTheSameGlyphs) {
  auto render = [](std::vector<LICE_pixel>* out) {
    LICE_FontSpec request;
    request.heightPx = 18;
    LICE_CachedFont font;
    font.SetFontHandle(LICE_SystemText::MakeFont(request), LICE_FONT_FLAG_OWNS_HFONT);
    font.SetForeground(0xFFFFFFFFu);
    LICE_MemBitmap b(400, 30);
    for (int round = 0; round < 20; ++round) {
      font.SetFontHandle(LICE_SystemText::MakeFont(request), LICE_FONT_FLAG_OWNS_HFONT);
      FillAll(b, 0xFF000000u);
      LICE_Rect r = {0, 0, 400, 30};
      font.DrawString(&b, "The quick brown fox 0123456789", -1, &r, kCache);
    }
    out->assign(b.Bits(), b.Bits() + b.RowSpan() * b.Height());
  };
  std::vector<LICE_pixel> alone, first, second;
  render(&alone);
  std::thread a(render, &first), c(render, &second);
  a.join();
  c.join();
  EXPECT_TRUE(first == alone);
  EXPECT_TRUE(second == alone);
}

TEST(LiceFontScratch, LivesWhileAnyCachedFontLives) {
  {
    LICE_CachedFont a;
    LICE_FontSpec request;
    a.SetFontHandle(LICE_SystemText::MakeFont(request), LICE_FONT_FLAG_OWNS_HFONT);
    {
      LICE_CachedFont b;
      b.SetFontHandle(LICE_SystemText::MakeFont(request), LICE_FONT_FLAG_OWNS_HFONT);
      EXPECT_TRUE(LICE_FontScratch::Exists());
    }
    EXPECT_TRUE(LICE_FontScratch::Exists()) << "a is still alive";
  }
  EXPECT_FALSE(LICE_FontScratch::Exists());
}

// The glyph cache reads the coverage that the system draws on the scratch
// bitmap: an antialiased glyph comes back with its shades, inside the box of
// its advance and line height.
TEST(LiceSystemText, RendersGlyphCoverageForTheCache) {
  LICE_FontSpec request;
  request.heightPx = 24;
  request.quality = 2;  // anti-aliased
  LICE_CachedFont font;
  font.SetFontHandle(LICE_SystemText::MakeFont(request), LICE_FONT_FLAG_OWNS_HFONT);
  ASSERT_NE(font.FontHandle(), nullptr);
  EXPECT_GE(font.LineHeight(), 20);
  LICE_MemBitmap b(60, 40);
  FillAll(b, kBlack);
  font.SetForeground(0xFFFFFFFFu);
  EXPECT_TRUE(font.DrawGlyph(&b, 'O', 4, 4, nullptr));
  LICE_Rect r = {0, 0, 0, 0};
  font.DrawString(nullptr, "O", 1, &r, kCache | LICE_DT_CALCRECT);
  int lit = 0, shaded = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 60; ++x) {
      const int v = LICE_GETR(PixelAt(b, x, y));
      if (v == 0) continue;
      ++lit;
      shaded += v < 255;
      EXPECT_TRUE(x >= 4 && x < 4 + r.right && y >= 4 && y < 4 + font.LineHeight())
          << x << "," << y;
    }
  }
  EXPECT_GT(lit, 20);
  EXPECT_GT(shaded, 4);
}

}  // namespace
