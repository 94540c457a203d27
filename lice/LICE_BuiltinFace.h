#pragma once
// The built-in font: printable ASCII in 5 x 7 cells, scaled by whole pixels to
// the requested height, a hollow box for every other character. The native
// text drawing falls back to it when no font file can be found or opened, so
// that text still draws and measures.

#include "lice/LICE_TextFace.h"

class LICE_BuiltinFace : public LICE_TextFace {
 public:
  // heightPx: the character height (its sign is ignored); bold repeats every
  // column one pixel to the right.
  LICE_BuiltinFace(int heightPx, bool bold);

  int LineHeightPx() const override { return lineHeightPx_; }
  int AdvancePx(int character) override;
  int DrawGlyph(int character, int penX, int topY, LICE_TextPainter& painter) override;

 private:
  int lineHeightPx_;
  int scale_;
  bool bold_;
};
