#pragma once
// A font that draws either through the system's text drawing or from a cache
// of rendered glyph coverage.
//
// GLYPH CACHE
//   A glyph is rendered on first use: the system draws the character white on
//   black on the shared glyph scratch bitmap (LICE_FontScratch.h), its red
//   channel becomes 8-bit coverage, empty columns are trimmed, and the coverage
//   is appended to one byte heap. Characters 0..127 have a fixed table entry;
//   others get a record in a list sorted by character code (binary search).
//   The cache is emptied when the font is set again.
//
// WHICH PATH
//   The system path is used when system drawing is allowed (flag 0x400), a font
//   is set, the cache is not forced and either the line height exceeds 255, or
//   the process does not run under Wine, the foreground alpha is not asked
//   for, no flag of 0x1F7 is set and the text is single-line or has no extra
//   line spacing. Everything else draws from the cache; the editor's texts are
//   translucent, so they always do.

#include <vector>

#include "lice/LICE_IFont.h"

class LICE_CachedFont : public LICE_IFont {
 public:
  LICE_CachedFont();
  ~LICE_CachedFont() override;
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  void SetFontHandle(LICE_FontHandle font, int flags) override;
  LICE_pixel SetForeground(LICE_pixel colour) override;
  LICE_pixel SetBackground(LICE_pixel colour) override;
  LICE_pixel SetEffectColor(LICE_pixel colour) override;
  int SetBackgroundMode(int mode) override;
  void SetCombine(int mode, float alpha) override;
  int DrawString(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* r,
                 int flags) override;
  LICE_pixel Foreground() override { return foreground_; }
  LICE_FontHandle FontHandle() override { return font_; }
  int LineHeight() override { return lineHeightPx_; }
  bool DrawGlyph(LICE_IBitmap* bitmap, int character, int x, int y, const LICE_Rect* clip) override;

  // Extra pixels between lines of multi-line text (0 by default).
  void SetLineSpacing(int extraPx) { extraLineSpacingPx_ = extraPx; }
  // Number of glyphs rendered since the font was set (for tests of the cache).
  int RenderedGlyphCount() const { return renderedGlyphs_; }

 private:
  struct Glyph {
    int heapStart = 0;  // 1-based start in heap_; 0 = not rendered yet, -1 = no pixels
    int widthPx = 0;
    int heightPx = 0;
    int advancePx = 0;
    int character = 0;
    int offsetPx = 0;  // horizontal offset of the coverage from the pen
  };
  struct TextExtent {
    int widthPx;
    int heightPx;
  };

  // The glyph of a character, rendered on first use; null without a font.
  const Glyph* FindGlyph(int character);
  void Render(Glyph* glyph);
  void ClearCache();
  bool UsesSystemPath(uint32_t drawFlags, bool singleLine) const;
  int DrawWithSystem(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* r,
                     uint32_t drawFlags);
  TextExtent Measure(const char* text, int length, bool singleLine);
  bool DrawGlyphAt(LICE_IBitmap* bitmap, const Glyph* glyph, int x, int y, const LICE_Rect* clip,
                   float alpha);

  int flags_ = 0;
  LICE_pixel foreground_ = 0xFF000000u;
  LICE_pixel background_ = 0xFFFFFFFFu;
  LICE_pixel effectColour_ = 0xFF808080u;
  int backgroundMode_ = 1;
  int combineMode_ = 0;
  float combineAlpha_ = 1.0f;
  int lineHeightPx_ = 0;
  int extraLineSpacingPx_ = 0;
  Glyph lowGlyphs_[128];
  std::vector<Glyph> highGlyphs_;  // sorted by character
  std::vector<unsigned char> heap_;
  LICE_FontHandle font_ = nullptr;
  int renderedGlyphs_ = 0;
};
