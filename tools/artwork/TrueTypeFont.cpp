#include "TrueTypeFont.h"

#include <cstdio>
#include <cstring>

bool TrueTypeFont::Load(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::fseek(f, 0, SEEK_END);
  data_.resize(size_t(std::ftell(f)));
  std::fseek(f, 0, SEEK_SET);
  const bool ok = std::fread(data_.data(), 1, data_.size(), f) == data_.size();
  std::fclose(f);
  if (!ok) return false;
  const size_t head = Table("head"), hhea = Table("hhea"), cmap = Table("cmap");
  glyf_ = Table("glyf");
  loca_ = Table("loca");
  hmtx_ = Table("hmtx");
  kern_ = Table("kern");
  if (!head || !hhea || !cmap || !glyf_ || !loca_ || !hmtx_) return false;
  unitsPerEm_ = int(U16(head + 18));
  longLoca_ = S16(head + 50);
  hMetrics_ = int(U16(hhea + 34));
  const unsigned subtables = U16(cmap + 2);
  for (unsigned i = 0; i < subtables; ++i) {
    const size_t rec = cmap + 4 + i * 8;
    if (U16(rec) == 3 && U16(rec + 2) == 1) {
      const size_t sub = cmap + U32(rec + 4);
      if (U16(sub) == 4) cmap4_ = sub;
    }
  }
  return cmap4_ != 0;
}

size_t TrueTypeFont::Table(const char* tag) const {
  const unsigned count = U16(4);
  for (unsigned i = 0; i < count; ++i) {
    const size_t rec = 12 + i * 16;
    if (rec + 16 <= data_.size() && std::memcmp(&data_[rec], tag, 4) == 0) return U32(rec + 8);
  }
  return 0;
}

int TrueTypeFont::GlyphIndex(int c) const {
  const unsigned segments = U16(cmap4_ + 6) / 2;
  const size_t ends = cmap4_ + 14, starts = ends + segments * 2 + 2;
  const size_t deltas = starts + segments * 2, offsets = deltas + segments * 2;
  for (unsigned i = 0; i < segments; ++i) {
    if (unsigned(c) > U16(ends + i * 2)) continue;
    const unsigned start = U16(starts + i * 2);
    if (unsigned(c) < start) return 0;
    const unsigned offset = U16(offsets + i * 2);
    if (offset == 0) return (c + S16(deltas + i * 2)) & 0xFFFF;
    const unsigned g = U16(offsets + i * 2 + offset + (c - start) * 2);
    return g ? int((g + S16(deltas + i * 2)) & 0xFFFF) : 0;
  }
  return 0;
}

int TrueTypeFont::Advance(int glyph) const {
  const int i = glyph < hMetrics_ ? glyph : hMetrics_ - 1;
  return int(U16(hmtx_ + i * 4));
}

int TrueTypeFont::Kerning(int left, int right) const {
  if (!kern_ || U16(kern_ + 2) == 0) return 0;
  const size_t sub = kern_ + 4;
  if (U16(sub + 4) >> 8 != 0) return 0;  // format 0 only
  const unsigned pairs = U16(sub + 6);
  const unsigned key = (unsigned(left) << 16) | unsigned(right);
  unsigned lo = 0, hi = pairs;
  while (lo < hi) {
    const unsigned mid = (lo + hi) / 2;
    const size_t rec = sub + 14 + mid * 6;
    const unsigned k = U32(rec);
    if (k == key) return S16(rec + 4);
    if (k < key)
      lo = mid + 1;
    else
      hi = mid;
  }
  return 0;
}

