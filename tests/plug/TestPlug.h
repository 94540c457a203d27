// A small plug-in on the framework core for tests: three initialised
// parameters, a recording host callback, and the default pass-through.
#pragma once

#include <string>
#include <vector>

#include "plug/IPlugVST.h"

namespace testplug {

// What the host callback saw. One host at a time (tests are single-threaded
// around creation); the callback reads the current one.
struct TestHost {
  std::string vendor;
  std::string product;
  vst::intptr vendorVersion = 0;
  vst::VstTimeInfo time{};
  bool hasTime = true;
  vst::intptr processLevel = 0;
  vst::intptr processEventsAnswer = 1;
  int wantMidiCalls = 0;
  int vendorAsked = 0;
  int productAsked = 0;
  int versionAsked = 0;
  std::vector<std::pair<int, float>> automation;
  std::vector<int> beginEdits, endEdits;
  std::vector<vst::VstMidiEvent> midiOut;
  std::vector<std::vector<unsigned char>> sysexOut;

  static TestHost* current;
  static vst::intptr VST_CALL Callback(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                       vst::intptr value, void* ptr, float opt);
};

class TestPlug : public plug::IPlugVST {
 public:
  static plug::IPlugConfig MakeConfig(const char* channelIO = "2-2", int params = 4,
                                      int presets = 10);
  explicit TestPlug(vst::HostCallback host = TestHost::Callback, const char* channelIO = "2-2");

  void OnParamChanged(int paramIndex) override { changed.push_back(paramIndex); }
  void OnReset() override { ++resets; }
  void OnActivation(bool active) override { activations.push_back(active); }
  void OnPresetsChanged() override { ++presetsChanged; }

  vst::intptr Dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
    return GetAEffect()->dispatcher(GetAEffect(), opcode, index, value, ptr, opt);
  }

  std::vector<int> changed;
  std::vector<bool> activations;
  int resets = 0;
  int presetsChanged = 0;
};

}  // namespace testplug
