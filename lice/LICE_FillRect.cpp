#include "lice/LICE_FillRect.h"

#include "lice/LICE_Combine.h"

LICE_pixel LICE_CopyPixelWeighted(LICE_pixel d, LICE_pixel c, int k) {
  switch (k) {
    case 256:
      return c;
    case 128:
      return ((c >> 1) & 0x7F7F7F7F) + ((d >> 1) & 0x7F7F7F7F);
    case 64:
      return ((d >> 1) & 0x7F7F7F7F) + ((d >> 2) & 0x3F3F3F3F) + ((c >> 2) & 0x3F3F3F3F);
    case 192:
      return ((c >> 1) & 0x7F7F7F7F) + ((c >> 2) & 0x3F3F3F3F) + ((d >> 2) & 0x3F3F3F3F);
    default: {
      uint8_t s[4];
      lice_combine::ColourBytes(c, s);
      lice_combine::Copy::Apply(reinterpret_cast<uint8_t*>(&d), s, k);
      return d;
    }
  }
}

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int width, int height, LICE_pixel colour,
                   float alpha, int mode) {
  if (!dest) return;
  if (mode & LICE_BLIT_USE_ALPHA) alpha = alpha * static_cast<float>(LICE_GETA(colour)) / 255.0f;
  long long left = x, top = y, right = left + width, bottom = top + height;
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  if (right > dest->Width()) right = dest->Width();
  if (bottom > dest->Height()) bottom = dest->Height();
  if (alpha == 0.0f || right <= left || bottom <= top) return;
  LICE_pixel* bits = dest->Bits();
  if (!bits) return;
  const int span = dest->RowSpan();
  const int w = static_cast<int>(right - left);
  const int h = static_cast<int>(bottom - top);
  LICE_pixel* row = bits + top * span + left;
  const int k = static_cast<int>(alpha * 256.0f);
  if (k == 0) return;

  if ((mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY) {
    for (int j = 0; j < h; ++j, row += span) {
      if (k == 256) {
        for (int i = 0; i < w; ++i) row[i] = colour;
      } else {
        for (int i = 0; i < w; ++i) row[i] = LICE_CopyPixelWeighted(row[i], colour, k);
      }
    }
    return;
  }
  uint8_t s[4];
  lice_combine::ColourBytes(colour, s);
  const int combine = mode & LICE_BLIT_MODE_MASK;
  for (int j = 0; j < h; ++j, row += span) {
    uint8_t* p = reinterpret_cast<uint8_t*>(row);
    for (int i = 0; i < w; ++i, p += 4) lice_combine::ApplyMode(combine, p, s, k);
  }
}
