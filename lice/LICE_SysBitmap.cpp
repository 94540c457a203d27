#include <cstdint>

#include "lice/LICE_SysBitmap.h"

// The size policy shared by both platforms; the platform files only create and
// release the pixels (a DIB section on Windows, plain memory natively).

namespace {
// Sizes beyond this many pixels are refused as if the memory could not be had:
// the editor's largest bitmap has half a million, and the padded width and the
// byte count must not overflow on the way to the allocator.
constexpr int64_t kMaxPixels = int64_t(1) << 28;
}  // namespace

bool LICE_SysBitmap::ResizeTo(int widthPx, int heightPx) {
  if (widthPx == widthPx_ && heightPx == heightPx_) return false;
  widthPx_ = widthPx;
  heightPx_ = heightPx;
  if (widthPx > 0 && heightPx > 0 && bits_ && widthPx <= allocWidthPx_ &&
      heightPx <= allocHeightPx_) {
    return true;
  }
  ReleasePixels();
  if (widthPx < 1 || heightPx < 1) {
    ClearSize();
    return false;
  }
  // Rows padded to a multiple of four pixels, computed in 64 bits so that a
  // width near the int limit cannot overflow.
  const int64_t paddedWidth = (int64_t(widthPx) + 3) & ~int64_t(3);
  if (paddedWidth * heightPx > kMaxPixels) {
    ClearSize();
    return true;
  }
  allocWidthPx_ = static_cast<int>(paddedWidth);
  allocHeightPx_ = heightPx;
  if (!AllocatePixels()) ClearSize();
  return true;
}

void LICE_SysBitmap::ClearSize() { widthPx_ = heightPx_ = allocWidthPx_ = allocHeightPx_ = 0; }
