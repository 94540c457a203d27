#include "lice/LICE_FontScratch.h"

#include <algorithm>
#include <new>

#include "lice/LICE_FillRect.h"
#include "lice/LICE_NeverDestroyed.h"

namespace {
struct Scratch {
  std::recursive_mutex lock;
  int users = 0;
  LICE_SysBitmap* glyph = nullptr;
  LICE_SysBitmap* text = nullptr;
};
// Made on first use and intentionally never destroyed: cached fonts may be
// released late in the library's unload (after function-local statics of
// other files are gone), and they still take this lock.
Scratch& TheScratch() { return LICE_NeverDestroyed<Scratch>(); }
constexpr int kMinGlyphSidePx = 256;
}  // namespace

std::recursive_mutex& LICE_FontScratch::Lock() { return TheScratch().lock; }

void LICE_FontScratch::AddUser() {
  Scratch& s = TheScratch();
  std::lock_guard<std::recursive_mutex> hold(s.lock);
  ++s.users;
}

void LICE_FontScratch::RemoveUser() {
  Scratch& s = TheScratch();
  std::lock_guard<std::recursive_mutex> hold(s.lock);
  if (s.users > 0) --s.users;
  if (s.users == 0) {
    delete s.glyph;
    delete s.text;
    s.glyph = nullptr;
    s.text = nullptr;
  }
}

LICE_SysBitmap* LICE_FontScratch::GlyphBitmap(int minSidePx) {
  Scratch& s = TheScratch();
  const int side = std::max(kMinGlyphSidePx, minSidePx);
  if (!s.glyph) s.glyph = new (std::nothrow) LICE_SysBitmap();
  if (!s.glyph) return nullptr;
  if (s.glyph->Width() < side || s.glyph->Height() < side) {
    s.glyph->ResizeTo(std::max(side, s.glyph->Width()), std::max(side, s.glyph->Height()));
    LICE_FillRect(s.glyph, 0, 0, s.glyph->Width(), s.glyph->Height(), 0xFF000000u, 1.0f,
                  LICE_BLIT_MODE_COPY);
  }
  return s.glyph->Bits() ? s.glyph : nullptr;
}

LICE_SysBitmap* LICE_FontScratch::TextBitmap(int widthPx, int heightPx) {
  Scratch& s = TheScratch();
  if (!s.text) s.text = new (std::nothrow) LICE_SysBitmap();
  if (!s.text) return nullptr;
  if (s.text->Width() != widthPx || s.text->Height() != heightPx)
    s.text->ResizeTo(widthPx, heightPx);
  return s.text->Bits() ? s.text : nullptr;
}

bool LICE_FontScratch::Exists() {
  Scratch& s = TheScratch();
  std::lock_guard<std::recursive_mutex> hold(s.lock);
  return s.glyph != nullptr || s.text != nullptr;
}
