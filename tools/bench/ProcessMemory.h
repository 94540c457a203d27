// How much memory this process holds, as the system counts it: the resident
// (working-set) bytes, and the bytes the address space holds for it (mapped
// size natively; the commit charge on Windows, which is what the system
// guarantees to back with memory or page file).
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
