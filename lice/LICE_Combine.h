#pragma once
// Per-pixel combination of a source pixel into a destination pixel, shared by
// the blit, the fill, the line and the glyph drawing. These run once per pixel
// in the inner loops, which is why they live inline in this header.
//
// WEIGHT CONVENTION
//   w is a weight in 1/256 units: 256 is full strength ((int)(alpha * 256) of
//   the caller's float alpha). Pointers address the four bytes blue, green, red,
//   alpha. Integer divisions truncate toward zero, exactly as the formulas are
//   written; results that could leave 0..255 are clamped.
//
//   copy        d = s + (d - s) * (256 - w) / 256          all four channels
//   copy+alpha  sa = 0 leaves d; w = 256: sa = 255 copies and makes d opaque,
//               else da = min(255, da + sa), d = s + (d - s) * (255 - sa) / 256;
//               other w: k = w * (sa + 1) / 256, da = min(255, da + k),
//               d = s + (d - s) * (256 - k) / 256
//   add         d = d + s * w / 256                         all four channels
//   add+alpha   sa = 0 leaves d; k = w * (sa + 1) / 256; d += s * k / 256,
//               da += sa * k / 256
//   dodge       t = s * w / 256; d = d * 256 / (256 - t), or d * 256 for t > 254
//   dodge+alpha the same with w replaced by w * (sa + 1) / 256
//   multiply    m = d * (s + 1) / 256, d = d + (m - d) * w / 256
//   overlay     the screen/multiply mix by the destination, blended by w

#include <cstdint>

namespace lice_combine {

inline int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
inline uint8_t Blend(int s, int d, int inverseWeight) {
  return static_cast<uint8_t>(Clamp255(s + (d - s) * inverseWeight / 256));
}

struct Copy {
  static void Apply(uint8_t* d, const uint8_t* s, int w) {
    const int inv = 256 - w;
    d[0] = Blend(s[0], d[0], inv);
    d[1] = Blend(s[1], d[1], inv);
    d[2] = Blend(s[2], d[2], inv);
    d[3] = Blend(s[3], d[3], inv);
  }
};

struct CopyAlpha {
  static void Apply(uint8_t* d, const uint8_t* s, int w) {
    const int sa = s[3];
    if (sa == 0) return;
    if (w == 256) {
      if (sa == 255) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        d[3] = 255;
        return;
      }
      const int da = d[3] + sa;
      d[3] = static_cast<uint8_t>(da > 255 ? 255 : da);
      const int inv = 255 - sa;
      d[0] = Blend(s[0], d[0], inv);
      d[1] = Blend(s[1], d[1], inv);
      d[2] = Blend(s[2], d[2], inv);
      return;
    }
    int k = w * (sa + 1) / 256;
    if (k > 256) k = 256;
    const int da = d[3] + k;
    d[3] = static_cast<uint8_t>(da > 255 ? 255 : da);
    const int inv = 256 - k;
    d[0] = Blend(s[0], d[0], inv);
    d[1] = Blend(s[1], d[1], inv);
    d[2] = Blend(s[2], d[2], inv);
  }
};

struct Add {
  static void Apply(uint8_t* d, const uint8_t* s, int w) {
    for (int c = 0; c < 4; ++c) d[c] = static_cast<uint8_t>(Clamp255(d[c] + s[c] * w / 256));
  }
};

struct AddAlpha {
  static void Apply(uint8_t* d, const uint8_t* s, int w) {
    const int sa = s[3];
    if (sa == 0) return;
    const int k = w * (sa + 1) / 256;
    for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(Clamp255(d[c] + s[c] * k / 256));
    d[3] = static_cast<uint8_t>(Clamp255(d[3] + sa * k / 256));
  }
};

struct Dodge {
  static uint8_t Channel(int d, int s, int w) {
    const int t = s * w / 256;
    if (t > 254) return static_cast<uint8_t>(Clamp255(d * 256));
    return static_cast<uint8_t>(Clamp255(d * 256 / (256 - t)));
  }
  static void Apply(uint8_t* d, const uint8_t* s, int w) {
    for (int c = 0; c < 4; ++c) d[c] = Channel(d[c], s[c], w);
  }
};

struct DodgeAlpha {
  static void Apply(uint8_t* d, const uint8_t* s, int w) {
    Dodge::Apply(d, s, w * (s[3] + 1) / 256);
  }
};

struct Multiply {
  static void Apply(uint8_t* d, const uint8_t* s, int w) {
    for (int c = 0; c < 4; ++c) {
      const int m = d[c] * (s[c] + 1) / 256;
      d[c] = static_cast<uint8_t>(Clamp255(d[c] + (m - d[c]) * w / 256));
    }
  }
};

struct MultiplyAlpha {
  static void Apply(uint8_t* d, const uint8_t* s, int w) {
    Multiply::Apply(d, s, w * (s[3] + 1) / 256);
  }
};

struct Overlay {
  static void Apply(uint8_t* d, const uint8_t* s, int w) {
    for (int c = 0; c < 4; ++c) {
      const int dc = d[c];
      const int sc = s[c];
      const int o = dc < 128 ? 2 * dc * sc / 255 : 255 - 2 * (255 - dc) * (255 - sc) / 255;
      d[c] = static_cast<uint8_t>(Clamp255(dc + (o - dc) * w / 256));
    }
  }
};

struct OverlayAlpha {
  static void Apply(uint8_t* d, const uint8_t* s, int w) {
    Overlay::Apply(d, s, w * (s[3] + 1) / 256);
  }
};

// One pixel with the combination chosen at run time; for callers that write
// few pixels (lines, single glyph pixels). Modes without an implementation
// (hue/saturation/value) leave the pixel unchanged.
inline void ApplyMode(int mode, uint8_t* d, const uint8_t* s, int w) {
  const bool useAlpha = (mode & 0x10000) != 0;
  switch (mode & 0xFF) {
    case 0:
      useAlpha ? CopyAlpha::Apply(d, s, w) : Copy::Apply(d, s, w);
      break;
    case 1:
      useAlpha ? AddAlpha::Apply(d, s, w) : Add::Apply(d, s, w);
      break;
    case 2:
      useAlpha ? DodgeAlpha::Apply(d, s, w) : Dodge::Apply(d, s, w);
      break;
    case 3:
      useAlpha ? MultiplyAlpha::Apply(d, s, w) : Multiply::Apply(d, s, w);
      break;
    case 4:
      useAlpha ? OverlayAlpha::Apply(d, s, w) : Overlay::Apply(d, s, w);
      break;
    default:
      break;
  }
}

inline void ColourBytes(uint32_t colour, uint8_t out[4]) {
  out[0] = static_cast<uint8_t>(colour);
  out[1] = static_cast<uint8_t>(colour >> 8);
  out[2] = static_cast<uint8_t>(colour >> 16);
  out[3] = static_cast<uint8_t>(colour >> 24);
}

}  // namespace lice_combine
