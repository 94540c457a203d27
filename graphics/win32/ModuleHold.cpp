#include "graphics/win32/ModuleHold.h"

#include <mutex>

#include "lice/LICE_NeverDestroyed.h"

namespace graphics {

namespace {

constexpr const char* kHoldProperty = "QuilletModuleHold";

struct Holds {
  std::mutex lock;
  HMODULE module = nullptr;
  int pending = 0;
};
Holds& TheHolds() { return LICE_NeverDestroyed<Holds>(); }

}  // namespace

void ModuleHold::Acquire(HWND window) {
  Holds& holds = TheHolds();
  HMODULE module = nullptr;
  // The library holding this code, with its reference count raised.
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCSTR>(&ModuleHold::Acquire), &module))
    return;
  if (!SetPropA(window, kHoldProperty, reinterpret_cast<HANDLE>(1))) {
    FreeLibrary(module);  // not the last: this is the host's call
    return;
  }
  std::lock_guard<std::mutex> hold(holds.lock);
  holds.module = module;
}

void ModuleHold::ReleaseLater(HWND window) {
  if (!RemovePropA(window, kHoldProperty)) return;
  Holds& holds = TheHolds();
  std::lock_guard<std::mutex> hold(holds.lock);
  ++holds.pending;
}

void ModuleHold::ReleasePending() {
  Holds& holds = TheHolds();
  int count = 0;
  HMODULE module = nullptr;
  {
    std::lock_guard<std::mutex> hold(holds.lock);
    count = holds.pending;
    holds.pending = 0;
    module = holds.module;
  }
  // The host holds the library during its call: none of these is the last.
  for (int i = 0; i < count; ++i) FreeLibrary(module);
}

}  // namespace graphics
