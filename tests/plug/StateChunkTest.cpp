#include "plug/StateChunk.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

using plug::StateChunk;

TEST(StateChunk, ValuesAreLittleEndianAndDoublesBitExact) {
  StateChunk c;
  c.AppendInt(0x70666674);
  const double values[] = {0.1, -0.0, std::numeric_limits<double>::denorm_min(), 1e308, 35.0};
  for (double v : values) c.AppendDouble(v);
  ASSERT_EQ(c.Size(), 4 + 5 * 8);
  EXPECT_EQ(std::memcmp(c.Data(), "tffp", 4), 0);
  int pos = 4;
  for (double v : values) {
    double read = 1.0;
    pos = c.ReadDouble(&read, pos);
    EXPECT_EQ(std::memcmp(&read, &v, sizeof v), 0);
  }
  EXPECT_EQ(pos, c.Size());
  double extra;
  EXPECT_EQ(c.ReadDouble(&extra, pos), -1);
  EXPECT_EQ(c.ReadDouble(&extra, -1), -1);
}

TEST(StateChunk, StringsRoundTripAndTruncationIsDetected) {
  StateChunk c;
  EXPECT_EQ(c.AppendString("user preset 1"), 4 + 13);
  c.AppendString("");
  std::string text = "old";
  int pos = c.ReadString(&text, 0);
  EXPECT_EQ(text, "user preset 1");
  pos = c.ReadString(&text, pos);
  EXPECT_EQ(text, "");
  EXPECT_EQ(pos, c.Size());
  EXPECT_EQ(c.ReadString(&text, pos), -1);  // fewer than four bytes left

  // A length running past the end: position beyond the size, text untouched,
  // and the next read fails.
  StateChunk cut;
  cut.AppendInt(100);
  cut.AppendBytes("abc", 3);
  text = "kept";
  pos = cut.ReadString(&text, 0);
  EXPECT_GT(pos, cut.Size());
  EXPECT_EQ(text, "kept");
  std::int32_t v;
  EXPECT_EQ(cut.ReadInt(&v, pos), -1);
}

TEST(StateChunk, HostileLengthsNeverWalkBackwardsOrOverflow) {
  StateChunk c;
  c.AppendInt(-8);  // would point back at its own length
  c.AppendInt(0);
  std::string text = "kept";
  EXPECT_EQ(c.ReadString(&text, 0), -1);
  EXPECT_EQ(text, "kept");

  StateChunk big;
  big.AppendInt(INT_MAX);
  big.AppendInt(0);
  int pos = big.ReadString(&text, 4 - 4);
  EXPECT_GT(pos, big.Size());  // beyond, not wrapped to a negative number
  EXPECT_EQ(text, "kept");
}

TEST(StateChunk, ResizeZeroFillsAndRejectsNegative) {
  StateChunk c;
  c.Resize(3);
  EXPECT_EQ(c.Size(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(c.Data()[i], 0);
  c.Resize(-5);
  EXPECT_EQ(c.Size(), 0);
}
