#include "TestSupport.h"

#include <stdlib.h>

namespace effect_test {

void SetEnvironment(const char* name, const char* value) {
  if (value != nullptr) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
}

// The test program runs with this folder on LD_LIBRARY_PATH (see
// CMakeLists.txt), standing in for the system's library folders.
std::string TuningLibraryInstallPath() {
  return std::string(EFFECT_TEST_LIBRARY_DIR) + "/libMTS.so";
}

}  // namespace effect_test
