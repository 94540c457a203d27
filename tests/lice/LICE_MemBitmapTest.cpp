#include "lice/LICE_MemBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(LiceMemBitmap, RowsArePaddedAndBitsAligned) {
  LICE_MemBitmap b(5, 3);
  ASSERT_NE(b.Bits(), nullptr);
  EXPECT_EQ(b.RowSpan(), 8);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(b.Bits()) % 64, 0u);
  EXPECT_EQ(b.AllocatedBytes(), 3u * 8u * 4u);
  EXPECT_EQ(b.DeviceContext(), nullptr);
  EXPECT_EQ(b.Query(1, nullptr), nullptr);
  EXPECT_FALSE(b.IsFlipped());
}

TEST(LiceMemBitmap, ResizeKeepsLargeEnoughBuffersAndGrowsWithHeadroom) {
  LICE_MemBitmap b(8, 8);
  EXPECT_FALSE(b.ResizeTo(8, 8));
  EXPECT_TRUE(b.ResizeTo(4, 4));
  EXPECT_EQ(b.AllocatedBytes(), 256u) << "a smaller size keeps the buffer";
  EXPECT_EQ(b.Width(), 4);
  EXPECT_TRUE(b.ResizeTo(16, 8));
  EXPECT_EQ(b.AllocatedBytes(), 16u * 8u * 4u * 5u / 4u);
  b.Bits()[16 * 8 - 1] = 0xFFFFFFFFu;  // the last pixel is writable
}

TEST(LiceMemBitmap, EmptyNegativeAndAbsurdSizesLeaveNoBits) {
  LICE_MemBitmap empty;
  EXPECT_EQ(empty.Bits(), nullptr);
  EXPECT_EQ(empty.Width(), 0);
  LICE_MemBitmap b(4, 4);
  EXPECT_TRUE(b.ResizeTo(-3, 4));
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);
  EXPECT_TRUE(b.ResizeTo(0x7FFFFFFF, 0x7FFFFFFF));
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);
  EXPECT_TRUE(b.ResizeTo(2, 2));
  EXPECT_NE(b.Bits(), nullptr);
}

}  // namespace
