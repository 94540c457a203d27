#include "Grid.h"

#include <algorithm>
#include <cmath>

Grid Grid::Of(int logicalWidth, int logicalHeight, float scale) {
  return Grid{DevicePixels(logicalWidth, scale), DevicePixels(logicalHeight, scale), scale};
}

int Grid::DevicePixels(int logical, float scale) {
  // The margin keeps a product that float arithmetic lands a hair above a
  // whole number from taking one more pixel.
  return int(std::ceil(double(logical) * scale - 1e-6));
}

float Grid::Snap(float logical) const { return std::round(logical * scale) / scale; }

Box Box::Clipped(const Grid& g) const {
  Box b{std::max(x0, 0), std::max(y0, 0), std::min(x1, g.width), std::min(y1, g.height)};
  if (b.x1 < b.x0) b.x1 = b.x0;
  if (b.y1 < b.y0) b.y1 = b.y0;
  return b;
}
