#include "lice/LICE_Line.h"

#include <cstdlib>

#include "lice/LICE_Combine.h"
#include "lice/LICE_FillRect.h"

namespace {

enum OutCode : int { kInside = 0, kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };

int Code(long long x, long long y, int xmax, int ymax) {
  int c = kInside;
  if (x < 0)
    c |= kLeft;
  else if (x > xmax)
    c |= kRight;
  if (y < 0)
    c |= kTop;
  else if (y > ymax)
    c |= kBottom;
  return c;
}

// Writes pixels of one line into one bitmap; out-of-bitmap writes are ignored
// (the anti-aliasing partners of an edge pixel may fall outside).
class LinePainter {
 public:
  LinePainter(LICE_IBitmap* dest, LICE_pixel colour, int mode)
      : bits_(dest->Bits()),
        span_(dest->RowSpan()),
        width_(dest->Width()),
        height_(dest->Height()),
        colour_(colour),
        mode_(mode & LICE_BLIT_MODE_MASK) {
    lice_combine::ColourBytes(colour, source_);
  }

  void Put(int x, int y, int k) {
    if (k <= 0 || x < 0 || y < 0 || x >= width_ || y >= height_) return;
    LICE_pixel* p = bits_ + y * span_ + x;
    if (mode_ == LICE_BLIT_MODE_COPY) {
      *p = LICE_CopyPixelWeighted(*p, colour_, k);
    } else {
      lice_combine::ApplyMode(mode_, reinterpret_cast<uint8_t*>(p), source_, k);
    }
  }

 private:
  LICE_pixel* bits_;
  int span_, width_, height_;
  LICE_pixel colour_;
  int mode_;
  uint8_t source_[4];
};

// Anti-aliased segment, major axis x when xMajor (else y). Coordinates are
// passed as (major, minor) pairs.
void DrawSmooth(LinePainter& paint, bool xMajor, int a1, int b1, int a2, int b2, int weight) {
  auto put = [&](int a, int b, int k) {
    if (xMajor)
      paint.Put(a, b, k);
    else
      paint.Put(b, a, k);
  };
  auto scaled = [&](int k) { return weight < 256 ? k * weight / 256 : k; };
  const int length = std::abs(a2 - a1);
  const int stepA = a2 > a1 ? 1 : -1;
  const int stepB = b2 > b1 ? 1 : (b2 < b1 ? -1 : 0);
  const unsigned int gradient =
      static_cast<unsigned int>((static_cast<long long>(std::abs(b2 - b1)) << 16) / length);
  put(a1, b1, weight);
  put(a2, b2, weight);
  unsigned int accumulated = 0;
  int i = 1;
  for (; i < length - i; ++i) {
    accumulated += gradient;
    const int whole = static_cast<int>(accumulated >> 16);
    const int f = static_cast<int>((accumulated >> 8) & 0xFF);
    // From the start...
    put(a1 + i * stepA, b1 + whole * stepB, scaled(255 - f));
    put(a1 + i * stepA, b1 + (whole + 1) * stepB, scaled(f));
    // ...and mirrored from the end.
    put(a2 - i * stepA, b2 - whole * stepB, scaled(255 - f));
    put(a2 - i * stepA, b2 - (whole + 1) * stepB, scaled(f));
  }
  if (length % 2 == 0 && i == length - i) {
    accumulated += gradient;
    const int whole = static_cast<int>(accumulated >> 16);
    const int f = static_cast<int>((accumulated >> 8) & 0xFF);
    put(a1 + i * stepA, b1 + whole * stepB, scaled(255 - f));
    put(a1 + i * stepA, b1 + (whole + 1) * stepB, scaled(f));
  }
}

}  // namespace

bool LICE_ClipLine(int* x1, int* y1, int* x2, int* y2, int width, int height) {
  if (width <= 0 || height <= 0) return false;
  const int xmax = width - 1, ymax = height - 1;
  long long ax = *x1, ay = *y1, bx = *x2, by = *y2;
  int codeA = Code(ax, ay, xmax, ymax), codeB = Code(bx, by, xmax, ymax);
  for (int round = 0; round < 32; ++round) {
    if (!(codeA | codeB)) {
      *x1 = static_cast<int>(ax);
      *y1 = static_cast<int>(ay);
      *x2 = static_cast<int>(bx);
      *y2 = static_cast<int>(by);
      return true;
    }
    if (codeA & codeB) return false;
    const int out = codeA ? codeA : codeB;
    // In double: the products of two 32-bit spans would overflow 64 bits.
    long long x = 0, y = 0;
    const double dx = double(bx - ax), dy = double(by - ay);
    if (out & kBottom) {
      x = ax + static_cast<long long>(dx * double(ymax - ay) / dy);
      y = ymax;
    } else if (out & kTop) {
      x = ax + static_cast<long long>(dx * double(0 - ay) / dy);
      y = 0;
    } else if (out & kRight) {
      y = ay + static_cast<long long>(dy * double(xmax - ax) / dx);
      x = xmax;
    } else {
      y = ay + static_cast<long long>(dy * double(0 - ax) / dx);
      x = 0;
    }
    if (out == codeA) {
      ax = x;
      ay = y;
      codeA = Code(ax, ay, xmax, ymax);
    } else {
      bx = x;
      by = y;
      codeB = Code(bx, by, xmax, ymax);
    }
  }
  return false;
}

void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel colour, float alpha,
               int mode) {
  if (!dest || !dest->Bits()) return;
  if (!LICE_ClipLine(&x1, &y1, &x2, &y2, dest->Width(), dest->Height())) return;
  const int weight = static_cast<int>(alpha * 256.0f);
  if (weight <= 0) return;
  LinePainter paint(dest, colour, mode);
  const int dx = x2 - x1, dy = y2 - y1;
  if (dy == 0) {
    const int step = dx >= 0 ? 1 : -1;
    for (int x = x1;; x += step) {
      paint.Put(x, y1, weight);
      if (x == x2) break;
    }
    return;
  }
  if (dx == 0) {
    const int step = dy >= 0 ? 1 : -1;
    for (int y = y1;; y += step) {
      paint.Put(x1, y, weight);
      if (y == y2) break;
    }
    return;
  }
  if (std::abs(dx) == std::abs(dy)) {
    const int sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
    const int main = weight * 3 / 4, side = weight / 4;
    int x = x1, y = y1;
    for (; x != x2; x += sx, y += sy) {
      paint.Put(x, y, main);
      paint.Put(x + sx, y, side);
      paint.Put(x, y + sy, side);
    }
    paint.Put(x2, y2, main);
    return;
  }
  if (std::abs(dx) > std::abs(dy)) {
    DrawSmooth(paint, true, x1, y1, x2, y2, weight);
  } else {
    DrawSmooth(paint, false, y1, x1, y2, x2, weight);
  }
}
