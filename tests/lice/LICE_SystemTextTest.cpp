#include "lice/LICE_SystemText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "lice/LICE_SysBitmap.h"
#include "lice/LiceTestSupport.h"

// The system's text drawing behind the seam: GDI in the Windows builds (these
// tests run under Wine there), FreeType with fontconfig natively. Both must
// honour the same requests and format flags.

namespace {

constexpr int kSingle = LICE_TEXT_SINGLELINE | LICE_TEXT_NOPREFIX;

// GDI clears the alpha byte of the pixels it writes; only colours count here.
LICE_pixel Rgb(LICE_pixel p) { return p & 0x00FFFFFFu; }

class Font {
 public:
  explicit Font(const char* face, int heightPx, int weight = 400, int quality = 0) {
    LICE_FontSpec request;
    request.face = face;
    request.heightPx = heightPx;
    request.weight = weight;
    request.quality = quality;
    handle_ = LICE_SystemText::MakeFont(request);
  }
  ~Font() { LICE_SystemText::FreeFont(handle_); }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  LICE_FontHandle handle() const { return handle_; }

 private:
  LICE_FontHandle handle_;
};

// A surface for measuring and drawing: the Windows body needs a device context.
class LiceSystemTextTest : public ::testing::Test {
 protected:
  LiceSystemTextTest() : surface(240, 120) { FillAll(surface, kBlack); }

  int LineHeight(const Font& font) { return LICE_SystemText::LineHeight(&surface, font.handle()); }

  LICE_Rect Measure(const Font& font, const char* text, int format = kSingle) {
    LICE_Rect r = {3, 4, 3, 4};
    LICE_SystemText::DrawNarrow(&surface, font.handle(), text, int(std::strlen(text)), &r,
                                format | LICE_TEXT_CALCRECT, kWhite, LICE_BACKGROUND_TRANSPARENT,
                                0);
    return r;
  }
  int Width(const Font& font, const char* text) {
    const LICE_Rect r = Measure(font, text);
    return r.right - r.left;
  }

  int Draw(const Font& font, const char* text, LICE_Rect r, int format, LICE_pixel colour = kWhite,
           int backgroundMode = LICE_BACKGROUND_TRANSPARENT, LICE_pixel background = 0) {
    return LICE_SystemText::DrawNarrow(&surface, font.handle(), text, int(std::strlen(text)), &r,
                                       format, colour, backgroundMode, background);
  }

