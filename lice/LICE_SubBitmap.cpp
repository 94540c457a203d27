#include "lice/LICE_SubBitmap.h"

#include <algorithm>

LICE_SubBitmap::LICE_SubBitmap(LICE_IBitmap* parent, int x, int y, int widthPx, int heightPx) {
  if (!parent || !parent->Bits() || parent->IsFlipped()) return;
  const int left = std::max(0, x);
  const int top = std::max(0, y);
  // 64-bit ends: x + width may not fit in an int.
  const long long right = std::min<long long>(parent->Width(), static_cast<long long>(x) + widthPx);
  const long long bottom =
      std::min<long long>(parent->Height(), static_cast<long long>(y) + heightPx);
  if (right <= left || bottom <= top) return;
  x_ = left;
  y_ = top;
  widthPx_ = static_cast<int>(right - left);
  heightPx_ = static_cast<int>(bottom - top);
  rowSpan_ = parent->RowSpan();
  bits_ = parent->Bits() + static_cast<long long>(top) * rowSpan_ + left;
}
