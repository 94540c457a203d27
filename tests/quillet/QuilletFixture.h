// A Quillet instance as a host starts it (sample rate, then activation), its
// settings file in a scratch folder, with host services that record the MIDI
// the plug-in sends and answer the transport they are told.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "quillet/Quillet.h"

namespace quillet_test {

// The host side of one test: records the MIDI the plug-in sends and answers
// the transport it is told.
class Host : public plug::IHostServices {
 public:
  int FormatCode() const override { return plug::kFormatVst2; }
  void BeginParamGesture(int) override {}
  void NotifyHostParamValue(int, double) override {}
  void EndParamGesture(int) override {}
  void NotifyHostDisplayChanged() override {}
  bool IsOfflineRender() override { return false; }
  void GetTransportInfo(plug::ITransportInfo* info) override {
    if (hasTransport) *info = transport;
  }
  void GetHostProduct(char* product, int, int* version) override {
    product[0] = '\0';
    *version = 0;
  }
  void ResizeEditor(int, int) override {}
  bool SendMidiToHost(const plug::IMidiMessage* msg) override {
    midiOut.push_back(*msg);
    return true;
  }
  bool SendSysExToHost(const plug::ISysExMessage*) override { return true; }
  void SetLatencySamples(int) override {}

  std::vector<plug::IMidiMessage> midiOut;
  plug::ITransportInfo transport;
  bool hasTransport = false;
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