  // Bounding box of the pixels whose colour is not black; empty when none.
  LICE_Rect Ink() {
    LICE_Rect box = {surface.Width(), surface.Height(), 0, 0};
    for (int y = 0; y < surface.Height(); ++y) {
      for (int x = 0; x < surface.Width(); ++x) {
        if (Rgb(PixelAt(surface, x, y)) == 0) continue;
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
    }
    return box;
  }
  long InkSum() {
    long sum = 0;
    for (int y = 0; y < surface.Height(); ++y)
      for (int x = 0; x < surface.Width(); ++x) sum += LICE_GETR(PixelAt(surface, x, y));
    return sum;
  }

  LICE_SysBitmap surface;
};

struct FontCase {
  const char* face;
  int heightPx;
  int weight;
};

// The editor's fonts at the sizes it uses them: a positive height is the
// character height, which the line height keeps (give or take the rounding of
// ascent and descent). The figures are printed so that the native fonts can be
// compared with GDI's.
TEST_F(LiceSystemTextTest, EditorFontsKeepTheirCharacterHeight) {
  const FontCase cases[] = {{"Verdana", 12, 400},     {"Verdana", 20, 400},
                            {"Arial", 12, 400},       {"Arial", 20, 400},
                            {"Courier New", 12, 400}, {"Courier New", 20, 700}};
  for (const FontCase& c : cases) {
    const Font font(c.face, c.heightPx, c.weight);
    ASSERT_NE(font.handle(), nullptr) << c.face;
    const int lineHeight = LineHeight(font);
    const char* label = "Quillet 1/4T";
    LICE_Rect r = {0, 0, 0, 0};
    const int height = LICE_SystemText::DrawNarrow(
        &surface, font.handle(), label, int(std::strlen(label)), &r, kSingle | LICE_TEXT_CALCRECT,
        kWhite, LICE_BACKGROUND_TRANSPARENT, 0);
    std::printf("%-12s %2d px weight %d: line height %d, \"%s\" %d x %d\n", c.face, c.heightPx,
                c.weight, lineHeight, label, r.right - r.left, r.bottom - r.top);
    EXPECT_NEAR(lineHeight, c.heightPx, 1) << c.face << " " << c.heightPx;
    EXPECT_EQ(height, lineHeight) << c.face << " " << c.heightPx;
    EXPECT_EQ(r.bottom - r.top, lineHeight);
    // Twelve characters of a font of this size: between a third and a whole
    // character height each.
    EXPECT_GT(r.right - r.left, 12 * c.heightPx / 3) << c.face << " " << c.heightPx;
    EXPECT_LT(r.right - r.left, 12 * c.heightPx) << c.face << " " << c.heightPx;
  }
}

// A negative height is the em height: the same number gives a taller line.
TEST_F(LiceSystemTextTest, WidthsGrowWithTextAndSizeAndNegativeHeightsAreEmHeights) {
  const Font small("Arial", 12), large("Arial", 20), em("Arial", -20);
  EXPECT_GT(Width(small, "Mix Mix"), Width(small, "Mix"));
  EXPECT_GT(Width(large, "Mix"), Width(small, "Mix"));
  EXPECT_GT(LineHeight(large), LineHeight(small));
  EXPECT_GT(LineHeight(em), LineHeight(large));
  EXPECT_GT(Width(em, "Mix"), Width(large, "Mix"));
  EXPECT_GT(Width(small, " "), 0) << "a blank advances";
}

TEST_F(LiceSystemTextTest, BoldIsWiderAndDarker) {
  const Font normal("Arial", 20, 400), bold("Arial", 20, 700);
  EXPECT_GE(Width(bold, "Quillet"), Width(normal, "Quillet"));
  const LICE_Rect r = {0, 0, 240, 120};
  Draw(normal, "Quillet", r, kSingle);
  const long normalInk = InkSum();
  FillAll(surface, kBlack);
  Draw(bold, "Quillet", r, kSingle);
  EXPECT_GT(InkSum(), normalInk * 6 / 5);
}

TEST_F(LiceSystemTextTest, AlignmentPlacesTheInk) {
  const Font font("Arial", 20);
  const int width = Width(font, "Mix");
  const int lineHeight = LineHeight(font);
  const LICE_Rect r = {20, 10, 220, 110};

  EXPECT_EQ(Draw(font, "Mix", r, kSingle), lineHeight);
  LICE_Rect ink = Ink();
  EXPECT_GE(ink.left, r.left);
  EXPECT_LE(ink.left, r.left + 3);
  EXPECT_GE(ink.top, r.top);
  EXPECT_LE(ink.bottom, r.top + lineHeight);

  FillAll(surface, kBlack);
  // With vertical alignment the result is the offset of the text's bottom.
  EXPECT_EQ(Draw(font, "Mix", r, kSingle | LICE_TEXT_CENTER | LICE_TEXT_VCENTER),
            (100 - lineHeight) / 2 + lineHeight);
  ink = Ink();
  EXPECT_NEAR((ink.left + ink.right) / 2.0, 120.0, 2.0);
  EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 60.0, lineHeight / 4.0);

