#pragma once

#include <atomic>

#include "quillet/Envelope.h"
#include "quillet/Frame.h"
#include "quillet/HighPass.h"
#include "quillet/ParamIndex.h"
#include "quillet/VoiceTable.h"

namespace quillet {

// How a grain's length is chosen: the values of the Grain Mode parameter.
enum class GrainMode {
  kMilliseconds = 0,  // "M.SEC": Grain Length
  kSync = 1,          // "SYNC": host tempo and Grain Sync
  kFrequency = 2,     // "FREQ": one cycle of Grain Frequency, interpolated
  kMidi = 3,          // "MIDI": one cycle of each played note, up to 8 voices
};

// The host's tempo and timeline position for one block. The defaults are what a
// host that gives no time information leaves: 120 beats per minute and
// position -1.
struct HostTempo {
  double tempoBpm = 120.0;
  double samplePosition = -1.0;
};

// The complete signal path of the plug-in: eight frames (frame 0 alone outside
// MIDI mode, one per voice in MIDI mode), eight voice envelopes and the voice
// table, the 16 Hz high-pass of the wet pair, and the dry/wet mix and output
// volume.
//
// Per sample: the stereo input goes through frame 0, or through voices 0 to
// polyphony - 1 each weighted by its envelope level (every such frame is ticked
// whether its voice sounds or not); the wet pair passes the high-pass;
// output = ((wet - dry) x mix + dry) x volume.
//
// Tempo sync (mode SYNC, or Frame Sync to Host): at the start of every block the
// synced lengths come from the host tempo and the grid phases from the host
// position, so the grid is re-aligned to the host timeline at every block. The
// phase counts up before each sample; on the sample where it reaches the synced
// length the loop restarts (grain sync: both grains of frame 0 rewind) or every
// frame starts a new grain (frame sync). Because the phase is incremented first,
// the loop restarts on the sample whose host position is one less than a
// multiple of the length.
//
// Robustness: input samples that are not finite, or beyond 1e100 in magnitude,
// enter the grains as 0, so a burst of bad input is never recorded and replayed;
// the dry path passes them on unchanged for those samples only. Parameter values
// that are not finite are ignored. Subnormal arithmetic is flushed to zero for
// the duration of Process.
//
// Threads: every operation runs with the instance lock held. Reset allocates
// (grain buffers, only when the rate changes) and is [main]; Process, the note
// operations and the parameter setters allocate nothing, take no lock and make
// no system call, so they may run on the audio thread.
class GrainEngine {
 public:
  static constexpr int kVoiceCount = 8;
  static constexpr int kNoteCount = 128;
  static constexpr double kDefaultSampleRateHz = 44100.0;

  GrainEngine();
  ~GrainEngine() = default;
  GrainEngine(const GrainEngine&) = delete;
  GrainEngine& operator=(const GrainEngine&) = delete;

  // [main] Before processing starts and after every sample-rate change: note
  // counter and voice tables back to their start, filters and envelopes to the
  // new rate, grain buffers remade when the rate changed. Recordings, positions
  // and counters otherwise survive. Returns false when the rate is not a
  // positive finite number (Process then leaves the outputs untouched until a
  // good reset) or a grain buffer could not be allocated (that grain is silent).
  bool Reset(double sampleRateHz);

  // Applies the plain value of parameter `index` (ParamIndex, as the host
  // numbers it). Returns false, changing nothing, for an index outside 0..21
  // or a value that is not finite. A change of Grain Mode or MIDI Polyphony
  // stops every voice and restarts every frame; the same value again (hosts
  // and controllers resend values, a chunk load resends every parameter)
  // changes nothing.
  bool SetParameter(int index, double plainValue);

  // [audio] Processes `frames` samples of inputs[0..1] into outputs[0..1]. The
  // input and output buffers may be the same. `tempo` is used only when
  // NeedsHostTempo() is true.
  void Process(double** inputs, double** outputs, int frames, const HostTempo& tempo);

  // Whether Process uses the host tempo (mode SYNC or Frame Sync to Host), so
  // the caller asks the host for it only then.
  bool NeedsHostTempo() const { return grainSync_ || frameSyncToHost_; }

  // A note-on in MIDI mode with the note's frequency (from the tuning master or
  // NoteFrequencyTable). A frequency of 0 or less keeps the voice's previous
  // cycle length. Returns false, changing nothing, outside MIDI mode or for a
  // note outside 0..127.
  bool NoteOn(int note, double frequencyHz);
  // Releases every playing voice of `note` (in any mode).
  void NoteOff(int note);
  // Silences every voice at once (no release) and restarts their frames.
  void AllNotesOff();

  GrainMode Mode() const { return mode_; }
  bool IsMidiMode() const { return midi_; }
  // Set by a note-on, cleared by a note-off unless another voice still sounds.
  // Read by the editor's MIDI lamp on the user-interface thread. [any thread]
  bool VoicesActive() const { return voicesActive_.load(std::memory_order_relaxed); }
  int Polyphony() const { return polyphony_; }
  double SampleRateHz() const { return sampleRate_; }
  int SyncedGrainSamples() const { return syncedGrainSamples_; }
  int SyncedFrameSamples() const { return syncedFrameSamples_; }
  int GrainPhase() const { return grainPhase_; }
  int FramePhase() const { return framePhase_; }

  const Frame& GetFrame(int voice) const { return frames_[voice]; }
  const Envelope& GetEnvelope(int voice) const { return envelopes_[voice]; }
  const VoiceTable& Voices() const { return voices_; }

 private:
  void SetGrainMode(double value);
  void SetPolyphony(double value);
  void ApplyHostTempo(const HostTempo& tempo);

  Frame frames_[kVoiceCount];
  Envelope envelopes_[kVoiceCount];
  VoiceTable voices_;
  HighPass highPass_;

  double sampleRate_ = kDefaultSampleRateHz;
  double volume_ = 1.0;
  double mix_ = 1.0;
  GrainMode mode_ = GrainMode::kMilliseconds;
  int modeValue_ = -1;      // integer part of the last Grain Mode value; none yet
  bool grainSync_ = false;  // mode SYNC
  bool frequency_ = false;  // mode FREQ
  bool midi_ = false;       // mode MIDI
  bool frameSyncToHost_ = false;
  std::atomic<bool> voicesActive_{false};
  int polyphony_ = 4;
  int grainSyncIndex_ = 10;  // "1/4"
  int frameSyncIndex_ = 10;
  int syncedGrainSamples_ = 0;
  int syncedFrameSamples_ = 1;
  int grainPhase_ = 0;
  int framePhase_ = 0;
};

}  // namespace quillet
