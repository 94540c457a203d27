// The maker's on/off switch: a two-frame switch that toggles on each click.
#pragma once

#include "graphics/controls/ISwitchControl.h"

namespace quillet {

class IVmSwitchControl : public graphics::ISwitchControl {
 public:
  using ISwitchControl::ISwitchControl;
};

}  // namespace quillet
