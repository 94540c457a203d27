#pragma once
// Where the library's embedded files come from. In the Windows builds they are
// resources of a module (FindResource/LoadResource, looked up by numeric
// identifier and type name). Natively there are no resources: a build step turns
// the same files into tables that register themselves here at start-up, and the
// module handle is ignored.

#include <cstddef>

#include "lice/LICE_Types.h"

struct LICE_EmbeddedResource {
  int id;
  const char* type;  // e.g. "PNG"
  const unsigned char* data;
  size_t sizeBytes;
};

class LICE_ResourceSource {
 public:
  // Finds resource id of the given type. The data stays valid while the module
  // is loaded (natively: for the whole process). False when it does not exist.
  static bool Find(LICE_ModuleHandle module, int id, const char* type, const unsigned char** data,
                   size_t* sizeBytes);

  // Natively: adds a table of count entries (kept, not copied). The Windows
  // builds read real resources and ignore registered tables.
  static void Register(const LICE_EmbeddedResource* table, int count);
};
