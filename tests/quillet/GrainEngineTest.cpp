#include "quillet/GrainEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "quillet/HighPass.h"
#include "quillet/NoteFrequencyTable.h"

#if defined(__SSE2__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

using quillet::GrainEngine;
using quillet::GrainMode;
using quillet::HighPass;
using quillet::HostTempo;

namespace {

using P = quillet::ParamIndex;

// Program "default" as the plug-in applies it: every parameter in order.
void ApplyDefaults(GrainEngine& engine) {
  const double values[quillet::kUsedParamCount] = {1,  1, 0, 20, 10, 110, 0, 0, 0, 0, 160,
                                                   10, 0, 0, 0,  0,  0,   4, 0, 0, 1, 0.05};
  for (int i = 0; i < quillet::kUsedParamCount; ++i)
    ASSERT_TRUE(engine.SetParameter(i, values[i])) << i;
}

struct Stereo {
  std::vector<double> left;
  std::vector<double> right;
};

// A deterministic test signal: two unrelated sines with a little DC.
Stereo MakeSignal(int frames, int offset = 0) {
  Stereo s;
  for (int i = offset; i < offset + frames; ++i) {
    s.left.push_back(0.5 * std::sin(0.0123 * i) + 0.1);
    s.right.push_back(0.4 * std::sin(0.0371 * i + 1.0) - 0.05);
  }
  return s;
}

// Processes `input` in blocks of `block` frames with host positions that
// advance with the audio, starting at `position`.
Stereo ProcessSignal(GrainEngine& engine, const Stereo& input, int block, double position = 0.0,
                     double tempoBpm = 120.0) {
  Stereo out = input;
  const int total = static_cast<int>(input.left.size());
  for (int start = 0; start < total; start += block) {
    const int n = std::min(block, total - start);
    double* in[2] = {const_cast<double*>(&input.left[start]),
                     const_cast<double*>(&input.right[start])};
    double* o[2] = {&out.left[start], &out.right[start]};
    HostTempo tempo;
    tempo.tempoBpm = tempoBpm;
    tempo.samplePosition = position + start;
    engine.Process(in, o, n, tempo);
  }
  return out;
}

bool AllFinite(const Stereo& s, size_t from = 0) {
  for (size_t i = from; i < s.left.size(); ++i)
    if (!std::isfinite(s.left[i]) || !std::isfinite(s.right[i])) return false;
  return true;
}

}  // namespace

TEST(GrainEngine, MixZeroReturnsTheInputTimesVolumeExactly) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(44100.0));
  ApplyDefaults(engine);
  engine.SetParameter(P::kGrainMode, 2);  // FREQ: interpolation, all of it
  engine.SetParameter(P::kMix, 0.0);
  engine.SetParameter(P::kVolume, 0.7);
  const Stereo in = MakeSignal(5000);
  const Stereo out = ProcessSignal(engine, in, 512);
  for (size_t i = 0; i < in.left.size(); ++i) {
    ASSERT_EQ(out.left[i], in.left[i] * 0.7) << i;
    ASSERT_EQ(out.right[i], in.right[i] * 0.7) << i;
  }
}

TEST(GrainEngine, DefaultProgramStuttersTheStartOfEachFrame) {
  // At 1000 Hz: frame 160 samples, grain 20 samples, no fades or overlaps. The
  // wet signal is the live input for 20 samples, then those 20 repeated until
  // the next frame; it passes the high-pass, which the test runs alongside.
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(1000.0));
  ApplyDefaults(engine);
  const Stereo in = MakeSignal(500);
  const Stereo out = ProcessSignal(engine, in, 64);
  HighPass highPass;
  highPass.SetSampleRate(1000.0);
  highPass.Recalculate();
  for (int i = 0; i < 500; ++i) {
    const int frameStart = i / 160 * 160;
    const int source = frameStart + (i - frameStart) % 20;
    // Mix and volume 1: ((wet - dry) x 1 + dry) x 1, rounded as the engine does.
    const quillet::StereoSample wet =
        highPass.Process(quillet::MakeStereo(in.left[source], in.right[source]));
    EXPECT_EQ(out.left[i], (wet[quillet::kLeft] - in.left[i]) * 1.0 + in.left[i]) << i;
    EXPECT_EQ(out.right[i], (wet[quillet::kRight] - in.right[i]) * 1.0 + in.right[i]) << i;
  }
}

