// A Quillet instance as a host starts it (sample rate, then activation), its
// settings file in a scratch folder, with a host callback that records the
// MIDI the plug-in sends and answers the time it is told.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "quillet/Quillet.h"

namespace quillet_test {

// The host side of one test. One host at a time: the callback reads the
// current one.
struct Host {
  std::vector<vst::VstMidiEvent> midiOut;
  vst::VstTimeInfo time{};
  bool hasTime = false;

  static Host* current;
  static vst::intptr VST_CALL Callback(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr,
                                       void* ptr, float);
};

class QuilletTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A plain value and the plug-in's reaction to it.
  void SetPlain(int index, double value);
  void Midi(unsigned char status, unsigned char data1, unsigned char data2);
  // Processes n frames of a fixed signal; returns the left output.
  std::vector<double> Process(int n, std::vector<double>* inputLeft = nullptr);

  Host host_;
  std::filesystem::path folder_;
  std::unique_ptr<Quillet> plug_;
  double phase_ = 0.0;
};

}  // namespace quillet_test
