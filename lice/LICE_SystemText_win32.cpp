#include <windows.h>

#include "lice/LICE_SystemText.h"

namespace {

COLORREF ToColorRef(LICE_pixel p) { return RGB(LICE_GETR(p), LICE_GETG(p), LICE_GETB(p)); }

// Selects the font and colours into the surface's context for one call and
// puts the previous font back afterwards.
class ScopedTextContext {
 public:
  ScopedTextContext(HDC dc, HFONT font, LICE_pixel colour, int backgroundMode,
                    LICE_pixel background)
      : dc_(dc) {
    previous_ = SelectObject(dc, font);
    SetTextColor(dc, ToColorRef(colour));
    SetBkMode(dc, backgroundMode == LICE_BACKGROUND_OPAQUE ? OPAQUE : TRANSPARENT);
    if (backgroundMode == LICE_BACKGROUND_OPAQUE) SetBkColor(dc, ToColorRef(background));
  }
  ~ScopedTextContext() {
    // GDI may batch: the pixels must be in the section before anyone reads them.
    GdiFlush();
    SelectObject(dc_, previous_);
  }
  ScopedTextContext(const ScopedTextContext&) = delete;
  ScopedTextContext& operator=(const ScopedTextContext&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace

LICE_FontHandle LICE_SystemText::MakeFont(const LICE_FontSpec& request) {
  static const DWORD kQuality[] = {DEFAULT_QUALITY, NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY,
                                   CLEARTYPE_QUALITY};
  const DWORD quality =
      request.quality >= 0 && request.quality <= 3 ? kQuality[request.quality] : DEFAULT_QUALITY;
  HFONT font = CreateFontA(
      request.heightPx, 0, request.orientationDeg * 10, request.orientationDeg * 10, request.weight,
      request.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH, request.face ? request.face : "");
  return font;
}

void LICE_SystemText::FreeFont(LICE_FontHandle font) {
  if (font) DeleteObject(static_cast<HGDIOBJ>(font));
}

int LICE_SystemText::LineHeight(LICE_IBitmap* surface, LICE_FontHandle font) {
  HDC dc = surface ? static_cast<HDC>(surface->DeviceContext()) : nullptr;
  if (!dc || !font) return 0;
  HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(font));
  TEXTMETRICA metrics = {};
  const BOOL ok = GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  return ok ? metrics.tmHeight : 0;
}

int LICE_SystemText::DrawWide(LICE_IBitmap* surface, LICE_FontHandle font, const uint16_t* text,
                              int length, LICE_Rect* r, int format, LICE_pixel colour,
                              int backgroundMode, LICE_pixel background) {
  HDC dc = surface ? static_cast<HDC>(surface->DeviceContext()) : nullptr;
  if (!dc || !font || !r) return 0;
  ScopedTextContext context(dc, static_cast<HFONT>(font), colour, backgroundMode, background);
  RECT rect = {r->left, r->top, r->right, r->bottom};
  const int height =
      DrawTextW(dc, reinterpret_cast<LPCWSTR>(text), length, &rect, format | DT_NOPREFIX);
  if (format & DT_CALCRECT) *r = LICE_Rect{rect.left, rect.top, rect.right, rect.bottom};
  return height;
}

int LICE_SystemText::DrawNarrow(LICE_IBitmap* surface, LICE_FontHandle font, const char* text,
                                int length, LICE_Rect* r, int format, LICE_pixel colour,
                                int backgroundMode, LICE_pixel background) {
  HDC dc = surface ? static_cast<HDC>(surface->DeviceContext()) : nullptr;
  if (!dc || !font || !r) return 0;
  ScopedTextContext context(dc, static_cast<HFONT>(font), colour, backgroundMode, background);
  RECT rect = {r->left, r->top, r->right, r->bottom};
  const int height = DrawTextA(dc, text, length, &rect, format | DT_NOPREFIX);
  if (format & DT_CALCRECT) *r = LICE_Rect{rect.left, rect.top, rect.right, rect.bottom};
  return height;
}

bool LICE_SystemText::RunsUnderWine() {
  static const bool underWine = [] {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
  }();
  return underWine;
}
