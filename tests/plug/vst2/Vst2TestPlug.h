// The test product (tests/plug/TestPlug.h) bound by the VST 2 binding to a
// host callback that records what the binding tells the host.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "TestPlug.h"
#include "plug/vst2/IPlugVST.h"

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
  std::vector<std::pair<vst::intptr, vst::intptr>> sizeWindows;
  // audioMasterSizeWindow's answer (0: the host refuses), and what the
  // plug-in's edit rectangle said while the host was being asked.
  vst::intptr sizeWindowAnswer = 1;
  vst::ERect* editRect = nullptr;
  std::vector<std::pair<int, int>> rectDuringSizeWindow;
  std::vector<vst::VstMidiEvent> midiOut;
  std::vector<std::vector<unsigned char>> sysexOut;

  static TestHost* current;
  static vst::intptr VST_CALL Callback(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                       vst::intptr value, void* ptr, float opt);
};

// A product (a TestPlug unless given) under the VST 2 binding: p is the
// product, which the binding owns.
class BoundPlug {
 public:
  explicit BoundPlug(const char* channelIO = "2-2", vst::HostCallback host = TestHost::Callback)
      : BoundPlug(new TestPlug(channelIO), host) {}
  explicit BoundPlug(TestPlug* product, vst::HostCallback host = TestHost::Callback)
      : binding(host, product), p(*product) {}

  vst::AEffect* fx() { return binding.GetAEffect(); }
  vst::intptr Dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
    return fx()->dispatcher(fx(), opcode, index, value, ptr, opt);
  }

  plug::IPlugVST binding;
  TestPlug& p;
};

}  // namespace testplug
