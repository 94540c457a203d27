#include "lice/LICE_Blit.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "lice/LICE_Combine.h"

namespace {

struct BlitArea {
  LICE_pixel* destRow;
  const LICE_pixel* srcRow;
  int destSpan;
  int srcSpan;
  int width;
  int height;
};

template <class Op>
void BlitWith(const BlitArea& a, int weight) {
  LICE_pixel* d = a.destRow;
  const LICE_pixel* s = a.srcRow;
  for (int y = 0; y < a.height; ++y, d += a.destSpan, s += a.srcSpan) {
    uint8_t* dp = reinterpret_cast<uint8_t*>(d);
    const uint8_t* sp = reinterpret_cast<const uint8_t*>(s);
    for (int x = 0; x < a.width; ++x, dp += 4, sp += 4) Op::Apply(dp, sp, weight);
  }
}

// One pixel of a copy using source alpha at full weight: the same formula as
// lice_combine::CopyAlpha at w = 256; the result lies between s and d, so
// nothing needs clamping.
inline LICE_pixel CopyAlphaFullPixel(LICE_pixel dp, LICE_pixel sp) {
  const uint32_t sa = sp >> 24;
  if (sa == 255) return sp;
  if (sa == 0) return dp;
  const int inv = 255 - static_cast<int>(sa);
  const int sr = (sp >> 16) & 0xFF, sg = (sp >> 8) & 0xFF, sb = sp & 0xFF;
  const int r = sr + (static_cast<int>((dp >> 16) & 0xFF) - sr) * inv / 256;
  const int g = sg + (static_cast<int>((dp >> 8) & 0xFF) - sg) * inv / 256;
  const int b = sb + (static_cast<int>(dp & 0xFF) - sb) * inv / 256;
  uint32_t a = (dp >> 24) + sa;
  if (a > 255) a = 255;
  return (a << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}

#if defined(__SSE2__)
// Two pixels' colour channels (16 bits each) blended as CopyAlphaFullPixel
// does, with inv = 255 - sa per pixel. The product |d - s| * inv fits in 16
// unsigned bits, and truncation toward zero is the magnitude shifted down
// with the sign of d - s put back.
inline __m128i BlendTwo(__m128i s16, __m128i d16, __m128i inv16) {
  const __m128i sAbove = _mm_cmpgt_epi16(s16, d16);
  const __m128i diff = _mm_sub_epi16(_mm_max_epi16(s16, d16), _mm_min_epi16(s16, d16));
  const __m128i q = _mm_srli_epi16(_mm_mullo_epi16(diff, inv16), 8);
  return _mm_add_epi16(s16, _mm_sub_epi16(_mm_xor_si128(q, sAbove), sAbove));
}

// Four pixels at a time: all transparent are skipped, all opaque copied, and
// mixed ones blended as above, alpha as the saturated sum da + sa.
void CopyAlphaFullRow(LICE_pixel* d, const LICE_pixel* s, int width) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i full = _mm_set1_epi32(255);
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    const __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x));
    const __m128i sa = _mm_srli_epi32(sp, 24);
    const __m128i transparent = _mm_cmpeq_epi32(sa, zero);
    const int transparentBits = _mm_movemask_epi8(transparent);
    if (transparentBits == 0xFFFF) continue;
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, full)) == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), sp);
      continue;
    }
    const __m128i dp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + x));
    // inv of each pixel in the four 16-bit lanes of its channels.
    const __m128i inv32 = _mm_sub_epi32(full, sa);
    const __m128i inv = _mm_packs_epi32(inv32, inv32);
    const __m128i invPairs = _mm_unpacklo_epi16(inv, inv);
    const __m128i invLo = _mm_unpacklo_epi32(invPairs, invPairs);
    const __m128i invHi = _mm_unpackhi_epi32(invPairs, invPairs);
    const __m128i lo = BlendTwo(_mm_unpacklo_epi8(sp, zero), _mm_unpacklo_epi8(dp, zero), invLo);
    const __m128i hi = BlendTwo(_mm_unpackhi_epi8(sp, zero), _mm_unpackhi_epi8(dp, zero), invHi);
    const __m128i colour = _mm_andnot_si128(alphaMask, _mm_packus_epi16(lo, hi));
    const __m128i alpha = _mm_and_si128(alphaMask, _mm_adds_epu8(dp, sp));
    __m128i out = _mm_or_si128(colour, alpha);
    if (transparentBits != 0) {
      out = _mm_or_si128(_mm_and_si128(transparent, dp), _mm_andnot_si128(transparent, out));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), out);
  }
  for (; x < width; ++x) d[x] = CopyAlphaFullPixel(d[x], s[x]);
}
#else
void CopyAlphaFullRow(LICE_pixel* d, const LICE_pixel* s, int width) {
  for (int x = 0; x < width; ++x) d[x] = CopyAlphaFullPixel(d[x], s[x]);
}
#endif

// Copy using source alpha at full weight: the editor's most common blit
// (every knob, fader and switch over the background).
void BlitCopyAlphaFull(const BlitArea& a) {
  LICE_pixel* d = a.destRow;
  const LICE_pixel* s = a.srcRow;
  for (int y = 0; y < a.height; ++y, d += a.destSpan, s += a.srcSpan) {
    if (d < s + a.width && s < d + a.width) {
      // A row blitted onto itself: pixel by pixel, in order.
      for (int x = 0; x < a.width; ++x) d[x] = CopyAlphaFullPixel(d[x], s[x]);
    } else {
      CopyAlphaFullRow(d, s, a.width);
    }
  }
}

