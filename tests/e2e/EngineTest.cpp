// The granular engine as a host hears it through the shipped binary: every
// factory program, the dry path scaled by Volume, notes from the host's MIDI
// events, and a state saved and restored in the middle of processing.
#include <cmath>
#include <vector>

#include "ShippedPlugin.h"
#include "tools/vsthost/AudioBuffer.h"
#include "tools/vsthost/TestSignal.h"

namespace e2e {
namespace {

using vsthost::AudioBuffer;
using vsthost::HostEvent;

constexpr int kBlock = 512;
constexpr vst::int32 kVolumeParam = 0;
constexpr vst::int32 kMidiStandardProgram = 3;

constexpr int kSecondBlocks = 86;  // one second at 44.1 kHz

struct Level {
  double rms = 0.0;
  bool finite = true;
};

// The RMS of the sample-by-sample difference of two renders of one length.
double RmsOfDifference(const std::vector<double>& a, const std::vector<double>& b) {
  double sum = 0.0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
  return a.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(a.size()));
}

class Engine : public ShippedPlugin {
 protected:
  void SetUp() override {
    ShippedPlugin::SetUp();
    if (HasFatalFailure()) return;
    openAndResume(kBlock);
  }

  // blocks of the test signal through processDoubleReplacing of the given
  // instance (this test's own by default); appends the output's left and
  // right samples to out when given.
  Level render(vsthost::TestSignal* signal, int blocks, std::vector<double>* out = nullptr,
               vsthost::PluginHost* instance = nullptr) {
    vsthost::PluginHost& host = instance ? *instance : plugin_;
    AudioBuffer<double> input(2, kBlock), output(2, kBlock);
    double sum = 0.0;
    Level level;
    for (int b = 0; b < blocks; ++b) {
      signal->render(input.pointers()[0], input.pointers()[1], kBlock);
      host.processDoubleReplacing(input.pointers(), output.pointers(), kBlock);
      for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < kBlock; ++i) {
          const double v = output.channel(c)[i];
          if (!std::isfinite(v)) level.finite = false;
          sum += v * v;
          if (out) out->push_back(v);
        }
      }
    }
    level.rms = std::sqrt(sum / (2.0 * kBlock * blocks));
    return level;
  }
};

// Each factory program does something of its own to the same input: its
// output is finite, differs from the input and from every other program's,
// and has the level measured for it (within 3 dB), so a program that has
// gone silent, dry or wild fails.
TEST_F(Engine, EveryFactoryProgramShapesTheSoundItsOwnWay) {
  // RMS in dB of one second of the test signal (seed 11, itself about
  // -11 dB), with A3 and E4 held from the start, through each program, as
  // measured when the programs were made.
  const double kExpectedDb[kNumPresets] = {-10.9, -10.9, -12.1, -7.6,  -7.5,
                                           -15.7, -19.8, -15.9, -16.7, -14.4};
  std::vector<double> input;
  {
    vsthost::TestSignal signal(44100.0, 11);
    AudioBuffer<double> block(2, kBlock);
    for (int b = 0; b < kSecondBlocks; ++b) {
      signal.render(block.pointers()[0], block.pointers()[1], kBlock);
      for (int c = 0; c < 2; ++c)
        input.insert(input.end(), block.channel(c), block.channel(c) + kBlock);
    }
  }
  std::vector<std::vector<double>> outputs;
  for (vst::int32 program = 0; program < kNumPresets; ++program) {
    SCOPED_TRACE(testing::Message() << "program " << program);
    plugin_.dispatch(vst::effSetProgram, 0, program);
    // Notes for the MIDI programs; the others ignore them.
    plugin_.sendEvents({HostEvent::midi(0, 0x90, 57, 100), HostEvent::midi(0, 0x90, 64, 100)});
    vsthost::TestSignal signal(44100.0, 11);
    std::vector<double> out;
    const Level level = render(&signal, kSecondBlocks, &out);
    plugin_.sendEvents({HostEvent::midi(0, 0xB0, 123, 0)});
    EXPECT_TRUE(level.finite);
    const double db = 20.0 * std::log10(level.rms);
    EXPECT_NEAR(db, kExpectedDb[program], 3.0);
    // A difference 20 dB below the output's own level is not another sound;
    // the closest two programs differ by about -5 dB.
    EXPECT_GT(RmsOfDifference(out, input), 0.1 * level.rms) << "sounds like its input";
    for (vst::int32 other = 0; other < program; ++other)
      EXPECT_GT(RmsOfDifference(out, outputs[other]), 0.1 * level.rms)
          << "sounds like program " << other;
    outputs.push_back(out);
  }
}

TEST_F(Engine, MixZeroReturnsTheInputTimesVolumeExactly) {
  plugin_.setParameter(kMixParam, 0.0f);
  plugin_.setParameter(kVolumeParam, 0.75f);  // 1.5 of the range 0..2
  AudioBuffer<double> input(2, kBlock), output(2, kBlock);
  vsthost::TestSignal signal(44100.0, 5);
  for (int b = 0; b < 20; ++b) {
    signal.render(input.pointers()[0], input.pointers()[1], kBlock);
    plugin_.processDoubleReplacing(input.pointers(), output.pointers(), kBlock);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < kBlock; ++i)
        ASSERT_EQ(output.channel(c)[i], input.channel(c)[i] * 1.5)
            << "block " << b << " frame " << i;
  }
}

TEST_F(Engine, MidiModePlaysTheHostsNotes) {
  plugin_.dispatch(vst::effSetProgram, 0, kMidiStandardProgram);
  vsthost::TestSignal quiet(44100.0, 3);
  const Level withoutNotes = render(&quiet, 43);
  plugin_.sendEvents({HostEvent::midi(100, 0x90, 60, 100)});
  vsthost::TestSignal played(44100.0, 3);
  const Level withNote = render(&played, 43);
  EXPECT_TRUE(withNote.finite);
  EXPECT_GT(withNote.rms, 2.0 * withoutNotes.rms + 1e-3);
  // The note is passed on to the host unchanged as well.
  bool thru = false;
  for (const HostEvent& e : plugin_.host().events())
    if (e.bytes.size() >= 3 && e.bytes[0] == 0x90 && e.bytes[1] == 60) thru = true;
  EXPECT_TRUE(thru);
}

TEST_F(Engine, SavingAndRestoringMidStreamKeepsTheSound) {
  plugin_.dispatch(vst::effSetProgram, 0, 6);  // "Synced Reversals": grains, frames, sync
  vsthost::PluginHost other;
  std::string error;
  ASSERT_EQ(other.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
  other.open();
  other.setSampleRate(44100.0f);
  other.setBlockSize(kBlock);
  other.resume();
  other.dispatch(vst::effSetProgram, 0, 6);

  vsthost::TestSignal signalA(44100.0, 9), signalB(44100.0, 9);
  std::vector<double> a, b;
  render(&signalA, 40, &a);
  render(&signalB, 40, &b, &other);
  ASSERT_EQ(a, b);

  // The second instance saves its state and loads it back mid-stream; the
  // first goes on undisturbed. They must still sound alike.
  std::vector<std::uint8_t> chunk;
  ASSERT_GT(other.getChunk(vsthost::ChunkKind::kProgram, &chunk), 0);
  ASSERT_EQ(other.setChunk(vsthost::ChunkKind::kProgram, chunk), 1);
  a.clear();
  b.clear();
  render(&signalA, 40, &a);
  render(&signalB, 40, &b, &other);
  EXPECT_EQ(a, b);
}

}  // namespace
}  // namespace e2e
