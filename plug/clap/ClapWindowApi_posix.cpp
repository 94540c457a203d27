#include <cstdint>

#include "plug/clap/ClapWindowApi.h"

namespace plug {

const char* ClapWindowApi() { return clap::kWindowApiX11; }

// The X window id, carried in a pointer as the X11 layer expects it.
void* ClapParentWindow(const clap::Window* window) {
  return window->x11 ? reinterpret_cast<void*>(static_cast<std::uintptr_t>(window->x11)) : nullptr;
}

}  // namespace plug
