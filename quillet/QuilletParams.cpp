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
  GetParam(quillet::kVolume)->InitContinuous("Volume", 1.0, 0.0, 2.0, 0.1);
  GetParam(quillet::kVolume)->SetDisplayFunction(FormatVolume);
  GetParam(quillet::kMix)->InitContinuous("Mix", 1.0, 0.0, 1.0, 0.01);
  GetParam(quillet::kMix)->SetDisplayFunction(FormatMix);
  InitEnumParam(quillet::kGrainMode, "Grain Mode", 0, 4, kGrainModeTexts);
  GetParam(quillet::kGrainLength)->InitContinuous("Grain Length", 20.0, 0.2, 2000.0, 0.1, "", 4.0);
  InitEnumParam(quillet::kGrainSync, "Grain Sync", kQuarterNote, 20, kSyncTexts);
  GetParam(quillet::kGrainFrequency)
      ->InitContinuous("Grain Frequency", 110.0, 16.0, 5000.0, 0.1, "Hz", 4.0);
  GetParam(quillet::kGrainOverlap)->InitContinuous("Grain Overlap", 0.0, 0.0, 50.0, 1.0);
  GetParam(quillet::kGrainFadeIn)->InitContinuous("Grain Fade-In", 0.0, 0.0, 1.0, 0.01);
  GetParam(quillet::kGrainSkew)->InitContinuous("Grain Skew", 0.0, -1.0, 1.0, 0.01);
  GetParam(quillet::kGrainFadeOut)->InitContinuous("Grain Fade-Out", 0.0, 0.0, 1.0, 0.01);
  GetParam(quillet::kFrameLength)->InitContinuous("Frame Length", 160.0, 0.2, 5000.0, 0.1, "", 4.0);
  InitEnumParam(quillet::kFrameSync, "Frame Sync", kQuarterNote, 20, kSyncTexts);
  GetParam(quillet::kFrameSyncToHost)->InitSwitch("Frame Sync to Host", false);
  GetParam(quillet::kFrameOverlap)->InitContinuous("Frame Overlap", 0.0, 0.0, 50.0, 1.0);
  GetParam(quillet::kFrameFadeIn)->InitContinuous("Frame Fade-In", 0.0, 0.0, 1.0, 0.01);
  GetParam(quillet::kFrameSkew)->InitContinuous("Frame Skew", 0.0, -1.0, 1.0, 0.01);
  GetParam(quillet::kFrameFadeOut)->InitContinuous("Frame Fade-Out", 0.0, 0.0, 1.0, 0.01);
  GetParam(quillet::kMidiPolyphony)->InitInteger("MIDI Polyphony", 4, 1, 8);
  GetParam(quillet::kMidiAttack)->InitContinuous("MIDI Attack", 0.0, 0.0, 1.0, 0.01);
  GetParam(quillet::kMidiDecay)->InitContinuous("MIDI Decay", 0.0, 0.0, 1.0, 0.01);
  GetParam(quillet::kMidiSustain)->InitContinuous("MIDI Sustain", 1.0, 0.0, 1.0, 0.01);
  GetParam(quillet::kMidiRelease)->InitContinuous("MIDI Release", 0.05, 0.0, 1.0, 0.01);
}
