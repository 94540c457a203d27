#include "plug/LibraryModule.h"

#include <atomic>

namespace plug {

namespace {
// Constant-initialised: valid before any static constructor runs and with
// nothing to destroy at unload.
std::atomic<void*> gModule{nullptr};
}  // namespace

void* LibraryModule() { return gModule.load(std::memory_order_acquire); }

void SetLibraryModule(void* module) { gModule.store(module, std::memory_order_release); }

}  // namespace plug
