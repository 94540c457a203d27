#include "plug/clap/ClapWindowApi.h"

namespace plug {

const char* ClapWindowApi() { return clap::kWindowApiWin32; }

void* ClapParentWindow(const clap::Window* window) { return window->win32; }

}  // namespace plug
