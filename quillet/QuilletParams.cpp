// Quillet's parameters: names, ranges, defaults, steps, shapes, labels, value
// texts and the two display functions.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "plug/TextUtil.h"
#include "quillet/Quillet.h"

namespace {

const char* const kGrainModeTexts[] = {"M.SEC", "SYNC", "FREQ", "MIDI"};

// Note lengths in value order, shortest first (beats in quillet/SyncTable.h).
const char* const kSyncTexts[] = {"1/64", "1/32", "1/16T", "1/32.", "1/16", "1/8T", "1/16.",
                                  "1/8",  "1/4T", "1/8.",  "1/4",   "1/2T", "1/4.", "1/2",
                                  "1/2.", "1/1",  "1/1.",  "2/1",   "2/1.", "4/1"};
constexpr int kQuarterNote = 10;  // "1/4"

// The volume text is at most 7 characters plus the terminator.
constexpr int kVolumeTextCapacity = 8;

}  // namespace

void Quillet::FormatVolume(double gain, char* text) {
  if (!(gain > 0.0)) {
    std::strcpy(text, "-oo");
    return;
  }
  // One decimal, with a '.' whatever the host's locale.
  plug::FormatNumber(20.0 * std::log10(gain), 1, text, kVolumeTextCapacity);
}

void Quillet::FormatMix(double wet, char* text) {
  if (wet == 0.0) {
    std::strcpy(text, "Dry");
  } else if (wet == 1.0) {
    std::strcpy(text, "Wet");
  } else {
    std::snprintf(text, plug::IParameter::kTextCapacity, "%.0f:%.0f", (1.0 - wet) * 100.0,
                  wet * 100.0);
  }
}

void Quillet::InitParams() {
  GetParam(kVolume)->InitContinuous("Volume", 1.0, 0.0, 2.0, 0.1);
  GetParam(kVolume)->SetDisplayFunction(FormatVolume);
  GetParam(kMix)->InitContinuous("Mix", 1.0, 0.0, 1.0, 0.01);
  GetParam(kMix)->SetDisplayFunction(FormatMix);
  InitEnumParam(kGrainMode, "Grain Mode", 0, 4, kGrainModeTexts);
  GetParam(kGrainLength)->InitContinuous("Grain Length", 20.0, 0.2, 2000.0, 0.1, "", 4.0);
  InitEnumParam(kGrainSync, "Grain Sync", kQuarterNote, 20, kSyncTexts);
  GetParam(kGrainFrequency)->InitContinuous("Grain Frequency", 110.0, 16.0, 5000.0, 0.1, "Hz", 4.0);
  GetParam(kGrainOverlap)->InitContinuous("Grain Overlap", 0.0, 0.0, 50.0, 1.0);
  GetParam(kGrainFadeIn)->InitContinuous("Grain Fade-In", 0.0, 0.0, 1.0, 0.01);
  GetParam(kGrainSkew)->InitContinuous("Grain Skew", 0.0, -1.0, 1.0, 0.01);
  GetParam(kGrainFadeOut)->InitContinuous("Grain Fade-Out", 0.0, 0.0, 1.0, 0.01);
  GetParam(kFrameLength)->InitContinuous("Frame Length", 160.0, 0.2, 5000.0, 0.1, "", 4.0);
  InitEnumParam(kFrameSync, "Frame Sync", kQuarterNote, 20, kSyncTexts);
  GetParam(kFrameSyncToHost)->InitSwitch("Frame Sync to Host", false);
  GetParam(kFrameOverlap)->InitContinuous("Frame Overlap", 0.0, 0.0, 50.0, 1.0);
  GetParam(kFrameFadeIn)->InitContinuous("Frame Fade-In", 0.0, 0.0, 1.0, 0.01);
  GetParam(kFrameSkew)->InitContinuous("Frame Skew", 0.0, -1.0, 1.0, 0.01);
  GetParam(kFrameFadeOut)->InitContinuous("Frame Fade-Out", 0.0, 0.0, 1.0, 0.01);
  GetParam(kMidiPolyphony)->InitInteger("MIDI Polyphony", 4, 1, 8);
  GetParam(kMidiAttack)->InitContinuous("MIDI Attack", 0.0, 0.0, 1.0, 0.01);
  GetParam(kMidiDecay)->InitContinuous("MIDI Decay", 0.0, 0.0, 1.0, 0.01);
  GetParam(kMidiSustain)->InitContinuous("MIDI Sustain", 1.0, 0.0, 1.0, 0.01);
  GetParam(kMidiRelease)->InitContinuous("MIDI Release", 0.05, 0.0, 1.0, 0.01);
}
