#pragma once
// The pixel geometry of the artwork generator's surfaces.
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

// A point in logical pixels.
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
