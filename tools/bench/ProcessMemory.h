// How much memory this process holds, as the system counts it: the resident
// (working-set) bytes, and the address space in use (every mapping, or every
// reserved or committed region on Windows), which is what a 32-bit process
// runs out of.
#pragma once

#include <cstddef>

namespace bench {

struct ProcessMemory {
  std::size_t residentBytes = 0;
  std::size_t reservedBytes = 0;

  // False when the system would not tell.
  static bool Read(ProcessMemory* memory);
};

}  // namespace bench