TEST(GrainEngine, InPlaceBuffersGiveTheSameResult) {
  for (int mode = 0; mode < 4; ++mode) {
    GrainEngine a, b;
    for (GrainEngine* e : {&a, &b}) {
      ASSERT_TRUE(e->Reset(48000.0));
      ApplyDefaults(*e);
      e->SetParameter(P::kGrainMode, mode);
      e->SetParameter(P::kGrainOverlap, 33);
      e->SetParameter(P::kFrameOverlap, 50);
      e->SetParameter(P::kGrainFadeIn, 0.2);
      e->NoteOn(60, 261.626);
    }
    const Stereo in = MakeSignal(3000);
    const Stereo separate = ProcessSignal(a, in, 256);
    Stereo shared = in;
    for (int start = 0; start < 3000; start += 256) {
      double* io[2] = {&shared.left[start], &shared.right[start]};
      b.Process(io, io, std::min(256, 3000 - start), HostTempo());
    }
    EXPECT_EQ(shared.left, separate.left) << "mode " << mode;
    EXPECT_EQ(shared.right, separate.right) << "mode " << mode;
  }
}

TEST(GrainEngine, OutputIsOverwrittenNotAccumulated) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(44100.0));
  ApplyDefaults(engine);
  engine.SetParameter(P::kMix, 0.0);
  std::vector<double> inL(64, 0.25), inR(64, -0.25);
  std::vector<double> outL(64, 12345.0), outR(64, 12345.0);
  double* in[2] = {inL.data(), inR.data()};
  double* out[2] = {outL.data(), outR.data()};
  engine.Process(in, out, 64, HostTempo());
  for (int i = 0; i < 64; ++i) {
    EXPECT_EQ(outL[i], 0.25);
    EXPECT_EQ(outR[i], -0.25);
  }
}

TEST(GrainEngine, BlockSizeDoesNotChangeTheSound) {
  // With host positions that advance with the audio, re-aligning the tempo
  // grid at every block changes nothing, whatever the block size.
  const Stereo in = MakeSignal(20000);
  for (int mode = 0; mode < 4; ++mode) {
    std::vector<Stereo> results;
    for (int block : {1, 7, 512, 8192, 20000}) {
      GrainEngine engine;
      ASSERT_TRUE(engine.Reset(44100.0));
      ApplyDefaults(engine);
      engine.SetParameter(P::kGrainMode, mode);
      engine.SetParameter(P::kGrainSync, 0);  // "1/64": 1378 samples at 120
      engine.SetParameter(P::kFrameSync, 4);  // "1/16"
      engine.SetParameter(P::kFrameSyncToHost, 1);
      engine.SetParameter(P::kFrameOverlap, 25);
      engine.NoteOn(57, 220.0);
      results.push_back(ProcessSignal(engine, in, block, 1000.0, 120.0));
    }
    for (size_t r = 1; r < results.size(); ++r) {
      EXPECT_EQ(results[r].left, results[0].left) << "mode " << mode << " run " << r;
      EXPECT_EQ(results[r].right, results[0].right) << "mode " << mode << " run " << r;
    }
  }
}

TEST(GrainEngine, SyncedSixteenthIs5512SamplesAt120) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(44100.0));
  ApplyDefaults(engine);
  engine.SetParameter(P::kGrainMode, 1);
  engine.SetParameter(P::kGrainSync, 4);  // "1/16"
  engine.SetParameter(P::kFrameLength, 5000);
  // Position 0: the loop restarts at position 5511, one sample before the
  // grain's own loop would wrap, so the grain is at position 1 after 5512.
  ProcessSignal(engine, MakeSignal(5512), 5512, 0.0);
  EXPECT_EQ(engine.SyncedGrainSamples(), 5512);
  EXPECT_EQ(engine.GetFrame(0).Current()->LoopLength(), 5512.0);
  EXPECT_EQ(engine.GetFrame(0).Current()->Position(), 1.0);
  EXPECT_EQ(engine.GrainPhase(), 0);
}

