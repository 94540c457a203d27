#include "quillet/SyncTable.h"

#include <cmath>

#include "quillet/SampleCount.h"

namespace quillet {

namespace {
constexpr double kBeats[SyncTable::kCount] = {
    0.0625, 0.125,     1.0 / 6.0, 0.1875, 0.25, 1.0 / 3.0, 0.375, 0.5, 2.0 / 3.0, 0.75,
    1.0,    4.0 / 3.0, 1.5,       2.0,    3.0,  4.0,       6.0,   8.0, 12.0,      16.0,
};
constexpr double kDefaultTempoBpm = 120.0;
}  // namespace

int SyncTable::ClampIndex(int index) {
  return index < 0 ? 0 : (index >= kCount ? kCount - 1 : index);
}

double SyncTable::Beats(int index) { return kBeats[ClampIndex(index)]; }

int SyncTable::LengthSamples(int index, double sampleRateHz, double tempoBpm) {
  if (!(tempoBpm > 0.0) || !std::isfinite(tempoBpm)) tempoBpm = kDefaultTempoBpm;
  const double samplesPerBeat = sampleRateHz * 60.0 / tempoBpm;
  const int length = SampleCount::FloorClamped(samplesPerBeat * Beats(index));
  return length < 1 ? 1 : length;
}

int SyncTable::Phase(double samplePosition, int lengthSamples) {
  if (lengthSamples < 1) lengthSamples = 1;
  if (!std::isfinite(samplePosition)) samplePosition = -1.0;
  // 64 bits: a position beyond 2^31 samples (about 3 hours at 192 kHz) must
  // still land on the grid.
  double position = std::floor(samplePosition);
  if (position > 9.0e18) position = 9.0e18;
  if (position < -9.0e18) position = -9.0e18;
  return static_cast<int>(static_cast<std::int64_t>(position) % lengthSamples);
}

}  // namespace quillet
