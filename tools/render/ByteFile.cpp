#include "tools/render/ByteFile.h"

#include <cstdio>

#include "tools/render/FileReplace.h"

namespace render {

bool ByteFile::read(const std::string& path, std::vector<std::uint8_t>* bytes,
                    std::string* errorText) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *errorText = "cannot open the file";
    return false;
  }
  bytes->clear();
  std::uint8_t buffer[65536];
  bool ok = true;
  for (;;) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
    bytes->insert(bytes->end(), buffer, buffer + got);
    if (static_cast<long long>(bytes->size()) > kMaxBytes) {
      *errorText = "file is too large";
      ok = false;
      break;
    }
    if (got < sizeof buffer) {
      if (std::ferror(file)) {
        *errorText = "cannot read the file";
        ok = false;
      }
      break;
    }
  }
  std::fclose(file);
  return ok;
}

bool ByteFile::write(const std::string& path, const std::vector<std::uint8_t>& bytes,
                     std::string* errorText) {
  return writeThrough(
      path,
      [&bytes](std::FILE* file) {
        return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
      },
      "cannot write the file", errorText);
}

bool ByteFile::writeThrough(const std::string& path,
                            const std::function<bool(std::FILE*)>& writeBody,
                            const char* writeError, std::string* errorText) {
  const std::string temporary = temporaryPathFor(path);
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    *errorText = "cannot create the file";
    return false;
  }
  bool ok = writeBody(file);
  ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    std::remove(temporary.c_str());
    *errorText = writeError;
    return false;
  }
  if (!replaceFile(temporary, path)) {
    *errorText = "cannot move the finished file into place";
    return false;
  }
  return true;
}

}  // namespace render
