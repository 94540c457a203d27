// The shared object's counterpart of a load notification: the base address
// stands for the module handle, and the process-wide editor caches are
// released when the host unloads the library.
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include <dlfcn.h>

#include "graphics/IGraphics.h"
#include "plug/LibraryModule.h"

namespace {

__attribute__((constructor)) void OnLibraryLoad() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&OnLibraryLoad), &info) != 0)
    plug::SetLibraryModule(info.dli_fbase);
}

__attribute__((destructor)) void OnLibraryUnload() { graphics::IGraphics::ReleaseProcessCaches(); }

}  // namespace
