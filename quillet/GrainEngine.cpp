#include "quillet/GrainEngine.h"

#include <cmath>

#include "quillet/ScopedDenormalFlush.h"
#include "quillet/SyncTable.h"

namespace quillet {

namespace {
// Magnitude above which an input sample is treated as garbage for the grains:
// far above any real signal, far below where the interpolation could overflow.
constexpr double kMaxUsableSample = 1e100;

inline double Usable(double x) {
  // Written so that not-a-number fails the comparison too.
  return std::fabs(x) <= kMaxUsableSample ? x : 0.0;
}

// The integer part of a finite value, kept within int range.
inline int IntegerPart(double v) {
  if (v > 1e9) return 1000000000;
  if (v < -1e9) return -1000000000;
  return static_cast<int>(v);
}

inline double Clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }
}  // namespace

GrainEngine::GrainEngine() = default;

bool GrainEngine::Reset(double sampleRateHz) {
  if (!(sampleRateHz > 0.0) || !std::isfinite(sampleRateHz)) {
    sampleRate_ = -1.0;
    return false;
  }
  sampleRate_ = sampleRateHz;
  voices_.Reset();
  highPass_.SetSampleRate(sampleRateHz);
  highPass_.Recalculate();
  bool ok = true;
  for (int v = 0; v < kVoiceCount; ++v) {
    if (!frames_[v].SetSampleRate(sampleRateHz)) ok = false;
    envelopes_[v].Reset(sampleRateHz);
  }
  return ok;
}

bool GrainEngine::SetParameter(int index, double v) {
  if (index < 0 || index >= kUsedParamCount || !std::isfinite(v)) return false;

  switch (index) {
    case kVolume:
      volume_ = v;
      break;
    case kMix:
      mix_ = v;
      break;
    case kGrainMode:
      SetGrainMode(v);
      break;
    case kGrainLength:
      frames_[0].SetGrainLengthSeconds(v * 0.001);
      frames_[0].Recalculate();
      break;
    case kGrainSync:
      grainSyncIndex_ = SyncTable::ClampIndex(IntegerPart(v));
      break;
    case kGrainFrequency:
      frames_[0].SetFrequencyHz(v);
      frames_[0].Recalculate();
      break;
    case kGrainOverlap:
      for (Frame& frame : frames_) {
        frame.GrainA().SetOverlapPercent(v);
        frame.GrainB().SetOverlapPercent(v);
      }
      break;
    case kGrainFadeIn:
      for (Frame& frame : frames_) frame.SetGrainFadeIn(v);
      break;
    case kGrainSkew:
      for (Frame& frame : frames_) {
        frame.GrainA().SetGrainSkew(Clamp01((v + 1.0) * 0.5));
        frame.GrainB().SetGrainSkew(Clamp01((v + 1.0) * 0.5));
      }
      break;
    case kGrainFadeOut:
      for (Frame& frame : frames_) frame.SetGrainFadeOut(v);
      break;
    case kFrameLength:
      for (Frame& frame : frames_) {
        frame.SetFrameLengthSeconds(v * 0.001);
        frame.Recalculate();
      }
      break;
    case kFrameSync:
      frameSyncIndex_ = SyncTable::ClampIndex(IntegerPart(v));
      break;
    case kFrameSyncToHost:
      frameSyncToHost_ = v >= 0.5;
      for (Frame& frame : frames_) {
        frame.SetFrameSync(frameSyncToHost_);
        frame.Recalculate();
      }
      break;
    case kFrameOverlap:
      for (Frame& frame : frames_) {
        frame.SetOverlapPercent(v);
        frame.Recalculate();
      }
      break;
    case kFrameFadeIn:
      for (Frame& frame : frames_) frame.SetFrameFadeIn(v);
      break;
    case kFrameSkew:
      for (Frame& frame : frames_) {
        frame.GrainA().SetFrameSkew(Clamp01((v + 1.0) * 0.5));
        frame.GrainB().SetFrameSkew(Clamp01((v + 1.0) * 0.5));
      }
      break;
    case kFrameFadeOut:
      for (Frame& frame : frames_) frame.SetFrameFadeOut(v);
      break;
    case kMidiPolyphony:
      SetPolyphony(v);
      break;
    case kMidiAttack:
      for (Envelope& envelope : envelopes_) envelope.SetAttack(v);
      break;
    case kMidiDecay:
      for (Envelope& envelope : envelopes_) envelope.SetDecay(v);
      break;
    case kMidiSustain:
      for (Envelope& envelope : envelopes_) envelope.SetSustain(v);
      break;
    case kMidiRelease:
      for (Envelope& envelope : envelopes_) envelope.SetRelease(v);
      break;
    default:
      break;
  }
  return true;
}