  FillAll(surface, kBlack);
  EXPECT_EQ(Draw(font, "Mix", r, kSingle | LICE_TEXT_RIGHT | LICE_TEXT_BOTTOM), 100);
  ink = Ink();
  EXPECT_LE(ink.right, r.right);
  EXPECT_GE(ink.right, r.right - 3);
  EXPECT_GE(ink.left, r.right - width);
  EXPECT_LE(ink.bottom, r.bottom);
  EXPECT_GT(ink.top, r.bottom - lineHeight);
}

// Line feeds, carriage returns and both together end a line; vertical
// alignment is for single-line text only.
TEST_F(LiceSystemTextTest, MultiLineTextBreaksAtLineEnds) {
  const Font font("Arial", 20);
  const int lineHeight = LineHeight(font);
  const int widest = std::max(Width(font, "ab"), Width(font, "cde"));
  for (const char* text : {"ab\ncde", "ab\r\ncde", "ab\rcde"}) {
    const LICE_Rect r = Measure(font, text, LICE_TEXT_NOPREFIX);
    EXPECT_EQ(r.left, 3);
    EXPECT_EQ(r.top, 4);
    EXPECT_EQ(r.bottom - r.top, 2 * lineHeight) << text;
    EXPECT_EQ(r.right - r.left, widest) << text;
  }
  EXPECT_EQ(Measure(font, "ab\n", LICE_TEXT_NOPREFIX).bottom - 4, lineHeight)
      << "a break at the end adds no line";
  EXPECT_EQ(Measure(font, "ab\ncde").bottom - 4, lineHeight) << "single line";
  const LICE_Rect empty = Measure(font, "");
  EXPECT_EQ(empty.right, empty.left);

  const LICE_Rect r = {0, 0, 240, 120};
  EXPECT_EQ(Draw(font, "ab\ncde", r, LICE_TEXT_NOPREFIX | LICE_TEXT_VCENTER), 2 * lineHeight);
  const LICE_Rect ink = Ink();
  EXPECT_LT(ink.top, lineHeight / 2) << "multi-line text is not centred vertically";
  EXPECT_GT(ink.bottom, lineHeight) << "a second line below the first";
  EXPECT_LE(ink.bottom, 2 * lineHeight);
}

TEST_F(LiceSystemTextTest, ClipsToTheRectangleUnlessAskedNotTo) {
  const Font font("Arial", 20);
  const LICE_Rect r = {30, 20, 50, 30};
  Draw(font, "WWWW", r, kSingle);
  LICE_Rect ink = Ink();
  EXPECT_GE(ink.left, r.left);
  EXPECT_LE(ink.right, r.right);
  EXPECT_GE(ink.top, r.top);
  EXPECT_LE(ink.bottom, r.bottom);
  EXPECT_GT(ink.right, ink.left) << "something is drawn inside";
  FillAll(surface, kBlack);
  Draw(font, "WWWW", r, kSingle | LICE_TEXT_NOCLIP);
  ink = Ink();
  EXPECT_GT(ink.right, r.right);
  EXPECT_GT(ink.bottom, r.bottom);
}

// Antialiased text has intermediate coverage; text without antialiasing is
// pure: the glyph cache keeps the coverage either way.
TEST_F(LiceSystemTextTest, QualitySelectsAntialiasing) {
  const LICE_Rect r = {0, 0, 240, 120};
  auto countLevels = [&](int quality, int* partial, int* full) {
    const Font font("Arial", 24, 400, quality);
    FillAll(surface, kBlack);
    Draw(font, "Quillet", r, kSingle);
    *partial = *full = 0;
    for (int y = 0; y < surface.Height(); ++y) {
      for (int x = 0; x < surface.Width(); ++x) {
        const int v = LICE_GETR(PixelAt(surface, x, y));
        *partial += v > 0 && v < 255;
        *full += v == 255;
      }
    }
  };
  int partial = 0, full = 0;
  countLevels(2, &partial, &full);
  EXPECT_GT(partial, 20) << "antialiased";
  countLevels(1, &partial, &full);
  EXPECT_EQ(partial, 0) << "not antialiased";
  EXPECT_GT(full, 50);
}

TEST_F(LiceSystemTextTest, DrawsInTheColourOverAnOpaqueBackground) {
  const Font font("Arial", 20, 400, 1);
  const LICE_pixel grey = LICE_RGBA(90, 90, 90, 255);
  const LICE_pixel red = LICE_RGBA(255, 0, 0, 255), blue = LICE_RGBA(0, 0, 255, 255);
  FillAll(surface, grey);
  const LICE_Rect r = {10, 10, 230, 110};
  Draw(font, "H", r, kSingle, red, LICE_BACKGROUND_TRANSPARENT);
  int redPixels = 0, others = 0;
  for (int y = 0; y < surface.Height(); ++y) {
    for (int x = 0; x < surface.Width(); ++x) {
      const LICE_pixel p = Rgb(PixelAt(surface, x, y));
      redPixels += p == Rgb(red);
      others += p != Rgb(red) && p != Rgb(grey);
    }
  }
  EXPECT_GT(redPixels, 20);
  EXPECT_EQ(others, 0) << "no antialiasing asked for";

  FillAll(surface, grey);
  Draw(font, "H", r, kSingle, red, LICE_BACKGROUND_OPAQUE, blue);
  const int width = Width(font, "H"), lineHeight = LineHeight(font);
  int bluePixels = 0, outside = 0;
  for (int y = 0; y < surface.Height(); ++y) {
    for (int x = 0; x < surface.Width(); ++x) {
      const LICE_pixel p = Rgb(PixelAt(surface, x, y));
      const bool inBox = x >= 10 && x < 10 + width && y >= 10 && y < 10 + lineHeight;
      bluePixels += inBox && p == Rgb(blue);
      outside += !inBox && p != Rgb(grey);
    }
  }
  EXPECT_GT(bluePixels, width * lineHeight / 2) << "the text's box is filled";
  EXPECT_EQ(outside, 0) << "only the text's box";
}

// A face that is not installed gets the system's default face.
TEST_F(LiceSystemTextTest, UnknownFacesStillDraw) {
  const Font font("No Such Face Quillet", 14);
  ASSERT_NE(font.handle(), nullptr);
  EXPECT_NEAR(LineHeight(font), 14, 1);
  EXPECT_GT(Width(font, "abc"), Width(font, "a"));
  Draw(font, "abc", LICE_Rect{0, 0, 240, 120}, kSingle);
  EXPECT_GT(InkSum(), 0);
}

// Two editors may draw with one shared font on two threads at once.
TEST_F(LiceSystemTextTest, OneFontDrawsTheSameOnTwoThreads) {
  const Font font("Arial", 16);
  auto render = [&font](std::vector<LICE_pixel>* out) {
    LICE_SysBitmap b(200, 24);
    for (int round = 0; round < 30; ++round) {
      FillAll(b, kBlack);
      LICE_Rect r = {0, 0, 200, 24};
      const char* text = "The quick brown fox 0123456789";
      LICE_SystemText::DrawNarrow(&b, font.handle(), text, int(std::strlen(text)), &r, kSingle,
                                  kWhite, LICE_BACKGROUND_TRANSPARENT, 0);
    }
    out->clear();
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) out->push_back(Rgb(PixelAt(b, x, y)));
  };
  std::vector<LICE_pixel> alone, first, second;
  render(&alone);
  std::thread a(render, &first), c(render, &second);
  a.join();
  c.join();
  EXPECT_TRUE(first == alone);
  EXPECT_TRUE(second == alone);
}

