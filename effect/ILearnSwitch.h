// What the effect base needs of the editor's MIDI-learn switch: to be turned
// off from the plug-in side when learning or unlearning finishes. The editor's
// switch control implements it; the effect base never owns it.
#pragma once

namespace effect {

class ILearnSwitch {
 public:
  virtual ~ILearnSwitch() = default;

  // Shows the value (0 = off) without telling any parameter; redraws only
  // when the value changes. [any thread, instance lock held; writes only the
  // control's value and dirty flag]
  virtual void SetValueFromPlugin(double value) = 0;

  // Marks the control for redrawing; with push set a bound parameter would be
  // told too (the learn switch is bound to none). [as above]
  virtual void MarkDirty(bool push) = 0;
};

}  // namespace effect
