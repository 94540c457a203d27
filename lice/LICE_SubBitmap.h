#pragma once
// A window onto a rectangle of another bitmap: drawing into it draws into the
// parent's pixels inside the rectangle and nowhere else, which is how callers
// clip lines, fills and text to a region. The rectangle is cut to the parent;
// a rectangle outside it gives a view without bits (nothing draws).
//
// The view owns nothing and must not outlive its parent; it cannot be resized.

#include "lice/LICE_IBitmap.h"

class LICE_SubBitmap : public LICE_IBitmap {
 public:
  LICE_SubBitmap(LICE_IBitmap* parent, int x, int y, int widthPx, int heightPx);

  LICE_pixel* Bits() override { return bits_; }
  int Width() override { return widthPx_; }
  int Height() override { return heightPx_; }
  int RowSpan() override { return rowSpan_; }
  bool IsFlipped() override { return false; }
  bool ResizeTo(int widthPx, int heightPx) override { return false; }
  // No device context: the system draws through the scratch bitmap instead.
  LICE_DC DeviceContext() override { return nullptr; }
  void* Query(int id, void* data) override { return nullptr; }

  // Where the view starts in the parent.
  int X() const { return x_; }
  int Y() const { return y_; }

 private:
  LICE_pixel* bits_ = nullptr;
  int x_ = 0;
  int y_ = 0;
  int widthPx_ = 0;
  int heightPx_ = 0;
  int rowSpan_ = 0;
};
