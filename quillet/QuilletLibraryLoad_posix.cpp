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

// A static object rather than a destructor function: both run when the host
// unloads the library, but a library that stays loaded to the end of the
// process (the X11 layer may keep it so) runs this among the exit handlers,
// before a leak checker looks at what is left, and not after.
struct ReleaseCachesAtUnload {
  ~ReleaseCachesAtUnload() { graphics::IGraphics::ReleaseProcessCaches(); }
} gReleaseCachesAtUnload;

}  // namespace
