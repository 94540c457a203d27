#include "quillet/ZeroPageBuffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

using quillet::ZeroPageBuffer;

namespace {

constexpr std::size_t kBytes = 64u << 20;  // far more than will be touched
constexpr std::size_t kStride = 1u << 20;  // one write per megabyte

// Writes one byte in every megabyte; returns how many were written.
std::size_t TouchEveryMegabyte(ZeroPageBuffer& buffer) {
  auto* bytes = static_cast<unsigned char*>(buffer.Data());
  std::size_t touched = 0;
  for (std::size_t at = 0; at < buffer.Size(); at += kStride, ++touched) bytes[at] = 1;
  return touched;
}

}  // namespace

TEST(ZeroPageBuffer, GivesZerosOfTheAskedSizeAndFreshOnesAfterReallocating) {
  ZeroPageBuffer buffer;
  EXPECT_EQ(buffer.Data(), nullptr);
  EXPECT_FALSE(buffer.Allocate(0));
  ASSERT_TRUE(buffer.Allocate(kBytes));
  ASSERT_NE(buffer.Data(), nullptr);
  EXPECT_EQ(buffer.Size(), kBytes);
  auto* bytes = static_cast<const unsigned char*>(buffer.Data());
  EXPECT_EQ(bytes[0], 0);
  EXPECT_EQ(bytes[kBytes / 2 + 3], 0);
  EXPECT_EQ(bytes[kBytes - 1], 0);

  TouchEveryMegabyte(buffer);
  // Another allocation of the same size must not hand back the old contents.
  ASSERT_TRUE(buffer.Allocate(kBytes));
  bytes = static_cast<const unsigned char*>(buffer.Data());
  for (std::size_t at = 0; at < kBytes; at += kStride) ASSERT_EQ(bytes[at], 0) << at;

  buffer.Release();
  EXPECT_EQ(buffer.Data(), nullptr);
  EXPECT_EQ(buffer.Size(), 0u);
}

#if defined(__linux__)
TEST(ZeroPageBuffer, OnlyTouchedPagesBecomeResident) {
  ZeroPageBuffer buffer;
  ASSERT_TRUE(buffer.Allocate(kBytes));
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  std::vector<unsigned char> resident(kBytes / page);
  auto countResident = [&] {
    EXPECT_EQ(mincore(buffer.Data(), kBytes, resident.data()), 0);
    std::size_t count = 0;
    for (unsigned char r : resident) count += r & 1;
    return count;
  };
  EXPECT_EQ(countResident(), 0u);
  const std::size_t touched = TouchEveryMegabyte(buffer);
  // One page per write: no huge pages, no read-ahead of zeros.
  EXPECT_EQ(countResident(), touched);
}
#endif
