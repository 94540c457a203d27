#include "graphics/x11/X11Font.h"

#include <cstring>

namespace graphics {

X11Font::X11Font(const char* face, int heightPx, bool bold, bool italic) : heightPx_(heightPx) {
  LICE_FontSpec request;
  request.heightPx = heightPx;
  request.weight = bold ? 700 : 400;
  request.italic = italic;
  request.quality = 2;  // antialiased
  request.face = face;
  font_ = LICE_SystemText::MakeFont(request);
}

X11Font::~X11Font() {
  if (font_) LICE_SystemText::FreeFont(font_);
}

int X11Font::TextWidth(const char* text) const {
  if (!font_ || !text || !text[0]) return 0;
  LICE_Rect r = {0, 0, 0, 0};
  LICE_SystemText::DrawNarrow(nullptr, font_, text, static_cast<int>(std::strlen(text)), &r,
                              LICE_TEXT_CALCRECT | LICE_TEXT_SINGLELINE, 0, 0, 0);
  return r.right - r.left;
}

int X11Font::LineHeight() const {
  return font_ ? LICE_SystemText::LineHeight(nullptr, font_) : heightPx_;
}

void X11Font::Draw(LICE_IBitmap* bitmap, const char* text, const LICE_Rect& r, int format,
                   LICE_pixel colour) const {
  if (!font_ || !bitmap || !text || !text[0]) return;
  LICE_Rect at = r;
  LICE_SystemText::DrawNarrow(bitmap, font_, text, static_cast<int>(std::strlen(text)), &at,
                              format | LICE_TEXT_SINGLELINE, colour, LICE_BACKGROUND_TRANSPARENT,
                              0);
}

}  // namespace graphics
