// The plug-in class: parameters reaching the engine, programs restored and
// reset, MIDI notes and thru, and processing of every factory program.
#include <cmath>
#include <vector>

#include "QuilletFixture.h"

namespace {

using quillet_test::Host;
using quillet_test::QuilletTest;

}  // namespace

TEST_F(QuilletTest, MixZeroReturnsTheInputTimesVolume) {
  SetPlain(quillet::kGrainMode, 2);
  SetPlain(quillet::kMix, 0.0);
  SetPlain(quillet::kVolume, 1.5);
  std::vector<double> in;
  const std::vector<double> out = Process(700, &in);
  for (int i = 0; i < 700; ++i) ASSERT_EQ(out[i], in[i] * 1.5) << i;
}

TEST_F(QuilletTest, ResetCurrentPresetRestoresTheFactoryProgram) {
  plug_->RestorePreset(8);
  SetPlain(quillet::kMix, 0.1);
  SetPlain(quillet::kGrainMode, 0);
  plug_->ModifyCurrentPreset("mine");
  EXPECT_STREQ(plug_->GetPresetName(8), "mine");
  plug_->MakeFactoryPreset(8);
  EXPECT_STREQ(plug_->GetPresetName(8), "Slap Back");
  EXPECT_EQ(plug_->GetParam(quillet::kMix)->Value(), 0.7);
  EXPECT_EQ(plug_->GetParam(quillet::kGrainSync)->Value(), 8.0);  // "1/4T"
  EXPECT_EQ(plug_->GetParam(quillet::kFrameSkew)->Value(), -1.0);
  EXPECT_EQ(plug_->Engine().Mode(), quillet::GrainMode::kSync);  // the engine follows
  EXPECT_EQ(plug_->GetCurrentPresetIdx(), 8);
}

TEST_F(QuilletTest, ProgramValuesAreClampedIntoRange) {
  double values[Quillet::kParamCount] = {};
  values[quillet::kVolume] = 9.0;
  values[quillet::kGrainLength] = -4.0;
  values[quillet::kMidiPolyphony] = 3.9;  // integer kinds take the integer part
  values[25] = 0.7;                       // an uninitialised slot: integer too
  plug_->MakePresetFromValues(4, "odd", values);
  EXPECT_EQ(plug_->GetParam(quillet::kVolume)->Value(), 2.0);
  EXPECT_EQ(plug_->GetParam(quillet::kGrainLength)->Value(), 0.2);
  EXPECT_EQ(plug_->GetParam(quillet::kMidiPolyphony)->Value(), 3.0);
  EXPECT_EQ(plug_->GetParam(25)->Value(), 0.0);
  EXPECT_EQ(plug_->Engine().Polyphony(), 3);
}

TEST_F(QuilletTest, UninitialisedSlotsChangeNothingAudible) {
  const std::vector<double> before = Process(300);
  Quillet other;
  other.SetHostServices(&host_);
  other.OnReset();
  other.OnActivation(true);
  other.GetParam(25)->SetClamped(1.0);
  other.OnParamChanged(25);
  std::vector<double> l(300), r(300), ol(300), orr(300);
  for (int i = 0; i < 300; ++i) {
    l[i] = 0.5 * std::sin(0.01 * i);
    r[i] = 0.25 * std::cos(0.02 * i);
  }
  double* in[2] = {l.data(), r.data()};
  double* out[2] = {ol.data(), orr.data()};
  other.ProcessBlock(in, out, 300);
  EXPECT_EQ(ol, before);
}

TEST_F(QuilletTest, FrameSyncToHostAtHalfCountsAsOn) {
  SetPlain(quillet::kFrameSyncToHost, 0.5);
  EXPECT_TRUE(plug_->Engine().NeedsHostTempo());
  // The host's tempo reaches the engine: 1/4 at 150 beats per minute.
  host_.hasTransport = true;
  host_.transport.tempo = 150.0;
  host_.transport.samplePos = 0.0;
  host_.transport.transportRunning = true;
  Process(64);
  EXPECT_EQ(plug_->Engine().SyncedFrameSamples(), 17640);
  // A host without time info: 120 beats per minute.
  host_.hasTransport = false;
  Process(64);
  EXPECT_EQ(plug_->Engine().SyncedFrameSamples(), 22050);
}

TEST_F(QuilletTest, NotesPlayInMidiModeAndEveryMessageGoesThru) {
  Midi(0x90, 60, 100);  // M.SEC: ignored, still sent on
  EXPECT_TRUE(plug_->Engine().GetEnvelope(0).IsIdle());
  SetPlain(quillet::kGrainMode, 3);
  Midi(0x91, 69, 1);
  EXPECT_EQ(plug_->Engine().GetEnvelope(0).GetStage(), quillet::Envelope::Stage::kAttack);
  EXPECT_DOUBLE_EQ(plug_->Engine().GetFrame(0).GrainA().PeriodSeconds(), 1.0 / 440.0);
  Process(512);
  Midi(0x90, 69, 0);  // velocity 0: note-off
  EXPECT_EQ(plug_->Engine().GetEnvelope(0).GetStage(), quillet::Envelope::Stage::kRelease);
  Midi(0x90, 72, 100);
  Process(512);
  Midi(0xB0, 123, 0);  // all notes off: silence at once
  for (int v = 0; v < 8; ++v) EXPECT_TRUE(plug_->Engine().GetEnvelope(v).IsIdle());
  Midi(0x90, 200, 100);  // not a note
  Midi(0xF8, 0, 0);      // clock
  ASSERT_EQ(host_.midiOut.size(), 7u);
  EXPECT_EQ(host_.midiOut[0].status, 0x90);
  EXPECT_EQ(host_.midiOut[3].data2, 100);
  EXPECT_EQ(host_.midiOut[6].status, 0xF8);
}

// Re-sending the current mode (automation read, a chunk loaded mid-playback)
// keeps the notes; a real change of mode silences them.
TEST_F(QuilletTest, OnlyARealModeChangeSilencesVoices) {
  SetPlain(quillet::kGrainMode, 3);
  Midi(0x90, 60, 100);
  Process(256);
  EXPECT_GT(plug_->Engine().GetEnvelope(0).Level(), 0.0);
  SetPlain(quillet::kGrainMode, 3);
  EXPECT_FALSE(plug_->Engine().GetEnvelope(0).IsIdle());
  SetPlain(quillet::kGrainMode, 2);
  EXPECT_TRUE(plug_->Engine().GetEnvelope(0).IsIdle());
  SetPlain(quillet::kGrainMode, 3);
  Midi(0x90, 60, 100);
  Midi(0xB0, 120, 0);  // all sound off
  EXPECT_TRUE(plug_->Engine().GetEnvelope(0).IsIdle());
}

TEST_F(QuilletTest, EveryFactoryProgramProcessesCleanly) {
  for (int program = 0; program < Quillet::kPresetCount; ++program) {
    plug_->RestorePreset(program);
    Midi(0x90, 57, 90);
    Midi(0x90, 64, 90);
    for (int block = 0; block < 20; ++block) {
      const std::vector<double> out = Process(512);
      for (double x : out) {
        ASSERT_TRUE(std::isfinite(x)) << plug_->GetPresetName(program);
        ASSERT_LT(std::fabs(x), 10.0) << plug_->GetPresetName(program);
      }
    }
  }
}
