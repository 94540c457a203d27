#pragma once
// The two process-wide scratch bitmaps of the cached fonts: one on which
// glyphs are rendered (white on opaque black, at least 256 x 256) and one for
// the system text path on bitmaps without a device context. Both are made on
// first use and deleted when the last cached font goes away.
//
// Editors of several plug-in instances may draw from different threads, so the
// scratch bitmaps have a lock of their own: hold Lock() for as long as a
// scratch bitmap is used.

#include <mutex>

#include "lice/LICE_SysBitmap.h"

class LICE_FontScratch {
 public:
  // Counted by every LICE_CachedFont's constructor and destructor.
  static void AddUser();
  static void RemoveUser();
  static std::recursive_mutex& Lock();

  // Under Lock(): the glyph bitmap, grown to at least minSidePx square (and
  // never below 256). Null when its memory cannot be had.
  static LICE_SysBitmap* GlyphBitmap(int minSidePx);
  // Under Lock(): the text bitmap, at least widthPx x heightPx.
  static LICE_SysBitmap* TextBitmap(int widthPx, int heightPx);
  // Whether either scratch bitmap exists now (for tests of the life cycle).
  static bool Exists();
};
