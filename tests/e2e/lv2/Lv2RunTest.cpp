// The run path as hosts drive it: control ports as plain values, blocks split
// at atom events so that a note or a transport change lands on its sample,
// MIDI through to the atom output, and whatever a host puts in its buffers
// (no features at all, values out of range, broken events) kept safe.
#include <cmath>
#include <cstring>

#include "e2e/lv2/Lv2Fixture.h"

namespace e2e {
namespace {

using Lv2Run = Lv2Instance;

constexpr int kVolume = 0;
constexpr int kGrainMode = 2;
constexpr float kGrainModeMidi = 3.0f;
constexpr const char* kMidiEvent = "http://lv2plug.in/ns/ext/midi#MidiEvent";

bool AllFinite(const std::vector<float>& v) {
  for (float x : v)
    if (!std::isfinite(x)) return false;
  return true;
}

double Peak(const std::vector<float>& v) {
  double peak = 0.0;
  for (float x : v) peak = std::max(peak, static_cast<double>(std::fabs(x)));
  return peak;
}

// lv2apply passes no features and runs one sample per call: the audio and
// control ports still work, and sound as they do in blocks.
TEST_F(Lv2Run, WithoutFeaturesSampleBySampleSoundsLikeBlocks) {
  lv2host::Lv2Host bare;
  Open(&bare, false);
  ASSERT_TRUE(bare.hasInstance());
  StereoBuffers buffers(4096);
  for (int i = 0; i < 4096; ++i) {
    buffers.at(i);
    bare.run(buffers.inputs, buffers.outputs, 1);
  }
  const std::vector<float> blocks = Render(&host_, 4096);
  EXPECT_EQ(buffers.out[0], blocks);
  EXPECT_GT(Peak(blocks), 0.01);

  bare.setControl(kVolume, 0.0f);
  EXPECT_EQ(Peak(Render(&bare, 2048)), 0.0);
}

// Hosts need not clamp: a value past the range is the range's end, and one
// that is not a number changes nothing.
TEST_F(Lv2Run, ControlValuesOutOfRangeAreClampedAndNaNIgnored) {
  lv2host::Lv2Host loudest;
  Open(&loudest);
  loudest.setControl(kVolume, 2.0f);
  host_.setControl(kVolume, 100.0f);
  EXPECT_EQ(Render(&host_, 2048), Render(&loudest, 2048));
  host_.setControl(kVolume, std::nanf(""));
  EXPECT_EQ(Render(&host_, 2048), Render(&loudest, 2048));
}

// A note at frame 100 of a run sounds exactly as a run cut there with the
// note at the start of the second part.
TEST_F(Lv2Run, EventsSplitTheRunOnTheirFrame) {
  lv2host::Lv2Host cut;
  Open(&cut);
  for (lv2host::Lv2Host* h : {&host_, &cut}) h->setControl(kGrainMode, kGrainModeMidi);
  StereoBuffers whole(kBlock), parts(kBlock);
  host_.addMidi(100, 0x90, 57, 100);
  host_.addMidi(300, 0x80, 57, 0);
  host_.run(whole.inputs, whole.outputs, kBlock);
  cut.run(parts.inputs, parts.outputs, 100);
  parts.at(100);
  cut.addMidi(0, 0x90, 57, 100);
  cut.run(parts.inputs, parts.outputs, 200);
  parts.at(300);
  cut.addMidi(0, 0x80, 57, 0);
  cut.run(parts.inputs, parts.outputs, kBlock - 300);
  EXPECT_EQ(whole.out[0], parts.out[0]);
  EXPECT_EQ(whole.out[1], parts.out[1]);
  EXPECT_GT(Peak(whole.out[0]), 0.0);
}

// MIDI mode: nothing sounds without a note, the note sounds, and the notes
// come out of the MIDI thru port on their frames.
TEST_F(Lv2Run, MidiNotesPlayAndPassThrough) {
  host_.setControl(kGrainMode, kGrainModeMidi);
  EXPECT_LT(Peak(Render(&host_, 2048)), 1e-9);
  StereoBuffers buffers(kBlock);
  host_.addMidi(7, 0x90, 60, 90);
  host_.addMidi(400, 0x91, 64, 90);
  host_.run(buffers.inputs, buffers.outputs, kBlock);
  ASSERT_EQ(host_.midiOut().size(), 2u);
  EXPECT_EQ(host_.midiOut()[0].frame, 7);
  EXPECT_EQ(host_.midiOut()[0].bytes, (std::vector<std::uint8_t>{0x90, 60, 90}));
  EXPECT_EQ(host_.midiOut()[1].frame, 400);
  EXPECT_EQ(host_.midiOut()[1].bytes, (std::vector<std::uint8_t>{0x91, 64, 90}));
  // Each run's output holds only its own events.
  host_.run(buffers.inputs, buffers.outputs, kBlock);
  EXPECT_TRUE(host_.midiOut().empty());
  EXPECT_GT(Peak(Render(&host_, 4096)), 1e-3);
}

// All notes off (controller 123) from the atom input ends every voice; without
// it they sound on.
TEST_F(Lv2Run, AllNotesOffEndsTheVoices) {
  lv2host::Lv2Host held;
  Open(&held);
  for (lv2host::Lv2Host* h : {&host_, &held}) {
    h->setControl(kGrainMode, kGrainModeMidi);
    h->addMidi(0, 0x90, 57, 100);
    h->addMidi(0, 0x90, 64, 100);
    Render(h, 4096);
  }
  host_.addMidi(0, 0xB0, 123, 0);
  Render(&host_, 22050);  // the release fades out
  Render(&held, 22050);
  EXPECT_LT(Peak(Render(&host_, 4096)), 1e-9);
  EXPECT_GT(Peak(Render(&held, 4096)), 1e-3);
}

// Tempo sync follows time:Position: another tempo, another sound; the same
// position sent again, the same sound.
TEST_F(Lv2Run, TempoSyncFollowsThePosition) {
  const std::vector<lv2host::PresetInfo> presets = host_.presets();
  auto render = [](double bpm) {
    lv2host::Lv2Host h;
    Open(&h);
    h.applyPreset("https://vellum-music.com/plugins/quillet#preset-1");  // "Sync 2 Host"
    lv2host::Position p;
    p.bpm = bpm;
    h.addPosition(0, p);
    return Render(&h, 16384);
  };
  const std::vector<float> at120 = render(120.0);
  EXPECT_EQ(at120, render(120.0));
  EXPECT_NE(at120, render(97.0));
}

// Broken events: no type, too short, SysEx, out of order, past the end, a
// position with nonsense fields. The run stays finite and the following runs
// sound as if only the sane events had come.
TEST_F(Lv2Run, BrokenEventsAreHarmless) {
  host_.setControl(kGrainMode, kGrainModeMidi);
  StereoBuffers buffers(kBlock);
  const std::uint8_t sysex[] = {0xF0, 0x7E, 0x7F, 0xF7};
  host_.addRawEvent(0, kMidiEvent, nullptr, 0);
  host_.addRawEvent(1, kMidiEvent, sysex, sizeof sysex);
  host_.addRawEvent(2, "urn:nothing", sysex, sizeof sysex);
  host_.addMidiBytes(3, {0x90});
  host_.addMidiBytes(300, {0x90, 0xFF, 0xFF});
  host_.addMidi(200, 0x80, 1, 0);  // earlier than the event before it
  host_.addMidi(100000, 0x80, 2, 0);
  lv2host::Position silly;
  silly.bpm = -5.0;
  silly.beat = std::nan("");
  silly.beatUnit = 0;
  silly.beatsPerBar = -3;
  silly.frame = -1e300;
  host_.addPosition(400, silly);
  host_.run(buffers.inputs, buffers.outputs, kBlock);
  EXPECT_TRUE(AllFinite(buffers.out[0]));
  EXPECT_TRUE(AllFinite(Render(&host_, 8192)));
}

}  // namespace
}  // namespace e2e