TEST(GrainEngine, GridRealignsToTheHostPositionEveryBlock) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(44100.0));
  ApplyDefaults(engine);
  engine.SetParameter(P::kGrainMode, 1);
  engine.SetParameter(P::kGrainSync, 4);
  engine.SetParameter(P::kFrameLength, 5000);
  ProcessSignal(engine, MakeSignal(100), 100, 0.0);
  EXPECT_EQ(engine.GrainPhase(), 100);
  // The host jumps: the next block starts at 3 x 5512 - 3; the restart falls on
  // the third sample (position 3 x 5512 - 1).
  ProcessSignal(engine, MakeSignal(2), 2, 3 * 5512 - 3);
  EXPECT_EQ(engine.GrainPhase(), 5511);
  const double before = engine.GetFrame(0).Current()->Position();
  ProcessSignal(engine, MakeSignal(1), 1, 3 * 5512 - 1);
  EXPECT_EQ(engine.GrainPhase(), 0);
  EXPECT_EQ(engine.GetFrame(0).Current()->Position(), 1.0);
  EXPECT_NE(before, 0.0);
}

TEST(GrainEngine, NoTimeInfoMeans120AndPhaseMinusOne) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(44100.0));
  ApplyDefaults(engine);
  engine.SetParameter(P::kGrainMode, 1);
  engine.SetParameter(P::kFrameSyncToHost, 1);
  EXPECT_TRUE(engine.NeedsHostTempo());
  std::vector<double> l(1, 0.0), r(1, 0.0);
  double* io[2] = {l.data(), r.data()};
  engine.Process(io, io, 1, HostTempo());  // tempo 120, position -1
  EXPECT_EQ(engine.SyncedGrainSamples(), 22050);
  EXPECT_EQ(engine.SyncedFrameSamples(), 22050);
  // Both phases started at -1 and counted one sample.
  EXPECT_EQ(engine.GrainPhase(), 0);
  EXPECT_EQ(engine.FramePhase(), 0);
  EXPECT_EQ(engine.GetFrame(0).PeriodSamples(), 22050);
  EXPECT_EQ(engine.GetFrame(7).PeriodSamples(), 22050);
}

TEST(GrainEngine, FrameSyncRestartsEveryFrameOnTheGrid) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(48000.0));
  ApplyDefaults(engine);
  engine.SetParameter(P::kFrameSync, 0);          // "1/64" at 100 bpm: 1800 samples
  engine.SetParameter(P::kFrameSyncToHost, 0.5);  // 0.5 counts as on
  ProcessSignal(engine, MakeSignal(1000), 1000, 0.0, 100.0);
  EXPECT_EQ(engine.SyncedFrameSamples(), 1800);
  EXPECT_EQ(engine.GetFrame(0).Counter(), 1000);
  // Position 2799 is one less than a multiple of 1800: every frame restarts.
  ProcessSignal(engine, MakeSignal(1), 1, 1799.0, 100.0);
  for (int v = 0; v < GrainEngine::kVoiceCount; ++v)
    EXPECT_EQ(engine.GetFrame(v).Counter(), v == 0 ? 1 : 0) << v;
}

TEST(GrainEngine, ExtremeTemposStayPlayable) {
  for (double tempo : {1.0, 999.0, 1e12, 0.0, -10.0}) {
    GrainEngine engine;
    ASSERT_TRUE(engine.Reset(192000.0));
    ApplyDefaults(engine);
    engine.SetParameter(P::kGrainMode, 1);
    engine.SetParameter(P::kGrainSync, 19);
    engine.SetParameter(P::kFrameSync, 0);
    engine.SetParameter(P::kFrameSyncToHost, 1);
    const Stereo out = ProcessSignal(engine, MakeSignal(2048), 512, 0.0, tempo);
    EXPECT_GE(engine.SyncedFrameSamples(), 1) << tempo;
    EXPECT_TRUE(AllFinite(out)) << tempo;
  }
}

