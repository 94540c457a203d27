#include "quillet/SyncTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace st = quillet::SyncTable;

namespace {
constexpr int kSixteenth = 4;  // "1/16"
constexpr int kQuarter = 10;   // "1/4"
}  // namespace

TEST(SyncTable, LengthsAreTruncatedSamples) {
  // 22050 samples per beat: 5512.5 truncated.
  EXPECT_EQ(st::LengthSamples(kSixteenth, 44100.0, 120.0), 5512);
  EXPECT_EQ(st::LengthSamples(kQuarter, 44100.0, 120.0), 22050);
  EXPECT_EQ(st::LengthSamples(2, 44100.0, 120.0), 3675);     // "1/16T"
  EXPECT_EQ(st::LengthSamples(0, 48000.0, 120.0), 1500);     // "1/64"
  EXPECT_EQ(st::LengthSamples(19, 48000.0, 120.0), 384000);  // "4/1"
  // 999 beats per minute: 44100 x 60 / 999 x 0.0625 = 165.5.
  EXPECT_EQ(st::LengthSamples(0, 44100.0, 999.0), 165);
  // 1 beat per minute at 192 kHz, "4/1": 11520000 x 16.
  EXPECT_EQ(st::LengthSamples(19, 192000.0, 1.0), 184320000);
}

TEST(SyncTable, ALengthIsNeverBelowOneSample) {
  EXPECT_EQ(st::LengthSamples(0, 44100.0, 1e9), 1);
  EXPECT_EQ(st::LengthSamples(0, 1e-6, 120.0), 1);
  EXPECT_EQ(st::LengthSamples(19, 192000.0, 1e-9), 1 << 30);  // saturates, no overflow
}

TEST(SyncTable, AnUnusableTempoCountsAs120) {
  const double bad[] = {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity()};
  for (double tempo : bad) EXPECT_EQ(st::LengthSamples(kQuarter, 44100.0, tempo), 22050);
}

TEST(SyncTable, IndexesAreClamped) {
  EXPECT_EQ(st::Beats(-3), 0.0625);
  EXPECT_EQ(st::Beats(20), 16.0);
  EXPECT_EQ(st::Beats(2), 1.0 / 6.0);
  EXPECT_EQ(st::Beats(11), 4.0 / 3.0);
}

TEST(SyncTable, PhaseKeepsTheSignOfThePosition) {
  EXPECT_EQ(st::Phase(-1.0, 5512), -1);
  EXPECT_EQ(st::Phase(0.0, 5512), 0);
  EXPECT_EQ(st::Phase(5511.9, 5512), 5511);
  EXPECT_EQ(st::Phase(5512.0, 5512), 0);
  EXPECT_EQ(st::Phase(-5513.0, 5512), -1);
  EXPECT_EQ(st::Phase(-1.0, 1), 0);
}

TEST(SyncTable, PhaseStaysOnTheGridBeyondThirtyTwoBits) {
  // Eight hours at 192 kHz.
  const double position = 8.0 * 3600.0 * 192000.0;
  EXPECT_EQ(st::Phase(position, 5512), static_cast<int>(5529600000LL % 5512));
  EXPECT_EQ(st::Phase(position + 17.0, 5512), static_cast<int>(5529600017LL % 5512));
}

TEST(SyncTable, AnUnusablePositionCountsAsMinusOne) {
  EXPECT_EQ(st::Phase(std::numeric_limits<double>::quiet_NaN(), 100), -1);
  EXPECT_EQ(st::Phase(std::numeric_limits<double>::infinity(), 100), -1);
  EXPECT_EQ(st::Phase(1e30, 100), static_cast<int>(9000000000000000000LL % 100));
}
