#include <unistd.h>

#include <cstdio>

#include "tools/render/FileReplace.h"

namespace render {

std::string temporaryPathFor(const std::string& path) {
  return path + ".part" + std::to_string(static_cast<long>(getpid()));
}

bool replaceFile(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) == 0) {
    return true;
  }
  std::remove(from.c_str());
  return false;
}

}  // namespace render
