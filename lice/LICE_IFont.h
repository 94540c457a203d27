#pragma once
// The font interface of the drawing layer. Colours are packed ARGB pixels.
// All operations run on the editor's user-interface thread; a font object is
// not locked.

#include <cstdint>

#include "lice/LICE_IBitmap.h"

// Font flags (SetFontHandle).
enum LICE_FontFlag : int {
  LICE_FONT_FLAG_VERTICAL = 0x1,
  LICE_FONT_FLAG_VERTICAL_BOTTOMUP = 0x2,
  LICE_FONT_FLAG_PRECALCALL = 0x4,  // render characters 0..127 when the font is set
  LICE_FONT_FLAG_FX_BLUR = 0x10,    // 0x10..0x100: glyph effects, not built in this layer
  LICE_FONT_FLAG_FX_INVERT = 0x20,
  LICE_FONT_FLAG_FX_MONO = 0x40,
  LICE_FONT_FLAG_FX_SHADOW = 0x80,
  LICE_FONT_FLAG_FX_OUTLINE = 0x100,
  LICE_FONT_FLAG_OWNS_HFONT = 0x200,   // the font object deletes the system font
  LICE_FONT_FLAG_FORCE_NATIVE = 0x400  // system drawing allowed
};

// DrawString flags. The low ones have the values of the system's text
// drawing flags (LICE_SystemText.h).
enum LICE_DrawFlag : uint32_t {
  LICE_DT_CENTER = 0x1,
  LICE_DT_RIGHT = 0x2,
  LICE_DT_VCENTER = 0x4,
  LICE_DT_BOTTOM = 0x8,
  LICE_DT_SINGLELINE = 0x20,
  LICE_DT_NOCLIP = 0x100,
  LICE_DT_CALCRECT = 0x400,
  LICE_DT_USEFGALPHA = 0x40000000u,  // the foreground's alpha scales the combine alpha
  LICE_DT_FORCE_CACHE = 0x80000000u  // always draw from the glyph cache
};

class LICE_IFont {
 public:
  virtual ~LICE_IFont() = default;
  virtual void SetFontHandle(LICE_FontHandle font, int flags) = 0;
  virtual LICE_pixel SetForeground(LICE_pixel colour) = 0;  // returns the previous
  virtual LICE_pixel SetBackground(LICE_pixel colour) = 0;
  virtual LICE_pixel SetEffectColor(LICE_pixel colour) = 0;
  // 2 = opaque: the glyphs' boxes are filled with the background colour first.
  virtual int SetBackgroundMode(int mode) = 0;
  // Blit mode and weight used for the glyphs.
  virtual void SetCombine(int mode, float alpha) = 0;
  // Draws text (length < 0: up to its terminating zero) in r; with
  // LICE_DT_CALCRECT stores the text's extent into r instead. Returns the height.
  virtual int DrawString(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* r,
                         int flags) = 0;
  virtual LICE_pixel Foreground() = 0;
  virtual LICE_FontHandle FontHandle() = 0;
  virtual int LineHeight() = 0;
  // Draws one character at (x, y) clipped to clip (null: the bitmap); false
  // when the character has no pixels.
  virtual bool DrawGlyph(LICE_IBitmap* bitmap, int character, int x, int y,
                         const LICE_Rect* clip) = 0;
};
