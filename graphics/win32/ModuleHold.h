// Keeps this library loaded while a window of ours exists.
//
// A host may close the editor from a thread other than the window's: the
// window then closes itself later, on its own thread, from a posted message.
// A host that unloads the library before that message runs would send it
// into unmapped code. So every editor window holds a reference to the
// library from its creation until it is gone.
//
// The reference cannot be given back from the window's own message (the last
// release would unmap the code that is still running): a window that dies by
// a message only marks its reference, and the next call from the host into
// an editor of ours (which holds the library for the call) gives it back.
// Should the host never call again, the library stays loaded.
#pragma once

#include <windows.h>

namespace graphics {

class ModuleHold {
 public:
  // One more reference, held by window (marked with a property). [main]
  static void Acquire(HWND window);
  // The window's last message (WM_NCDESTROY): the reference it holds, if
  // any, waits for ReleasePending. [the window's thread]
  static void ReleaseLater(HWND window);
  // Gives back the references of windows that are gone. Only inside a call
  // from the host. [any thread]
  static void ReleasePending();
};

}  // namespace graphics
