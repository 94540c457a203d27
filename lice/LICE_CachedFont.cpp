#include "lice/LICE_CachedFont.h"

#include <algorithm>
#include <cstring>

#include "lice/LICE_Blit.h"
#include "lice/LICE_Combine.h"
#include "lice/LICE_FillRect.h"
#include "lice/LICE_FontScratch.h"
#include "lice/LICE_SystemText.h"
#include "lice/LICE_Utf8.h"

namespace {
constexpr int kMaxRenderedLineHeightPx = 1023;
constexpr int kSystemPathLineHeightPx = 255;
constexpr int kFlagsNeedingCache = 0x1F7;
// UTF-16 text of up to this many units is converted on the stack.
constexpr int kFixedWideUnits = 1024;
constexpr int kFixedWideLimit = 999;
}  // namespace

LICE_CachedFont::LICE_CachedFont() { LICE_FontScratch::AddUser(); }

LICE_CachedFont::~LICE_CachedFont() {
  if ((flags_ & LICE_FONT_FLAG_OWNS_HFONT) && font_) LICE_SystemText::FreeFont(font_);
  LICE_FontScratch::RemoveUser();
}

void LICE_CachedFont::ClearCache() {
  for (int c = 0; c < 128; ++c) {
    lowGlyphs_[c] = Glyph();
    lowGlyphs_[c].character = c;
  }
  highGlyphs_.clear();
  heap_.clear();
  renderedGlyphs_ = 0;
}

void LICE_CachedFont::SetFontHandle(LICE_FontHandle font, int flags) {
  if ((flags_ & LICE_FONT_FLAG_OWNS_HFONT) && font_ && font_ != font)
    LICE_SystemText::FreeFont(font_);
  flags_ = flags;
  font_ = font;
  lineHeightPx_ = 0;
  ClearCache();
  if (!font) return;
  {
    std::lock_guard<std::recursive_mutex> hold(LICE_FontScratch::Lock());
    LICE_SysBitmap* scratch = LICE_FontScratch::GlyphBitmap(256);
    lineHeightPx_ = LICE_SystemText::LineHeight(scratch, font);
  }
  if (flags & LICE_FONT_FLAG_PRECALCALL) {
    for (int c = 0; c < 128; ++c) FindGlyph(c);
  }
}

LICE_pixel LICE_CachedFont::SetForeground(LICE_pixel colour) {
  const LICE_pixel previous = foreground_;
  foreground_ = colour;
  return previous;
}

LICE_pixel LICE_CachedFont::SetBackground(LICE_pixel colour) {
  const LICE_pixel previous = background_;
  background_ = colour;
  return previous;
}

LICE_pixel LICE_CachedFont::SetEffectColor(LICE_pixel colour) {
  const LICE_pixel previous = effectColour_;
  effectColour_ = colour;
  return previous;
}

int LICE_CachedFont::SetBackgroundMode(int mode) {
  const int previous = backgroundMode_;
  backgroundMode_ = mode;
  return previous;
}

void LICE_CachedFont::SetCombine(int mode, float alpha) {
  combineMode_ = mode;
  combineAlpha_ = alpha;
}

const LICE_CachedFont::Glyph* LICE_CachedFont::FindGlyph(int character) {
  if (!font_ || character < 0) return nullptr;
  Glyph* glyph = nullptr;
  if (character < 128) {
    glyph = &lowGlyphs_[character];
  } else {
    auto byCode = [](const Glyph& g, int c) { return g.character < c; };
    auto found = std::lower_bound(highGlyphs_.begin(), highGlyphs_.end(), character, byCode);
    if (found != highGlyphs_.end() && found->character == character) {
      glyph = &*found;
    } else {
      Glyph fresh;
      fresh.character = character;
      highGlyphs_.push_back(fresh);
      std::sort(highGlyphs_.begin(), highGlyphs_.end(),
                [](const Glyph& a, const Glyph& b) { return a.character < b.character; });
      glyph = &*std::lower_bound(highGlyphs_.begin(), highGlyphs_.end(), character, byCode);
    }
  }
  if (glyph->heapStart == 0) Render(glyph);
  return glyph;
}

