// The list of rectangles a redraw pass draws: what is kept apart, what is
// merged, and that every rectangle added stays held whole by one entry.
#include "graphics/IDirtyList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace graphics_test {
namespace {

using graphics::IDirtyList;
using graphics::IRect;

bool Near(const IRect& a, const IRect& b) {
  const int k = IDirtyList::kNearPixels;
  return a.left - k <= b.right && b.left - k <= a.right && a.top - k <= b.bottom &&
         b.top - k <= a.bottom;
}

bool Holds(const IRect& outer, const IRect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

TEST(IDirtyList, KeepsRectanglesApartAndMergesNearOnes) {
  IDirtyList list;
  list.Add(IRect(218, 286, 282, 350));  // a knob
  list.Add(IRect(250, 189, 392, 271));  // an envelope picture 15 pixels above it
  list.Add(IRect(586, 189, 728, 271));  // the other one, far to the right
  ASSERT_EQ(list.Size(), 3);
  EXPECT_EQ(list.Bounds(), IRect(218, 189, 728, 350));
  // Within kNearPixels: merged; the empty rectangle adds nothing.
  list.Add(IRect(290, 286 + 64 + IDirtyList::kNearPixels, 300, 400));
  list.Add(IRect());
  ASSERT_EQ(list.Size(), 3);
  // A rectangle bridging two entries merges all three into one.
  list.Add(IRect(260, 265, 270, 290));
  ASSERT_EQ(list.Size(), 2);
  EXPECT_TRUE(Holds(list[0], IRect(218, 189, 392, 400)) ||
              Holds(list[1], IRect(218, 189, 392, 400)));
  list.Clear();
  EXPECT_EQ(list.Size(), 0);
  EXPECT_EQ(list.Bounds(), IRect());
}

TEST(IDirtyList, AFullListGrowsTheEntryThatGrowsLeast) {
  IDirtyList list;
  for (int i = 0; i < IDirtyList::kMaxRects; ++i) list.Add(IRect(i * 100, 0, i * 100 + 10, 10));
  ASSERT_EQ(list.Size(), IDirtyList::kMaxRects);
  list.Add(IRect(230, 30, 240, 40));  // nearest to the entry at x = 200
  ASSERT_EQ(list.Size(), IDirtyList::kMaxRects);
  int grown = 0;
  for (int i = 0; i < list.Size(); ++i) grown += list[i] == IRect(200, 0, 240, 40);
  EXPECT_EQ(grown, 1);
}

// Random rectangles, many more than the list holds: every one added is held
// whole by an entry (so its control is drawn whole by one pass), and the
// entries never lie near one another.
TEST(IDirtyList, EveryRectangleAddedIsHeldByOneEntry) {
  uint32_t seed = 7;
  auto next = [&seed](int n) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(n));
  };
  for (int round = 0; round < 200; ++round) {
    IDirtyList list;
    std::vector<IRect> added;
    const int n = 1 + next(12);
    for (int i = 0; i < n; ++i) {
      const int x = next(984), y = next(432);
      added.push_back(IRect(x, y, x + next(80), y + 1 + next(80)));
      list.Add(added.back());
    }
    ASSERT_LE(list.Size(), IDirtyList::kMaxRects);
    for (const IRect& r : added) {
      int holders = 0;
      for (int i = 0; i < list.Size(); ++i) holders += Holds(list[i], r);
      EXPECT_GE(holders, 1) << "round " << round;
    }
    for (int i = 0; i < list.Size(); ++i)
      for (int j = i + 1; j < list.Size(); ++j) EXPECT_FALSE(Near(list[i], list[j]));
  }
}

}  // namespace
}  // namespace graphics_test
