#pragma once
// A bitmap the system can draw into. In the Windows builds it is a 32-bit
// top-down DIB section selected into a memory device context, so GDI text and
// the blits share one set of pixels. Natively it is memory-backed and has no
// device context.
//
// The allocation is kept while a new size fits into it; rows are padded to a
// multiple of four pixels. A section that cannot be created leaves the bitmap
// without bits and with size 0 x 0.

#include "lice/LICE_IBitmap.h"

class LICE_SysBitmap : public LICE_IBitmap {
 public:
  explicit LICE_SysBitmap(int widthPx = 0, int heightPx = 0);
  ~LICE_SysBitmap() override;
  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  LICE_pixel* Bits() override { return bits_; }
  int Width() override { return widthPx_; }
  int Height() override { return heightPx_; }
  int RowSpan() override { return allocWidthPx_; }
  bool IsFlipped() override { return false; }
  bool ResizeTo(int widthPx, int heightPx) override;
  LICE_DC DeviceContext() override { return dc_; }
  void* Query(int id, void* data) override { return nullptr; }

 private:
  // Per platform: frees the current pixels (and the section, in the Windows
  // builds), and makes pixels of allocWidthPx_ x allocHeightPx_, setting
  // bits_; false when they could not be had.
  void ReleasePixels();
  bool AllocatePixels();
  // Size and allocated size back to 0 x 0, after a failure or a size below 1.
  void ClearSize();

  int widthPx_ = 0;
  int heightPx_ = 0;
  LICE_pixel* bits_ = nullptr;
  LICE_DC dc_ = nullptr;
  [[maybe_unused]] void* section_ = nullptr;         // HBITMAP of the DIB section (Windows)
  [[maybe_unused]] void* replacedObject_ = nullptr;  // what the section replaced in dc_ (Windows)
  int allocWidthPx_ = 0;
  int allocHeightPx_ = 0;
};
