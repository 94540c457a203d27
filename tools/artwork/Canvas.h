#pragma once
// Floating-point painting surfaces for the artwork generator.
//
// A Mask holds coverage 0..1 per pixel; a Canvas holds premultiplied RGBA in
// 0..1. Shapes are built as masks from signed distances (one device pixel of
// anti-aliasing), combined, blurred for shadows and glows, and painted onto a
// canvas with a colour or a paint function of the pixel centre.
//
// LOGICAL AND DEVICE PIXELS. Every surface is painted at a scale: the device
// pixels (those of the PNG file) per logical pixel (the editor's layout unit;
// the panel is 984 x 432 logical pixels at every scale). Callers work in
// logical units only: surface sizes, coordinates, radii, stroke widths, shifts
// and blur radii are logical and grow with the scale, and paint functions
// receive the logical coordinates of device pixel centres. What stays one
// device pixel wide is the anti-aliasing ramp, so edges are as crisp at 200 %
// as at 100 %. A logical length that is not a whole number of device pixels
// (35 at 150 %) is rounded up, so an image always covers its logical
// rectangle. At scale 1 the two units coincide and every operation gives
// exactly what it gave before surfaces had a scale.

#include <functional>
#include <string>
#include <vector>

struct Rgba {
  float r = 0, g = 0, b = 0, a = 1;
};
Rgba Mix(const Rgba& a, const Rgba& b, float t);
Rgba Hex(unsigned rgb, float alpha = 1.0f);

struct Point {
  float x, y;
};

// The device pixels of a surface and how many of them make a logical pixel.
struct Grid {
  int width = 0, height = 0;  // device pixels
  float scale = 1.0f;         // device pixels per logical pixel

  // A surface covering logicalWidth x logicalHeight at the scale.
  static Grid Of(int logicalWidth, int logicalHeight, float scale);
  // Device pixels that cover a logical length: rounded up.
  static int DevicePixels(int logical, float scale);
  // The logical coordinate of the device pixel edge nearest to a logical
  // coordinate, for things that must start on a whole device pixel.
  float Snap(float logical) const;
};

// A rectangle of device pixels, [x0, x1) x [y0, y1).
struct Box {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  Box Clipped(const Grid& g) const;
};

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

class Canvas {
 public:
  Canvas(int logicalWidth, int logicalHeight, float scale);
  const Grid& Pixels() const { return g_; }

  void Fill(const std::function<Rgba(float, float)>& paint);
  // Source-over of paint(x, y) with the mask's coverage as extra alpha.
  void Paint(const Mask& mask, const std::function<Rgba(float, float)>& paint,
             float opacity = 1.0f);
  void Paint(const Mask& mask, const Rgba& colour, float opacity = 1.0f);
  // Adds light: result = dst + colour * coverage (clamped), alpha unchanged.
  void Screen(const Mask& mask, const Rgba& colour, float opacity = 1.0f);
  // The frames of a strip, top to bottom, each at a pitch of the first frame's
  // device height (so a strip at 150 % of 25-pixel frames has them 38 device
  // pixels apart, not 37.5).
  static Canvas Stack(const std::vector<Canvas>& frames);

  // zlibLevel 9 makes the smallest files; lower levels the same pixels, sooner.
  bool WritePng(const std::string& path, int zlibLevel = 9) const;

 private:
  explicit Canvas(const Grid& grid) : g_(grid), px_(size_t(grid.width) * grid.height * 4, 0.0f) {}
  Rgba Pixel(int x, int y) const;

  Grid g_;
  std::vector<float> px_;
};

// A deterministic hash noise in -1..1.
float Noise(int x, int y, int seed);
