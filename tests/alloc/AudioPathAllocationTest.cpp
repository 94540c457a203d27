// The plug-in's audio paths allocate nothing: every process entry of every
// format, MIDI in, parameter changes, in every Grain Mode, with notes, with
// tempo sync, in calls longer than the announced block, and after a
// sample-rate change once the host has reset the plug-in. The instances come
// from the same entry points as in the shipped binaries, built into this test
// program so that their every allocation is counted.
//
// A format joins with its AudioPath (AudioPath.h) in the list at the bottom.
#include <gtest/gtest.h>

#include <memory>

#include "AllocationCounter.h"
#include "AudioPath.h"

namespace alloc_test {

namespace {

constexpr int kGrainModeParam = 2;
constexpr int kFrameSyncToHostParam = 12;

BlockMidi Notes(bool allNotesOff) {
  const unsigned char messages[BlockMidi::kMaxMessages][3] = {
      {0x90, 57, 100}, {0x90, 64, 90}, {0x90, 69, 80}, {0x80, 64, 0},
      {0xB0, 7, 100},  {0xE0, 0, 64},  {0x90, 72, 70}, {0xB0, 123, 0}};
  BlockMidi midi;
  midi.count = allNotesOff ? 8 : 7;
  for (int i = 0; i < midi.count; ++i)
    for (int b = 0; b < 3; ++b) midi.messages[i][b] = messages[i][b];
  return midi;
}

class AudioPaths : public ::testing::TestWithParam<AudioPathFactory> {
 protected:
  void SetUp() override {
    path_.reset(GetParam()());
    ASSERT_TRUE(path_->Prepare(48000.0)) << path_->Name();
  }

  // Every parameter at a value of its own.
  void SetEveryParameter(double base) {
    for (int i = 0; i < AudioPath::kParamCount; ++i) {
      const double v = base + 0.03 * (i % 7);
      path_->SetParameter(i, v > 1.0 ? v - 1.0 : v);
    }
  }

  std::unique_ptr<AudioPath> path_;
};

}  // namespace

TEST_P(AudioPaths, AllocateNothingInAnyModeWithNotesAndSync) {
  const BlockMidi notes = Notes(false), notesThenAllOff = Notes(true);
  for (int mode = 0; mode < 4; ++mode) {
    for (double frameSync : {0.0, 1.0}) {
      SCOPED_TRACE(testing::Message() << path_->Name() << ", Grain Mode " << mode
                                      << ", Frame Sync to Host " << frameSync);
      const AllocationCount counted = CountAllocations([&] {
        SetEveryParameter(0.1 * mode);
        path_->SetParameter(kGrainModeParam, mode / 3.0);
        path_->SetParameter(kFrameSyncToHostParam, frameSync);
        path_->SendMidi(notes);
        path_->ProcessEveryEntry();
        path_->SendMidi(notesThenAllOff);
        path_->ProcessEveryEntry();
      });
      EXPECT_EQ(counted, AllocationCount{});
    }
  }
}

TEST_P(AudioPaths, AllocateNothingAfterASampleRateChangeOnceReset) {
  const BlockMidi notes = Notes(false);
  for (double rateHz : {96000.0, 44100.0, 22050.0}) {
    SCOPED_TRACE(testing::Message() << path_->Name() << ", " << rateHz << " Hz");
    // The host's reset: buffers for the new rate are made here, outside.
    path_->ChangeSampleRate(rateHz);
    for (int mode = 0; mode < 4; ++mode) {
      const AllocationCount counted = CountAllocations([&] {
        path_->SetParameter(kGrainModeParam, mode / 3.0);
        path_->SetParameter(kFrameSyncToHostParam, 1.0);
        path_->SendMidi(notes);
        path_->ProcessEveryEntry();
      });
      EXPECT_EQ(counted, AllocationCount{}) << "Grain Mode " << mode;
    }
  }
}

#if defined(_WIN32)
INSTANTIATE_TEST_SUITE_P(Formats, AudioPaths,
                         ::testing::Values(&MakeVst2AudioPath, &MakeClapAudioPath,
                                           &MakeVst3AudioPath));
#else
INSTANTIATE_TEST_SUITE_P(Formats, AudioPaths,
                         ::testing::Values(&MakeVst2AudioPath, &MakeClapAudioPath,
                                           &MakeVst3AudioPath, &MakeLv2AudioPath));
#endif

}  // namespace alloc_test