void BlitChannelCopy(const BlitArea& a, int mode) {
  const int srcChannel = mode & 3;
  const int destChannel = (mode >> 2) & 3;
  LICE_pixel* d = a.destRow;
  const LICE_pixel* s = a.srcRow;
  for (int y = 0; y < a.height; ++y, d += a.destSpan, s += a.srcSpan) {
    uint8_t* dp = reinterpret_cast<uint8_t*>(d);
    const uint8_t* sp = reinterpret_cast<const uint8_t*>(s);
    for (int x = 0; x < a.width; ++x) dp[x * 4 + destChannel] = sp[x * 4 + srcChannel];
  }
}

}  // namespace

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int destX, int destY, float alpha, int mode) {
  if (!src) return;
  LICE_Blit(dest, src, destX, destY, 0, 0, src->Width(), src->Height(), alpha, mode);
}

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int destX, int destY, int srcX, int srcY,
               int srcWidth, int srcHeight, float alpha, int mode) {
  if (!dest || !src || alpha == 0.0f) return;

  // Source rectangle as edges, cut to the source bitmap. 64-bit sums keep a
  // caller's extreme values from wrapping around.
  long long left = srcX, top = srcY;
  long long right = left + srcWidth, bottom = top + srcHeight;
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  if (right > src->Width()) right = src->Width();
  if (bottom > src->Height()) bottom = src->Height();
  long long dx = destX, dy = destY;
  if (dx < 0) {
    left -= dx;
    dx = 0;
  }
  if (dy < 0) {
    top -= dy;
    dy = 0;
  }
  long long width = right - left, height = bottom - top;
  if (width > dest->Width() - dx) width = dest->Width() - dx;
  if (height > dest->Height() - dy) height = dest->Height() - dy;
  if (width <= 0 || height <= 0) return;
  LICE_pixel* destBits = dest->Bits();
  LICE_pixel* srcBits = src->Bits();
  if (!destBits || !srcBits) return;

  BlitArea a;
  a.destSpan = dest->RowSpan();
  a.srcSpan = src->RowSpan();
  a.destRow = destBits + dy * a.destSpan + dx;
  a.srcRow = srcBits + top * a.srcSpan + left;
  a.width = static_cast<int>(width);
  a.height = static_cast<int>(height);

  if ((mode & LICE_BLIT_MODE_MASK) >= LICE_BLIT_MODE_CHANCOPY) {
    BlitChannelCopy(a, mode);
    return;
  }
  mode &= LICE_BLIT_MODE_MASK | LICE_BLIT_USE_ALPHA;

  if (mode == LICE_BLIT_MODE_COPY && alpha == 1.0f) {
    LICE_pixel* d = a.destRow;
    const LICE_pixel* s = a.srcRow;
    // memmove: a bitmap blitted onto itself may overlap.
    if (a.destRow > a.srcRow) {
      d += (a.height - 1) * a.destSpan;
      s += (a.height - 1) * a.srcSpan;
      for (int y = 0; y < a.height; ++y, d -= a.destSpan, s -= a.srcSpan)
        std::memmove(d, s, a.width * 4);
    } else {
      for (int y = 0; y < a.height; ++y, d += a.destSpan, s += a.srcSpan)
        std::memmove(d, s, a.width * 4);
    }
    return;
  }
  if (mode == LICE_BLIT_MODE_COPY && alpha == 0.5f) {
    LICE_pixel* d = a.destRow;
    const LICE_pixel* s = a.srcRow;
    for (int y = 0; y < a.height; ++y, d += a.destSpan, s += a.srcSpan) {
      for (int x = 0; x < a.width; ++x)
        d[x] = ((s[x] >> 1) & 0x7F7F7F7F) + ((d[x] >> 1) & 0x7F7F7F7F);
    }
    return;
  }

  const int weight = static_cast<int>(alpha * 256.0f);
  if (weight == 0) return;
  using namespace lice_combine;
  switch (mode) {
    case LICE_BLIT_MODE_COPY:
      BlitWith<Copy>(a, weight);
      break;
    case LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA:
      if (weight == 256) {
        BlitCopyAlphaFull(a);
      } else {
        BlitWith<CopyAlpha>(a, weight);
      }
      break;
    case LICE_BLIT_MODE_ADD:
      BlitWith<Add>(a, weight);
      break;
    case LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA:
      BlitWith<AddAlpha>(a, weight);
      break;
    case LICE_BLIT_MODE_DODGE:
      BlitWith<Dodge>(a, weight);
      break;
    case LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA:
      BlitWith<DodgeAlpha>(a, weight);
      break;
    case LICE_BLIT_MODE_MUL:
      BlitWith<Multiply>(a, weight);
      break;
    case LICE_BLIT_MODE_MUL | LICE_BLIT_USE_ALPHA:
      BlitWith<MultiplyAlpha>(a, weight);
      break;
    case LICE_BLIT_MODE_OVERLAY:
      BlitWith<Overlay>(a, weight);
      break;
    case LICE_BLIT_MODE_OVERLAY | LICE_BLIT_USE_ALPHA:
      BlitWith<OverlayAlpha>(a, weight);
      break;
    default:
      // Hue/saturation/value adjustment is not part of this layer.
      break;
  }
}