TEST(GrainEngine, OnlyARealChangeOfModeOrPolyphonySilencesTheVoices) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(44100.0));
  ApplyDefaults(engine);
  engine.SetParameter(P::kGrainMode, 3);
  ASSERT_TRUE(engine.NoteOn(60, 261.626));
  ASSERT_TRUE(engine.NoteOn(64, 329.628));
  ProcessSignal(engine, MakeSignal(100), 100);
  EXPECT_GT(engine.GetEnvelope(0).Level(), 0.0);
  engine.SetParameter(P::kGrainMode, 3);  // the same mode again: nothing changes
  EXPECT_FALSE(engine.GetEnvelope(0).IsIdle());
  engine.SetParameter(P::kGrainMode, 2);
  engine.SetParameter(P::kGrainMode, 3);
  EXPECT_TRUE(engine.GetEnvelope(0).IsIdle());
  EXPECT_EQ(engine.GetEnvelope(1).Level(), 0.0);
  EXPECT_FALSE(engine.VoicesActive());

  engine.NoteOn(60, 261.626);
  ProcessSignal(engine, MakeSignal(100), 100);
  engine.SetParameter(P::kMidiPolyphony, engine.Polyphony());  // the same polyphony
  EXPECT_FALSE(engine.GetEnvelope(0).IsIdle());
  engine.SetParameter(P::kMidiPolyphony, engine.Polyphony() == 4 ? 3 : 4);
  EXPECT_TRUE(engine.GetEnvelope(0).IsIdle());
  EXPECT_EQ(engine.GetFrame(0).Counter(), 0);
}

TEST(GrainEngine, NotesPlayOnlyInMidiMode) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(44100.0));
  ApplyDefaults(engine);
  for (int mode : {0, 1, 2}) {
    engine.SetParameter(P::kGrainMode, mode);
    EXPECT_FALSE(engine.NoteOn(60, 261.626)) << mode;
    EXPECT_TRUE(engine.GetEnvelope(0).IsIdle());
  }
  engine.SetParameter(P::kGrainMode, 3);
  EXPECT_FALSE(engine.NoteOn(128, 1000.0));
  EXPECT_FALSE(engine.NoteOn(-1, 1000.0));
  EXPECT_TRUE(engine.NoteOn(127, quillet::NoteFrequencyTable::FrequencyHz(127)));
  EXPECT_EQ(engine.Mode(), GrainMode::kMidi);
}

TEST(GrainEngine, NoteOnSetsTheVoicesCycleAndRestartsItsFrame) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(44100.0));
  ApplyDefaults(engine);
  engine.SetParameter(P::kGrainMode, 3);
  ASSERT_TRUE(engine.NoteOn(69, 440.0));
  ProcessSignal(engine, MakeSignal(1000), 1000);
  const quillet::Frame& frame = engine.GetFrame(0);
  EXPECT_DOUBLE_EQ(frame.Current()->LoopLength(), 44100.0 / 440.0);
  EXPECT_TRUE(frame.Current()->Interpolates());
  EXPECT_EQ(frame.Counter(), 1000);
  EXPECT_EQ(engine.GetEnvelope(0).GetStage(), quillet::Envelope::Stage::kDecay);

  // The same note again: same voice, frame restarted, envelope from its level.
  ASSERT_TRUE(engine.NoteOn(69, 0.0));  // no usable frequency: keeps 1/440
  EXPECT_EQ(frame.Counter(), 0);
  EXPECT_EQ(engine.GetEnvelope(0).Level(), 1.0);
  EXPECT_DOUBLE_EQ(frame.GrainA().PeriodSeconds(), 1.0 / 440.0);
  EXPECT_TRUE(engine.GetEnvelope(1).IsIdle());
}

