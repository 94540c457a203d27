#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "lice/LICE_BuiltinFace.h"
#include "lice/LICE_FreeTypeFace.h"
#include "lice/LICE_SystemText.h"
#include "lice/LICE_TextPainter.h"
#include "lice/LICE_Utf8.h"

// The native text drawing: a font handle is a LICE_TextFace, normally a font
// file that fontconfig picked, drawn by FreeType. Lines are laid out here the
// way the system's text drawing does it on Windows:
//
//   line breaks    CR, LF and CR LF each end a line, except with
//                  LICE_TEXT_SINGLELINE; a break at the very end adds no line
//   extent         the widest line's advances by the number of lines times
//                  the line height; LICE_TEXT_CALCRECT stores it into the
//                  rectangle (left and top kept) and draws nothing
//   alignment      CENTER and RIGHT per line; VCENTER and BOTTOM only for
//                  single-line text
//   return value   the offset from the rectangle's top to the bottom of the
//                  text, which is the text's height unless it was moved down
//   background     OPAQUE fills each line's box with the background colour
//   clipping       to the rectangle, or only to the surface with NOCLIP
//
// Prefix characters are never interpreted (the Windows body adds the
// no-prefix flag to every call, too).

namespace {

constexpr int kMaxHeightPx = 2048;

LICE_TextFace* FaceOf(LICE_FontHandle font) { return static_cast<LICE_TextFace*>(font); }

// A line as a range of characters, with its width.
struct TextLine {
  size_t begin;
  size_t end;
  int widthPx;
};

std::vector<TextLine> BreakLines(LICE_TextFace& face, const std::vector<int>& text,
                                 bool singleLine) {
  std::vector<TextLine> lines;
  size_t begin = 0;
  for (size_t i = 0; i < text.size() && !singleLine; ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(TextLine{begin, i, 0});
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    begin = i + 1;
  }
  if (begin < text.size()) lines.push_back(TextLine{begin, text.size(), 0});
  for (TextLine& line : lines)
    for (size_t c = line.begin; c < line.end; ++c) line.widthPx += face.AdvancePx(text[c]);
  return lines;
}

int DrawCharacters(LICE_IBitmap* surface, LICE_FontHandle font, const std::vector<int>& text,
                   LICE_Rect* r, int format, LICE_pixel colour, int backgroundMode,
                   LICE_pixel background) {
  if (!font || !r) return 0;
  LICE_TextFace& face = *FaceOf(font);
  std::lock_guard<std::mutex> hold(face.Lock());
  const bool singleLine = (format & LICE_TEXT_SINGLELINE) != 0;
  const std::vector<TextLine> lines = BreakLines(face, text, singleLine);
  const int lineHeight = face.LineHeightPx();
  int widthPx = 0;
  for (const TextLine& line : lines) widthPx = std::max(widthPx, line.widthPx);
  const int heightPx = int(lines.size()) * lineHeight;
  if (format & LICE_TEXT_CALCRECT) {
    r->right = r->left + widthPx;
    r->bottom = r->top + heightPx;
    return heightPx;
  }

  int y = r->top;
  if (singleLine && (format & LICE_TEXT_VCENTER))
    y = r->top + (r->bottom - r->top - heightPx) / 2;
  else if (singleLine && (format & LICE_TEXT_BOTTOM))
    y = r->bottom - heightPx;
  const int drawnHeight = y + heightPx - r->top;
  if (!surface || !surface->Bits()) return drawnHeight;

  LICE_Rect clip = {0, 0, surface->Width(), surface->Height()};
  if (!(format & LICE_TEXT_NOCLIP)) {
    clip.left = std::max(clip.left, r->left);
    clip.top = std::max(clip.top, r->top);
    clip.right = std::min(clip.right, r->right);
    clip.bottom = std::min(clip.bottom, r->bottom);
  }
  if (clip.right <= clip.left || clip.bottom <= clip.top) return drawnHeight;
  LICE_TextPainter painter(surface, clip, colour);
  for (const TextLine& line : lines) {
    int x = r->left;
    if (format & LICE_TEXT_CENTER)
      x = r->left + (r->right - r->left - line.widthPx) / 2;
    else if (format & LICE_TEXT_RIGHT)
      x = r->right - line.widthPx;
    if (backgroundMode == LICE_BACKGROUND_OPAQUE)
      painter.Fill(LICE_Rect{x, y, x + line.widthPx, y + lineHeight}, background);
    for (size_t c = line.begin; c < line.end; ++c) x += face.DrawGlyph(text[c], x, y, painter);
    y += lineHeight;
  }
  return drawnHeight;
}

}  // namespace

LICE_FontHandle LICE_SystemText::MakeFont(const LICE_FontSpec& request) {
  // Heights beyond any screen are drawn at the largest one: a glyph's bitmap
  // stays a few megabytes, and the height's sign can be flipped safely.
  LICE_FontSpec sized = request;
  sized.heightPx = std::max(-kMaxHeightPx, std::min(request.heightPx, kMaxHeightPx));
  LICE_TextFace* face = LICE_FreeTypeFace::Open(sized);
  if (!face) face = new (std::nothrow) LICE_BuiltinFace(sized.heightPx, sized.weight >= 600);
  return face;
}

void LICE_SystemText::FreeFont(LICE_FontHandle font) { delete FaceOf(font); }

int LICE_SystemText::LineHeight(LICE_IBitmap* surface, LICE_FontHandle font) {
  return font ? FaceOf(font)->LineHeightPx() : 0;
}

int LICE_SystemText::DrawWide(LICE_IBitmap* surface, LICE_FontHandle font, const uint16_t* text,
                              int length, LICE_Rect* r, int format, LICE_pixel colour,
                              int backgroundMode, LICE_pixel background) {
  if (text && length < 0) {
    length = 0;
    while (text[length]) ++length;
  }
  // UTF-16: a surrogate pair is one character; a lone surrogate stands for itself.
  std::vector<int> codes;
  for (int i = 0; text && i < length; ++i) {
    const int unit = text[i];
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      codes.push_back(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      codes.push_back(unit);
    }
  }
  return DrawCharacters(surface, font, codes, r, format, colour, backgroundMode, background);
}

int LICE_SystemText::DrawNarrow(LICE_IBitmap* surface, LICE_FontHandle font, const char* text,
                                int length, LICE_Rect* r, int format, LICE_pixel colour,
                                int backgroundMode, LICE_pixel background) {
  if (text && length < 0) length = int(std::strlen(text));
  // UTF-8 where it is well-formed, any other byte for itself.
  std::vector<int> codes;
  for (int p = 0; text && p < length;) codes.push_back(LICE_Utf8::Next(text, length, &p));
  return DrawCharacters(surface, font, codes, r, format, colour, backgroundMode, background);
}

bool LICE_SystemText::RunsUnderWine() { return false; }
