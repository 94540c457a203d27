// The numbering of Quillet's parameters, as the host sees it: the index of
// each parameter in the plug-in's list, which is also the index the engine
// takes. Hosts store these numbers in their projects and automation, so they
// never change. The plug-in has 29 slots; the 22 below are used, slots 22 to
// 28 stay uninitialised and mean nothing to the engine.
#pragma once

namespace quillet {

enum ParamIndex : int {
  kVolume = 0,
  kMix,
  kGrainMode,
  kGrainLength,     // milliseconds
  kGrainSync,       // note-length index
  kGrainFrequency,  // Hz
  kGrainOverlap,    // percent
  kGrainFadeIn,
  kGrainSkew,  // -1..1
  kGrainFadeOut,
  kFrameLength,  // milliseconds
  kFrameSync,    // note-length index
  kFrameSyncToHost,
  kFrameOverlap,  // percent
  kFrameFadeIn,
  kFrameSkew,  // -1..1
  kFrameFadeOut,
  kMidiPolyphony,
  kMidiAttack,
  kMidiDecay,
  kMidiSustain,
  kMidiRelease,
  kUsedParamCount  // parameters 0 to 21
};

}  // namespace quillet
