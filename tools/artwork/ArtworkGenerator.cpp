// Paints the editor's eight bitmaps and writes them as 8-bit RGBA PNG files:
//
//   back.png      984 x 432        panel with every group and control label
//   knob.png      64 x 4160        65 frames, pointer from -135 to +135 degrees
//   switch.png    64 x 128         2 frames: off, on
//   handle.png    42 x 35          fader handle
//   learn.png     68 x 50          2 frames: off, on
//   unlearn.png   68 x 50          2 frames: off, on
//   led.png       12 x 24          2 frames: off, on
//   triangle.png  26 x 22          preset menu marker
//
// Usage: quillet_artwork OUTPUT_DIR [FONT_DIR] [--scale S] [--only NAME,...] [--quick]
//
// The sizes above are logical pixels. --scale (1 by default; the binaries carry
// 1, 1.5 and 2) paints every image at S device pixels per logical pixel, from
// the same geometry: a knob frame is 96 x 96 at 1.5, 128 x 128 at 2, and the
// frame counts stay. A frame whose scaled height is not whole (the handle's
// 35, the pills' 25 at 1.5) is rounded up. --only writes just the images
// named (without ".png"). --quick compresses lightly: the same pixels in
// larger files, in a fraction of the time (for tests). Nothing but text is snapped to the device
// pixels: at 1.5 a one-pixel rule is a pixel and a half, and drawn so it keeps that weight, where
// snapping would make some rules one pixel and others two.
//
// Light comes from the top left throughout: highlights on upper edges,
// shadows fall down and slightly right. The control rectangles below are the
// editor layout's; labels and wells are placed around them.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "Canvas.h"
#include "TrueTypeFont.h"

