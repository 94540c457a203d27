// Opening the outside microtuning library where its platform keeps it, and
// finding its exports by name.
//
//   Windows  "LIBMTS.dll" in the system directory (GetSystemDirectoryA), by full
//            path, so no other folder of the DLL search order is consulted.
//   POSIX    "libMTS.so" through the dynamic loader's usual search (the system
//            library folders and LD_LIBRARY_PATH).
//
// Opening the same installed file twice gives the same module with one more
// reference, so a second opener sees the same library state.
#pragma once

namespace effect {

class TuningLibraryFile {
 public:
  // The module handle, or null when the library is not installed or does not
  // load. [main]
  static void* Open();

  // The address of the named export, or null when the module lacks it.
  static void* FindEntry(void* module, const char* name);

  // Drops one reference taken by Open; a null module is ignored. [main]
  static void Close(void* module);
};

}  // namespace effect
