#pragma once
// Floating-point painting surfaces for the artwork generator.
//
// A Mask holds coverage 0..1 per pixel; a Canvas holds premultiplied RGBA in
// 0..1. Shapes are built as masks from signed distances (one pixel of
// anti-aliasing), combined, blurred for shadows and glows, and painted onto a
// canvas with a colour or a paint function of the pixel centre.

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

class Mask {
 public:
  Mask(int w, int h) : w_(w), h_(h), v_(size_t(w) * h, 0.0f) {}
  int Width() const { return w_; }
  int Height() const { return h_; }
  float At(int x, int y) const {
    return x < 0 || y < 0 || x >= w_ || y >= h_ ? 0.0f : v_[size_t(y) * w_ + x];
  }
  float& Ref(int x, int y) { return v_[size_t(y) * w_ + x]; }

  // Coverage from a signed distance function (negative inside).
  static Mask FromDistance(int w, int h, const std::function<float(float, float)>& distance);
  static Mask RoundRect(int w, int h, float x0, float y0, float x1, float y1, float radius);
  static Mask Circle(int w, int h, float cx, float cy, float radius);
  // A stroke along the circle of the given radius from angle a0 to a1 (degrees,
  // clockwise from 12 o'clock), round caps.
  static Mask Arc(int w, int h, float cx, float cy, float radius, float thickness, float a0Deg,
                  float a1Deg);
  static Mask Capsule(int w, int h, Point a, Point b, float radius);
  // Non-zero winding fill of closed polygons, 16 sub-rows per pixel.
  static Mask Polygons(int w, int h, const std::vector<std::vector<Point>>& contours);

  Mask Shifted(float dx, float dy) const;
  Mask Blurred(float radius) const;
  Mask Times(const Mask& other) const;
  Mask Minus(const Mask& other) const;  // this * (1 - other)
  Mask Plus(const Mask& other) const;   // max
  Mask Scaled(float factor) const;

 private:
  int w_, h_;
  std::vector<float> v_;
};

class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h), px_(size_t(w) * h * 4, 0.0f) {}
  int Width() const { return w_; }
  int Height() const { return h_; }

  void Fill(const std::function<Rgba(float, float)>& paint);
  // Source-over of paint(x, y) with the mask's coverage as extra alpha.
  void Paint(const Mask& mask, const std::function<Rgba(float, float)>& paint,
             float opacity = 1.0f);
  void Paint(const Mask& mask, const Rgba& colour, float opacity = 1.0f);
  // Adds light: result = dst + colour * coverage (clamped), alpha unchanged.
  void Screen(const Mask& mask, const Rgba& colour, float opacity = 1.0f);
  // Copies another canvas at (x, y), source-over.
  void Draw(const Canvas& other, int x, int y);
  Rgba Pixel(int x, int y) const;

  bool WritePng(const std::string& path) const;

 private:
  int w_, h_;
  std::vector<float> px_;
};

// A deterministic hash noise in -1..1.
float Noise(int x, int y, int seed);
