#pragma once
// The system's text drawing, behind one seam. In the Windows builds it is GDI
// (CreateFont, DrawTextW/DrawTextA on the bitmap's device context). Natively
// it is FreeType, with the font file that fontconfig picks for the face name
// (usually a metric-compatible substitute), sized, measured and laid out as
// GDI does it (LICE_FreeTypeFace.h, LICE_SystemText_posix.cpp), on any bitmap;
// where no font file can be found a built-in bitmap font keeps text drawing.
//
// The format flags are those of the system's text drawing; the font layer's
// own flags use the same values for the same meaning (LICE_IFont.h).

#include <cstdint>

#include "lice/LICE_IBitmap.h"

struct LICE_FontSpec {
  int heightPx = 12;  // character height (ascent + descent); negative: em height
  int weight = 400;   // 400 normal, 700 bold
  bool italic = false;
  int orientationDeg = 0;  // counter-clockwise
  int quality = 0;         // 0 default, 1 not antialiased, 2 antialiased, 3 ClearType
  const char* face = "Arial";
};

enum LICE_TextFormat : int {
  LICE_TEXT_CENTER = 0x1,
  LICE_TEXT_RIGHT = 0x2,
  LICE_TEXT_VCENTER = 0x4,
  LICE_TEXT_BOTTOM = 0x8,
  LICE_TEXT_SINGLELINE = 0x20,
  LICE_TEXT_NOCLIP = 0x100,
  LICE_TEXT_CALCRECT = 0x400,
  LICE_TEXT_NOPREFIX = 0x800
};

enum LICE_BackgroundMode : int { LICE_BACKGROUND_TRANSPARENT = 1, LICE_BACKGROUND_OPAQUE = 2 };

class LICE_SystemText {
 public:
  // A system font, or null when it cannot be made. Free with FreeFont.
  static LICE_FontHandle MakeFont(const LICE_FontSpec& request);
  static void FreeFont(LICE_FontHandle font);
  // The font's character height from the system's text metrics. The surface
  // lends its device context (Windows) and may be any bitmap natively.
  static int LineHeight(LICE_IBitmap* surface, LICE_FontHandle font);
  // Draws text in r on the surface (or measures it into r with
  // LICE_TEXT_CALCRECT); returns the text's height. In the Windows builds the
  // surface must have a device context, else nothing happens and 0 comes back.
  static int DrawWide(LICE_IBitmap* surface, LICE_FontHandle font, const uint16_t* text, int length,
                      LICE_Rect* r, int format, LICE_pixel colour, int backgroundMode,
                      LICE_pixel background);
  static int DrawNarrow(LICE_IBitmap* surface, LICE_FontHandle font, const char* text, int length,
                        LICE_Rect* r, int format, LICE_pixel colour, int backgroundMode,
                        LICE_pixel background);
  // True when the process runs under Wine (the registry key
  // HKEY_LOCAL_MACHINE\Software\Wine exists). Asked once, then remembered.
  static bool RunsUnderWine();
};
