#pragma once
// A bitmap in ordinary memory. Rows are padded to a multiple of four pixels and
// the first pixel is aligned to 64 bytes, which the blit's row copies like.
//
// Memory that cannot be had leaves the bitmap empty (0 x 0, no bits); a size
// whose byte count would not fit in memory at all is treated the same way.

#include <cstddef>

#include "lice/LICE_IBitmap.h"

class LICE_MemBitmap : public LICE_IBitmap {
 public:
  // A positive size allocates at once; zero or negative gives an empty bitmap.
  explicit LICE_MemBitmap(int widthPx = 0, int heightPx = 0);
  ~LICE_MemBitmap() override;
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_pixel* Bits() override;
  int Width() override { return widthPx_; }
  int Height() override { return heightPx_; }
  int RowSpan() override { return (widthPx_ + 3) & ~3; }
  bool IsFlipped() override { return false; }
  // Keeps a buffer that is large enough; grows a smaller one with a quarter of
  // headroom, so a bitmap that grows in small steps is not reallocated each time.
  bool ResizeTo(int widthPx, int heightPx) override;
  LICE_DC DeviceContext() override { return nullptr; }
  void* Query(int id, void* data) override { return nullptr; }

  // Bytes currently allocated for the pixels (without the alignment slack).
  size_t AllocatedBytes() const { return allocatedBytes_; }

 private:
  unsigned char* buffer_ = nullptr;
  size_t allocatedBytes_ = 0;
  int widthPx_ = 0;
  int heightPx_ = 0;
};
