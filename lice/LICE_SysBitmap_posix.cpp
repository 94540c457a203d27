#include <cstdint>
#include <cstdlib>

#include "lice/LICE_SysBitmap.h"

// Natively there is no system drawing surface: the pixels live in ordinary
// memory with the same allocation rules as the Windows section.

namespace {
constexpr uint64_t kMaxPixels = uint64_t(1) << 28;
}

LICE_SysBitmap::LICE_SysBitmap(int widthPx, int heightPx) {
  if (widthPx > 0 && heightPx > 0) ResizeTo(widthPx, heightPx);
}

LICE_SysBitmap::~LICE_SysBitmap() { ReleasePixels(); }

void LICE_SysBitmap::ReleasePixels() {
  std::free(bits_);
  bits_ = nullptr;
}

bool LICE_SysBitmap::ResizeTo(int widthPx, int heightPx) {
  if (widthPx == widthPx_ && heightPx == heightPx_) return false;
  widthPx_ = widthPx;
  heightPx_ = heightPx;
  if (widthPx > 0 && heightPx > 0 && bits_ && widthPx <= allocWidthPx_ &&
      heightPx <= allocHeightPx_) {
    return true;
  }
  allocWidthPx_ = widthPx > 0 ? (widthPx + 3) & ~3 : 0;
  allocHeightPx_ = heightPx > 0 ? heightPx : 0;
  ReleasePixels();
  if (widthPx < 1 || heightPx < 1) {
    widthPx_ = heightPx_ = allocWidthPx_ = allocHeightPx_ = 0;
    return false;
  }
  uint64_t pixels = uint64_t(allocWidthPx_) * uint64_t(allocHeightPx_);
  if (pixels <= kMaxPixels) bits_ = static_cast<LICE_pixel*>(std::calloc(size_t(pixels), 4));
  if (!bits_) widthPx_ = heightPx_ = allocWidthPx_ = allocHeightPx_ = 0;
  return true;
}
