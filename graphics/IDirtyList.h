// The rectangles one redraw pass draws and puts on the screen: the dirty
// controls' rectangles in a short list of fixed size, so that a turned knob
// and the pictures that follow it are drawn and copied as a few small areas
// rather than as the one large rectangle around them all.
//
// MERGING
//   A rectangle that overlaps an entry or comes within kNearPixels of it is
//   merged into it (the union), and the union again with every entry it now
//   reaches: the entries never overlap or lie near one another. With the
//   list full, a new rectangle goes into the entry whose area grows least.
//   Every rectangle added is held whole by one entry.
//
// The empty rectangle (see IRect) adds nothing. Nothing here allocates.
#pragma once

#include "graphics/IRect.h"

namespace graphics {

class IDirtyList {
 public:
  static constexpr int kMaxRects = 6;
  // Rectangles closer than this (in either direction) are drawn as one: each
  // pass costs a walk over the controls and a copy to the window.
  static constexpr int kNearPixels = 8;

  void Clear() { count_ = 0; }
  void Add(const IRect& r);
  int Size() const { return count_; }
  const IRect& operator[](int i) const { return rects_[i]; }
  // The union of the entries; the empty rectangle for none.
  IRect Bounds() const;

 private:
  void Remove(int i);

  IRect rects_[kMaxRects];
  int count_ = 0;
};

}  // namespace graphics
