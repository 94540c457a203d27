#pragma once
// Coverage masks for the artwork generator: 0..1 per device pixel. Shapes are
// built from signed distances (one device pixel of anti-aliasing) or polygons,
// combined, shifted and blurred for shadows and glows, then painted onto a
// Canvas. Sizes, coordinates, shifts and radii are logical pixels (Grid.h).

#include <functional>
#include <vector>

#include "Grid.h"

// Coverage is stored only inside a box known to hold all of it; outside, it is
// exactly zero. Each operation works on the box of its result only, with the
// same arithmetic per pixel as on the whole surface, so the box changes the
// time a mask takes, never its values.
class Mask {
 public:
  const Grid& Pixels() const { return g_; }
  // Coverage of device pixel (x, y); zero outside.
  float At(int x, int y) const {
    return x < box_.x0 || y < box_.y0 || x >= box_.x1 || y >= box_.y1
               ? 0.0f
               : v_[size_t(y - box_.y0) * (box_.x1 - box_.x0) + (x - box_.x0)];
  }
  const Box& Covered() const { return box_; }

  // Coverage from a signed distance function of logical coordinates, in
  // logical pixels (negative inside), evaluated within the logical rectangle
  // (x0, y0) - (x1, y1), which must hold the whole shape.
  static Mask FromDistance(const Grid& g, float x0, float y0, float x1, float y1,
                           const std::function<float(float, float)>& distance);
  static Mask RoundRect(const Grid& g, float x0, float y0, float x1, float y1, float radius);
  static Mask Circle(const Grid& g, float cx, float cy, float radius);
  // A stroke along the circle of the given radius from angle a0 to a1 (degrees,
  // clockwise from 12 o'clock), round caps.
  static Mask Arc(const Grid& g, float cx, float cy, float radius, float thickness, float a0Deg,
                  float a1Deg);
  static Mask Capsule(const Grid& g, Point a, Point b, float radius);
  // Non-zero winding fill of closed polygons, 16 sub-rows per device pixel.
  static Mask Polygons(const Grid& g, const std::vector<std::vector<Point>>& contours);

  Mask Shifted(float dx, float dy) const;
  Mask Blurred(float radius) const;
  Mask Times(const Mask& other) const;
  Mask Minus(const Mask& other) const;  // this * (1 - other)
  Mask Plus(const Mask& other) const;   // max
  Mask Scaled(float factor) const;      // coverage times factor, clamped

 private:
  Mask(const Grid& grid, const Box& box);
  float& Ref(int x, int y) { return v_[size_t(y - box_.y0) * (box_.x1 - box_.x0) + (x - box_.x0)]; }

  Grid g_;
  Box box_;
  std::vector<float> v_;
};
