#pragma once
// Where the native text drawing puts glyph coverage: the text colour is
// blended into the surface's pixels by coverage 0..255 inside a clip
// rectangle. Like the system's text drawing only the colour bytes change; the
// alpha byte of the surface is left as it was. White on black therefore
// leaves the coverage itself in every colour channel, which is what the glyph
// cache reads back.

#include "lice/LICE_IBitmap.h"

class LICE_TextPainter {
 public:
  // clip must lie inside the surface, which must have bits.
  LICE_TextPainter(LICE_IBitmap* surface, const LICE_Rect& clip, LICE_pixel colour);
  void Cover(int x, int y, int coverage);
  // Sets every pixel of the rectangle (cut to the clip) to colour, as an
  // opaque text background.
  void Fill(const LICE_Rect& box, LICE_pixel colour);

 private:
  LICE_pixel* bits_;
  int rowSpan_;
  LICE_Rect clip_;
  int red_, green_, blue_;
};
