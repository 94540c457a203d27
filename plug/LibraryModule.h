// The handle of the library this code runs in: an HMODULE in the Windows
// builds (resources and the editor's window class need it), the library's base
// address natively. The library's load notification stores it; programs that
// link the subsystem libraries directly (tests, tools) store their own.
#pragma once

namespace plug {

// Null until stored. [any thread]
void* LibraryModule();
void SetLibraryModule(void* module);

}  // namespace plug
