#include "graphics/BitmapCache.h"

#include <mutex>
#include <vector>

#include "lice/LICE_IBitmap.h"
#include "lice/LICE_NeverDestroyed.h"

namespace graphics {

namespace {

struct Entry {
  int id;
  LICE_IBitmap* bitmap;
};

struct Cache {
  std::mutex lock;
  std::vector<Entry> entries;
};

// Made on first use and intentionally never destroyed (see the header).
Cache& TheCache() { return LICE_NeverDestroyed<Cache>(); }

}  // namespace

bool BitmapCache::Find(int id, LICE_IBitmap** bitmap) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> hold(cache.lock);
  for (const Entry& e : cache.entries) {
    if (e.id == id) {
      *bitmap = e.bitmap;
      return true;
    }
  }
  return false;
}

LICE_IBitmap* BitmapCache::Insert(int id, LICE_IBitmap* bitmap) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> hold(cache.lock);
  for (const Entry& e : cache.entries) {
    if (e.id == id) {
      if (e.bitmap != bitmap) delete bitmap;
      return e.bitmap;
    }
  }
  cache.entries.push_back(Entry{id, bitmap});
  return bitmap;
}

void BitmapCache::ReleaseAll() {
  Cache& cache = TheCache();
  std::vector<Entry> released;
  {
    std::lock_guard<std::mutex> hold(cache.lock);
    released.swap(cache.entries);
  }
  for (const Entry& e : released) delete e.bitmap;
}

int BitmapCache::Count() {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> hold(cache.lock);
  return static_cast<int>(cache.entries.size());
}

}  // namespace graphics