namespace {

// Palette.
const Rgba kPanelTop = Hex(0xDCD8D1);
const Rgba kPanelBottom = Hex(0xCEC9C1);
const Rgba kInk = Hex(0x34353A);
const Rgba kInkSoft = Hex(0x5C5E64);
const Rgba kAccent = Hex(0xF0973A);
const Rgba kAccentDim = Hex(0x8A5A33);
const Rgba kCharcoalTop = Hex(0x44474D);
const Rgba kCharcoalBottom = Hex(0x1D1F22);
const Rgba kStripTop = Hex(0x33363B);
const Rgba kStripBottom = Hex(0x222427);
const Rgba kCream = Hex(0xF3F0E8);
const Rgba kWhite = Hex(0xFFFFFF);
const Rgba kBlack = Hex(0x000000);

TrueTypeFont gSans, gSansBold, gSerif;

std::function<Rgba(float, float)> Vertical(const Rgba& top, const Rgba& bottom, float y0,
                                           float y1) {
  return [=](float, float y) {
    return Mix(top, bottom, std::fmin(1.0f, std::fmax(0.0f, (y - y0) / (y1 - y0))));
  };
}

enum class Align { kLeft, kCentre, kRight };

Mask TextMask(const Grid& g, const TrueTypeFont& font, const std::string& text, float sizePx,
              float x, float baseline, float tracking, Align align) {
  const float width = font.Measure(text, sizePx, tracking);
  if (align == Align::kCentre)
    x -= width / 2;
  else if (align == Align::kRight)
    x -= width;
  std::vector<std::vector<Point>> contours;
  // Text starts on a whole device pixel, so every label's letters fall on the
  // pixels alike.
  font.Layout(text, sizePx, g.Snap(x), baseline, tracking, &contours);
  return Mask::Polygons(g, contours);
}

// Letterpress label: a light line below the dark text, as if cut into the panel.
void Label(Canvas& c, const std::string& text, float x, float baseline, float size = 9.5f,
           Align align = Align::kCentre, const Rgba& ink = kInk, float tracking = 1.1f,
           const TrueTypeFont* font = nullptr) {
  const Mask m =
      TextMask(c.Pixels(), font ? *font : gSansBold, text, size, x, baseline, tracking, align);
  c.Paint(m.Shifted(0, 1), kWhite, 0.55f);
  c.Paint(m, ink);
}

void DropShadow(Canvas& c, const Mask& shape, float dx, float dy, float blur, float opacity) {
  c.Paint(shape.Shifted(dx, dy).Blurred(blur), kBlack, opacity);
}

// A raised plate with soft shadow, bevel highlight and a faint lower edge.
void Plate(Canvas& c, float x0, float y0, float x1, float y1, float radius, const Rgba& top,
           const Rgba& bottom) {
  const Grid& g = c.Pixels();
  const Mask m = Mask::RoundRect(g, x0, y0, x1, y1, radius);
  DropShadow(c, m, 0, 2.5f, 5, 0.28f);
  c.Paint(m, Vertical(top, bottom, y0, y1));
  c.Paint(m.Minus(m.Shifted(0, 1.2f)), kWhite, 0.7f);
  c.Paint(m.Minus(m.Shifted(0, -1.2f)), kBlack, 0.18f);
}

// A recessed well (wells, windows, slots): inner shadow at the top.
void Well(Canvas& c, float x0, float y0, float x1, float y1, float radius,
          const std::function<Rgba(float, float)>& fill, float depth = 1.0f) {
  const Grid& g = c.Pixels();
  const Mask m = Mask::RoundRect(g, x0, y0, x1, y1, radius);
  // The rim: light below, dark above.
  const Mask rim = Mask::RoundRect(g, x0 - 1, y0 - 1, x1 + 1, y1 + 1, radius + 1);
  c.Paint(rim.Minus(m).Times(Mask::RoundRect(g, x0 - 1, (y0 + y1) / 2, x1 + 1, y1 + 2, radius + 1)),
          kWhite, 0.75f);
  c.Paint(rim.Minus(m).Times(Mask::RoundRect(g, x0 - 1, y0 - 2, x1 + 1, (y0 + y1) / 2, radius + 1)),
          kBlack, 0.22f * depth);
  c.Paint(m, fill);
  c.Paint(m.Minus(m.Shifted(0.6f, 2.0f).Blurred(2.0f)), kBlack, 0.35f * depth);
}

// ---- Knob -------------------------------------------------------------------

constexpr float kSweepStartDeg = -135.0f;
constexpr float kSweepDeg = 270.0f;

// The charcoal cap shared by knobs and the switch: a dome with a fixed light
// and a brushed top whose sheen does not turn with the value.
void Cap(Canvas& c, float cx, float cy, float radius) {
  const Grid& g = c.Pixels();
  const Mask body = Mask::Circle(g, cx, cy, radius);
  DropShadow(c, body, 1.0f, 2.5f, 3.0f, 0.55f);
  c.Paint(body, Vertical(kCharcoalTop, kCharcoalBottom, cy - radius, cy + radius));
  c.Paint(body.Minus(body.Shifted(0.4f, 1.1f)), kWhite, 0.35f);
  const float top = radius * 0.80f;
  const Mask face = Mask::Circle(g, cx, cy, top);
  c.Paint(face, [=](float x, float y) {
    const float phi = std::atan2(y - cy, x - cx);
    // Two sheens, strongest toward the light, on brushed grey.
    const float sheen = 0.5f + 0.5f * std::cos(2 * (phi + 2.36f));
    const float brushed = 0.012f * Noise(int(std::hypot(x - cx, y - cy) * 7), 0, 3);
    const float v = 0.20f + 0.10f * sheen + brushed + 0.06f * (cy - y) / top;
    return Rgba{v, v, v + 0.01f, 1};
  });
  // Edge of the face: shadow below-right, light above-left.
  c.Paint(face.Minus(face.Shifted(-0.7f, -0.9f)), kWhite, 0.22f);
  c.Paint(face.Minus(face.Shifted(0.7f, 0.9f)), kBlack, 0.45f);
}

Canvas KnobFrame(float scale, float value) {
  Canvas c(64, 64, scale);
  const Grid& g = c.Pixels();
  const float cx = 32, cy = 32;
  const float angle = kSweepStartDeg + kSweepDeg * value;
  // Value ring: a dark track and the lit part up to the value, with a glow.
  const Mask track = Mask::Arc(g, cx, cy, 28.0f, 3.2f, kSweepStartDeg, kSweepStartDeg + kSweepDeg);
  c.Paint(track, Hex(0x2A2B2E), 0.55f);
  c.Paint(track.Minus(track.Shifted(0, 0.8f)), kBlack, 0.25f);
  if (value > 0.001f) {
    const Mask lit = Mask::Arc(g, cx, cy, 28.0f, 2.6f, kSweepStartDeg, angle);
    c.Paint(lit.Blurred(2.0f), kAccent, 0.45f);
    c.Paint(lit, kAccent);
  }
  Cap(c, cx, cy, 22.0f);
  // Pointer: a light bar from the middle to the rim of the face.
  const float rad = angle * float(M_PI) / 180;
  const float sx = std::sin(rad), sy = -std::cos(rad);
  const Point inner{cx + sx * 7.5f, cy + sy * 7.5f}, outer{cx + sx * 16.5f, cy + sy * 16.5f};
  const Mask pointer = Mask::Capsule(g, inner, outer, 1.7f);
  c.Paint(pointer.Shifted(0.5f, 1.0f).Blurred(1.2f), kBlack, 0.6f);
  c.Paint(pointer, Hex(0xF4EFE6));
  const Mask tip = Mask::Circle(g, cx + sx * 19.6f, cy + sy * 19.6f, 1.4f);
  c.Paint(tip, kAccent, 0.9f);
  return c;
}

Canvas KnobStrip(float scale) {
  std::vector<Canvas> frames;
  for (int i = 0; i < 65; ++i) frames.push_back(KnobFrame(scale, i / 64.0f));
  return Canvas::Stack(frames);
}

// ---- Switch, handle, learn pill, lamp, marker ----------------------------------

Canvas SwitchStrip(float scale) {
  std::vector<Canvas> frames;
  for (int on = 0; on < 2; ++on) {
    Canvas& c = frames.emplace_back(64, 64, scale);
    const Grid& g = c.Pixels();
    const Mask ring = Mask::Arc(g, 32, 32, 27.0f, 3.2f, -180, 180);
    c.Paint(ring, Hex(0x2A2B2E), 0.55f);
    if (on) {
      c.Paint(ring.Blurred(2.5f), kAccent, 0.6f);
      c.Paint(ring, kAccent);
    } else {
      c.Paint(ring, kAccentDim, 0.35f);
    }
    Cap(c, 32, 32, 21.0f);
    // A small lamp dot in the face says "on" at a glance.
    const Mask dot = Mask::Circle(g, 32, 32, 3.2f);
    if (on) {
      c.Paint(dot.Blurred(2.0f), kAccent, 0.8f);
      c.Paint(dot, Hex(0xFFC27A));
    } else {
      c.Paint(dot, Hex(0x141516));
      c.Paint(dot.Minus(dot.Shifted(0, -0.8f)), kWhite, 0.15f);
    }
  }
  return Canvas::Stack(frames);
}

Canvas Handle(float scale) {
  Canvas c(42, 35, scale);
  const Grid& g = c.Pixels();
  const Mask body = Mask::RoundRect(g, 3, 3, 39, 30, 4);
  DropShadow(c, body, 0.8f, 2.2f, 2.0f, 0.55f);
  c.Paint(body, Vertical(Hex(0x4A4D53), Hex(0x1E2023), 3, 30));
  c.Paint(body.Minus(body.Shifted(0, 1.0f)), kWhite, 0.35f);
  // Grip ridges above and below the index line.
  for (int i = 0; i < 3; ++i) {
    const float y = 8.5f + i * 2.6f;
    const Mask ridge = Mask::RoundRect(g, 8, y, 34, y + 1.0f, 0.5f);
    c.Paint(ridge, kBlack, 0.45f);
    c.Paint(ridge.Shifted(0, 1.0f), kWhite, 0.10f);
    const float y2 = 20.0f + i * 2.6f;
    const Mask ridge2 = Mask::RoundRect(g, 8, y2, 34, y2 + 1.0f, 0.5f);
    c.Paint(ridge2, kBlack, 0.45f);
    c.Paint(ridge2.Shifted(0, 1.0f), kWhite, 0.10f);
  }
  const Mask index = Mask::RoundRect(g, 5, 15.6f, 37, 17.8f, 1.0f);
  c.Paint(index.Blurred(1.2f), kAccent, 0.5f);
  c.Paint(index, kAccent);
  return c;
}

Canvas PillStrip(float scale, const std::string& text, const Rgba& lit) {
  std::vector<Canvas> frames;
  for (int on = 0; on < 2; ++on) {
    Canvas& c = frames.emplace_back(68, 25, scale);
    const Grid& g = c.Pixels();
    const Mask body = Mask::RoundRect(g, 2, 2, 66, 22, 9.5f);
    DropShadow(c, body, 0.5f, 1.5f, 1.5f, 0.5f);
    if (on) {
      c.Paint(body, Vertical(Mix(lit, kWhite, 0.25f), Mix(lit, kBlack, 0.15f), 2, 22));
    } else {
      c.Paint(body, Vertical(kCharcoalTop, kCharcoalBottom, 2, 22));
    }
    c.Paint(body.Minus(body.Shifted(0, 1.0f)), kWhite, on ? 0.45f : 0.3f);
    const Mask label = TextMask(g, gSansBold, text, 9.5f, 34, 15.6f, 1.2f, Align::kCentre);
    if (on) {
      c.Paint(label.Shifted(0, 0.8f), kWhite, 0.35f);
      c.Paint(label, Hex(0x2B1A0C));
    } else {
      c.Paint(label.Shifted(0, -0.8f), kBlack, 0.6f);
      c.Paint(label, Hex(0xD8D3CA));
    }
  }
  return Canvas::Stack(frames);
}

Canvas LedStrip(float scale) {
  std::vector<Canvas> frames;
  for (int on = 0; on < 2; ++on) {
    Canvas& c = frames.emplace_back(12, 12, scale);
    const Grid& g = c.Pixels();
    const Mask dome = Mask::Circle(g, 6, 6, 4.3f);
    if (on) {
      c.Paint(Mask::Circle(g, 6, 6, 5.6f).Blurred(1.4f), kAccent, 0.75f);
      c.Paint(dome, [](float x, float y) {
        const float d = std::hypot(x - 5.3f, y - 5.0f) / 4.3f;
        return Mix(Hex(0xFFF1C9), Hex(0xF08A2C), std::fmin(1.0f, d));
      });
    } else {
      c.Paint(dome, Vertical(Hex(0x5A3A22), Hex(0x2A1A10), 2, 10));
    }
    c.Paint(Mask::Circle(g, 4.8f, 4.4f, 1.3f), kWhite, on ? 0.8f : 0.35f);
  }
  return Canvas::Stack(frames);
}

Canvas Triangle(float scale) {
  Canvas c(26, 22, scale);
  const Grid& g = c.Pixels();
  const std::vector<std::vector<Point>> shape = {{{6.5f, 7.5f}, {19.5f, 7.5f}, {13.0f, 15.5f}}};
  const Mask m = Mask::Polygons(g, shape);
  c.Paint(m.Blurred(2.2f), kAccent, 0.55f);
  c.Paint(m, Vertical(Hex(0xFFC98A), kAccent, 7, 16));
  return c;
}

// ---- Background -----------------------------------------------------------------

constexpr int kW = 984, kH = 432;

// The ring of ticks printed around a knob at (x, y) (its 64 x 64 rectangle).
void KnobScale(Canvas& c, int x, int y) {
  const Grid& g = c.Pixels();
  const float cx = x + 32.0f, cy = y + 32.0f;
  for (int i = 0; i <= 10; ++i) {
    const float a = (kSweepStartDeg + kSweepDeg * i / 10.0f) * float(M_PI) / 180;
    const float major = (i == 0 || i == 5 || i == 10) ? 1.0f : 0.0f;
    const Point p0{cx + std::sin(a) * 32.2f, cy - std::cos(a) * 32.0f};
    const Point p1{cx + std::sin(a) * (34.2f + 1.2f * major),
                   cy - std::cos(a) * (34.2f + 1.2f * major)};
    const Mask tick = Mask::Capsule(g, p0, p1, 0.55f + 0.15f * major);
    c.Paint(tick.Shifted(0, 0.9f), kWhite, 0.5f);
    c.Paint(tick, kInkSoft, 0.9f);
  }
}

// A cream read-out window for the texts the controls draw.
void Window(Canvas& c, float x0, float y0, float x1, float y1) {
  Well(c, x0, y0, x1, y1, 3.5f, Vertical(Hex(0xF7F5EF), Hex(0xE9E5DC), y0, y1), 0.8f);
}

// The slot a fader handle runs in (track rectangle x, 136 .. x + 42, 328).
void FaderSlot(Canvas& c, int x) {
  const Grid& g = c.Pixels();
  const float cx = x + 21.0f;
  const float top = 136 + 17.5f, bottom = 328 - 17.5f;
  for (int i = 0; i <= 10; ++i) {
    const float y = std::round(bottom - (bottom - top) * i / 10.0f) + 0.5f;
    const float len = (i % 5 == 0) ? 9.0f : 6.0f;
    for (int side = -1; side <= 1; side += 2) {
      const float xa = cx + side * 8.0f, xb = cx + side * (8.0f + len);
      const Mask tick =
          Mask::RoundRect(g, std::fmin(xa, xb), y - 0.55f, std::fmax(xa, xb), y + 0.55f, 0.5f);
      c.Paint(tick.Shifted(0, 0.9f), kWhite, 0.5f);
      c.Paint(tick, kInkSoft, 0.9f);
    }
  }
  Well(c, cx - 3.5f, top - 8, cx + 3.5f, bottom + 8, 3.5f,
       Vertical(Hex(0x1B1C1F), Hex(0x2C2E32), top, bottom), 1.3f);
}

// The screen behind an envelope display; the display dodges its curve onto it,
// so it has to be a middle grey for the light line to show.
void EnvelopeScreen(Canvas& c, int x0, int y0, int x1, int y1) {
  const Grid& g = c.Pixels();
  const Mask bezel = Mask::RoundRect(g, x0 - 5, y0 - 5, x1 + 5, y1 + 5, 6);
  c.Paint(bezel.Shifted(0, 1.2f), kWhite, 0.7f);
  c.Paint(bezel, Vertical(Hex(0x3A3C41), Hex(0x26282B), y0 - 5, y1 + 5));
  const Mask screen = Mask::RoundRect(g, x0, y0, x1, y1, 2.5f);
  c.Paint(screen, [=](float x, float y) {
    const float t = (y - y0) / float(y1 - y0);
    const float glow = 0.03f * std::exp(-std::pow((x - (x0 + x1) / 2.0f) / (x1 - x0), 2.0f) * 6);
    Rgba base = Mix(Hex(0x9DA5A9), Hex(0x7F878C), t);
    base.r += glow;
    base.g += glow;
    base.b += glow;
    return base;
  });
  // A fine grid: quarters across, the 90 % level and the baseline.
  for (int i = 1; i < 4; ++i) {
    const float x = std::round(x0 + (x1 - x0) * i / 4.0f) + 0.5f;
    c.Paint(Mask::RoundRect(g, x - 0.5f, y0 + 2, x + 0.5f, y1 - 2, 0), kBlack, 0.10f);
  }
  const float top90 = std::round(y1 - (y1 - y0) * 0.9f) + 0.5f;
  c.Paint(Mask::RoundRect(g, x0 + 2, top90 - 0.5f, x1 - 2, top90 + 0.5f, 0), kBlack, 0.10f);
  c.Paint(screen.Minus(screen.Shifted(0, 2.5f).Blurred(2.0f)), kBlack, 0.45f);
}

void Feather(Canvas& c, float baseX, float baseY) {
  const Grid& g = c.Pixels();
  // A quill: a curved vane along a quadratic spine, then the shaft.
  const Point p0{baseX, baseY}, p1{baseX + 10, baseY - 30}, p2{baseX + 36, baseY - 42};
  auto spine = [&](float t) {
    const float u = 1 - t;
    return Point{u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
                 u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y};
  };
  std::vector<Point> left, right;
  const int steps = 40;
  for (int i = 0; i <= steps; ++i) {
    const float t = 0.18f + 0.82f * i / float(steps);
    const Point p = spine(t);
    const Point q = spine(std::fmin(1.0f, t + 0.01f));
    float nx = -(q.y - p.y), ny = q.x - p.x;
    const float len = std::hypot(nx, ny);
    nx /= len;
    ny /= len;
    const float s = std::sin(float(M_PI) * std::pow((t - 0.18f) / 0.82f, 0.75f));
    left.push_back(Point{p.x + nx * 8.5f * s, p.y + ny * 8.5f * s});
    right.push_back(Point{p.x - nx * 5.0f * s, p.y - ny * 5.0f * s});
  }
  std::vector<Point> outline = left;
  for (int i = int(right.size()) - 1; i >= 0; --i) outline.push_back(right[i]);
  Mask vane = Mask::Polygons(g, {outline});
  // Splits in the vane.
  for (float t : {0.42f, 0.63f, 0.8f}) {
    const Point p = spine(t);
    const Mask cut = Mask::Capsule(g, Point{p.x - 1, p.y - 1}, Point{p.x - 9, p.y + 2.5f}, 0.6f);
    vane = vane.Minus(cut);
  }
  c.Paint(vane.Shifted(0.8f, 1.6f).Blurred(1.5f), kBlack, 0.25f);
  c.Paint(vane, Vertical(Hex(0xF6B25F), Hex(0xC9672A), baseY - 42, baseY - 8));
  std::vector<Point> shaft;
  for (int i = 0; i <= 20; ++i) shaft.push_back(spine(i / 20.0f));
  for (size_t i = 0; i + 1 < shaft.size(); ++i) {
    const float r = 0.5f + 0.6f * (1 - i / 20.0f);
    c.Paint(Mask::Capsule(g, shaft[i], shaft[i + 1], r), kInk, 0.9f);
  }
}

Canvas Background(float scale) {
  Canvas c(kW, kH, scale);
  const Grid& g = c.Pixels();
  // Satin-finished panel: a gentle vertical fall-off and fine horizontal grain.
  c.Fill([](float x, float y) {
    Rgba p = Mix(kPanelTop, kPanelBottom, y / kH);
    const int row = int(y);
    const float grain = 0.006f * Noise(int(x) / 23, row, 1) + 0.004f * Noise(int(x), row, 2);
    p.r += grain;
    p.g += grain;
    p.b += grain;
    return p;
  });
  c.Paint(Mask::RoundRect(g, 1, 1, kW - 1, kH - 1, 0)
              .Minus(Mask::RoundRect(g, 2, 2, kW - 2, kH - 2, 0)),
          kWhite, 0.5f);

  const Rgba plateTop = Hex(0xE4E0DA), plateBottom = Hex(0xD5D0C8);
  // Output column, then the three groups under the header strip.
  Plate(c, 10, 12, 122, 422, 8, plateTop, plateBottom);
  Plate(c, 130, 62, 448, 382, 8, plateTop, plateBottom);
  Plate(c, 456, 62, 774, 382, 8, plateTop, plateBottom);
  Plate(c, 782, 62, 974, 382, 8, plateTop, plateBottom);

  // Footer strip with the MIDI-learn hint, matching the header.
  {
    const Mask strip = Mask::RoundRect(g, 130, 390, 974, 422, 7);
    DropShadow(c, strip, 0, 2.5f, 4, 0.3f);
    c.Paint(strip, Vertical(kStripTop, kStripBottom, 390, 422));
    c.Paint(strip.Minus(strip.Shifted(0, 1.0f)), kWhite, 0.22f);
    c.Paint(strip.Minus(strip.Shifted(0, -1.0f)), kBlack, 0.4f);
    const Mask hint =
        TextMask(g, gSans,
                 "MIDI LEARN:  CLICK  LEARN,  THEN MOVE A CONTROL AND A HARDWARE CONTROLLER"
                 "   \xB7   RIGHT-CLICK  LEARN  FOR  UNLEARN",
                 9.0f, 552, 409.5f, 1.2f, Align::kCentre);
    c.Paint(hint, Hex(0x9A9690));
  }

  // Header strip: the preset button, the product line, the MIDI lamp.
  {
    const Mask strip = Mask::RoundRect(g, 130, 12, 974, 54, 7);
    DropShadow(c, strip, 0, 2.5f, 4, 0.3f);
    c.Paint(strip, Vertical(kStripTop, kStripBottom, 12, 54));
    c.Paint(strip.Minus(strip.Shifted(0, 1.0f)), kWhite, 0.22f);
    c.Paint(strip.Minus(strip.Shifted(0, -1.0f)), kBlack, 0.4f);
    // Preset button well behind the marker (137, 26, 163, 48).
    Well(c, 136, 25, 164, 49, 5, Vertical(Hex(0x1A1B1D), Hex(0x25272A), 25, 49), 1.2f);
    const std::vector<std::vector<Point>> dim = {
        {{143.5f, 33.5f}, {156.5f, 33.5f}, {150.0f, 41.5f}}};
    c.Paint(Mask::Polygons(g, dim), kAccentDim, 0.8f);
    const Mask presets = TextMask(g, gSansBold, "PRESETS", 10.5f, 174, 41.5f, 1.6f, Align::kLeft);
    c.Paint(presets, Hex(0xE6E1D8));
    const Mask tagline =
        TextMask(g, gSans, "GRANULAR  EFFECT", 10.5f, 552, 41.5f, 3.2f, Align::kCentre);
    c.Paint(tagline, Hex(0x9A9690));
    // Lamp housing around (816, 28, 828, 40).
    const Mask housing = Mask::Circle(g, 822, 34, 8.5f);
    c.Paint(housing, Hex(0x141517));
    c.Paint(housing.Minus(housing.Shifted(0, -1.0f)), kWhite, 0.18f);
    const Mask ledOff = Mask::Circle(g, 822, 34, 4.3f);
    c.Paint(ledOff, Vertical(Hex(0x5A3A22), Hex(0x2A1A10), 30, 38));
    const Mask midiIn = TextMask(g, gSansBold, "MIDI IN", 10.5f, 838, 41.5f, 1.6f, Align::kLeft);
    c.Paint(midiIn, Hex(0xE6E1D8));
  }

  // Logo card: the option menu's area (16, 24, 108, 136), version text at the foot.
  {
    Well(c, 17, 22, 115, 138, 6, Vertical(Hex(0xEFECE5), Hex(0xE3DED5), 22, 138), 0.6f);
    Feather(c, 48, 78);
    const Mask word = TextMask(g, gSerif, "Quillet", 21.0f, 66, 100, 0.3f, Align::kCentre);
    c.Paint(word.Shifted(0, 1.0f), kWhite, 0.7f);
    c.Paint(word, kInk);
    c.Paint(Mask::RoundRect(g, 34, 108, 98, 109, 0.5f), kInkSoft, 0.45f);
    Label(c, "OUTPUT", 66, 159, 9.5f, Align::kCentre, kInkSoft, 2.0f);
  }

  // Output knobs and the learn switch.
  KnobScale(c, 30, 166);
  KnobScale(c, 30, 286);
  Label(c, "VOLUME", 62, 246);
  Label(c, "MIX", 62, 366);
  Well(c, 27, 385, 99, 414, 11.5f, Vertical(Hex(0xBDB8AF), Hex(0xCFCAC1), 385, 414), 0.8f);

  // Group titles with a rule to the right.
  auto title = [&](const std::string& text, float x0, float x1) {
    const float width = gSansBold.Measure(text, 12.5f, 2.4f);
    Label(c, text, x0 + 14, 84, 12.5f, Align::kLeft, kInk, 2.4f);
    const Mask rule = Mask::RoundRect(g, x0 + 24 + width, 78.5f, x1 - 14, 79.5f, 0.5f);
    c.Paint(rule.Shifted(0, 1.0f), kWhite, 0.6f);
    c.Paint(rule, kInkSoft, 0.5f);
  };
  title("GRAIN", 130, 448);
  title("FRAME", 456, 774);
  title("MIDI", 782, 974);

  // Grain group.
  Window(c, 140, 101, 206, 121);  // fader read-out (140, 103, 206, 119)
  FaderSlot(c, 152);
  Label(c, "LENGTH", 173, 346);
  Window(c, 244, 96, 308, 128);  // mode menu
  Label(c, "MODE", 276, 142);
  KnobScale(c, 338, 102);
  Label(c, "OVERLAP", 370, 180);
  EnvelopeScreen(c, 250, 189, 392, 271);
  for (int i = 0; i < 3; ++i) KnobScale(c, 218 + 72 * i, 286);
  Label(c, "FADE IN", 250, 366);
  Label(c, "SKEW", 322, 366);
  Label(c, "FADE OUT", 394, 366);

  // Frame group.
  Window(c, 476, 101, 542, 121);
  FaderSlot(c, 488);
  Label(c, "LENGTH", 509, 346);
  Label(c, "HOST SYNC", 610, 180);
  KnobScale(c, 674, 102);
  Label(c, "OVERLAP", 706, 180);
  EnvelopeScreen(c, 586, 189, 728, 271);
  for (int i = 0; i < 3; ++i) KnobScale(c, 554 + 72 * i, 286);
  Label(c, "FADE IN", 586, 366);
  Label(c, "SKEW", 658, 366);
  Label(c, "FADE OUT", 730, 366);

  // MIDI group.
  Label(c, "VOICES", 844, 116, 9.5f, Align::kRight);
  Window(c, 850, 96, 914, 128);
  KnobScale(c, 806, 166);
  KnobScale(c, 894, 166);
  KnobScale(c, 806, 286);
  KnobScale(c, 894, 286);
  Label(c, "ATTACK", 838, 246);
  Label(c, "DECAY", 926, 246);
  Label(c, "SUSTAIN", 838, 366);
  Label(c, "RELEASE", 926, 366);

  return c;
}

bool Write(const Canvas& c, const std::string& path, int zlibLevel) {
  if (!c.WritePng(path, zlibLevel)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  std::printf("%s %dx%d\n", path.c_str(), c.Pixels().width, c.Pixels().height);
  return true;
}

struct Image {
  const char* name;
  Canvas (*paint)(float scale);
};
const Image kImages[] = {
    {"back", Background},
    {"knob", KnobStrip},
    {"switch", SwitchStrip},
    {"handle", Handle},
    {"learn", [](float scale) { return PillStrip(scale, "LEARN", kAccent); }},
    {"unlearn", [](float scale) { return PillStrip(scale, "UNLEARN", Hex(0xE0574A)); }},
    {"led", LedStrip},
    {"triangle", Triangle},
};

struct Options {
  std::string out, fonts = "/usr/share/fonts/truetype/dejavu";
  float scale = 1.0f;
  std::set<std::string> only;  // empty: every image
  int zlibLevel = 9;
};

bool Parse(int argc, char** argv, Options* o) {
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--scale" && i + 1 < argc) {
      char* end = nullptr;
      o->scale = std::strtof(argv[++i], &end);
      // Up to 4: beyond that a strip outgrows what the editor's decoder takes.
      if (*end || !(o->scale >= 0.5f && o->scale <= 4.0f)) return false;
    } else if (arg == "--only" && i + 1 < argc) {
      std::string list = argv[++i];
      for (size_t start = 0; start <= list.size();) {
        const size_t comma = std::min(list.find(',', start), list.size());
        o->only.insert(list.substr(start, comma - start));
        start = comma + 1;
      }
    } else if (arg == "--quick") {
      o->zlibLevel = 1;
    } else if (arg.rfind("--", 0) == 0 || positional == 2) {
      return false;
    } else {
      (positional++ == 0 ? o->out : o->fonts) = arg;
    }
  }
  for (const std::string& name : o->only) {
    bool known = false;
    for (const Image& image : kImages) known |= name == image.name;
    if (!known) return false;
  }
  return positional > 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, &o)) {
    std::fprintf(stderr,
                 "usage: %s OUTPUT_DIR [FONT_DIR] [--scale 0.5..4] [--only NAME,...] [--quick]\n"
                 "names: back knob switch handle learn unlearn led triangle\n",
                 argv[0]);
    return 2;
  }
  if (!gSans.Load(o.fonts + "/DejaVuSansCondensed.ttf") ||
      !gSansBold.Load(o.fonts + "/DejaVuSansCondensed-Bold.ttf") ||
      !gSerif.Load(o.fonts + "/DejaVuSerif-BoldItalic.ttf")) {
    std::fprintf(stderr, "cannot read the DejaVu fonts in %s\n", o.fonts.c_str());
    return 1;
  }
  bool ok = true;
  for (const Image& image : kImages) {
    if (!o.only.empty() && !o.only.count(image.name)) continue;
    ok &= Write(image.paint(o.scale), o.out + "/" + image.name + ".png", o.zlibLevel);
  }
  return ok ? 0 : 1;
}
