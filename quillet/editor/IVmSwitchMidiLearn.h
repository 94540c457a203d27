// The MIDI-learn switch. A left click turns learning on or off (or, in
// unlearn mode, unlearning); a right click while the switch is off flips
// between learn and unlearn mode and their pictures; a double click is one
// more click. The effect base turns the switch off when learning or
// unlearning finishes, from whatever thread finished it: that only writes the
// control's value and flags (see graphics/IControl.h).
#pragma once

#include "effect/ILearnSwitch.h"
#include "graphics/controls/ISwitchControl.h"

namespace effect {
class Effect;
}

namespace quillet {

class IVmSwitchMidiLearn : public graphics::ISwitchControl, public effect::ILearnSwitch {
 public:
  static constexpr int kLearnImage = 104;
  static constexpr int kUnlearnImage = 105;

  IVmSwitchMidiLearn(effect::Effect* plugin, int x, int y, int paramIndex,
                     const graphics::IFrameStrip& strip);

  void MouseDown(int x, int y, const graphics::IMouseState* state) override;
  void MouseDoubleClick(int x, int y, const graphics::IMouseState* state) override;

  // The plug-in's side (ILearnSwitch). [any thread]
  void SetValueFromPlugin(double value) override;
  void MarkDirty(bool pushToPlugin) override;

  // True: learn mode; false: unlearn mode.
  bool LearnMode() const { return learnMode_; }
  void SetLearnMode(bool learn) { learnMode_ = learn; }

 private:
  effect::Effect* effect_;
  bool learnMode_ = true;
};

}  // namespace quillet
