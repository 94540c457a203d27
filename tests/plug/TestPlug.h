// A small product on the plug-in base for tests (three initialised
// parameters, a fourth left uninitialised as a product's spare slots, hooks
// that record, the default pass-through), and host services that record what
// the product tells its host.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "plug/IHostServices.h"
#include "plug/IPlugBase.h"

namespace testplug {

class TestPlug : public plug::IPlugBase {
 public:
  static plug::IPlugConfig MakeConfig(const char* channelIO = "2-2", int params = 4,
                                      int presets = 10);
  explicit TestPlug(const char* channelIO = "2-2");

  void OnParamChanged(int paramIndex) override { changed.push_back(paramIndex); }
  void OnReset() override { ++resets; }
  void OnActivation(bool active) override { activations.push_back(active); }
  void OnPresetsChanged() override { ++presetsChanged; }

  std::vector<int> changed;
  std::vector<bool> activations;
  int resets = 0;
  int presetsChanged = 0;
};

// An editor without a window system: a "window" opens for any non-null
// parent; what reaches it is recorded.
class StubEditor : public plug::IPlugEditor {
 public:
  int Width() const override { return width; }
  int Height() const override { return height; }
  void SetParameterFromPlugin(int paramIndex, double value, bool normalized) override;
  void SetControlsFromPlugin(int, double) override {}
  void PrepareDrawing() override {}
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  bool IsWindowOpen() const override { return open_; }
  void RunEvents() override { ++eventRuns; }
  int ShowMessageBox(const char*, const char*, int) override { return 1; }
  bool OpenUrl(const char*, const char*, const char*, const char*) override { return false; }
  bool SetHostScale(double scale) override {
    hostScales.push_back(scale);
    return true;
  }

  std::vector<double> hostScales;
  int width = 984;
  int height = 432;
  std::vector<std::string> shown;  // "p0 0.5 normalised", "p1 1 plain"
  int eventRuns = 0;
  int closes = 0;

 private:
  bool open_ = false;
};

// Answers from its fields and records every call, in order, as text ("begin
// 3", "value 3 0.5", "end 3", "display", "resize 984 432", "midi 144 60 100",
// "sysex 3", "latency 64", "product").
class RecordingServices : public plug::IHostServices {
 public:
  int FormatCode() const override { return format; }
  void BeginParamGesture(int paramIndex) override;
  void NotifyHostParamValue(int paramIndex, double normalized) override;
  void EndParamGesture(int paramIndex) override;
  void NotifyHostDisplayChanged() override { calls.push_back("display"); }
  bool IsOfflineRender() override { return offline; }
  void GetTransportInfo(plug::ITransportInfo* info) override;
  void GetHostProduct(char* product, int capacity, int* version) override;
  void ResizeEditor(int width, int height) override;
  bool SendMidiToHost(const plug::IMidiMessage* msg) override;
  bool SendSysExToHost(const plug::ISysExMessage* msg) override;
  void SetLatencySamples(int samples) override;

  int format = plug::kFormatClap;
  bool offline = false;
  bool hasTransport = true;
  plug::ITransportInfo transport;  // what GetTransportInfo copies (when hasTransport)
  std::string product;
  int version = 0;
  bool acceptMidi = true;
  std::vector<std::string> calls;
};

}  // namespace testplug
