#include "lice/LICE_TextPainter.h"

#include <algorithm>

LICE_TextPainter::LICE_TextPainter(LICE_IBitmap* surface, const LICE_Rect& clip, LICE_pixel colour)
    : bits_(surface->Bits()),
      rowSpan_(surface->RowSpan()),
      clip_(clip),
      red_(LICE_GETR(colour)),
      green_(LICE_GETG(colour)),
      blue_(LICE_GETB(colour)) {}

void LICE_TextPainter::Cover(int x, int y, int coverage) {
  if (coverage <= 0 || x < clip_.left || y < clip_.top || x >= clip_.right || y >= clip_.bottom)
    return;
  LICE_pixel* p = bits_ + y * rowSpan_ + x;
  if (coverage >= 255) {
    *p = (*p & 0xFF000000u) | LICE_RGBA(red_, green_, blue_, 0);
    return;
  }
  // Rounded, so that white on black gives back exactly the coverage.
  auto mix = [coverage](int text, int under) {
    return (text * coverage + under * (255 - coverage) + 127) / 255;
  };
  *p = (*p & 0xFF000000u) | LICE_RGBA(mix(red_, LICE_GETR(*p)), mix(green_, LICE_GETG(*p)),
                                      mix(blue_, LICE_GETB(*p)), 0);
}

void LICE_TextPainter::Fill(const LICE_Rect& box, LICE_pixel colour) {
  const int left = std::max(box.left, clip_.left), right = std::min(box.right, clip_.right);
  const int top = std::max(box.top, clip_.top), bottom = std::min(box.bottom, clip_.bottom);
  const LICE_pixel rgb = colour & 0x00FFFFFFu;
  for (int y = top; y < bottom; ++y) {
    LICE_pixel* row = bits_ + y * rowSpan_;
    for (int x = left; x < right; ++x) row[x] = (row[x] & 0xFF000000u) | rgb;
  }
}
