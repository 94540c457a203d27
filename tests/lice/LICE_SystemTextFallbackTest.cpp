#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "lice/LICE_CachedFont.h"
#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_SystemText.h"
#include "lice/LiceTestSupport.h"

// Run by ctest with a fontconfig configuration that has no fonts: every font
// falls back to the built-in bitmap font, and text still draws and measures.

namespace {

TEST(LiceSystemTextWithoutFonts, FallsBackToTheBuiltInFont) {
  ASSERT_NE(std::getenv("FONTCONFIG_FILE"), nullptr) << "needs the configuration without fonts";
  for (const char* face : {"Arial", "Verdana", "Courier New"}) {
    LICE_FontSpec request;
    request.face = face;
    request.heightPx = 16;
    LICE_CachedFont font;
    font.SetFontHandle(LICE_SystemText::MakeFont(request),
                       LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
    ASSERT_NE(font.FontHandle(), nullptr) << face;
    EXPECT_EQ(font.LineHeight(), 16) << face;

    // Six pixels per cell column at this height, every character alike.
    LICE_Rect r = {0, 0, 0, 0};
    font.DrawString(nullptr, "iW", -1, &r, LICE_DT_CALCRECT | LICE_DT_SINGLELINE);
    EXPECT_EQ(r.right, 2 * 12) << face;

    LICE_MemBitmap b(100, 30);
    FillAll(b, 0xFF000000u);
    font.SetForeground(0xFFFFFFFFu);
    LICE_Rect place = {0, 0, 100, 30};
    font.DrawString(&b, "Quillet", -1, &place, LICE_DT_SINGLELINE);  // the system path
    const int systemInk = CountPixelsNot(b, 0xFF000000u);
    EXPECT_GT(systemInk, 30) << face;
    FillAll(b, 0xFF000000u);
    font.DrawString(&b, "Quillet", -1, &place, LICE_DT_SINGLELINE | LICE_DT_FORCE_CACHE);
    EXPECT_EQ(CountPixelsNot(b, 0xFF000000u), systemInk) << "the glyph cache draws the same";
  }
}

}  // namespace
