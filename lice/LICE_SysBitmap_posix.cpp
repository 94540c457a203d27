#include <cstdlib>

#include "lice/LICE_SysBitmap.h"

// Natively there is no system drawing surface: the pixels live in ordinary
// memory; the size policy is shared with the Windows section.

LICE_SysBitmap::LICE_SysBitmap(int widthPx, int heightPx) {
  if (widthPx > 0 && heightPx > 0) ResizeTo(widthPx, heightPx);
}

LICE_SysBitmap::~LICE_SysBitmap() { ReleasePixels(); }

void LICE_SysBitmap::ReleasePixels() {
  std::free(bits_);
  bits_ = nullptr;
}

bool LICE_SysBitmap::AllocatePixels() {
  bits_ = static_cast<LICE_pixel*>(
      std::calloc(size_t(allocWidthPx_) * size_t(allocHeightPx_), sizeof(LICE_pixel)));
  return bits_ != nullptr;
}