#ifndef _WIN32
// Absurd heights give a usable font of the largest size, and drawing with it
// ends promptly.
TEST_F(LiceSystemTextTest, AbsurdHeightsAreLimited) {
  for (int height : {std::numeric_limits<int>::min(), -100000, 1 << 30}) {
    const Font font("Arial", height);
    ASSERT_NE(font.handle(), nullptr) << height;
    EXPECT_GT(LineHeight(font), 1000) << height;
    EXPECT_LT(LineHeight(font), 4000) << height;
    // The middle of the line at y = 60: the W's left stroke shows.
    Draw(font, "W", LICE_Rect{0, 60 - LineHeight(font) / 2, 240, 120}, kSingle);
    EXPECT_GT(InkSum(), 0) << height;
  }
}

// The substitute for Courier New is a monospaced face, as the original is.
TEST_F(LiceSystemTextTest, CourierNewIsMonospaced) {
  const Font mono("Courier New", 20), sans("Arial", 20);
  EXPECT_EQ(Width(mono, "iiii"), Width(mono, "WWWW"));
  EXPECT_LT(Width(sans, "iiii"), Width(sans, "WWWW"));
}

// UTF-8 bytes and UTF-16 units of the same text measure alike; a surrogate
// pair is one character.
TEST_F(LiceSystemTextTest, DecodesUtf8AndUtf16) {
  const Font font("Arial", 20);
  auto wideWidth = [&](const std::vector<uint16_t>& text, int length) {
    LICE_Rect r = {0, 0, 0, 0};
    LICE_SystemText::DrawWide(&surface, font.handle(), text.data(), length, &r,
                              kSingle | LICE_TEXT_CALCRECT, kWhite, LICE_BACKGROUND_TRANSPARENT, 0);
    return r.right;
  };
  const int narrow = Width(font, "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(wideWidth({0xE9, 't', 0xE9, 0}, 3), narrow);
  EXPECT_EQ(wideWidth({0xE9, 't', 0xE9, 0}, -1), narrow) << "zero-terminated";
  EXPECT_NE(narrow, Width(font, "\xC3\xA9t")) << "both accented letters count";
  // U+1F600 as a pair: one glyph (the font's missing-glyph box), as a private
  // use character without a glyph is.
  EXPECT_EQ(wideWidth({0xD83D, 0xDE00}, 2), wideWidth({0xE000}, 1));
}
#endif

}  // namespace
