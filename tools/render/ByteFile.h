// Whole files as bytes: reading with a size bound, and writing through a
// temporary file that replaces the target only once it is complete.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace render {

class ByteFile {
 public:
  // Files larger than this are refused (no preset or MIDI file comes near).
  static constexpr long long kMaxBytes = 64LL * 1024 * 1024;

  static bool read(const std::string& path, std::vector<std::uint8_t>* bytes,
                   std::string* errorText);
  static bool write(const std::string& path, const std::vector<std::uint8_t>& bytes,
                    std::string* errorText);
  // Writes path through writeBody under a temporary name and moves the file
  // into place once complete; nothing is left behind when a step fails, and
  // writeError names a failing body in errorText.
  static bool writeThrough(const std::string& path,
                           const std::function<bool(std::FILE*)>& writeBody, const char* writeError,
                           std::string* errorText);
};

}  // namespace render
