// Identifiers written as four characters, the first in the most significant
// byte ('vmQL' is 0x766D514C).
#pragma once

#include <cstdint>

namespace plug {

constexpr std::int32_t FourCharCode(char a, char b, char c, char d) {
  return static_cast<std::int32_t>(
      (static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
      (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
      (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
      static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

}  // namespace plug
