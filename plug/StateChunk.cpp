#include "plug/StateChunk.h"

#include <climits>
#include <cstring>

namespace plug {

void StateChunk::Resize(int n) { bytes_.resize(n > 0 ? static_cast<std::size_t>(n) : 0u); }

bool StateChunk::Has(int position, int n) const {
  return position >= 0 &&
         static_cast<long long>(position) + n <= static_cast<long long>(bytes_.size());
}

void StateChunk::AppendInt(std::int32_t v) {
  std::uint32_t u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

void StateChunk::AppendDouble(double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

void StateChunk::AppendByte(std::uint8_t v) { bytes_.push_back(v); }

void StateChunk::AppendBytes(const void* data, int n) {
  if (!data || n <= 0) return;
  const std::uint8_t* p = static_cast<const std::uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + n);
}

int StateChunk::AppendString(const char* text) {
  if (!text) text = "";
  std::size_t n = std::strlen(text);
  if (n > INT_MAX / 2) n = INT_MAX / 2;
  AppendInt(static_cast<std::int32_t>(n));
  AppendBytes(text, static_cast<int>(n));
  return Size();
}

int StateChunk::ReadInt(std::int32_t* v, int position) const {
  if (!Has(position, 4)) return -1;
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(bytes_[position + i]) << (8 * i);
  *v = static_cast<std::int32_t>(u);
  return position + 4;
}

int StateChunk::ReadDouble(double* v, int position) const {
  if (!Has(position, 8)) return -1;
  std::uint64_t u = 0;
  for (int i = 0; i < 8; ++i) u |= static_cast<std::uint64_t>(bytes_[position + i]) << (8 * i);
  std::memcpy(v, &u, sizeof u);
  return position + 8;
}

int StateChunk::ReadByte(std::uint8_t* v, int position) const {
  if (!Has(position, 1)) return -1;
  *v = bytes_[position];
  return position + 1;
}

int StateChunk::ReadString(std::string* text, int position) const {
  std::int32_t length = 0;
  int after = ReadInt(&length, position);
  // A negative length would walk the position backwards into data already
  // read, and a huge one would overflow it: neither is a string.
  if (after < 0 || length < 0) return -1;
  long long end = static_cast<long long>(after) + length;
  if (end <= static_cast<long long>(bytes_.size())) {
    if (text)
      text->assign(reinterpret_cast<const char*>(bytes_.data()) + after,
                   static_cast<std::size_t>(length));
    return static_cast<int>(end);
  }
  // Runs past the end: a position beyond the size, saturated to stay positive.
  return end > INT_MAX ? INT_MAX : static_cast<int>(end);
}

}  // namespace plug
