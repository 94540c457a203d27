// Quillet with its editor on the headless window layer, a recording host and
// a settings file in a scratch folder: for the tests of the maker's controls,
// the layout and the editor feedback.
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
// end-edit of parameter 3, "d" display changed.
struct EditorHost {
  std::vector<std::string> calls;
  std::vector<float> values;
  std::mutex mutex;

  static EditorHost* current;
  static vst::intptr VST_CALL Callback(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                       vst::intptr value, void* ptr, float opt);
  int Count(const std::string& prefix) const;
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
  vst::AEffect* Effect() { return quillet_->GetAEffect(); }
  template <class T>
  T* Control(int index) {
    return dynamic_cast<T*>(gui_->GetControl(index));
  }
  vst::intptr Dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
  // effEditOpen with a stand-in parent, then one timer tick.
  void OpenEditor();
  void SetParameter(int index, float normalized);
  // A MIDI message through effProcessEvents.
  void SendMidi(unsigned char status, unsigned char data1, unsigned char data2);
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
