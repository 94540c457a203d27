#include "TestSupport.h"

#include <windows.h>

namespace effect_test {

void SetEnvironment(const char* name, const char* value) { SetEnvironmentVariableA(name, value); }

std::string TuningLibraryInstallPath() {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\LIBMTS.dll";
}

}  // namespace effect_test
