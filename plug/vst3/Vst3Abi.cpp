#include "plug/vst3/Vst3Abi.h"

#include <cstdio>
#include <cstring>

namespace vst3 {

namespace {

void PutBigEndian(std::uint32_t v, char* out) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
}

}  // namespace

void UidToBytes(const Uid& uid, char* bytes) {
#if defined(_WIN32)
  // COM order: l1 and both halves of l2 little-endian.
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((uid.l1 >> (8 * i)) & 0xFF);
  const std::uint32_t high = uid.l2 >> 16, low = uid.l2 & 0xFFFF;
  bytes[4] = static_cast<char>(high & 0xFF);
  bytes[5] = static_cast<char>(high >> 8);
  bytes[6] = static_cast<char>(low & 0xFF);
  bytes[7] = static_cast<char>(low >> 8);
#else
  PutBigEndian(uid.l1, bytes);
  PutBigEndian(uid.l2, bytes + 4);
#endif
  PutBigEndian(uid.l3, bytes + 8);
  PutBigEndian(uid.l4, bytes + 12);
}

bool UidEquals(const void* tuid, const Uid& uid) {
  if (!tuid) return false;
  char bytes[16];
  UidToBytes(uid, bytes);
  return std::memcmp(tuid, bytes, sizeof bytes) == 0;
}

void UidToText(const Uid& uid, char* text) {
  std::snprintf(text, 33, "%08X%08X%08X%08X", static_cast<unsigned>(uid.l1),
                static_cast<unsigned>(uid.l2), static_cast<unsigned>(uid.l3),
                static_cast<unsigned>(uid.l4));
}

}  // namespace vst3