TEST(GrainEngine, NoteOffReleasesAndDrivesTheLamp) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(44100.0));
  ApplyDefaults(engine);
  engine.SetParameter(P::kGrainMode, 3);
  engine.SetParameter(P::kMidiPolyphony, 2);
  engine.NoteOn(60, 261.626);
  engine.NoteOn(64, 329.628);
  EXPECT_TRUE(engine.VoicesActive());
  ProcessSignal(engine, MakeSignal(500), 500);

  engine.NoteOff(50);  // held by no voice: only the lamp is re-evaluated
  EXPECT_TRUE(engine.VoicesActive());
  EXPECT_EQ(engine.GetEnvelope(0).GetStage(), quillet::Envelope::Stage::kDecay);

  engine.NoteOff(60);
  EXPECT_EQ(engine.GetEnvelope(0).GetStage(), quillet::Envelope::Stage::kRelease);
  EXPECT_TRUE(engine.VoicesActive());  // 64 still sounds
  engine.NoteOff(64);
  EXPECT_TRUE(engine.VoicesActive());  // voice 0 is still releasing

  // A third note with both voices releasing steals the oldest (voice 0).
  engine.NoteOn(67, 391.995);
  EXPECT_EQ(engine.Voices().Note(0), 67);
  // Its release is the only sound left: the voice just released does not count.
  engine.AllNotesOff();
  engine.NoteOn(67, 391.995);
  ProcessSignal(engine, MakeSignal(100), 100);
  engine.NoteOff(67);
  EXPECT_GT(engine.GetEnvelope(0).Level(), 0.0);
  EXPECT_FALSE(engine.VoicesActive());
  engine.AllNotesOff();
  for (int v = 0; v < GrainEngine::kVoiceCount; ++v)
    EXPECT_TRUE(engine.GetEnvelope(v).IsIdle()) << v;
}

TEST(GrainEngine, EightVoicesSumTheirEnvelopedFrames) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(48000.0));
  ApplyDefaults(engine);
  engine.SetParameter(P::kGrainMode, 3);
  engine.SetParameter(P::kMidiPolyphony, 8);
  engine.SetParameter(P::kFrameLength, 50);
  engine.SetParameter(P::kFrameOverlap, 50);
  for (int n = 0; n < 8; ++n)
    ASSERT_TRUE(engine.NoteOn(48 + 3 * n, quillet::NoteFrequencyTable::FrequencyHz(48 + 3 * n)));
  const Stereo out = ProcessSignal(engine, MakeSignal(48000), 512);
  EXPECT_TRUE(AllFinite(out));
  double energy = 0.0;
  for (double x : out.left) energy += x * x;
  EXPECT_GT(energy, 1.0);
  for (int v = 0; v < 8; ++v) {
    EXPECT_EQ(engine.GetEnvelope(v).Level(), 1.0) << v;
    EXPECT_NE(engine.GetFrame(v).Current(), nullptr) << v;
  }
}

TEST(GrainEngine, BadInputIsNotReplayedOnceTheInputIsClean) {
  const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity(), 1e300};
  for (int mode = 0; mode < 4; ++mode) {
    GrainEngine engine;
    ASSERT_TRUE(engine.Reset(44100.0));
    ApplyDefaults(engine);
    engine.SetParameter(P::kGrainMode, mode);
    engine.SetParameter(P::kGrainLength, 2000);  // the recording loops for a long time
    engine.SetParameter(P::kFrameLength, 5000);
    engine.SetParameter(P::kGrainOverlap, 50);
    engine.SetParameter(P::kFrameSyncToHost, mode == 1 ? 1 : 0);
    engine.NoteOn(40, 82.407);
    Stereo in = MakeSignal(20000);
    for (int i = 0; i < 40; ++i) {
      in.left[100 + i] = bad[i % 4];
      in.right[100 + i] = bad[(i + 1) % 4];
    }
    const Stereo out = ProcessSignal(engine, in, 512);
    EXPECT_TRUE(AllFinite(out, 140)) << "mode " << mode;
  }
}

