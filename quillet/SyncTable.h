#pragma once

#include <cstdint>

namespace quillet {

// Note lengths for tempo sync, indexed by the Grain Sync and Frame Sync values,
// in quarter-note beats, ordered by length:
//
//   0 1/64   0.0625   5 1/8T  1/3     10 1/4   1     15 1/1   4
//   1 1/32   0.125    6 1/16. 0.375   11 1/2T  4/3   16 1/1.  6
//   2 1/16T  1/6      7 1/8   0.5     12 1/4.  1.5   17 2/1   8
//   3 1/32.  0.1875   8 1/4T  2/3     13 1/2   2     18 2/1.  12
//   4 1/16   0.25     9 1/8.  0.75    14 1/2.  3     19 4/1   16
//
// Samples from beats: samples per beat s = rate x 60 / tempo, and a note of b
// beats lasts truncate(s x b) samples, never less than 1 (so the tempo grid's
// modulo is always defined). 1/16 at 120 beats per minute and 44100 Hz is 5512.
namespace SyncTable {
constexpr int kCount = 20;

// Beats of note length `index`; an index outside 0..19 is clamped.
double Beats(int index);

// Clamps a sync index into 0..19.
int ClampIndex(int index);

// Length of note `index` in whole samples, at least 1 and at most
// SampleCount::kMax. A tempo that is not a positive finite number counts as
// 120 beats per minute.
int LengthSamples(int index, double sampleRateHz, double tempoBpm);

// Where `samplePosition` lies on a grid of `lengthSamples`: floor(position)
// modulo the length, the remainder taking the sign of the position (so
// position -1, which hosts report when they give no position, gives -1). A
// position that is not finite counts as -1.
int Phase(double samplePosition, int lengthSamples);
}  // namespace SyncTable

}  // namespace quillet
