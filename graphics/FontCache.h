// The process-wide cache of the editor's fonts, shared by every instance's
// editor: a font is made once per (size, orientation, style, font name).
// Colour, alignment and quality are not part of the key.
//
// The cache has a lock of its own, taken for every lookup and insertion; like
// the bitmap cache, the lock and the list are never destroyed and ReleaseAll
// frees the fonts (library unload).
#pragma once

#include <mutex>

class LICE_CachedFont;

namespace graphics {

struct ITextStyle;

class FontCache {
 public:
  // The cached font for the style's key, or null.
  static LICE_CachedFont* Find(const ITextStyle& style);
  // Caches font (owned from now on) for the style's key and returns what the
  // cache holds for it: when another editor inserted the key meanwhile, its
  // font stays and font is deleted.
  static LICE_CachedFont* Insert(const ITextStyle& style, LICE_CachedFont* font);
  static void ReleaseAll();
  static int Count();
  // Held while a cached font draws or measures: the fonts are shared by every
  // editor of the process, and hosts may run editors on different threads.
  static std::mutex& UseLock();
};

}  // namespace graphics