TEST(GrainEngine, NonFiniteParameterValuesAreIgnored) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(44100.0));
  ApplyDefaults(engine);
  for (int i = 0; i < quillet::kUsedParamCount; ++i) {
    EXPECT_FALSE(engine.SetParameter(i, std::numeric_limits<double>::quiet_NaN())) << i;
    EXPECT_FALSE(engine.SetParameter(i, std::numeric_limits<double>::infinity())) << i;
  }
  EXPECT_FALSE(engine.SetParameter(22, 1.0));
  EXPECT_FALSE(engine.SetParameter(-1, 1.0));
  const Stereo out = ProcessSignal(engine, MakeSignal(1000), 256);
  EXPECT_TRUE(AllFinite(out));
  EXPECT_EQ(engine.GetFrame(0).PeriodSamples(), 7056);
}

TEST(GrainEngine, OutOfRangeIndexesAreClamped) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(44100.0));
  ApplyDefaults(engine);
  engine.SetParameter(P::kGrainMode, 1);
  engine.SetParameter(P::kGrainSync, 57);
  engine.SetParameter(P::kFrameSync, -4);
  engine.SetParameter(P::kFrameSyncToHost, 1);
  ProcessSignal(engine, MakeSignal(10), 10);
  EXPECT_EQ(engine.SyncedGrainSamples(), 22050 * 16);
  EXPECT_EQ(engine.SyncedFrameSamples(), 1378);
  engine.SetParameter(P::kMidiPolyphony, 99);
  EXPECT_EQ(engine.Polyphony(), 8);
  engine.SetParameter(P::kGrainMode, 7);  // no such mode: plays as M.SEC
  EXPECT_EQ(engine.Mode(), GrainMode::kMilliseconds);
  EXPECT_FALSE(engine.NeedsHostTempo() && engine.IsMidiMode());
}

TEST(GrainEngine, ProcessingBeforeTheFirstResetIsSafe) {
  GrainEngine engine;
  ApplyDefaults(engine);  // frames still at rate 1.0: period 0
  EXPECT_EQ(engine.GetFrame(0).PeriodSamples(), 0);
  const Stereo in = MakeSignal(1000);
  const Stereo out = ProcessSignal(engine, in, 100);
  ASSERT_TRUE(AllFinite(out));
  for (double x : out.left) EXPECT_LT(std::fabs(x), 1e-9);  // grains have no buffer yet
}

TEST(GrainEngine, FirstResetThenParametersMakeItSound) {
  GrainEngine engine;
  ApplyDefaults(engine);
  ASSERT_TRUE(engine.Reset(44100.0));
  // The frame still has the period computed at rate 1.0 (0) until the
  // parameters are applied again; it restarts every sample and passes the input.
  const Stereo in = MakeSignal(10000);
  const Stereo out = ProcessSignal(engine, in, 512);
  double energy = 0.0;
  for (size_t i = 5000; i < out.left.size(); ++i) energy += out.left[i] * out.left[i];
  EXPECT_GT(energy, 10.0);
}

