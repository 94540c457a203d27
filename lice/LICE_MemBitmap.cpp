#include "lice/LICE_MemBitmap.h"

#include <cstdint>
#include <cstdlib>

namespace {
// The alignment of the first pixel, and the slack allocated to reach it.
constexpr uintptr_t kAlignBytes = 64;
// Sizes beyond this many pixels are refused: the editor's largest bitmap has
// half a million, and the product must not overflow on the way to malloc.
constexpr uint64_t kMaxPixels = uint64_t(1) << 28;
}  // namespace

LICE_MemBitmap::LICE_MemBitmap(int widthPx, int heightPx) {
  if (widthPx > 0 && heightPx > 0) ResizeTo(widthPx, heightPx);
}

LICE_MemBitmap::~LICE_MemBitmap() { std::free(buffer_); }

LICE_pixel* LICE_MemBitmap::Bits() {
  if (!buffer_) return nullptr;
  uintptr_t address = reinterpret_cast<uintptr_t>(buffer_);
  address = (address + kAlignBytes - 1) & ~(kAlignBytes - 1);
  return reinterpret_cast<LICE_pixel*>(address);
}

bool LICE_MemBitmap::ResizeTo(int widthPx, int heightPx) {
  if (widthPx == widthPx_ && heightPx == heightPx_) return false;
  widthPx_ = widthPx;
  heightPx_ = heightPx;
  uint64_t neededBytes = 0;
  if (widthPx > 0 && heightPx > 0) {
    uint64_t pixels = uint64_t(heightPx) * uint64_t((uint64_t(widthPx) + 3) & ~uint64_t(3));
    neededBytes = pixels <= kMaxPixels ? pixels * 4 : 0;
    if (pixels > kMaxPixels) {
      // Too large to be real: behave as if the memory could not be had.
      std::free(buffer_);
      buffer_ = nullptr;
      allocatedBytes_ = 0;
    }
  }
  if (neededBytes > 0) {
    if (!buffer_) {
      buffer_ = static_cast<unsigned char*>(std::malloc(size_t(neededBytes) + kAlignBytes - 1));
      allocatedBytes_ = buffer_ ? size_t(neededBytes) : 0;
    } else if (allocatedBytes_ < neededBytes) {
      size_t grown = size_t(neededBytes * 5 / 4);
      void* moved = std::realloc(buffer_, grown + kAlignBytes - 1);
      if (moved) {
        buffer_ = static_cast<unsigned char*>(moved);
        allocatedBytes_ = grown;
      } else {
        std::free(buffer_);
        buffer_ = static_cast<unsigned char*>(std::malloc(size_t(neededBytes) + kAlignBytes - 1));
        allocatedBytes_ = buffer_ ? size_t(neededBytes) : 0;
      }
    }
  } else {
    std::free(buffer_);
    buffer_ = nullptr;
    allocatedBytes_ = 0;
  }
  if (!buffer_) {
    widthPx_ = 0;
    heightPx_ = 0;
  }
  return true;
}
