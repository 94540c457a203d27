// The process call as a host drives it: events at their sample offsets, CLAP
// notes read as MIDI, the MIDI thru out, and buffers a host gets wrong.
#include <memory>

#include "e2e/clap/ClapFixture.h"

namespace e2e_clap {

namespace {

class TwoInstances : public ShippedClap {
 protected:
  void SetUp() override {
    ShippedClap::SetUp();
    std::string error;
    ASSERT_TRUE(other_.load(QUILLET_CLAP_PATH, &error)) << error;
    ASSERT_TRUE(other_.create(&error)) << error;
    for (claphost::ClapPluginHost* h : {&host_, &other_}) {
      ASSERT_TRUE(h->loadPreset(clap::kPresetLocationPlugin, nullptr, "3"));  // MIDI Standard
      ASSERT_TRUE(h->activate(44100.0, 1, 512));
      ASSERT_TRUE(h->startProcessing());
    }
  }
  // frames of the fixture's signal through other_.
  std::vector<double> processOther(std::uint32_t frames, std::uint32_t offset = 0) {
    std::vector<double> in[2], out[2];
    for (int c = 0; c < 2; ++c) {
      in[c].assign(in_[c].begin() + offset, in_[c].begin() + offset + frames);
      out[c].assign(frames, 0.0);
    }
    double* ins[] = {in[0].data(), in[1].data()};
    double* outs[] = {out[0].data(), out[1].data()};
    other_.processDouble(ins, outs, frames);
    return out[0];
  }
  claphost::ClapPluginHost other_;
};

}  // namespace

TEST_F(TwoInstances, ClapNotesSoundAsTheirMidiMessages) {
  for (int block = 0; block < 8; ++block) {
    if (block == 0) {
      const clap::EventNote on = claphost::noteEvent(clap::kEventNoteOn, 0, 57, 0.8);
      const clap::EventMidi midiOn = claphost::midiEvent(0, 0x90, 57, 102);
      host_.input().events().add(&on.header);
      other_.input().events().add(&midiOn.header);
    }
    if (block == 5) {
      const clap::EventNote off = claphost::noteEvent(clap::kEventNoteOff, 0, 57, 0.0);
      const clap::EventMidi midiOff = claphost::midiEvent(0, 0x80, 57, 0);
      host_.input().events().add(&off.header);
      other_.input().events().add(&midiOff.header);
    }
    const std::vector<double> clapNotes = processBlock(512);
    EXPECT_EQ(processOther(512), clapNotes) << "block " << block;
  }
}

// An event at frame 200 of a block sounds as the same event on the first
// frame of a call that starts there.
TEST_F(TwoInstances, EventsTakeEffectAtTheirSampleOffsets) {
  const clap::EventMidi on = claphost::midiEvent(200, 0x90, 60, 100);
  const clap::EventParamValue mix = claphost::paramValueEvent(200, kMix, 0.4);
  host_.input().events().add(&on.header);
  host_.input().events().add(&mix.header);
  const std::vector<double> whole = processBlock(512);

  std::vector<double> split = processOther(200);
  const clap::EventMidi onAtStart = claphost::midiEvent(0, 0x90, 60, 100);
  const clap::EventParamValue mixAtStart = claphost::paramValueEvent(0, kMix, 0.4);
  other_.input().events().add(&mixAtStart.header);
  other_.input().events().add(&onAtStart.header);
  const std::vector<double> rest = processOther(312, 200);
  split.insert(split.end(), rest.begin(), rest.end());
  EXPECT_EQ(split, whole);
}

TEST_F(TwoInstances, MidiGoesThroughToTheHostAtItsOffset) {
  const clap::EventMidi cc = claphost::midiEvent(17, 0xB2, 74, 33);
  const clap::EventMidi on = claphost::midiEvent(300, 0x91, 64, 90);
  host_.input().events().add(&cc.header);
  host_.input().events().add(&on.header);
  processBlock(512);
  std::vector<std::string> thru;
  for (std::uint32_t i = 0; i < host_.output().events().size(); ++i) {
    const clap::EventHeader* e = host_.output().events().at(i);
    if (e->type != clap::kEventMidi) continue;
    const auto* midi = reinterpret_cast<const clap::EventMidi*>(e);
    thru.push_back(std::to_string(e->time) + ":" + std::to_string(midi->data[0]) + "," +
                   std::to_string(midi->data[1]) + "," + std::to_string(midi->data[2]));
  }
  EXPECT_EQ(thru, (std::vector<std::string>{"17:178,74,33", "300:145,64,90"}));
  EXPECT_EQ(host_.output().outOfOrder(), 0);
}

TEST_F(ShippedClap, BuffersAHostGetsWrongAreRefusedOrReadAsSilence) {
  std::vector<double> left(64, 0.25), right(64, 0.25);
  double* outs[] = {left.data(), right.data()};
  clap::AudioBuffer out{};
  out.data64 = outs;
  out.channelCount = 2;
  clap::Process p{};
  p.framesCount = 64;
  p.audioOutputs = &out;
  p.audioOutputsCount = 1;
  // No input port at all: silence in (the dry mix of silence is silence).
  setValue(kMix, 0.0);
  activate();
  EXPECT_NE(host_.plugin()->process(host_.plugin(), &p), clap::kProcessError);
  // No outputs, or a port with too few channels: an error, nothing touched.
  p.audioOutputsCount = 0;
  EXPECT_EQ(host_.plugin()->process(host_.plugin(), &p), clap::kProcessError);
  p.audioOutputsCount = 1;
  out.channelCount = 1;
  EXPECT_EQ(host_.plugin()->process(host_.plugin(), &p), clap::kProcessError);
  out.data64 = nullptr;
  out.channelCount = 2;
  EXPECT_EQ(host_.plugin()->process(host_.plugin(), &p), clap::kProcessError);
  EXPECT_EQ(host_.plugin()->process(host_.plugin(), nullptr), clap::kProcessError);
}

}  // namespace e2e_clap
