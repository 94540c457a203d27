#include <windows.h>

#include <cstdio>

#include "tools/render/FileReplace.h"

namespace render {

std::string temporaryPathFor(const std::string& path) {
  return path + ".part" + std::to_string(static_cast<unsigned long>(GetCurrentProcessId()));
}

bool replaceFile(const std::string& from, const std::string& to) {
  // rename() on Windows refuses an existing target; this move replaces it.
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  std::remove(from.c_str());
  return false;
}

}  // namespace render
