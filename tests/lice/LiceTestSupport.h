#pragma once
// Small helpers for the drawing-layer tests: filling and reading pixels.

#include "lice/LICE_IBitmap.h"

constexpr LICE_pixel kBlack = 0xFF000000u;
constexpr LICE_pixel kWhite = 0xFFFFFFFFu;

inline LICE_pixel PixelAt(LICE_IBitmap& b, int x, int y) { return b.Bits()[y * b.RowSpan() + x]; }
inline void SetPixel(LICE_IBitmap& b, int x, int y, LICE_pixel p) {
  b.Bits()[y * b.RowSpan() + x] = p;
}
inline void FillAll(LICE_IBitmap& b, LICE_pixel p) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) SetPixel(b, x, y, p);
}
inline int CountPixelsNot(LICE_IBitmap& b, LICE_pixel p) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += PixelAt(b, x, y) != p;
  return n;
}
