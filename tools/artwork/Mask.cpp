#include "Mask.h"

#include <algorithm>
#include <cmath>

namespace {
float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
float Coverage(float distance) { return Clamp01(0.5f - distance); }

// The device pixels around a logical rectangle, with two pixels to spare for
// the anti-aliasing ramp, which reaches half a pixel out.
Box Around(const Grid& g, float x0, float y0, float x1, float y1) {
  const float s = g.scale;
  return Box{int(std::floor(x0 * s)) - 2, int(std::floor(y0 * s)) - 2, int(std::ceil(x1 * s)) + 2,
             int(std::ceil(y1 * s)) + 2}
      .Clipped(g);
}
Box Intersection(const Box& a, const Box& b) {
  return Box{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::max(std::min(a.x1, b.x1), a.x0),
             std::max(std::min(a.y1, b.y1), a.y0)};
}
}  // namespace

Mask::Mask(const Grid& grid, const Box& box)
    : g_(grid),
      box_(box.Clipped(grid)),
      v_(size_t(box_.x1 - box_.x0) * size_t(box_.y1 - box_.y0), 0.0f) {}

Mask Mask::FromDistance(const Grid& g, float x0, float y0, float x1, float y1,
                        const std::function<float(float, float)>& distance) {
  // Distances come in logical pixels; the ramp is one device pixel wide.
  Mask m(g, Around(g, x0, y0, x1, y1));
  const float s = g.scale;
  for (int y = m.box_.y0; y < m.box_.y1; ++y)
    for (int x = m.box_.x0; x < m.box_.x1; ++x)
      m.Ref(x, y) = Coverage(distance((x + 0.5f) / s, (y + 0.5f) / s) * s);
  return m;
}

Mask Mask::RoundRect(const Grid& g, float x0, float y0, float x1, float y1, float radius) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
  return FromDistance(g, x0, y0, x1, y1, [=](float x, float y) {
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
  });
}

Mask Mask::Circle(const Grid& g, float cx, float cy, float radius) {
  return FromDistance(g, cx - radius, cy - radius, cx + radius, cy + radius,
                      [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; });
}

Mask Mask::Arc(const Grid& g, float cx, float cy, float radius, float thickness, float a0Deg,
               float a1Deg) {
  const float a0 = a0Deg * float(M_PI) / 180, a1 = a1Deg * float(M_PI) / 180;
  const Point e0{cx + radius * std::sin(a0), cy - radius * std::cos(a0)};
  const Point e1{cx + radius * std::sin(a1), cy - radius * std::cos(a1)};
  const float outer = radius + thickness / 2;
  return FromDistance(g, cx - outer, cy - outer, cx + outer, cy + outer, [=](float x, float y) {
    const float dx = x - cx, dy = y - cy;
    float phi = std::atan2(dx, -dy);  // clockwise from 12 o'clock, -pi..pi
    // Bring phi into the arc's turn.
    while (phi < a0) phi += 2 * float(M_PI);
    while (phi > a0 + 2 * float(M_PI)) phi -= 2 * float(M_PI);
    if (phi <= a1) return std::fabs(std::hypot(dx, dy) - radius) - thickness / 2;
    return std::min(std::hypot(x - e0.x, y - e0.y), std::hypot(x - e1.x, y - e1.y)) - thickness / 2;
  });
}

Mask Mask::Capsule(const Grid& g, Point a, Point b, float radius) {
  return FromDistance(g, std::min(a.x, b.x) - radius, std::min(a.y, b.y) - radius,
                      std::max(a.x, b.x) + radius, std::max(a.y, b.y) + radius,
                      [=](float x, float y) {
                        const float bax = b.x - a.x, bay = b.y - a.y, pax = x - a.x, pay = y - a.y;
                        const float len2 = bax * bax + bay * bay;
                        const float t = len2 > 0 ? Clamp01((pax * bax + pay * bay) / len2) : 0;
                        return std::hypot(pax - bax * t, pay - bay * t) - radius;
                      });
}

