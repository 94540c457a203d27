// The process-wide cache of decoded editor images, shared by every instance's
// editor: an image is decoded once per process.
//
// Entries are (resource id, owned bitmap) pairs; a bitmap that could not be
// loaded is cached as null, so it is not looked for again. The cache has a
// lock of its own, taken for every lookup and insertion. The lock and the list
// are made on first use and never destroyed, so nothing that runs late in the
// library's unload can meet a destroyed lock; ReleaseAll frees the bitmaps.
#pragma once

class LICE_IBitmap;

namespace graphics {

class BitmapCache {
 public:
  // True when id is cached; *bitmap is then the cached bitmap (null when the
  // image is missing).
  static bool Find(int id, LICE_IBitmap** bitmap);
  // Caches bitmap (owned from now on, may be null) under id and returns what
  // the cache holds for id: when another editor inserted id meanwhile, its
  // entry stays and bitmap is deleted.
  static LICE_IBitmap* Insert(int id, LICE_IBitmap* bitmap);
  // Deletes every bitmap and empties the cache (library unload, tests).
  static void ReleaseAll();
  // Number of cached entries, missing ones included.
  static int Count();
};

}  // namespace graphics