void LICE_CachedFont::Render(Glyph* glyph) {
  glyph->heapStart = -1;
  glyph->widthPx = glyph->heightPx = glyph->advancePx = glyph->offsetPx = 0;
  ++renderedGlyphs_;
  const int lineHeight = lineHeightPx_;
  if (lineHeight <= 0 || lineHeight > kMaxRenderedLineHeightPx) return;

  std::lock_guard<std::recursive_mutex> hold(LICE_FontScratch::Lock());
  LICE_SysBitmap* scratch = LICE_FontScratch::GlyphBitmap(2 * lineHeight + 8);
  if (!scratch) return;
  const uint16_t code = static_cast<uint16_t>(glyph->character);
  LICE_Rect measured = {0, 0, 0, 0};
  LICE_SystemText::DrawWide(scratch, font_, &code, 1, &measured,
                            LICE_TEXT_CALCRECT | LICE_TEXT_NOPREFIX | LICE_TEXT_SINGLELINE,
                            0xFFFFFFFFu, LICE_BACKGROUND_TRANSPARENT, 0);
  const int advance = std::max(0, measured.right - measured.left);
  glyph->advancePx = advance;
  const int margin = lineHeight < 16 ? 2 : lineHeight / 16 + 2;
  const int areaWidth = std::min(advance + 2 * margin, scratch->Width());
  const int areaHeight = std::min(lineHeight, scratch->Height());
  LICE_FillRect(scratch, 0, 0, areaWidth, areaHeight, 0xFF000000u, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_Rect place = {margin, 0, margin + advance, areaHeight};
  LICE_SystemText::DrawWide(scratch, font_, &code, 1, &place,
                            LICE_TEXT_NOPREFIX | LICE_TEXT_SINGLELINE | LICE_TEXT_NOCLIP,
                            0xFFFFFFFFu, LICE_BACKGROUND_TRANSPARENT, 0);

  // Coverage is the red channel; find the columns that have any.
  const LICE_pixel* bits = scratch->Bits();
  const int span = scratch->RowSpan();
  int first = areaWidth, last = -1;
  for (int y = 0; y < areaHeight; ++y) {
    const LICE_pixel* row = bits + y * span;
    for (int x = 0; x < areaWidth; ++x) {
      if (LICE_GETR(row[x]) != 0) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
    }
  }
  if (last < first) return;
  const int width = last - first + 1;
  const size_t start = heap_.size();
  heap_.resize(start + size_t(width) * areaHeight);
  for (int y = 0; y < areaHeight; ++y) {
    const LICE_pixel* row = bits + y * span + first;
    for (int x = 0; x < width; ++x)
      heap_[start + size_t(y) * width + x] = static_cast<unsigned char>(LICE_GETR(row[x]));
  }
  glyph->heapStart = static_cast<int>(start) + 1;
  glyph->widthPx = width;
  glyph->heightPx = areaHeight;
  glyph->offsetPx = first - margin;
}

bool LICE_CachedFont::DrawGlyph(LICE_IBitmap* bitmap, int character, int x, int y,
                                const LICE_Rect* clip) {
  return DrawGlyphAt(bitmap, FindGlyph(character), x, y, clip, combineAlpha_);
}

bool LICE_CachedFont::DrawGlyphAt(LICE_IBitmap* bitmap, const Glyph* glyph, int x, int y,
                                  const LICE_Rect* clip, float alpha) {
  if (!bitmap || !glyph || glyph->heapStart <= 0) return false;
  LICE_pixel* bits = bitmap->Bits();
  if (!bits) return false;
  const int left = x + glyph->offsetPx;
  int x0 = std::max(left, 0), y0 = std::max(y, 0);
  int x1 = std::min(left + glyph->widthPx, bitmap->Width());
  int y1 = std::min(y + glyph->heightPx, bitmap->Height());
  if (clip) {
    x0 = std::max(x0, clip->left);
    y0 = std::max(y0, clip->top);
    x1 = std::min(x1, clip->right);
    y1 = std::min(y1, clip->bottom);
  }
  if (x1 <= x0 || y1 <= y0) return true;

  if (backgroundMode_ == LICE_BACKGROUND_OPAQUE) {
    LICE_FillRect(bitmap, x0, y0, x1 - x0, y1 - y0, background_, alpha,
                  combineMode_ & ~LICE_BLIT_USE_ALPHA);
  }
  const int weight = static_cast<int>(alpha * 256.0f);
  if (weight <= 0) return true;
  const int mode = combineMode_ & LICE_BLIT_MODE_MASK;
  const int cr = LICE_GETR(foreground_), cg = LICE_GETG(foreground_), cb = LICE_GETB(foreground_);
  uint8_t source[4];
  lice_combine::ColourBytes(foreground_, source);
  const int span = bitmap->RowSpan();
  const unsigned char* coverage = heap_.data() + (glyph->heapStart - 1);
  for (int py = y0; py < y1; ++py) {
    const unsigned char* cov = coverage + size_t(py - y) * glyph->widthPx + (x0 - left);
    uint8_t* d = reinterpret_cast<uint8_t*>(bits + py * span + x0);
    for (int px = x0; px < x1; ++px, ++cov, d += 4) {
      const int v = *cov;
      if (v == 0) continue;
      if (mode == LICE_BLIT_MODE_COPY) {
        if (weight == 256) {
          const int inv = 255 - v;
          d[0] = lice_combine::Blend(cb, d[0], inv);
          d[1] = lice_combine::Blend(cg, d[1], inv);
          d[2] = lice_combine::Blend(cr, d[2], inv);
          d[3] = static_cast<uint8_t>(255 - (255 - d[3]) * inv / 256);
        } else {
          const int k = std::min(256, weight * v / 256);
          const int inv = 256 - k;
          d[0] = lice_combine::Blend(cb, d[0], inv);
          d[1] = lice_combine::Blend(cg, d[1], inv);
          d[2] = lice_combine::Blend(cr, d[2], inv);
          d[3] = static_cast<uint8_t>(lice_combine::Clamp255(255 - (255 - d[3]) * inv / 256));
        }
      } else {
        lice_combine::ApplyMode(mode, d, source, std::min(256, weight * v / 256));
      }
    }
  }
  return true;
}

bool LICE_CachedFont::UsesSystemPath(uint32_t drawFlags, bool singleLine) const {
  if (!(flags_ & LICE_FONT_FLAG_FORCE_NATIVE) || !font_ || (drawFlags & LICE_DT_FORCE_CACHE))
    return false;
  if (lineHeightPx_ > kSystemPathLineHeightPx) return true;
  return !LICE_SystemText::RunsUnderWine() && !(drawFlags & LICE_DT_USEFGALPHA) &&
         !(flags_ & kFlagsNeedingCache) && (extraLineSpacingPx_ == 0 || singleLine);
}

int LICE_CachedFont::DrawWithSystem(LICE_IBitmap* bitmap, const char* text, int length,
                                    LICE_Rect* r, uint32_t drawFlags) {
  const int format = static_cast<int>(drawFlags & 0xFFFF) | LICE_TEXT_NOPREFIX;
  uint16_t fixedWide[kFixedWideUnits];
  std::vector<uint16_t> heapWide;
  const uint16_t* wide = nullptr;
  int wideLength = 0;
  if (LICE_Utf8::HasMultiByte(text, length)) {
    wideLength = LICE_Utf8::ToUtf16(text, length, nullptr, 0);
    if (wideLength <= kFixedWideLimit) {
      LICE_Utf8::ToUtf16(text, length, fixedWide, kFixedWideUnits);
      wide = fixedWide;
    } else {
      heapWide.resize(size_t(wideLength));
      LICE_Utf8::ToUtf16(text, length, heapWide.data(), wideLength);
      wide = heapWide.data();
    }
  }
  auto draw = [&](LICE_IBitmap* surface, LICE_Rect* place, int fmt) {
    if (wide) {
      return LICE_SystemText::DrawWide(surface, font_, wide, wideLength, place, fmt, foreground_,
                                       backgroundMode_, background_);
    }
    return LICE_SystemText::DrawNarrow(surface, font_, text, length, place, fmt, foreground_,
                                       backgroundMode_, background_);
  };

  std::lock_guard<std::recursive_mutex> hold(LICE_FontScratch::Lock());
  if (format & LICE_TEXT_CALCRECT) {
    LICE_IBitmap* surface =
        bitmap && bitmap->DeviceContext() ? bitmap : LICE_FontScratch::GlyphBitmap(256);
    return draw(surface, r, format);
  }
  if (bitmap->DeviceContext()) return draw(bitmap, r, format);

  // No device context: draw on a copy of the area and put it back at the
  // combine weight.
  const int left = std::max(r->left, 0), top = std::max(r->top, 0);
  const int right = std::min(r->right, bitmap->Width()),
            bottom = std::min(r->bottom, bitmap->Height());
  if (right <= left || bottom <= top) return 0;
  LICE_SysBitmap* scratch = LICE_FontScratch::TextBitmap(right - left, bottom - top);
  if (!scratch) return 0;
  LICE_Blit(scratch, bitmap, 0, 0, left, top, right - left, bottom - top, 1.0f,
            LICE_BLIT_MODE_COPY);
  LICE_Rect shifted = {r->left - left, r->top - top, r->right - left, r->bottom - top};
  const int height = draw(scratch, &shifted, format);
  LICE_Blit(bitmap, scratch, left, top, 0, 0, right - left, bottom - top, combineAlpha_,
            combineMode_ & ~LICE_BLIT_USE_ALPHA);
  return height;
}

LICE_CachedFont::TextExtent LICE_CachedFont::Measure(const char* text, int length,
                                                     bool singleLine) {
  int lineWidth = 0, widest = 0, lines = 1;
  for (int p = 0; p < length;) {
    int c = LICE_Utf8::Next(text, length, &p);
    if (c == '\r') continue;
    if (c == '\n') {
      if (!singleLine) {
        widest = std::max(widest, lineWidth);
        lineWidth = 0;
        ++lines;
        continue;
      }
      c = ' ';
    }
    const Glyph* glyph = FindGlyph(c);
    if (glyph) lineWidth += glyph->advancePx;
  }
  widest = std::max(widest, lineWidth);
  return TextExtent{widest, lines * lineHeightPx_ + (lines - 1) * extraLineSpacingPx_};
}

int LICE_CachedFont::DrawString(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* r,
                                int flags) {
  const uint32_t drawFlags = static_cast<uint32_t>(flags);
  const bool measureOnly = (drawFlags & LICE_DT_CALCRECT) != 0;
  if ((!bitmap && !measureOnly) || !text || !r) return 0;
  if (length < 0) length = static_cast<int>(std::strlen(text));
  const bool singleLine = (drawFlags & LICE_DT_SINGLELINE) != 0;

  if (UsesSystemPath(drawFlags, singleLine))
    return DrawWithSystem(bitmap, text, length, r, drawFlags);

  float alpha = combineAlpha_;
  if (drawFlags & LICE_DT_USEFGALPHA) alpha *= static_cast<float>(LICE_GETA(foreground_)) / 255.0f;

  const TextExtent extent = Measure(text, length, singleLine);
  if (measureOnly) {
    r->right = r->left + extent.widthPx;
    r->bottom = r->top + extent.heightPx;
    return extent.heightPx;
  }
  int x = r->left, y = r->top;
  if (drawFlags & LICE_DT_CENTER)
    x = r->left + (r->right - r->left - extent.widthPx) / 2;
  else if (drawFlags & LICE_DT_RIGHT)
    x = r->right - extent.widthPx;
  if (drawFlags & LICE_DT_VCENTER)
    y = r->top + (r->bottom - r->top - extent.heightPx) / 2;
  else if (drawFlags & LICE_DT_BOTTOM)
    y = r->bottom - extent.heightPx;

  LICE_Rect clip = {0, 0, bitmap->Width(), bitmap->Height()};
  if (!(drawFlags & LICE_DT_NOCLIP)) {
    clip.left = std::max(clip.left, r->left);
    clip.top = std::max(clip.top, r->top);
    clip.right = std::min(clip.right, r->right);
    clip.bottom = std::min(clip.bottom, r->bottom);
  }
  const int startX = x;
  for (int p = 0; p < length;) {
    int c = LICE_Utf8::Next(text, length, &p);
    if (c == '\r') continue;
    if (c == '\n') {
      if (!singleLine) {
        x = startX;
        y += lineHeightPx_ + extraLineSpacingPx_;
        continue;
      }
      c = ' ';
    }
    const Glyph* glyph = FindGlyph(c);
    if (!glyph) continue;
    DrawGlyphAt(bitmap, glyph, x, y, &clip, alpha);
    x += glyph->advancePx;
  }
  return extent.heightPx;
}
