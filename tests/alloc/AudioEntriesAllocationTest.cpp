// The plug-in's audio entries allocate nothing: processReplacing,
// processDoubleReplacing, the accumulating process, effProcessEvents and
// setParameter, in every Grain Mode, with notes, with tempo sync, in calls
// longer than the announced block, and after a sample-rate change once the
// host has reset the plug-in. The instance comes from the same entry point as
// in the shipped binary, built into this test program so that its every
// allocation is counted.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "AllocationCounter.h"
#include "plug/VstAbi.h"
#include "plug/VstExport.h"

// plug/VstEntry.cpp, built into this program.
extern "C" QUILLET_EXPORT vst::AEffect* VST_CALL VSTPluginMain(vst::HostCallback host);

namespace {

using alloc_test::AllocationCount;
using alloc_test::CountAllocations;

constexpr int kBlock = 512;
constexpr int kLongCall = 3 * kBlock + 100;
constexpr vst::int32 kGrainModeParam = 2;
constexpr vst::int32 kFrameSyncToHostParam = 12;
constexpr int kParamCount = 29;

// A host that answers from fixed records and allocates nothing itself.
vst::VstTimeInfo timeInfo{};

vst::intptr VST_CALL HostCallback(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*,
                                  float) {
  switch (opcode) {
    case vst::audioMasterVersion:
      return vst::kVstVersion;
    case vst::audioMasterGetTime:
      return reinterpret_cast<vst::intptr>(&timeInfo);
    case vst::audioMasterProcessEvents:
      return 1;
    default:
      return 0;
  }
}

// An event list of fixed capacity, as hosts pass it.
struct EventList {
  vst::int32 numEvents = 0;
  vst::intptr reserved = 0;
  vst::VstEvent* events[8] = {};
};

class AudioEntries : public ::testing::Test {
 protected:
  void SetUp() override {
    timeInfo = vst::VstTimeInfo{};
    timeInfo.tempo = 128.0;
    timeInfo.sampleRate = 48000.0;
    timeInfo.timeSigNumerator = 4;
    timeInfo.timeSigDenominator = 4;
    timeInfo.flags = vst::kVstTransportPlaying | vst::kVstTempoValid | vst::kVstPpqPosValid |
                     vst::kVstTimeSigValid;
    effect_ = VSTPluginMain(HostCallback);
    ASSERT_NE(effect_, nullptr);
    dispatch(vst::effOpen);
    dispatch(vst::effSetSampleRate, 0, 0, 48000.0f);
    dispatch(vst::effSetBlockSize, 0, kBlock);
    dispatch(vst::effMainsChanged, 0, 1);
    for (int c = 0; c < 2; ++c) {
      in_[c].assign(kLongCall, 0.0f);
      out_[c].assign(kLongCall, 0.0f);
      inDouble_[c].assign(kLongCall, 0.0);
      outDouble_[c].assign(kLongCall, 0.0);
      for (int i = 0; i < kLongCall; ++i) {
        in_[c][i] = static_cast<float>(0.5 * ((i * (c + 3)) % 97) / 97.0 - 0.25);
        inDouble_[c][i] = in_[c][i];
      }
    }
    for (int i = 0; i < 8; ++i) {
      midi_[i] = vst::VstMidiEvent{};
      midi_[i].type = vst::kVstMidiType;
      midi_[i].byteSize = sizeof(vst::VstMidiEvent);
      midi_[i].deltaFrames = 40 * i;
    }
  }
  void TearDown() override {
    if (effect_) dispatch(vst::effClose);
  }

  vst::intptr dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                       float opt = 0.0f) {
    return effect_->dispatcher(effect_, opcode, index, value, nullptr, opt);
  }

