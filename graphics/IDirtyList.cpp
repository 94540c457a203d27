#include "graphics/IDirtyList.h"

namespace graphics {

namespace {

bool Near(const IRect& a, const IRect& b) {
  const int k = IDirtyList::kNearPixels;
  return a.left - k <= b.right && b.left - k <= a.right && a.top - k <= b.bottom &&
         b.top - k <= a.bottom;
}

long long Area(const IRect& r) { return static_cast<long long>(r.W()) * r.H(); }

}  // namespace

void IDirtyList::Remove(int i) {
  rects_[i] = rects_[count_ - 1];
  --count_;
}

void IDirtyList::Add(const IRect& r) {
  if (r.Empty()) return;
  IRect merged = r;
  for (int i = 0; i < count_;) {
    if (Near(rects_[i], merged)) {
      // The union may reach entries already passed: look at them all again.
      merged = merged.Union(rects_[i]);
      Remove(i);
      i = 0;
    } else {
      ++i;
    }
  }
  if (count_ < kMaxRects) {
    rects_[count_++] = merged;
    return;
  }
  int best = 0;
  long long bestGrowth = 0;
  for (int i = 0; i < count_; ++i) {
    const long long growth = Area(rects_[i].Union(merged)) - Area(rects_[i]);
    if (i == 0 || growth < bestGrowth) {
      best = i;
      bestGrowth = growth;
    }
  }
  merged = merged.Union(rects_[best]);
  Remove(best);
  // The grown entry may now reach others; with one entry free this ends.
  Add(merged);
}

IRect IDirtyList::Bounds() const {
  IRect all;
  for (int i = 0; i < count_; ++i) all = all.Union(rects_[i]);
  return all;
}

}  // namespace graphics
