#include "Canvas.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
}  // namespace

Rgba Mix(const Rgba& a, const Rgba& b, float t) {
  return Rgba{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
              a.a + (b.a - a.a) * t};
}

Rgba Hex(unsigned rgb, float alpha) {
  return Rgba{((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f,
              alpha};
}

float Noise(int x, int y, int seed) {
  unsigned h = unsigned(x) * 374761393u + unsigned(y) * 668265263u + unsigned(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFF) / 32767.5f - 1.0f;
}

Canvas::Canvas(int logicalWidth, int logicalHeight, float scale)
    : Canvas(Grid::Of(logicalWidth, logicalHeight, scale)) {}

void Canvas::Fill(const std::function<Rgba(float, float)>& paint) {
  const float s = g_.scale;
  for (int y = 0; y < g_.height; ++y) {
    for (int x = 0; x < g_.width; ++x) {
      const Rgba c = paint((x + 0.5f) / s, (y + 0.5f) / s);
      float* p = &px_[(size_t(y) * g_.width + x) * 4];
      p[0] = c.r * c.a;
      p[1] = c.g * c.a;
      p[2] = c.b * c.a;
      p[3] = c.a;
    }
  }
}

void Canvas::Paint(const Mask& mask, const std::function<Rgba(float, float)>& paint,
                   float opacity) {
  const float s = g_.scale;
  const Box b = mask.Covered().Clipped(g_);
  for (int y = b.y0; y < b.y1; ++y) {
    for (int x = b.x0; x < b.x1; ++x) {
      const float m = mask.At(x, y) * opacity;
      if (m <= 0) continue;
      const Rgba c = paint((x + 0.5f) / s, (y + 0.5f) / s);
      const float a = Clamp01(c.a * m);
      float* p = &px_[(size_t(y) * g_.width + x) * 4];
      p[0] = Clamp01(c.r) * a + p[0] * (1 - a);
      p[1] = Clamp01(c.g) * a + p[1] * (1 - a);
      p[2] = Clamp01(c.b) * a + p[2] * (1 - a);
      p[3] = a + p[3] * (1 - a);
    }
  }
}

void Canvas::Paint(const Mask& mask, const Rgba& colour, float opacity) {
  Paint(
      mask, [&](float, float) { return colour; }, opacity);
}

void Canvas::Screen(const Mask& mask, const Rgba& colour, float opacity) {
  const Box b = mask.Covered().Clipped(g_);
  for (int y = b.y0; y < b.y1; ++y) {
    for (int x = b.x0; x < b.x1; ++x) {
      const float m = mask.At(x, y) * opacity * colour.a;
      if (m <= 0) continue;
      float* p = &px_[(size_t(y) * g_.width + x) * 4];
      p[0] = std::min(p[3], p[0] + colour.r * m * p[3]);
      p[1] = std::min(p[3], p[1] + colour.g * m * p[3]);
      p[2] = std::min(p[3], p[2] + colour.b * m * p[3]);
    }
  }
}

Canvas Canvas::Stack(const std::vector<Canvas>& frames) {
  const Grid first = frames.empty() ? Grid{} : frames.front().g_;
  Canvas strip(Grid{first.width, first.height * int(frames.size()), first.scale});
  // Frames are painted on clear surfaces, so stacking is a copy.
  const size_t frameFloats = size_t(first.width) * first.height * 4;
  for (size_t i = 0; i < frames.size(); ++i) {
    const std::vector<float>& source = frames[i].px_;
    std::copy(source.begin(), source.begin() + std::min(frameFloats, source.size()),
              strip.px_.begin() + i * frameFloats);
  }
  return strip;
}

Rgba Canvas::Pixel(int x, int y) const {
  const float* p = &px_[(size_t(y) * g_.width + x) * 4];
  if (p[3] <= 0) return Rgba{0, 0, 0, 0};
  return Rgba{p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

bool Canvas::WritePng(const std::string& path, int zlibLevel) const {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  const int w = g_.width, h = g_.height;
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, zlibLevel);
  png_write_info(png, info);
  std::vector<unsigned char> row(size_t(w) * 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Rgba c = Pixel(x, y);
      // A little ordered dither hides banding in the soft gradients.
      const float dither = (Noise(x, y, 7) * 0.5f) / 255.0f;
      row[x * 4 + 0] = static_cast<unsigned char>(std::lround(Clamp01(c.r + dither) * 255));
      row[x * 4 + 1] = static_cast<unsigned char>(std::lround(Clamp01(c.g + dither) * 255));
      row[x * 4 + 2] = static_cast<unsigned char>(std::lround(Clamp01(c.b + dither) * 255));
      row[x * 4 + 3] = static_cast<unsigned char>(std::lround(Clamp01(c.a) * 255));
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}
