// The renderer's block loop against a recording plug-in: which block or piece
// each event lands in and at which offset, the transport of each call, and
// the audio in and out. What holds here holds for every format's adapter.
#include "tools/render/OfflineRenderer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using render::AutomationPoint;
using render::BlockMidiEvent;
using render::BlockTransport;
using render::TimedMidiMessage;
using Log = std::vector<std::string>;

// Passes its input through (left and right swapped, to tell them apart) and
// records every call.
class RecordingPlugin : public render::RenderPlugin {
 public:
  int inputCount() override { return 2; }
  int outputCount() override { return 2; }
  render::PluginIdentity identity() override { return {}; }
  void open(double, int) override {}
  int parameterCount() override { return 4; }
  std::string parameterName(int) override { return ""; }
  std::string parameterDisplay(int) override { return ""; }
  std::string parameterLabel(int) override { return ""; }
  double parameterNormalised(int) override { return 0.0; }
  bool isStepped(int) override { return false; }
  std::string formatNormalised(int, double) override { return ""; }
  bool setParameterText(int, const std::string&) override { return false; }
  void setParameter(int index, double normalised) override {
    Add("param %d %g", index, normalised);
  }
  int programCount() override { return 0; }
  std::string programName(int) override { return ""; }
  int currentProgram() override { return 0; }
  std::string currentProgramName() override { return ""; }
  void selectProgram(int) override {}
  void renameCurrentProgram(const std::string&) override {}
  bool getState(render::StateKind, std::vector<std::uint8_t>*) override { return false; }
  bool setState(render::StateKind, const std::vector<std::uint8_t>&) override { return false; }
  bool prepare(double, int blockFrames, bool singlePrecision, const BlockTransport&) override {
    Add("prepare %d", blockFrames);
    return !singlePrecision;
  }
  void setTransport(const BlockTransport& t) override {
    Add("at %d", static_cast<int>(t.positionFrames));
    transports.push_back(t);
  }
  void sendMidi(const std::vector<BlockMidiEvent>& events) override {
    for (const BlockMidiEvent& e : events) Add("midi %d@%d", e.data1, e.offset);
  }
  void processDouble(double** in, double** out, int frames) override { Process(in, out, frames); }
  void processFloat(float** in, float** out, int frames) override {
    log.push_back("float");
    Process(in, out, frames);
  }
  void finish() override { log.push_back("finish"); }

  Log log;
  std::vector<BlockTransport> transports;

 private:
  template <typename Sample>
  void Process(Sample** in, Sample** out, int frames) {
    Add("process %d", frames);
    for (int i = 0; i < frames; ++i) {
      out[0][i] = in[1][i];
      out[1][i] = in[0][i];
    }
  }
  void Add(const char* format, int a, double b = 0.0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    log.push_back(text);
  }
  void Add(const char* format, int a, int b) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    log.push_back(text);
  }
};

// 10 frames of left i, right -i, at 10 Hz (a frame is 0.1 s).
render::AudioClip Ramp(int frames) {
  render::AudioClip clip;
  clip.rateHz = 10.0;
  clip.channels.assign(2, std::vector<double>(static_cast<std::size_t>(frames)));
  for (int i = 0; i < frames; ++i) {
    clip.channels[0][static_cast<std::size_t>(i)] = i;
    clip.channels[1][static_cast<std::size_t>(i)] = -i;
  }
  return clip;
}

TimedMidiMessage Note(double seconds, int note) {
  return {seconds, 0x90, static_cast<std::uint8_t>(note), 100};
}

AutomationPoint Point(double seconds, int index, double value) {
  AutomationPoint point;
  point.seconds = seconds;
  point.index = index;
  point.normalised = value;
  return point;
}

Log Render(bool split, const std::vector<TimedMidiMessage>& notes,
           const std::vector<AutomationPoint>& points, render::AudioClip* output = nullptr) {
  RecordingPlugin plugin;
  render::OfflineRenderer renderer(&plugin, 4, render::Transport(), false, split);
  renderer.prepare(10.0);
  render::AudioClip out;
  renderer.render(Ramp(10), notes, points, output ? output : &out, nullptr);
  renderer.finish();
  return plugin.log;
}

