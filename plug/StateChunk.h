// The byte buffer in which plug-in state travels: program and bank chunks for
// the host, and the stored state of every preset.
//
// All multi-byte values are little-endian; doubles are IEEE 754 binary64, so
// they round-trip bit-exactly. Reads take a position and return the position
// after the value, or -1 when the value is not there; a -1 position makes every
// later read fail as well, so a caller can chain reads and check once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plug {

class StateChunk {
 public:
  void Clear() { bytes_.clear(); }
  // Size n; bytes added at the end are zero. Negative n gives size 0.
  void Resize(int n);
  int Size() const { return static_cast<int>(bytes_.size()); }
  const std::uint8_t* Data() const { return bytes_.data(); }
  std::uint8_t* Data() { return bytes_.data(); }

  void AppendInt(std::int32_t v);
  void AppendDouble(double v);
  void AppendByte(std::uint8_t v);
  void AppendBytes(const void* data, int n);
  // 32-bit byte length L (no terminator), then the L bytes. Returns the new size.
  int AppendString(const char* text);

  int ReadInt(std::int32_t* v, int position) const;
  int ReadDouble(double* v, int position) const;
  int ReadByte(std::uint8_t* v, int position) const;
  // Reads a length-prefixed string. Returns -1 (text untouched) when position
  // is negative, fewer than four bytes are left, or the length is negative.
  // When the L bytes are there, text := them and the result is the position
  // after them. When they run past the end the text is untouched and the result
  // is a position beyond the size (so the next read fails).
  int ReadString(std::string* text, int position) const;

 private:
  bool Has(int position, int n) const;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace plug
