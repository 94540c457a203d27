#pragma once
// The bitmap interface of the drawing layer. Rows are stored top-down, pixels
// as described in LICE_Types.h. A bitmap without bits (failed allocation, zero
// size) is valid: every drawing operation on it draws nothing.

#include "lice/LICE_Types.h"

class LICE_IBitmap {
 public:
  virtual ~LICE_IBitmap() = default;
  // First pixel of row 0, or null when the bitmap has no memory.
  virtual LICE_pixel* Bits() = 0;
  virtual int Width() = 0;
  virtual int Height() = 0;
  // Distance between rows, in pixels (at least Width()).
  virtual int RowSpan() = 0;
  // True when rows are stored bottom-up; both bitmap classes here store top-down.
  virtual bool IsFlipped() = 0;
  // True when the size changed. The contents after a resize are undefined.
  virtual bool ResizeTo(int widthPx, int heightPx) = 0;
  // A Windows device context drawing into the bits, or null.
  virtual LICE_DC DeviceContext() = 0;
  // Extension query; no identifier is known, so the answer is always null.
  virtual void* Query(int id, void* data) = 0;
};
