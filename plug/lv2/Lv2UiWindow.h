// The window-system seam of the LV2 UI (Lv2UiWindow_x11.cpp).
#pragma once

namespace plug {

// The newest child window of parent on the display of the environment, 0
// when there is none. [main]
unsigned long NewestChildWindow(unsigned long parent);

}  // namespace plug
