#pragma once
// A font file drawn by FreeType, sized and measured the way the system's
// font mapper does it on Windows:
//
//   request height h > 0   the cell height (ascent + descent): the largest
//                          whole pixels-per-em whose rounded ascent plus
//                          rounded descent does not exceed h
//   h < 0                  the em height: -h pixels per em
//   h = 0                  a default cell height of 16
//
// Ascent and descent are the font's Windows metrics (OS/2 usWinAscent and
// usWinDescent, the horizontal header's where those are missing), each scaled
// and rounded to whole pixels; their sum is the line height, as the text
// metrics' tmHeight. Glyphs are hinted; advances are whole pixels and no
// kerning is applied, as with the system's text drawing.
//
// Quality 1 draws without antialiasing (coverage 0 or 255); every other
// quality draws grey antialiased coverage (ClearType's colour fringes would
// not survive the glyph cache, which keeps one coverage channel). A bold or
// italic request that the matched face does not have is synthesised.
// Orientations other than 0 are ignored: the text is drawn upright.

#include <ft2build.h>
#include FT_FREETYPE_H

#include "lice/LICE_SystemText.h"
#include "lice/LICE_TextFace.h"

class LICE_FreeTypeFace : public LICE_TextFace {
 public:
  // The face fontconfig picks for the request, sized; null when no font file
  // can be found or opened.
  static LICE_FreeTypeFace* Open(const LICE_FontSpec& request);
  ~LICE_FreeTypeFace() override;
  LICE_FreeTypeFace(const LICE_FreeTypeFace&) = delete;
  LICE_FreeTypeFace& operator=(const LICE_FreeTypeFace&) = delete;

  int LineHeightPx() const override { return ascentPx_ + descentPx_; }
  int AdvancePx(int character) override;
  int DrawGlyph(int character, int penX, int topY, LICE_TextPainter& painter) override;

 private:
  explicit LICE_FreeTypeFace(FT_Face face);
  bool SetSize(int heightPx);
  // Loads the character's glyph into the face's slot, with any synthesised
  // weight or slant applied.
  bool LoadGlyph(int character);

  FT_Face face_;
  int ascentPx_ = 0;
  int descentPx_ = 0;
  FT_Int32 loadFlags_ = FT_LOAD_DEFAULT;
  FT_Render_Mode renderMode_ = FT_RENDER_MODE_NORMAL;
  bool synthesiseBold_ = false;
  bool synthesiseItalic_ = false;
};
