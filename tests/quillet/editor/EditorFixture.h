// Quillet with its editor on the headless window layer, a recording host and
// a settings file in a scratch folder: for the tests of the maker's controls,
// the layout and the editor feedback. The host drives the instance through
// the plug-in base's binding entries, as every format binding does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "graphics/headless/IGraphicsHeadless.h"
#include "quillet/Quillet.h"

namespace quillet_editor_test {

// What the host heard, in order: "b3" begin-edit, "a3" automation, "e3"
// end-edit of parameter 3, "d" display changed. The plug-in tells the host
// from several threads at once.
class EditorHost : public plug::IHostServices {
 public:
  int FormatCode() const override { return plug::kFormatVst2; }
  void BeginParamGesture(int paramIndex) override { Record("b" + std::to_string(paramIndex)); }
  void NotifyHostParamValue(int paramIndex, double normalized) override;
  void EndParamGesture(int paramIndex) override { Record("e" + std::to_string(paramIndex)); }
  void NotifyHostDisplayChanged() override { Record("d"); }
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

  int Count(const std::string& prefix) const;

  std::vector<std::string> calls;
  std::vector<float> values;

 private:
  void Record(const std::string& call);
  mutable std::mutex mutex_;
};

// Indexes of the layout's controls (background 0, then the panel in order).
enum LayoutIndex {
  kVersionText = 1,
  kOptionMenu = 2,
  kPresetMenu = 3,
  kLearnSwitch = 4,
  kVolumeKnob = 5,
  kMixKnob = 6,
  kGrainLengthFader = 7,
  kGrainSyncFader = 8,
  kGrainFrequencyFader = 9,
  kGrainModeMenu = 10,
  kGrainOverlapKnob = 11,
  kGrainShape = 12,
  kFrameLengthFader = 16,
  kFrameSyncFader = 17,
  kFrameSyncSwitch = 18,
  kFrameShape = 20,
  kMidiLamp = 24,
  kPolyphonyMenu = 25,
  kControlCount = 30,
};

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static plug::IPlugEditor* MakeHeadless(effect::Effect* plugin);

  graphics::IGraphicsHeadless& Gui() { return *gui_; }
  Quillet& Plugin() { return *quillet_; }
  template <class T>
  T* Control(int index) {
    return dynamic_cast<T*>(gui_->GetControl(index));
  }
  // The window opened in a stand-in parent, then one timer tick.
  void OpenEditor();
  void CloseEditor();
  // The host's idle call: the editor's events, then the plug-in's idle hook.
  void HostIdle();
  void SetParameter(int index, float normalized);
  void SendMidi(unsigned char status, unsigned char data1, unsigned char data2);
  void SelectProgram(int index);
  void RenameProgram(const char* name);
  plug::StateChunk SaveProgram();
  bool LoadProgram(const plug::StateChunk& chunk);
  void Click(int x, int y, bool right = false);
  void Tick() { gui_->Tick(); }
  // Ticks until the plug-in's idle hook has run once more.
  void TickUntilIdle();

  EditorHost host_;
  effect_test::ScratchFolder folder_;
  std::unique_ptr<Quillet> quillet_;
  graphics::IGraphicsHeadless* gui_ = nullptr;  // owned by the plug-in
};

}  // namespace quillet_editor_test
