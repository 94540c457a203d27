#pragma once
// Just enough of a TrueType reader to set the panel's labels: the character
// map (format 4), horizontal metrics, pair kerning (format 0 of the "kern"
// table) and glyph outlines (simple and composite), flattened to polygons.

#include <string>
#include <vector>

#include "Grid.h"

class TrueTypeFont {
 public:
  bool Load(const std::string& path);

  // Outlines of text starting at (x, baselineY), in pixels at sizePx per em,
  // with extra trackingPx after every character. Returns the pen advance.
  float Layout(const std::string& text, float sizePx, float x, float baselineY, float trackingPx,
               std::vector<std::vector<Point>>* contours) const;
  float Measure(const std::string& text, float sizePx, float trackingPx) const;

 private:
  int GlyphIndex(int codepoint) const;
  int Advance(int glyph) const;
  int Kerning(int left, int right) const;
  void Outline(int glyph, float scale, float ox, float oy,
               std::vector<std::vector<Point>>* contours, int depth) const;
  unsigned U8(size_t o) const { return o < data_.size() ? data_[o] : 0; }
  unsigned U16(size_t o) const { return (U8(o) << 8) | U8(o + 1); }
  int S16(size_t o) const { return static_cast<short>(U16(o)); }
  unsigned U32(size_t o) const { return (U16(o) << 16) | U16(o + 2); }
  size_t Table(const char* tag) const;

  std::vector<unsigned char> data_;
  size_t cmap4_ = 0, glyf_ = 0, loca_ = 0, hmtx_ = 0, kern_ = 0;
  int unitsPerEm_ = 2048, longLoca_ = 0, hMetrics_ = 0;
};