  // Note-ons, a note-off, a controller no parameter is mapped to, pitch
  // bend, and all notes off when allNotesOff is set.
  void sendEvents(bool allNotesOff) {
    const unsigned char messages[8][3] = {{0x90, 57, 100}, {0x90, 64, 90}, {0x90, 69, 80},
                                          {0x80, 64, 0},   {0xB0, 7, 100}, {0xE0, 0, 64},
                                          {0x90, 72, 70},  {0xB0, 123, 0}};
    EventList list;
    const int count = allNotesOff ? 8 : 7;
    for (int i = 0; i < count; ++i) {
      std::memcpy(midi_[i].midiData, messages[i], 3);
      list.events[list.numEvents++] = reinterpret_cast<vst::VstEvent*>(&midi_[i]);
    }
    effect_->dispatcher(effect_, vst::effProcessEvents, 0, 0, &list, 0.0f);
  }

  // One announced block and one longer call through each entry, the host's
  // transport moving on.
  void processEveryEntry() {
    float* in[] = {in_[0].data(), in_[1].data()};
    float* out[] = {out_[0].data(), out_[1].data()};
    double* inDouble[] = {inDouble_[0].data(), inDouble_[1].data()};
    double* outDouble[] = {outDouble_[0].data(), outDouble_[1].data()};
    for (int frames : {kBlock, kLongCall}) {
      effect_->processReplacing(effect_, in, out, frames);
      advance(frames);
      effect_->processDoubleReplacing(effect_, inDouble, outDouble, frames);
      advance(frames);
      effect_->process(effect_, in, out, frames);
      advance(frames);
    }
  }

  void advance(int frames) {
    timeInfo.samplePos += frames;
    timeInfo.ppqPos = timeInfo.samplePos / timeInfo.sampleRate * timeInfo.tempo / 60.0;
  }

  // Every parameter through setParameter, at a value of its own.
  void setEveryParameter(float base) {
    for (vst::int32 i = 0; i < kParamCount; ++i) {
      const float v = base + 0.03f * static_cast<float>(i % 7);
      effect_->setParameter(effect_, i, v > 1.0f ? v - 1.0f : v);
    }
  }

  vst::AEffect* effect_ = nullptr;
  std::vector<float> in_[2], out_[2];
  std::vector<double> inDouble_[2], outDouble_[2];
  vst::VstMidiEvent midi_[8];
};

TEST_F(AudioEntries, AllocateNothingInAnyModeWithNotesAndSync) {
  for (int mode = 0; mode < 4; ++mode) {
    for (float frameSync : {0.0f, 1.0f}) {
      SCOPED_TRACE(testing::Message()
                   << "Grain Mode " << mode << ", Frame Sync to Host " << frameSync);
      const AllocationCount counted = CountAllocations([&] {
        setEveryParameter(0.1f * static_cast<float>(mode));
        effect_->setParameter(effect_, kGrainModeParam, static_cast<float>(mode) / 3.0f);
        effect_->setParameter(effect_, kFrameSyncToHostParam, frameSync);
        sendEvents(false);
        processEveryEntry();
        sendEvents(true);
        processEveryEntry();
      });
      EXPECT_EQ(counted, AllocationCount{});
    }
  }
}

TEST_F(AudioEntries, AllocateNothingAfterASampleRateChangeOnceReset) {
  for (float rateHz : {96000.0f, 44100.0f, 22050.0f}) {
    SCOPED_TRACE(testing::Message() << rateHz << " Hz");
    // The host's reset: buffers for the new rate are made here, outside.
    dispatch(vst::effMainsChanged, 0, 0);
    dispatch(vst::effSetSampleRate, 0, 0, rateHz);
    dispatch(vst::effMainsChanged, 0, 1);
    timeInfo.sampleRate = rateHz;
    for (int mode = 0; mode < 4; ++mode) {
      const AllocationCount counted = CountAllocations([&] {
        effect_->setParameter(effect_, kGrainModeParam, static_cast<float>(mode) / 3.0f);
        effect_->setParameter(effect_, kFrameSyncToHostParam, 1.0f);
        sendEvents(false);
        processEveryEntry();
      });
      EXPECT_EQ(counted, AllocationCount{}) << "Grain Mode " << mode;
    }
  }
}

}  // namespace
