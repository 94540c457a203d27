// An Effect with 29 plain parameters, a recording host, a stand-in editor and
// a stand-in learn switch, its settings folder redirected into a scratch
// folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "effect/Effect.h"

namespace effect_test {

// What the plug-in told its host. The plug-in tells the host from several
// threads at once (outside its own lock), as it may with a real host.
class RecordingHost : public plug::IHostServices {
 public:
  int FormatCode() const override { return plug::kFormatVst2; }
  void BeginParamGesture(int) override {}
  void NotifyHostParamValue(int paramIndex, double normalized) override;
  void EndParamGesture(int) override {}
  void NotifyHostDisplayChanged() override;
  bool IsOfflineRender() override { return false; }
  void GetTransportInfo(plug::ITransportInfo*) override {}
  void GetHostProduct(char* product, int, int* version) override {
    product[0] = '\0';
    *version = 0;
  }
  void ResizeEditor(int, int) override {}
  bool SendMidiToHost(const plug::IMidiMessage*) override { return true; }
  bool SendSysExToHost(const plug::ISysExMessage*) override { return true; }
  void SetLatencySamples(int) override {}
  bool LearnsElsewhere() const override { return learnsElsewhere; }
  void PassMidiLearn(int mode) override { passedLearnModes.push_back(mode); }

  std::vector<std::pair<int, float>> automation;
  int displayUpdates = 0;
  bool learnsElsewhere = false;  // as an editor apart from the processing
  std::vector<int> passedLearnModes;
};

// Records what reaches the editor's controls.
class StandInEditor : public plug::IPlugEditor {
 public:
  static int liveCount;
  StandInEditor() { ++liveCount; }
  ~StandInEditor() override { --liveCount; }
  int Width() const override { return 984; }
  int Height() const override { return 432; }
  void SetParameterFromPlugin(int paramIndex, double value, bool normalized) override {
    shown.push_back({paramIndex, value, normalized});
  }
  void SetControlsFromPlugin(int, double) override {}
  void PrepareDrawing() override {}
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  bool IsWindowOpen() const override { return false; }
  int ShowMessageBox(const char*, const char*, int) override { return 1; }
  bool OpenUrl(const char*, const char*, const char*, const char*) override { return false; }

  struct Shown {
    int paramIndex;
    double value;
    bool normalized;
  };
  std::vector<Shown> shown;

  static plug::IPlugEditor* Make(effect::Effect*) { return new StandInEditor(); }
};

// The editor's learn switch as the plug-in sees it: value 0/1 and a mode;
// clicks behave as the real switch's left click does.
class StandInLearnSwitch : public effect::ILearnSwitch {
 public:
  void SetValueFromPlugin(double v) override { value = v; }
  void MarkDirty(bool push) override { dirtyPushes += push ? 1 : 0; }

  // Left click: toggle, then tell the plug-in.
  void Click(effect::Effect& plugin) {
    value = value > 0.0 ? 0.0 : 1.0;
    plugin.SetMidiLearn(value > 0.0, !learnMode);
  }

  double value = 0.0;
  bool learnMode = true;
  int dirtyPushes = 0;
};

class EffectTest : public ::testing::Test {
 protected:
  static constexpr int kParams = 29;

  void SetUp() override;
  void TearDown() override;

  // A new instance with its parameters 0..1 (plain = normalised) but
  // uninitialisedParam, its editor stand-in attached and the learn switch
  // registered.
  std::unique_ptr<effect::Effect> MakeEffect(int uninitialisedParam = -1);

  std::string SettingsPath() const;
  std::string SettingsText() const;  // without carriage returns
  void WriteSettings(const std::string& text) const;

  // A parameter touched in the editor, as a control does it.
  static void Touch(effect::Effect& plugin, int paramIndex, double normalized = 0.5) {
    plugin.SetParameterFromEditor(paramIndex, normalized);
  }
  static StandInEditor* EditorOf(effect::Effect& plugin) {
    return static_cast<StandInEditor*>(plugin.GetGraphics());
  }

  ScratchFolder base_;
  RecordingHost host_;
  StandInLearnSwitch switch_;
};

}  // namespace effect_test