void GrainEngine::SetGrainMode(double value) {
  const int m = IntegerPart(value);
  // Only a change of mode silences the voices and restarts the frames: a
  // chunk load or automation that re-sends the current mode mid-playback
  // must not cut the sound.
  if (m != modeValue_) AllNotesOff();
  modeValue_ = m;
  const bool sync = m == static_cast<int>(GrainMode::kSync);
  const bool frequency = m == static_cast<int>(GrainMode::kFrequency);
  const bool midi = m == static_cast<int>(GrainMode::kMidi);
  for (Frame& frame : frames_) {
    frame.SetGrainSync(sync);
    frame.SetMidi(midi);
    frame.GrainA().SetInterpolate(frequency || midi);
    frame.GrainB().SetInterpolate(frequency || midi);
    frame.Recalculate();
  }
  grainSync_ = sync;
  frequency_ = frequency;
  midi_ = midi;
  // A value outside the four modes behaves as M.SEC (no flag set).
  mode_ = (sync || frequency || midi) ? static_cast<GrainMode>(m) : GrainMode::kMilliseconds;
}

void GrainEngine::SetPolyphony(double value) {
  const int voices = IntegerPart(value);
  const int polyphony = voices < 1 ? 1 : (voices > kVoiceCount ? kVoiceCount : voices);
  // As for the mode: the same polyphony again changes nothing.
  if (polyphony != polyphony_) AllNotesOff();
  polyphony_ = polyphony;
}

void GrainEngine::ApplyHostTempo(const HostTempo& tempo) {
  syncedGrainSamples_ = SyncTable::LengthSamples(grainSyncIndex_, sampleRate_, tempo.tempoBpm);
  syncedFrameSamples_ = SyncTable::LengthSamples(frameSyncIndex_, sampleRate_, tempo.tempoBpm);
  grainPhase_ = SyncTable::Phase(tempo.samplePosition, syncedGrainSamples_);
  framePhase_ = SyncTable::Phase(tempo.samplePosition, syncedFrameSamples_);
  if (grainSync_) {
    frames_[0].SetSyncedGrainSamples(syncedGrainSamples_);
    frames_[0].Recalculate();
  }
  if (frameSyncToHost_) {
    for (Frame& frame : frames_) {
      frame.SetSyncedFrameSamples(syncedFrameSamples_);
      frame.Recalculate();
    }
  }
}

void GrainEngine::Process(double** inputs, double** outputs, int frames, const HostTempo& tempo) {
  if (sampleRate_ < 0.0 || frames <= 0 || !inputs || !outputs || !inputs[0] || !inputs[1] ||
      !outputs[0] || !outputs[1])
    return;

  ScopedDenormalFlush flush;
  if (NeedsHostTempo()) ApplyHostTempo(tempo);

  const double* inLeft = inputs[0];
  const double* inRight = inputs[1];
  double* outLeft = outputs[0];
  double* outRight = outputs[1];
  for (int i = 0; i < frames; ++i) {
    if (grainSync_ && ++grainPhase_ >= syncedGrainSamples_) {
      frames_[0].RewindLoops();
      grainPhase_ = 0;
    }
    if (frameSyncToHost_ && ++framePhase_ >= syncedFrameSamples_) {
      for (Frame& frame : frames_) frame.RestartCounter();
      framePhase_ = 0;
    }

    // Both inputs are read before either output is written: the buffers may be
    // the same.
    const double l = inLeft[i];
    const double r = inRight[i];
    const StereoSample in = MakeStereo(Usable(l), Usable(r));

    StereoSample wet;
    if (midi_) {
      wet = MakeStereo(0.0, 0.0);
      for (int v = 0; v < polyphony_; ++v) {
        const double level = envelopes_[v].Level();
        const StereoSample voice = frames_[v].Tick(in);
        wet += level * voice;
        envelopes_[v].Tick();
      }
    } else {
      wet = frames_[0].Tick(in);
    }

    const StereoSample filtered = highPass_.Process(wet);
    outLeft[i] = ((filtered[kLeft] - l) * mix_ + l) * volume_;
    outRight[i] = ((filtered[kRight] - r) * mix_ + r) * volume_;
  }
}

bool GrainEngine::NoteOn(int note, double frequencyHz) {
  if (!midi_ || note < 0 || note >= kNoteCount) return false;

  const int voice = voices_.ChooseVoice(note, polyphony_, envelopes_);
  voices_.Assign(voice, note);
  voicesActive_.store(true, std::memory_order_relaxed);

  Frame& frame = frames_[voice];
  if (frequencyHz > 0.0) {
    frame.GrainA().SetPeriodSeconds(1.0 / frequencyHz);
    frame.GrainB().SetPeriodSeconds(1.0 / frequencyHz);
  }
  frame.RestartCounter();
  frame.RewindLoops();
  envelopes_[voice].NoteOn();
  return true;
}

void GrainEngine::NoteOff(int note) {
  voicesActive_.store(false, std::memory_order_relaxed);
  for (int v = 0; v < polyphony_; ++v) {
    if (voices_.Note(v) == note)
      envelopes_[v].NoteOff();
    else if (!envelopes_[v].IsIdle())
      voicesActive_.store(true, std::memory_order_relaxed);
  }
}

void GrainEngine::AllNotesOff() {
  voicesActive_.store(false, std::memory_order_relaxed);
  for (int v = 0; v < kVoiceCount; ++v) {
    envelopes_[v].Stop();
    frames_[v].RestartCounter();
  }
}

}  // namespace quillet
