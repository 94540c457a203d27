#include "graphics/IRect.h"

#include <algorithm>

namespace graphics {

bool IRect::Contains(int x, int y) const {
  return !Empty() && x >= left && x < right && y >= top && y < bottom;
}

bool IRect::Intersects(const IRect& other) const {
  if (Empty() || other.Empty()) return false;
  return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
}

IRect IRect::Intersect(const IRect& other) const {
  if (!Intersects(other)) return IRect();
  return IRect(std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
               std::min(bottom, other.bottom));
}

IRect IRect::Union(const IRect& other) const {
  if (Empty()) return other;
  if (other.Empty()) return *this;
  return IRect(std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
               std::max(bottom, other.bottom));
}

IRect IRect::Offset(int dx, int dy) const {
  return IRect(left + dx, top + dy, right + dx, bottom + dy);
}

}  // namespace graphics