TEST(OfflineRenderer, WholeBlocksCarryTheirEventsAtSampleOffsets) {
  // Frame 5 lies in the second block of 4 (4..7) at offset 1; a note after
  // the end goes with the last block, at its last frame.
  const Log log = Render(false, {Note(0.5, 60), Note(3.0, 61)}, {Point(0.6, 2, 0.25)});
  EXPECT_EQ(log, (Log{"prepare 4", "at 0", "process 4", "at 4", "param 2 0.25", "midi 60@1",
                      "process 4", "at 8", "midi 61@1", "process 2", "finish"}));
}

TEST(OfflineRenderer, SplitBlocksStartAPieceAtEveryEvent) {
  render::AudioClip output;
  const Log log = Render(true, {Note(0.5, 60), Note(0.5, 62), Note(3.0, 61)},
                         {Point(0.5, 2, 0.25), Point(0.0, 1, 1.0)}, &output);
  EXPECT_EQ(log, (Log{"prepare 4", "at 0", "param 1 1", "process 4", "at 4", "process 1", "at 5",
                      "param 2 0.25", "midi 60@0", "midi 62@0", "process 3", "at 8", "process 1",
                      "at 9", "midi 61@0", "process 1", "finish"}));
  // The pieces join seamlessly.
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(output.channels[0][static_cast<std::size_t>(i)], -i) << i;
    EXPECT_EQ(output.channels[1][static_cast<std::size_t>(i)], i) << i;
  }
}

TEST(OfflineRenderer, EachCallSeesTheTransportOfItsFirstFrame) {
  RecordingPlugin plugin;
  render::Transport waltz;
  waltz.tempoBpm = 150.0;  // a beat is 0.4 s, four frames at 10 Hz
  waltz.beatsPerBar = 3;
  render::OfflineRenderer renderer(&plugin, 4, waltz, false, true);
  renderer.prepare(10.0);
  render::AudioClip output;
  renderer.render(Ramp(10), {Note(0.6, 60)}, {}, &output, nullptr);
  ASSERT_EQ(plugin.transports.size(), 4u);  // 0, 4, 6 (the note), 8
  EXPECT_TRUE(plugin.transports[0].changed);
  EXPECT_FALSE(plugin.transports[1].changed);
  EXPECT_EQ(plugin.transports[2].positionFrames, 6);
  EXPECT_DOUBLE_EQ(plugin.transports[2].positionBeats, 1.5);
  EXPECT_DOUBLE_EQ(plugin.transports[3].positionBeats, 2.0);
  EXPECT_EQ(plugin.transports[3].beatsPerBar, 3);
  EXPECT_TRUE(plugin.transports[3].playing);
}

TEST(OfflineRenderer, BarsFollowTheTimeSignature) {
  render::Transport waltz;
  waltz.tempoBpm = 90.0;
  waltz.beatsPerBar = 3;
  waltz.beatUnit = 4;
  // 90 BPM at 48 kHz: a quarter is 32000 samples; 4.5 quarters into 3/4 is bar 2.
  const BlockTransport t = render::transportAt(144000, 48000.0, waltz);
  EXPECT_DOUBLE_EQ(t.positionBeats, 4.5);
  EXPECT_DOUBLE_EQ(t.barStartBeats, 3.0);
  render::Transport sixEight;
  sixEight.beatsPerBar = 6;
  sixEight.beatUnit = 8;  // a bar is three quarters
  EXPECT_DOUBLE_EQ(render::transportAt(44100 * 2, 44100.0, sixEight).barStartBeats, 3.0);
}

TEST(OfflineRenderer, MonoFeedsBothInputsAndSinglePrecisionUsesFloat) {
  RecordingPlugin plugin;
  render::OfflineRenderer renderer(&plugin, 3, render::Transport(), true);
  renderer.prepare(10.0);
  render::AudioClip mono = Ramp(5);
  mono.channels.resize(1);
  render::AudioClip output;
  renderer.render(mono, {}, &output, nullptr);
  ASSERT_EQ(output.channelCount(), 2);
  EXPECT_EQ(output.channels[0], mono.channels[0]);
  EXPECT_EQ(output.channels[1], mono.channels[0]);
  EXPECT_EQ(plugin.log[2], "float");
}

}  // namespace
