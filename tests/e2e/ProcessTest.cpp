// The three process entries of the shipped binary: replacing versus
// accumulating, disconnected channels, blocks larger than announced, empty
// blocks, the MIDI request per call and MIDI passed on to the host.
#include <vector>

#include "ShippedPlugin.h"
#include "tools/vsthost/AudioBuffer.h"
#include "tools/vsthost/TestSignal.h"

namespace e2e {
namespace {

using vsthost::AudioBuffer;
using vsthost::HostEvent;

constexpr float kSentinel = 12345.0f;

// A buffer of the generated test signal, in float or double.
template <typename Sample>
void fillSignal(AudioBuffer<Sample>& buffer, std::uint32_t seed = 7) {
  vsthost::TestSignal signal(44100.0, seed);
  signal.render(buffer.channel(0), buffer.channel(1), buffer.frames());
}

class Processing : public ShippedPlugin {
 protected:
  void SetUp() override {
    ShippedPlugin::SetUp();
    if (HasFatalFailure()) {
      return;
    }
    openAndResume(kBlockFrames);
    makeDry();
  }
  static constexpr int kBlockFrames = 512;
};

TEST_F(Processing, ReplacingFloatOverwritesWithTheInputExactly) {
  AudioBuffer<float> input(2, 300);
  AudioBuffer<float> output(2, 300);
  fillSignal(input);
  output.fill(kSentinel);  // overwritten, not accumulated
  ASSERT_TRUE(plugin_.processReplacing(input.pointers(), output.pointers(), 300));
  EXPECT_EQ(output.samples(0), input.samples(0));
  EXPECT_EQ(output.samples(1), input.samples(1));
}

TEST_F(Processing, DoubleReplacingPassesTheInputExactly) {
  AudioBuffer<double> input(2, 300);
  AudioBuffer<double> output(2, 300);
  fillSignal(input);
  output.fill(kSentinel);
  ASSERT_TRUE(plugin_.processDoubleReplacing(input.pointers(), output.pointers(), 300));
  EXPECT_EQ(output.samples(0), input.samples(0));
  EXPECT_EQ(output.samples(1), input.samples(1));
}

TEST_F(Processing, AccumulatingAddsToWhatTheHostBufferHolds) {
  AudioBuffer<float> input(2, 300);
  AudioBuffer<float> output(2, 300);
  fillSignal(input);
  output.fill(0.25f);
  ASSERT_TRUE(plugin_.processAccumulating(input.pointers(), output.pointers(), 300));
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < 300; ++i) {
      ASSERT_EQ(output.channel(c)[i], 0.25f + input.channel(c)[i])
          << "channel " << c << " frame " << i;
    }
  }
}

// With one input and one output connected, the plug-in uses only the first
// host pointer of each side and leaves the second output alone.
TEST_F(Processing, OneConnectedChannelUsesOnlyTheFirstHostBuffers) {
  ASSERT_EQ(plugin_.setSpeakerArrangement(1, 1), 1);
  AudioBuffer<float> input(2, 200);
  AudioBuffer<float> output(2, 200);
  fillSignal(input);
  output.fill(kSentinel);
  plugin_.processReplacing(input.pointers(), output.pointers(), 200);
  EXPECT_EQ(output.samples(0), input.samples(0));
  EXPECT_EQ(output.samples(1), std::vector<float>(200, kSentinel));

  output.fill(1.0f);
  plugin_.processAccumulating(input.pointers(), output.pointers(), 200);
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(output.channel(0)[i], 1.0f + input.channel(0)[i]) << "frame " << i;
    ASSERT_EQ(output.channel(1)[i], 1.0f) << "frame " << i;
  }

  AudioBuffer<double> inputDouble(2, 200);
  AudioBuffer<double> outputDouble(2, 200);
  fillSignal(inputDouble);
  outputDouble.fill(kSentinel);
  plugin_.processDoubleReplacing(inputDouble.pointers(), outputDouble.pointers(), 200);
  EXPECT_EQ(outputDouble.samples(0), inputDouble.samples(0));
  EXPECT_EQ(outputDouble.samples(1), std::vector<double>(200, kSentinel));

  // Reconnected, both channels pass again.
  ASSERT_EQ(plugin_.setSpeakerArrangement(2, 2), 1);
  output.fill(kSentinel);
  plugin_.processReplacing(input.pointers(), output.pointers(), 200);
  EXPECT_EQ(output.samples(0), input.samples(0));
  EXPECT_EQ(output.samples(1), input.samples(1));
}

// A disconnected input consumes no host pointer: the second output carries
// the disconnected channel's silence, not the host's second input.
TEST_F(Processing, DisconnectedInputFeedsSilenceNotTheNextHostBuffer) {
  ASSERT_EQ(plugin_.setSpeakerArrangement(1, 2), 1);
  AudioBuffer<float> input(2, 200);
  AudioBuffer<float> output(2, 200);
  fillSignal(input);
  output.fill(kSentinel);
  plugin_.processReplacing(input.pointers(), output.pointers(), 200);
  EXPECT_EQ(output.samples(0), input.samples(0));
  EXPECT_EQ(output.samples(1), std::vector<float>(200, 0.0f));
}

