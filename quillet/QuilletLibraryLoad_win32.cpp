// The library's load notification: the module handle is kept for the editor's
// resources and window class, and the process-wide editor caches are released
// when the host unloads the library.
#include <windows.h>

#include "graphics/IGraphics.h"
#include "plug/LibraryModule.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    plug::SetLibraryModule(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // FreeLibrary, not process exit (where the system frees everything and
    // other threads may already be gone).
    graphics::IGraphics::ReleaseProcessCaches();
  }
  return TRUE;
}