Mask Mask::Polygons(const Grid& g, const std::vector<std::vector<Point>>& contours) {
  // Scanned in device pixels: the contours' logical points times the scale.
  const int w = g.width;
  const float scale = g.scale;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool first = true;
  for (const auto& c : contours) {
    for (const Point& p : c) {
      x0 = first ? p.x : std::min(x0, p.x);
      y0 = first ? p.y : std::min(y0, p.y);
      x1 = first ? p.x : std::max(x1, p.x);
      y1 = first ? p.y : std::max(y1, p.y);
      first = false;
    }
  }
  Mask m(g, Around(g, x0, y0, x1, y1));
  constexpr int kSubRows = 16;
  struct Crossing {
    float x;
    int dir;
  };
  std::vector<Crossing> crossings;
  std::vector<float> row(size_t(w) + 2);
  for (int y = m.box_.y0; y < m.box_.y1; ++y) {
    std::fill(row.begin(), row.end(), 0.0f);
    for (int s = 0; s < kSubRows; ++s) {
      const float sy = y + (s + 0.5f) / kSubRows;
      crossings.clear();
      for (const auto& c : contours) {
        for (size_t i = 0; i < c.size(); ++i) {
          const Point& a = c[i];
          const Point& b = c[(i + 1) % c.size()];
          const Point p{a.x * scale, a.y * scale}, q{b.x * scale, b.y * scale};
          if ((p.y <= sy && q.y > sy) || (q.y <= sy && p.y > sy)) {
            const float x = p.x + (sy - p.y) / (q.y - p.y) * (q.x - p.x);
            crossings.push_back({x, q.y > p.y ? 1 : -1});
          }
        }
      }
      std::sort(crossings.begin(), crossings.end(),
                [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
      int winding = 0;
      for (size_t i = 0; i + 1 < crossings.size(); ++i) {
        winding += crossings[i].dir;
        if (winding == 0) continue;
        float xa = std::max(0.0f, crossings[i].x), xb = std::min(float(w), crossings[i + 1].x);
        for (int x = int(std::floor(xa)); x < w && x < xb; ++x) {
          const float overlap = std::min(xb, float(x + 1)) - std::max(xa, float(x));
          if (overlap > 0) row[x] += overlap / kSubRows;
        }
      }
    }
    for (int x = m.box_.x0; x < m.box_.x1; ++x) m.Ref(x, y) = Clamp01(row[x]);
  }
  return m;
}

Mask Mask::Shifted(float dxLogical, float dyLogical) const {
  const float dx = dxLogical * g_.scale, dy = dyLogical * g_.scale;
  const int ix = int(std::floor(dx)), iy = int(std::floor(dy));
  const float fx = dx - ix, fy = dy - iy;
  // Each pixel mixes its source and the one before it, so the box grows by one.
  Mask m(g_, Box{box_.x0 + ix, box_.y0 + iy, box_.x1 + ix + 1, box_.y1 + iy + 1});
  for (int y = m.box_.y0; y < m.box_.y1; ++y) {
    for (int x = m.box_.x0; x < m.box_.x1; ++x) {
      const int sx = x - ix, sy = y - iy;
      const float a = At(sx, sy), b = At(sx - 1, sy), c = At(sx, sy - 1), d = At(sx - 1, sy - 1);
      m.Ref(x, y) = (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy;
    }
  }
  return m;
}

Mask Mask::Blurred(float radiusLogical) const {
  // Three box passes per axis approximate a Gaussian; each spreads coverage
  // r pixels further.
  const int r = std::max(1, int(std::round(radiusLogical * g_.scale / 1.7f)));
  Mask m(g_, Box{box_.x0 - 3 * r, box_.y0 - 3 * r, box_.x1 + 3 * r, box_.y1 + 3 * r});
  const Box& b = m.box_;
  for (int y = box_.y0; y < box_.y1; ++y)
    for (int x = box_.x0; x < box_.x1; ++x) m.Ref(x, y) = At(x, y);
  std::vector<float> line;
  for (int pass = 0; pass < 3; ++pass) {
    line.assign(size_t(b.x1 - b.x0), 0);
    for (int y = b.y0; y < b.y1; ++y) {
      for (int x = b.x0; x < b.x1; ++x) {
        float sum = 0;
        for (int k = -r; k <= r; ++k) sum += m.At(x + k, y);
        line[x - b.x0] = sum / (2 * r + 1);
      }
      for (int x = b.x0; x < b.x1; ++x) m.Ref(x, y) = line[x - b.x0];
    }
    line.assign(size_t(b.y1 - b.y0), 0);
    for (int x = b.x0; x < b.x1; ++x) {
      for (int y = b.y0; y < b.y1; ++y) {
        float sum = 0;
        for (int k = -r; k <= r; ++k) sum += m.At(x, y + k);
        line[y - b.y0] = sum / (2 * r + 1);
      }
      for (int y = b.y0; y < b.y1; ++y) m.Ref(x, y) = line[y - b.y0];
    }
  }
  return m;
}

Mask Mask::Times(const Mask& o) const {
  Mask m(g_, Intersection(box_, o.box_));
  for (int y = m.box_.y0; y < m.box_.y1; ++y)
    for (int x = m.box_.x0; x < m.box_.x1; ++x) m.Ref(x, y) = At(x, y) * o.At(x, y);
  return m;
}

Mask Mask::Minus(const Mask& o) const {
  Mask m = *this;
  const Box both = Intersection(box_, o.box_);
  for (int y = both.y0; y < both.y1; ++y)
    for (int x = both.x0; x < both.x1; ++x) m.Ref(x, y) *= 1 - o.At(x, y);
  return m;
}

Mask Mask::Plus(const Mask& o) const {
  Mask m(g_, Box{std::min(box_.x0, o.box_.x0), std::min(box_.y0, o.box_.y0),
                 std::max(box_.x1, o.box_.x1), std::max(box_.y1, o.box_.y1)});
  for (int y = m.box_.y0; y < m.box_.y1; ++y)
    for (int x = m.box_.x0; x < m.box_.x1; ++x) m.Ref(x, y) = std::max(At(x, y), o.At(x, y));
  return m;
}

Mask Mask::Scaled(float f) const {
  Mask m = *this;
  for (float& v : m.v_) v = Clamp01(v * f);
  return m;
}
