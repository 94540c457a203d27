// The built-in demo input: a drum loop (kick, snare, hi-hats on a sixteenth
// grid) over a chord pad (A minor, F, C, G, one chord per bar), in stereo, at
// the host tempo, so that the tempo-synced programs line up with the beat.
//
// Only additions, multiplications and divisions of doubles are used (no libm
// calls), so every build of the renderer generates bit-identical samples and
// renders of different builds can be compared sample by sample.
#pragma once

#include "tools/render/AudioClip.h"

namespace render {

class DemoSignal {
 public:
  // seconds of the loop at rateHz and tempoBpm, peak normalised to 0.8.
  static AudioClip make(double rateHz, double tempoBpm, double seconds);
};

}  // namespace render