// Hosts sometimes pass more frames than they announced.
TEST_F(Processing, BlocksLargerThanAnnouncedPassThroughIntact) {
  constexpr int kAnnounced = 64;
  constexpr int kFrames = 1000;
  plugin_.suspend();
  plugin_.setBlockSize(kAnnounced);
  plugin_.resume();
  AudioBuffer<float> input(2, kFrames);
  AudioBuffer<float> output(2, kFrames);
  fillSignal(input);
  output.fill(kSentinel);
  plugin_.processReplacing(input.pointers(), output.pointers(), kFrames);
  EXPECT_EQ(output.samples(0), input.samples(0));
  EXPECT_EQ(output.samples(1), input.samples(1));

  output.fill(0.5f);
  plugin_.processAccumulating(input.pointers(), output.pointers(), kFrames);
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < kFrames; ++i) {
      ASSERT_EQ(output.channel(c)[i], 0.5f + input.channel(c)[i])
          << "channel " << c << " frame " << i;
    }
  }

  AudioBuffer<double> inputDouble(2, kFrames);
  AudioBuffer<double> outputDouble(2, kFrames);
  fillSignal(inputDouble);
  plugin_.processDoubleReplacing(inputDouble.pointers(), outputDouble.pointers(), kFrames);
  EXPECT_EQ(outputDouble.samples(0), inputDouble.samples(0));
  EXPECT_EQ(outputDouble.samples(1), inputDouble.samples(1));

  // And the announced size still works afterwards.
  AudioBuffer<float> small(2, kAnnounced);
  AudioBuffer<float> smallOut(2, kAnnounced);
  fillSignal(small, 99);
  plugin_.processReplacing(small.pointers(), smallOut.pointers(), kAnnounced);
  EXPECT_EQ(smallOut.samples(0), small.samples(0));
}

TEST_F(Processing, ZeroFramesTouchNothing) {
  AudioBuffer<float> input(2, 16);
  AudioBuffer<float> output(2, 16);
  fillSignal(input);
  output.fill(kSentinel);
  plugin_.processReplacing(input.pointers(), output.pointers(), 0);
  plugin_.processAccumulating(input.pointers(), output.pointers(), 0);
  EXPECT_EQ(output.samples(0), std::vector<float>(16, kSentinel));
  EXPECT_EQ(output.samples(1), std::vector<float>(16, kSentinel));
  AudioBuffer<double> inputDouble(2, 16);
  AudioBuffer<double> outputDouble(2, 16);
  outputDouble.fill(kSentinel);
  plugin_.processDoubleReplacing(inputDouble.pointers(), outputDouble.pointers(), 0);
  EXPECT_EQ(outputDouble.samples(0), std::vector<double>(16, kSentinel));
  // Processing goes on normally after an empty block.
  plugin_.processReplacing(input.pointers(), output.pointers(), 16);
  EXPECT_EQ(output.samples(0), input.samples(0));
}

TEST_F(Processing, AsksTheHostForMidiOncePerProcessCall) {
  AudioBuffer<float> input(2, 64);
  AudioBuffer<float> output(2, 64);
  AudioBuffer<double> inputDouble(2, 64);
  AudioBuffer<double> outputDouble(2, 64);
  plugin_.host().clearRecords();
  for (int i = 0; i < 5; ++i) {
    plugin_.processReplacing(input.pointers(), output.pointers(), 64);
  }
  EXPECT_EQ(plugin_.host().wantMidiCount(), 5);
  for (int i = 0; i < 3; ++i) {
    plugin_.processAccumulating(input.pointers(), output.pointers(), 64);
  }
  EXPECT_EQ(plugin_.host().wantMidiCount(), 8);
  for (int i = 0; i < 4; ++i) {
    plugin_.processDoubleReplacing(inputDouble.pointers(), outputDouble.pointers(), 64);
  }
  EXPECT_EQ(plugin_.host().wantMidiCount(), 12);
}

TEST_F(Processing, PassesMidiEventsOnToTheHostUnchanged) {
  const std::vector<HostEvent> sent = {
      HostEvent::midi(0, 0x90, 60, 100),  HostEvent::midi(31, 0x80, 60, 0),
      HostEvent::midi(200, 0xE1, 0, 64),  HostEvent::sysEx(10, {0xF0, 0x7D, 0x00, 0xF7}),
      HostEvent::midi(511, 0xB0, 7, 127),
  };
  plugin_.host().clearRecords();
  EXPECT_EQ(plugin_.sendEvents(sent), 1);
  const std::vector<HostEvent> received = plugin_.host().events();
  // SysEx is not passed on; every MIDI event is, in order.
  const HostEvent* expected[] = {&sent[0], &sent[1], &sent[2], &sent[4]};
  ASSERT_EQ(received.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(received[i].type, vst::kVstMidiType);
    EXPECT_EQ(received[i].byteSize, static_cast<vst::int32>(sizeof(vst::VstMidiEvent)));
    EXPECT_EQ(received[i].deltaFrames, expected[i]->deltaFrames);
    EXPECT_EQ(received[i].bytes, expected[i]->bytes);
  }
  // An empty list is fine too.
  EXPECT_EQ(plugin_.sendEvents({}), 1);
}

}  // namespace
}  // namespace e2e
