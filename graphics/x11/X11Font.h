// Text for the editor's own small windows (menus, the text field, message
// boxes), through the drawing layer's native text: a font that fontconfig
// matches for the face name, drawn by FreeType. [main]
#pragma once

#include "lice/LICE_SystemText.h"

namespace graphics {

class X11Font {
 public:
  // heightPx: the character height. Without any font file the drawing layer's
  // built-in font stands in, so there is always a font.
  X11Font(const char* face, int heightPx, bool bold = false, bool italic = false);
  ~X11Font();
  X11Font(const X11Font&) = delete;
  X11Font& operator=(const X11Font&) = delete;

  int TextWidth(const char* text) const;
  int LineHeight() const;
  // One line in r with the drawing layer's format flags (LICE_TEXT_*).
  void Draw(LICE_IBitmap* bitmap, const char* text, const LICE_Rect& r, int format,
            LICE_pixel colour) const;

 private:
  LICE_FontHandle font_;
  int heightPx_;
};

}  // namespace graphics