TEST(GrainEngine, AnUnusableRateLeavesTheOutputsUntouched) {
  GrainEngine engine;
  ApplyDefaults(engine);
  for (double rate : {-44100.0, 0.0, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_FALSE(engine.Reset(rate));
    std::vector<double> inL(8, 0.5), inR(8, 0.5), outL(8, 7.0), outR(8, 7.0);
    double* in[2] = {inL.data(), inR.data()};
    double* out[2] = {outL.data(), outR.data()};
    engine.Process(in, out, 8, HostTempo());
    EXPECT_EQ(outL, std::vector<double>(8, 7.0)) << rate;
  }
  EXPECT_TRUE(engine.Reset(44100.0));
}

TEST(GrainEngine, SampleRateChangesAndBack) {
  GrainEngine engine;
  for (double rate : {44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 44100.0}) {
    ASSERT_TRUE(engine.Reset(rate)) << rate;
    ApplyDefaults(engine);
    engine.SetParameter(P::kGrainMode, 1);
    engine.SetParameter(P::kGrainSync, 4);
    const quillet::Grain& grain = engine.GetFrame(3).GrainB();
    EXPECT_EQ(grain.Capacity(), static_cast<int>(2 * rate) * 3 / 2) << rate;
    const Stereo out = ProcessSignal(engine, MakeSignal(4096), 512);
    EXPECT_TRUE(AllFinite(out)) << rate;
    EXPECT_EQ(engine.SyncedGrainSamples(), static_cast<int>(rate * 0.5 * 0.25)) << rate;
    EXPECT_EQ(engine.GetFrame(0).PeriodSamples(), static_cast<int>(rate * 0.16)) << rate;
    EXPECT_EQ(engine.Voices().NoteCounter(), 0);
  }
}

TEST(GrainEngine, GrainTooLongForTheNewRateIsSilentUntilRestarted) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(96000.0));
  ApplyDefaults(engine);
  engine.SetParameter(P::kGrainLength, 2000);  // 191999 samples at 96 kHz
  engine.SetParameter(P::kFrameLength, 3000);
  ProcessSignal(engine, MakeSignal(100), 100);
  const quillet::Grain* grain = engine.GetFrame(0).Current();
  ASSERT_EQ(grain->Span(), 191999.0);

  ASSERT_TRUE(engine.Reset(44100.0));
  EXPECT_GT(grain->Span(), grain->Capacity());
  ProcessSignal(engine, MakeSignal(1000), 500);
  EXPECT_EQ(grain->Age(), 0);  // silent: it does not age
  EXPECT_EQ(engine.GetFrame(0).Current(), grain);

  // The frame keeps its 96 kHz period (288000) until the parameters are applied
  // again; then the next grain fits the 44.1 kHz buffer.
  ApplyDefaults(engine);
  engine.SetParameter(P::kGrainLength, 2000);
  engine.SetParameter(P::kFrameLength, 10);
  ProcessSignal(engine, MakeSignal(1000), 500);
  EXPECT_NE(engine.GetFrame(0).Current()->Span(), 191999.0);
  EXPECT_LE(engine.GetFrame(0).Current()->Span(), engine.GetFrame(0).Current()->Capacity());
}

TEST(GrainEngine, HoursOfSilenceNeverReachSubnormals) {
  // A voice decaying towards a sustain of 0 approaches 0 for ever; without
  // flushing, its level would settle in the subnormal range.
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(44100.0));
  ApplyDefaults(engine);
  engine.SetParameter(P::kGrainMode, 3);
  engine.SetParameter(P::kMidiSustain, 0.0);
  engine.NoteOn(60, 261.626);
#if defined(__SSE2__) || defined(__x86_64__)
  const unsigned csr = _mm_getcsr();
#endif
  std::vector<double> l(4096, 0.0), r(4096, 0.0);
  double* io[2] = {l.data(), r.data()};
  for (int block = 0; block < 200; ++block) {  // 18.6 s of silence
    engine.Process(io, io, 4096, HostTempo());
    ASSERT_NE(std::fpclassify(engine.GetEnvelope(0).Level()), FP_SUBNORMAL) << block;
    for (int i = 0; i < 4096; ++i) ASSERT_NE(std::fpclassify(l[i]), FP_SUBNORMAL);
  }
  EXPECT_EQ(engine.GetEnvelope(0).GetStage(), quillet::Envelope::Stage::kDecay);
#if defined(__SSE2__) || defined(__x86_64__)
  EXPECT_EQ(_mm_getcsr(), csr);  // the caller's flags are back
#endif
}

TEST(GrainEngine, ZeroFramesAndMissingBuffersDoNothing) {
  GrainEngine engine;
  ASSERT_TRUE(engine.Reset(44100.0));
  ApplyDefaults(engine);
  std::vector<double> l(4, 1.0), r(4, 1.0);
  double* io[2] = {l.data(), r.data()};
  engine.Process(io, io, 0, HostTempo());
  engine.Process(io, io, -5, HostTempo());
  double* missing[2] = {l.data(), nullptr};
  engine.Process(io, missing, 4, HostTempo());
  engine.Process(nullptr, io, 4, HostTempo());
  EXPECT_EQ(l, std::vector<double>(4, 1.0));
  EXPECT_EQ(engine.GetFrame(0).Counter(), 0);
}