void TrueTypeFont::Outline(int glyph, float scale, float ox, float oy,
                           std::vector<std::vector<Point>>* contours, int depth) const {
  if (depth > 4) return;
  const size_t start = longLoca_ ? U32(loca_ + glyph * 4) : U16(loca_ + glyph * 2) * 2;
  const size_t end = longLoca_ ? U32(loca_ + glyph * 4 + 4) : U16(loca_ + glyph * 2 + 2) * 2;
  if (end <= start) return;
  const size_t g = glyf_ + start;
  const int contourCount = S16(g);
  if (contourCount < 0) {
    // Composite: place each component with its x/y offsets.
    size_t p = g + 10;
    for (;;) {
      const unsigned flags = U16(p), component = U16(p + 2);
      p += 4;
      int dx, dy;
      if (flags & 1) {
        dx = S16(p);
        dy = S16(p + 2);
        p += 4;
      } else {
        dx = static_cast<signed char>(U8(p));
        dy = static_cast<signed char>(U8(p + 1));
        p += 2;
      }
      if (flags & 8)
        p += 2;
      else if (flags & 0x40)
        p += 4;
      else if (flags & 0x80)
        p += 8;
      Outline(int(component), scale, ox + dx * scale, oy - dy * scale, contours, depth + 1);
      if (!(flags & 0x20)) break;
    }
    return;
  }
  std::vector<int> ends;
  for (int i = 0; i < contourCount; ++i) ends.push_back(int(U16(g + 10 + i * 2)));
  const int points = ends.empty() ? 0 : ends.back() + 1;
  size_t p = g + 10 + contourCount * 2;
  p += 2 + U16(p);  // skip instructions
  std::vector<unsigned char> flags;
  while (int(flags.size()) < points) {
    const unsigned char f = static_cast<unsigned char>(U8(p++));
    flags.push_back(f);
    if (f & 8) {
      unsigned repeat = U8(p++);
      while (repeat-- && int(flags.size()) < points) flags.push_back(f);
    }
  }
  std::vector<int> xs(points), ys(points);
  int v = 0;
  for (int i = 0; i < points; ++i) {
    if (flags[i] & 2) {
      v += (flags[i] & 16) ? int(U8(p)) : -int(U8(p));
      ++p;
    } else if (!(flags[i] & 16)) {
      v += S16(p);
      p += 2;
    }
    xs[i] = v;
  }
  v = 0;
  for (int i = 0; i < points; ++i) {
    if (flags[i] & 4) {
      v += (flags[i] & 32) ? int(U8(p)) : -int(U8(p));
      ++p;
    } else if (!(flags[i] & 32)) {
      v += S16(p);
      p += 2;
    }
    ys[i] = v;
  }
  int first = 0;
  for (int e : ends) {
    const int n = e - first + 1;
    auto pt = [&](int i) {
      const int k = first + (i % n + n) % n;
      return Point{ox + xs[k] * scale, oy - ys[k] * scale};
    };
    auto on = [&](int i) { return (flags[first + (i % n + n) % n] & 1) != 0; };
    // Start at an on-curve point (or the midpoint of two off-curve ones).
    int s = 0;
    while (s < n && !on(s)) ++s;
    Point startPoint = s < n ? pt(s) : Point{(pt(0).x + pt(1).x) / 2, (pt(0).y + pt(1).y) / 2};
    if (s == n) s = 0;
    std::vector<Point> poly{startPoint};
    Point current = startPoint;
    for (int i = 1; i <= n; ++i) {
      const int idx = s + i;
      if (on(idx)) {
        current = pt(idx);
        poly.push_back(current);
        continue;
      }
      const Point control = pt(idx);
      const Point next =
          on(idx + 1) ? pt(idx + 1)
                      : Point{(control.x + pt(idx + 1).x) / 2, (control.y + pt(idx + 1).y) / 2};
      for (int k = 1; k <= 6; ++k) {
        const float t = k / 6.0f, u = 1 - t;
        poly.push_back(Point{u * u * current.x + 2 * u * t * control.x + t * t * next.x,
                             u * u * current.y + 2 * u * t * control.y + t * t * next.y});
      }
      current = next;
      if (on(idx + 1)) ++i;
    }
    contours->push_back(poly);
    first = e + 1;
  }
}

float TrueTypeFont::Layout(const std::string& text, float sizePx, float x, float baselineY,
                           float trackingPx, std::vector<std::vector<Point>>* contours) const {
  const float scale = sizePx / unitsPerEm_;
  float pen = x;
  int previous = -1;
  for (unsigned char ch : text) {
    const int glyph = GlyphIndex(ch);
    if (previous >= 0) pen += Kerning(previous, glyph) * scale;
    if (contours) Outline(glyph, scale, pen, baselineY, contours, 0);
    pen += Advance(glyph) * scale + trackingPx;
    previous = glyph;
  }
  return pen - x - (text.empty() ? 0 : trackingPx);
}

float TrueTypeFont::Measure(const std::string& text, float sizePx, float trackingPx) const {
  return Layout(text, sizePx, 0, 0, trackingPx, nullptr);
}
