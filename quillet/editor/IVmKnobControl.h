// The maker's knob: a knob drawn from a strip of frames, turned by dragging
// (gearing 4 in this editor) and by the wheel.
#pragma once

#include "graphics/controls/IKnobMultiControl.h"

namespace quillet {

class IVmKnobControl : public graphics::IKnobMultiControl {
 public:
  using IKnobMultiControl::IKnobMultiControl;
};

}  // namespace quillet
