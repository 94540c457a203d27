#include "quillet/editor/IVmSwitchMidiLearn.h"

#include "effect/Effect.h"
#include "graphics/IGraphics.h"

namespace quillet {

IVmSwitchMidiLearn::IVmSwitchMidiLearn(effect::Effect* plugin, int x, int y, int paramIndex,
                                       const graphics::IFrameStrip& strip)
    : ISwitchControl(plugin, x, y, paramIndex, strip), effect_(plugin) {}

void IVmSwitchMidiLearn::MouseDown(int x, int y, const graphics::IMouseState* state) {
  if (state && state->left) {
    Step();  // binds no parameter: only redraws
    if (effect_) effect_->SetMidiLearn(Value() > 0.0, !learnMode_);
    return;
  }
  if (state && state->right && Value() == 0.0 && GetGUI()) {
    learnMode_ = !learnMode_;
    strip_ = learnMode_ ? GetGUI()->LoadBitmap(kLearnImage, "img/learn.png", 2)
                        : GetGUI()->LoadBitmap(kUnlearnImage, "img/unlearn.png", 2);
    ISwitchControl::MarkDirty(true);
  }
}

void IVmSwitchMidiLearn::MouseDoubleClick(int x, int y, const graphics::IMouseState* state) {
  MouseDown(x, y, state);
}

void IVmSwitchMidiLearn::SetValueFromPlugin(double value) {
  ISwitchControl::SetValueFromPlugin(value);
}

void IVmSwitchMidiLearn::MarkDirty(bool pushToPlugin) { ISwitchControl::MarkDirty(pushToPlugin); }

}  // namespace quillet
