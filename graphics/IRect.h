// A rectangle of the editor, in pixels. right and bottom are exclusive.
//
// EMPTY RECTANGLE
//   A rectangle whose four fields are all 0 is empty: it contains no point,
//   intersects nothing, and a union with it gives the other rectangle. Any
//   other rectangle, even one of zero width, takes part in unions as it is
//   (the dirty union of the editor relies on this).
#pragma once

#include <cstdint>

namespace graphics {

struct IRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  IRect() = default;
  IRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}

  int32_t W() const { return right - left; }
  int32_t H() const { return bottom - top; }
  bool Empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }

  // left <= x < right and top <= y < bottom; never for the empty rectangle.
  bool Contains(int x, int y) const;
  // Both rectangles non-empty and sharing at least one pixel.
  bool Intersects(const IRect& other) const;
  // The shared part; the empty rectangle when there is none.
  IRect Intersect(const IRect& other) const;
  // The smallest rectangle holding both; an empty operand gives the other.
  IRect Union(const IRect& other) const;
  // Moved by (dx, dy).
  IRect Offset(int dx, int dy) const;

  bool operator==(const IRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const IRect& o) const { return !(*this == o); }
};

}  // namespace graphics
