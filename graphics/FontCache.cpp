#include "graphics/FontCache.h"

#include <cstring>
#include <mutex>
#include <vector>

#include "graphics/IGraphicsTypes.h"
#include "lice/LICE_CachedFont.h"
#include "lice/LICE_NeverDestroyed.h"
#include "plug/TextUtil.h"

namespace graphics {

namespace {

struct Entry {
  int size;
  int orientation;
  ITextStyleWeight style;
  char name[ITextStyle::kFontNameBytes];
  LICE_CachedFont* font;

  bool Matches(const ITextStyle& s) const {
    return size == s.size && orientation == s.orientationDeg && style == s.style &&
           std::strncmp(name, s.fontName, sizeof name - 1) == 0;
  }
};

struct Cache {
  std::mutex lock;
  std::mutex use;
  std::vector<Entry> entries;
};

// Made on first use and intentionally never destroyed (see the header).
Cache& TheCache() { return LICE_NeverDestroyed<Cache>(); }

}  // namespace

LICE_CachedFont* FontCache::Find(const ITextStyle& style) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> hold(cache.lock);
  for (const Entry& e : cache.entries) {
    if (e.Matches(style)) return e.font;
  }
  return nullptr;
}

LICE_CachedFont* FontCache::Insert(const ITextStyle& style, LICE_CachedFont* font) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> hold(cache.lock);
  for (const Entry& e : cache.entries) {
    if (e.Matches(style)) {
      if (e.font != font) delete font;
      return e.font;
    }
  }
  Entry entry{style.size, style.orientationDeg, style.style, {}, font};
  plug::CopyText(entry.name, style.fontName, sizeof entry.name);
  cache.entries.push_back(entry);
  return font;
}

void FontCache::ReleaseAll() {
  Cache& cache = TheCache();
  std::vector<Entry> released;
  {
    std::lock_guard<std::mutex> hold(cache.lock);
    released.swap(cache.entries);
  }
  for (const Entry& e : released) delete e.font;
}

int FontCache::Count() {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> hold(cache.lock);
  return static_cast<int>(cache.entries.size());
}

}  // namespace graphics

namespace graphics {

std::mutex& FontCache::UseLock() { return TheCache().use; }

}  // namespace graphics
