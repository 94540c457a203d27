// The one window API the editor offers on this platform ("x11" on Linux,
// "win32" on Windows), and the host's parent window as the plug-in base takes
// it (IPlugBase::HostOpenEditor).
#pragma once

#include "plug/clap/ClapAbi.h"

namespace plug {

const char* ClapWindowApi();
// Null when the window names no parent.
void* ClapParentWindow(const clap::Window* window);

}  // namespace plug
