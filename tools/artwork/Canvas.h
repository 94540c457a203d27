#pragma once
// The artwork generator's painting surface: premultiplied RGBA in 0..1 per
// device pixel, painted through masks (Mask.h) with a colour or a paint
// function of the logical coordinates of the pixel centre (Grid.h), and
// written as an 8-bit RGBA PNG file.

#include <functional>
#include <string>
#include <vector>

#include "Grid.h"
#include "Mask.h"

struct Rgba {
  float r = 0, g = 0, b = 0, a = 1;
};
Rgba Mix(const Rgba& a, const Rgba& b, float t);
Rgba Hex(unsigned rgb, float alpha = 1.0f);

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
